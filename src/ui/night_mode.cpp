#include "ui/night_mode.h"

namespace orniva {

ColourScheme DefaultDayScheme() {
  const Bgr face = Rgb(240, 240, 240), text = kBlack, shadow = Rgb(160, 160, 160);
  return {Rgb(200, 200, 200),
          Rgb(58, 110, 165),
          Rgb(153, 180, 209),
          Rgb(191, 205, 219),
          face,
          kWhite,
          Rgb(100, 100, 100),
          text,
          text,
          text,
          Rgb(180, 180, 180),
          Rgb(244, 247, 252),
          Rgb(171, 171, 171),
          Rgb(0, 120, 215),
          kWhite,
          face,
          shadow,
          Rgb(109, 109, 109),
          text,
          Rgb(67, 78, 84),
          kWhite,
          Rgb(105, 105, 105),
          Rgb(227, 227, 227),
          text,
          Rgb(255, 255, 225),
          Rgb(180, 180, 180),
          Rgb(0, 102, 204),
          Rgb(185, 209, 234),
          Rgb(215, 228, 242)};
}

ColourScheme DefaultNightScheme() {
  const Bgr face = Rgb(40, 0, 0), dark = Rgb(16, 0, 0), text = Rgb(200, 30, 30);
  const Bgr dim = Rgb(120, 20, 20), light = Rgb(80, 10, 10), black = Rgb(0, 0, 0);
  return {dark,  black, light, face, face,  dark, dim,  text,  text, text,
          face,  dark,  dark,  dim,  black, face, dark, dim,   text, dim,
          light, black, light, text, face,  dark, text, light, face};
}

SystemColours& SystemColours::Program() {
  static SystemColours colours;
  return colours;
}

void SystemColours::ApplyNight(const ColourScheme& scheme) {
  if (night_ && current_ == scheme) return;
  current_ = scheme;
  night_ = true;
  Notify();
}

void SystemColours::Restore() {
  if (!night_ && current_ == saved_) return;
  current_ = saved_;
  night_ = false;
  Notify();
}

int SystemColours::Subscribe(std::function<void()> listener) {
  listeners_[nextToken_] = std::move(listener);
  return nextToken_++;
}

void SystemColours::Unsubscribe(int token) {
  listeners_.erase(token);
}

void SystemColours::Notify() {
  auto copy = listeners_;
  for (auto& [token, listener] : copy) listener();
}

NightModeSwitch::NightModeSwitch(SystemColours& colours) : colours_(colours) {
  if (!colours_.NightActive()) colours_.Save();
}

NightModeSwitch::~NightModeSwitch() {
  if (down_) colours_.Restore();
}

void NightModeSwitch::SetDown(bool down) {
  down_ = down;
  if (down) {
    colours_.ApplyNight(scheme_);
  } else {
    colours_.Restore();
  }
}

}  // namespace orniva
