#pragma once

#include <string_view>

#include "ui/application.h"

namespace orniva {

// The first control of that name and kind in any window but `except`: how
// the wiring finds the settings and controls that other windows own.
template <typename T>
T* FindControl(Application& app, std::string_view name, const Window* except = nullptr) {
  for (Window* w : app.Windows()) {
    if (w == except) continue;
    if (T* c = w->FindAs<T>(name)) return c;
  }
  return nullptr;
}

}  // namespace orniva
