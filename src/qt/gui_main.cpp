#include "qt/gui_main.h"

#include <QApplication>
#include <QScreen>
#include <memory>
#include <vector>

#include "program/program.h"
#include "qt/program_palette.h"
#include "qt/qt_dialogs.h"
#include "qt/qt_event_loop.h"
#include "qt/window_view.h"

namespace orniva {

int RunGui(int argc, char** argv) {
  QApplication qapp(argc, argv);
  QtEventLoop loop;
  QtDialogs dialogs;
  ProgramPaletteFollower palette;  // night mode; the usual colours come back at exit
  Program program(loop, dialogs);
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    program.App().SetScreenSize(screen->size().width(), screen->size().height());
  }
  std::vector<std::unique_ptr<WindowView>> views;
  for (Window* w : program.App().Windows()) views.push_back(std::make_unique<WindowView>(*w));
  program.Activate();
  int code = loop.Run();
  program.Shutdown();
  return code;
}

}  // namespace orniva
