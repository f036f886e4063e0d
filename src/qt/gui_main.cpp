#include "qt/gui_main.h"

#include <QApplication>
#include <QScreen>
#include <memory>
#include <vector>

#include "core/log.h"
#include "program/program.h"
#include "program/simulated_run.h"
#include "qt/program_palette.h"
#include "qt/qt_dialogs.h"
#include "qt/qt_event_loop.h"
#include "qt/window_view.h"

namespace orniva {

int RunGui(int argc, char** argv, bool simulate) {
  QApplication qapp(argc, argv);
  QtEventLoop loop;
  QtDialogs qtDialogs;
  PresetChoiceDialogs dialogs(qtDialogs);
  ProgramPaletteFollower palette;  // night mode; the usual colours come back at exit
  Program program(loop, dialogs);
  program.UseSettingsFile();
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    program.App().SetScreenSize(screen->size().width(), screen->size().height());
  }
  std::vector<std::unique_ptr<WindowView>> views;
  for (Window* w : program.App().Windows()) views.push_back(std::make_unique<WindowView>(*w));
  program.Activate();
  if (simulate) {
    // The session's problems are shown in the message window; everything
    // it reports goes to the log.
    StartSimulatedSession(
        program, [&dialogs](int index) { dialogs.QueueChoice(index); },
        [&program](const std::string& text, bool problem) {
          Log("simulator", problem ? LogLevel::Warning : LogLevel::Info, text);
          if (problem) program.Message().ShowMessageLine(false, text);
        });
  }
  int code = loop.Run();
  program.Shutdown();
  return code;
}

}  // namespace orniva
