// orniva: the desktop program, or with --headless the same program on the
// real-time loop without any widget.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "core/log.h"
#include "core/poll_event_loop.h"
#include "program/program.h"

#ifdef ORNIVA_WITH_QT
#include "qt/gui_main.h"
#endif

namespace {

void Usage() {
  std::printf(
      "usage: orniva [--headless [--seconds N]] [--version]\n"
      "  --headless     run without a display, on the real-time loop\n"
      "  --seconds N    with --headless: run the loop N seconds, then shut down (default 3)\n"
      "  --version      print the program's name and version\n");
}

int RunHeadless(double seconds) {
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
  program.Activate();
  std::printf("event loop running for %.1f s\n", seconds);
  std::fflush(stdout);
  int ticks = 0;
  loop.AddTimer(1000, true, [&] { std::printf("  tick %d\n", ++ticks), std::fflush(stdout); });
  loop.AddTimer(static_cast<int64_t>(seconds * 1000), false, [&] {
    std::printf("shutting down\n");
    program.Shutdown();
  });
  int code = loop.Run();
  std::printf("Orniva headless: clean exit (%d)\n", code);
  return code;
}

}  // namespace

int main(int argc, char** argv) {
  bool headless = false;
  double seconds = 3;
  for (int i = 1; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--version")) {
      std::printf("%s\n", orniva::kProgramCaption);
      return 0;
    } else if (!std::strcmp(argv[i], "--headless")) {
      headless = true;
    } else if (!std::strcmp(argv[i], "--seconds") && i + 1 < argc) {
      seconds = std::atof(argv[++i]);
    } else if (!std::strcmp(argv[i], "--help") || !std::strcmp(argv[i], "-h")) {
      Usage();
      return 0;
    } else {
      std::fprintf(stderr, "orniva: unknown argument '%s'\n", argv[i]);
      Usage();
      return 2;
    }
  }
#ifdef ORNIVA_WITH_QT
  const bool display =
      std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY") || std::getenv("QT_QPA_PLATFORM");
  if (!headless && display) return orniva::RunGui(argc, argv);
#endif
  return RunHeadless(seconds);
}
