#include "ui/range_controls.h"

namespace orniva {

void RangeControl::SetPosition(int position) {
  position = Clamped(position);
  if (position == position_) return;
  position_ = position;
  NotifyChanged();
  if (OnChange) OnChange();
}

void RangeControl::SetRange(int min, int max) {
  min_ = min;
  max_ = max < min ? min : max;
  NotifyChanged();
  SetPosition(position_);
}

}  // namespace orniva
