#include "ui/control.h"

#include "ui/window.h"

namespace orniva {

const char* ControlKindName(ControlKind kind) {
  switch (kind) {
    case ControlKind::Button:
      return "Button";
    case ControlKind::CheckBox:
      return "CheckBox";
    case ControlKind::RadioButton:
      return "RadioButton";
    case ControlKind::SpeedButton:
      return "SpeedButton";
    case ControlKind::Label:
      return "Label";
    case ControlKind::Edit:
      return "Edit";
    case ControlKind::NumEdit:
      return "NumEdit";
    case ControlKind::SpinEdit:
      return "SpinEdit";
    case ControlKind::ComboBox:
      return "ComboBox";
    case ControlKind::Memo:
      return "Memo";
    case ControlKind::ScrollBar:
      return "ScrollBar";
    case ControlKind::TrackBar:
      return "TrackBar";
    case ControlKind::Panel:
      return "Panel";
    case ControlKind::GroupBox:
      return "GroupBox";
    case ControlKind::PageControl:
      return "PageControl";
    case ControlKind::TabSheet:
      return "TabSheet";
    case ControlKind::StringGrid:
      return "StringGrid";
    case ControlKind::MenuItem:
      return "MenuItem";
    case ControlKind::Timer:
      return "Timer";
    case ControlKind::Picture:
      return "Picture";
  }
  return "?";
}

Parent::Parent(Control& c) : window(&c.Owner()), control(&c) {}

Control::Control(Parent parent, ControlKind kind, std::string name, std::string caption)
    : kind_(kind),
      name_(std::move(name)),
      owner_(parent.window),
      parent_(parent.control),
      caption_(std::move(caption)) {
  owner_->Register(*this);
}

void Control::SetCaption(std::string caption) {
  if (caption == caption_) return;
  caption_ = std::move(caption);
  NotifyChanged();
}

void Control::SetHint(std::string hint) {
  if (hint == hint_) return;
  hint_ = std::move(hint);
  NotifyChanged();
}

void Control::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  NotifyChanged();
}

void Control::SetVisible(bool visible) {
  if (visible == visible_) return;
  visible_ = visible;
  NotifyChanged();
}

int Control::Subscribe(std::function<void()> listener) {
  int token = nextToken_++;
  listeners_[token] = std::move(listener);
  return token;
}

void Control::Unsubscribe(int token) {
  listeners_.erase(token);
}

void Control::NotifyChanged() {
  // A listener may unsubscribe while we call it: walk a copy.
  auto copy = listeners_;
  for (auto& [token, fn] : copy) fn();
}

}  // namespace orniva
