// orniva: the desktop program, or with --headless the same program on the
// real-time loop without any widget.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "core/log.h"
#include "core/paths.h"
#include "core/poll_event_loop.h"
#include "core/virtual_event_loop.h"
#include "program/program.h"
#include "program/simulated_run.h"
#include "sim/simulated_observatory.h"
#include "telescope/tfrm_pref.h"

#ifdef ORNIVA_WITH_QT
#include "qt/gui_main.h"
#endif

namespace {

void Usage() {
  std::printf(
      "usage: orniva [--headless [--seconds N | --script FILE [--virtual-time]]] [--simulate]\n"
      "              [--version]\n"
      "  --headless     run without a display, on the real-time loop\n"
      "  --seconds N    with --headless: run the loop N seconds, then shut down (default 3)\n"
      "  --script FILE  run the script FILE headless from its first line, then exit\n"
      "                 (0 when it ends, 1 when it stops on an error)\n"
      "  --virtual-time run the script on the virtual clock, as fast as it can\n"
      "  --simulate     camera 1 on the simulated sky and mount (settings in the\n"
      "                 [Simulateur] section of Orniva.ini); headless, the result page\n"
      "                 is saved as simulation.bmp beside the program at the end\n"
      "  --version      print the program's name and version\n");
}

int RunHeadless(double seconds, bool simulate) {
  using namespace orniva;
  SetLogSink(StderrLogSink());
  PollEventLoop loop;
  HeadlessDialogs dialogs;
  dialogs.Echo = [](const HeadlessDialogs::Asked& a) {
    std::printf("[%s] %s: %s\n", a.kind.c_str(), a.caption.c_str(), a.text.c_str());
  };
  std::printf("Orniva headless: start-up\n");
  Program program(loop, dialogs, [](const std::string& s) { std::printf("  %s\n", s.c_str()); });
  program.Message().OnLine = [](const std::string& s) { std::printf("[message] %s\n", s.c_str()); };
  program.UseSettingsFile();
  program.Activate();
  if (simulate) {
    StartSimulatedSession(
        program, [&dialogs](int index) { dialogs.QueueChoice(index); },
        [](const std::string& s, bool) { std::printf("%s\n", s.c_str()); });
  }
  std::printf("event loop running for %.1f s\n", seconds);
  std::fflush(stdout);
  int ticks = 0;
  loop.AddTimer(1000, true, [&] { std::printf("  tick %d\n", ++ticks), std::fflush(stdout); });
  loop.AddTimer(static_cast<int64_t>(seconds * 1000), false, [&] {
    if (simulate) {
      const long long frames = program.Cameras().Source(1).Stats().delivered;
      program.Cameras().Stop(1);
      const std::string path = JoinPath(program.Main().ProgramDirectory(), "simulation.bmp");
      std::printf("%s (%lld frames)\n", SaveResultPage(program, path).c_str(), frames);
    }
    std::printf("shutting down\n");
    program.Shutdown();
  });
  int code = loop.Run();
  std::printf("Orniva headless: clean exit (%d)\n", code);
  return code;
}

// Runs one script file as the level-1 script and exits when it stops. Message
// boxes, message-window lines and sounds are printed as they appear; a
// message-window wait ("Poursuivre") goes on at once.
int RunScriptHeadless(const std::string& file, bool virtualTime) {
  using namespace orniva;
  SetLogSink(StderrLogSink());
  PollEventLoop realLoop;
  std::unique_ptr<VirtualEventLoop> virtualLoop;
  if (virtualTime) {
    virtualLoop =
        std::make_unique<VirtualEventLoop>(realLoop.WallClockMs(), realLoop.UtcOffsetMinutes());
  }
  EventLoop& loop = virtualLoop ? static_cast<EventLoop&>(*virtualLoop) : realLoop;
  HeadlessDialogs dialogs;
  dialogs.Echo = [](const HeadlessDialogs::Asked& a) {
    std::printf("[%s] %s: %s\n", a.kind.c_str(), a.caption.c_str(), a.text.c_str());
    std::fflush(stdout);
  };
  Program program(loop, dialogs);
  program.Message().OnLine = [](const std::string& s) {
    std::printf("[message] %s\n", s.c_str());
    std::fflush(stdout);
  };
  program.Message().OnWait = [&] { loop.Post([&] { program.Message().BTN_Poursuivre.Click(); }); };
  program.RecordingSound().Echo = [](const std::string& s) {
    std::printf("[sound] %s\n", s.c_str());
    std::fflush(stdout);
  };
  program.Activate();
  TFRM_Script& script = program.Script();
  ScriptInterpreter& interpreter = script.Interpreter();
  // Script files called from this one are looked up beside it.
  const size_t slash = file.rfind('/');
  const std::string dir = slash == std::string::npos ? "./" : file.substr(0, slash + 1);
  interpreter.SystemValues().Set("%scriptdir", [dir] { return dir; });
  if (!script.OpenScript(file)) {
    std::fprintf(stderr, "orniva: cannot read the script file '%s'\n", file.c_str());
    return 2;
  }
  interpreter.OnStopped = [&] { loop.Post([&] { program.Shutdown(); }); };
  script.RunFromFirstLine(false);
  loop.Run();
  return interpreter.LastError().empty() ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  bool headless = false;
  bool virtualTime = false;
  bool simulate = false;
  double seconds = 3;
  std::string script;
  for (int i = 1; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--version")) {
      std::printf("%s\n", orniva::kProgramCaption);
      return 0;
    } else if (!std::strcmp(argv[i], "--headless")) {
      headless = true;
    } else if (!std::strcmp(argv[i], "--seconds") && i + 1 < argc) {
      seconds = std::atof(argv[++i]);
    } else if (!std::strcmp(argv[i], "--script") && i + 1 < argc) {
      script = argv[++i];
    } else if (!std::strcmp(argv[i], "--simulate")) {
      simulate = true;
    } else if (!std::strcmp(argv[i], "--virtual-time")) {
      virtualTime = true;
    } else if (!std::strcmp(argv[i], "--help") || !std::strcmp(argv[i], "-h")) {
      Usage();
      return 0;
    } else {
      std::fprintf(stderr, "orniva: unknown argument '%s'\n", argv[i]);
      Usage();
      return 2;
    }
  }
  // A script run from the command line is always headless.
  if (!script.empty()) return RunScriptHeadless(script, virtualTime);
#ifdef ORNIVA_WITH_QT
  const bool display =
      std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY") || std::getenv("QT_QPA_PLATFORM");
  // With --simulate the window session starts on the simulated observatory.
  if (!headless && display) return orniva::RunGui(argc, argv, simulate);
#endif
  return RunHeadless(seconds, simulate);
}
