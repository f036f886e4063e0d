#include "ui/buttons.h"

#include "ui/window.h"

namespace orniva {

void CheckBox::SetChecked(bool checked) {
  if (checked == checked_) return;
  checked_ = checked;
  NotifyChanged();
  if (OnClick) OnClick();
}

bool RadioButton::SameGroup(const RadioButton& other) const {
  return &other.Owner() == &Owner() && other.ParentControl() == ParentControl() &&
         other.group_ == group_;
}

void RadioButton::SetChecked(bool checked) {
  if (checked == checked_) return;
  checked_ = checked;
  if (checked) {
    for (Control* c : Owner().Controls()) {
      if (c == this || c->Kind() != ControlKind::RadioButton) continue;
      auto* other = static_cast<RadioButton*>(c);
      if (other->checked_ && SameGroup(*other)) {
        other->checked_ = false;
        other->NotifyChanged();
      }
    }
  }
  NotifyChanged();
  if (checked && OnClick) OnClick();
}

void SpeedButton::SetDown(bool down) {
  if (down_ == down) return;
  down_ = down;
  if (down && groupIndex_ > 0) {
    for (Control* c : Owner().Controls()) {
      if (c == this || c->Kind() != ControlKind::SpeedButton) continue;
      auto* other = static_cast<SpeedButton*>(c);
      if (other->groupIndex_ == groupIndex_ && other->down_) {
        other->down_ = false;
        other->NotifyChanged();
      }
    }
  }
  NotifyChanged();
}

void SpeedButton::Click() {
  if (groupIndex_ > 0) {
    if (!down_) {
      SetDown(true);
    } else if (allowAllUp_) {
      SetDown(false);
    }
  }
  if (OnClick) OnClick();
}

}  // namespace orniva
