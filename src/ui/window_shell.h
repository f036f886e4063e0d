#pragma once

#include "ui/window.h"

// A window whose contents are still to come: it is created at start-up in
// its place, hidden, with its name and caption, so that the order of
// creation is complete. A window that gets its controls replaces its line.
#define ORNIVA_WINDOW_SHELL(Name, Caption)                           \
  class Name : public Window {                                       \
   public:                                                           \
    explicit Name(Application& app) : Window(app, #Name, Caption) {} \
  }
