#include "ui/application.h"

#include <algorithm>

#include "core/event_loop.h"
#include "ui/window.h"

namespace orniva {

Window* Application::FindWindow(std::string_view name) const {
  std::string wanted = LowerAscii(name);
  for (Window* w : windows_) {
    if (LowerAscii(w->Name()) == wanted) return w;
  }
  return nullptr;
}

void Application::Unregister(Window& w) {
  windows_.erase(std::remove(windows_.begin(), windows_.end(), &w), windows_.end());
}

void Application::ProcessMessages() {
  loop_->ProcessPending();
}

}  // namespace orniva
