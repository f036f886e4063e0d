#pragma once

#include <array>
#include <functional>
#include <map>

#include "core/image.h"

namespace orniva {

// The program's colour elements, indexed like the desktop's system colours
// (0 scroll bar, 1 background, 2 active caption, … 5 window, 8 window text,
// 13 highlight, 14 highlighted text, 15 button face, 18 button text, 23 tip
// text, 24 tip background, … 28).
inline constexpr int kColourElementCount = 29;
using ColourScheme = std::array<Bgr, kColourElementCount>;

// The usual light colours of the program's windows.
ColourScheme DefaultDayScheme();
// Dark reds that keep the eyes adapted to the night.
ColourScheme DefaultNightScheme();

// The colours every window of the program is drawn with. Only the
// program's own windows follow them (the rest of the desktop keeps its
// colours); the views subscribe.
class SystemColours {
 public:
  static SystemColours& Program();

  const ColourScheme& Current() const { return current_; }
  const ColourScheme& Saved() const { return saved_; }
  bool NightActive() const { return night_; }
  // Keeps the current colours, to be restored later.
  void Save() { saved_ = current_; }
  void ApplyNight(const ColourScheme& scheme);
  void Restore();

  int Subscribe(std::function<void()> listener);
  void Unsubscribe(int token);

 private:
  void Notify();
  ColourScheme current_ = DefaultDayScheme();
  ColourScheme saved_ = DefaultDayScheme();
  bool night_ = false;
  int nextToken_ = 1;
  std::map<int, std::function<void()>> listeners_;
};

// What the "Mode nuit" button does: pressed, the night scheme is applied;
// released, or when the program ends while it is pressed, the colours saved
// at its creation come back.
class NightModeSwitch {
 public:
  explicit NightModeSwitch(SystemColours& colours = SystemColours::Program());
  ~NightModeSwitch();
  NightModeSwitch(const NightModeSwitch&) = delete;
  NightModeSwitch& operator=(const NightModeSwitch&) = delete;

  void SetScheme(const ColourScheme& scheme) { scheme_ = scheme; }
  const ColourScheme& Scheme() const { return scheme_; }
  void SetDown(bool down);
  bool Down() const { return down_; }

 private:
  SystemColours& colours_;
  ColourScheme scheme_ = DefaultNightScheme();
  bool down_ = false;
};

}  // namespace orniva
