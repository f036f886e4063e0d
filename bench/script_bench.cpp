// Lines the script interpreter executes per second, without the run timer's
// delays: a host that ticks again as soon as a line arms the timer.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "automation/script_interpreter.h"
#include "core/virtual_event_loop.h"

namespace {

using namespace orniva;

class ImmediateHost : public ScriptHost {
 public:
  std::vector<std::string> lines;
  bool armed = false;
  const std::vector<std::string>& EditorLines() const override { return lines; }
  void SetEditorLines(const std::vector<std::string>& l) override { lines = l; }
  void ArmRunTimer(int) override { armed = true; }
  void DisarmRunTimer() override { armed = false; }
  bool RunTimerArmed() const override { return armed; }
};

// 10 000 lines: declarations, then 100 blocks of integer and string
// assignments, each block ending with a jump to the label that follows it.
std::vector<std::string> AssignmentsAndJumps() {
  std::vector<std::string> out = {"var(n,integer)", "var(m,integer)", "var(s,string)",
                                  "var(t,string)"};
  out.push_back("t := \"abc\"");
  int block = 0;
  for (int b = 0; b < 100; ++b) {
    for (int i = 0; i < 96; ++i) {
      switch (i % 4) {
        case 0:
          out.push_back("n := n + 1");
          break;
        case 1:
          out.push_back("m := n - m + 7 / 2");
          break;
        case 2:
          out.push_back("s := t + \"x\"");
          break;
        default:
          out.push_back("jumpif(n<0,b" + std::to_string(block) + ")");
          break;
      }
    }
    out.push_back("jump(b" + std::to_string(block) + ")");
    out.push_back("// end of block");
    out.push_back(":b" + std::to_string(block));
    ++block;
  }
  while (out.size() < 10000) out.push_back("n := n + 1");
  return out;
}

void BM_ScriptLines(benchmark::State& state) {
  VirtualEventLoop loop;
  ImmediateHost host;
  ScriptInterpreter s(host, loop);
  int64_t executed = 0;
  s.OnExecute = [&](int) { ++executed; };
  host.lines = AssignmentsAndJumps();
  s.LoadScript({}, false);
  for (auto _ : state) {
    s.Current().WaitState = 1;
    s.StartScript(0);
    while (host.armed) s.RunTimerTick();
    if (!s.LastError().empty()) state.SkipWithError(s.LastError().c_str());
  }
  state.SetItemsProcessed(executed);
  state.counters["lines_per_run"] =
      benchmark::Counter(static_cast<double>(executed) / static_cast<double>(state.iterations()));
}
BENCHMARK(BM_ScriptLines)->Unit(benchmark::kMillisecond);

}  // namespace
