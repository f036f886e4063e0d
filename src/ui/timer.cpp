#include "ui/timer.h"

#include "ui/application.h"
#include "ui/window.h"

namespace orniva {

Timer::Timer(Parent p, std::string name, int intervalMs, bool enabled)
    : Control(p, ControlKind::Timer, std::move(name)),
      loop_(p.window->App().Loop()),
      interval_(intervalMs) {
  Control::SetEnabled(enabled);
  Restart();
}

Timer::~Timer() {
  if (id_) loop_.RemoveTimer(id_);
}

void Timer::Restart() {
  if (id_) loop_.RemoveTimer(id_);
  id_ = 0;
  if (Enabled() && interval_ > 0) {
    id_ = loop_.AddTimer(interval_, true, [this] {
      if (OnTimer) OnTimer();
    });
  }
}

void Timer::SetInterval(int intervalMs) {
  interval_ = intervalMs < 0 ? 0 : intervalMs;
  Restart();
  NotifyChanged();
}

void Timer::SetEnabled(bool enabled) {
  Control::SetEnabled(enabled);
  Restart();
}

}  // namespace orniva
