#pragma once

#include <QApplication>

namespace orniva {

// The one application object of the Qt tests, on the offscreen platform so
// they run without a display.
inline void EnsureOffscreenApplication() {
  static int argc = 1;
  static char name[] = "qt_tests";
  static char* argv[] = {name, nullptr};
  qputenv("QT_QPA_PLATFORM", "offscreen");
  if (!QApplication::instance()) new QApplication(argc, argv);
}

}  // namespace orniva
