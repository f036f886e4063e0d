#pragma once

#include <functional>

#include "ui/control.h"

namespace orniva {

// What scroll bars and track bars share. Setting Position from code clamps
// it to [Min, Max] and, when it changed, calls OnChange (as dragging does).
// SetRange keeps the position inside the new range, calling OnChange when
// that moved it.
class RangeControl : public Control {
 public:
  RangeControl(Parent p, ControlKind kind, std::string name, int min, int max, int position)
      : Control(p, kind, std::move(name)), min_(min), max_(max), position_(Clamped(position)) {}
  int Position() const { return position_; }
  void SetPosition(int position);
  int Min() const { return min_; }
  int Max() const { return max_; }
  void SetRange(int min, int max);
  int SmallChange() const { return smallChange_; }
  int LargeChange() const { return largeChange_; }
  void SetSteps(int smallChange, int largeChange) {
    smallChange_ = smallChange;
    largeChange_ = largeChange;
  }
  std::function<void()> OnChange;

 private:
  int Clamped(int v) const { return v < min_ ? min_ : (v > max_ ? max_ : v); }
  int min_, max_;
  int position_;
  int smallChange_ = 1;
  int largeChange_ = 1;
};

class ScrollBar : public RangeControl {
 public:
  ScrollBar(Parent p, std::string name, int min = 0, int max = 100, int position = 0)
      : RangeControl(p, ControlKind::ScrollBar, std::move(name), min, max, position) {}
};

class TrackBar : public RangeControl {
 public:
  TrackBar(Parent p, std::string name, int min = 0, int max = 10, int position = 0)
      : RangeControl(p, ControlKind::TrackBar, std::move(name), min, max, position) {}
  // Drawn upright, position 0 at the top (set when the window is built).
  bool Vertical() const { return vertical_; }
  void SetVertical(bool vertical) { vertical_ = vertical; }

 private:
  bool vertical_ = false;
};

}  // namespace orniva
