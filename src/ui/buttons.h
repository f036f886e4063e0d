#pragma once

#include <functional>

#include "ui/control.h"

namespace orniva {

// A push button. Click() calls OnClick, as a press by the operator does.
class Button : public Control {
 public:
  Button(Parent p, std::string name, std::string caption = {})
      : Control(p, ControlKind::Button, std::move(name), std::move(caption)) {}
  void Click() {
    if (OnClick) OnClick();
  }
  std::function<void()> OnClick;
};

// A check box. Setting Checked from code to a new value calls OnClick, as the
// toolkit of the original program does; setting it to its current value
// calls nothing. Toggle() is the operator's click.
class CheckBox : public Control {
 public:
  CheckBox(Parent p, std::string name, std::string caption = {}, bool checked = false)
      : Control(p, ControlKind::CheckBox, std::move(name), std::move(caption)), checked_(checked) {}
  bool Checked() const { return checked_; }
  void SetChecked(bool checked);
  void Toggle() { SetChecked(!checked_); }
  std::function<void()> OnClick;

 private:
  bool checked_;
};

// A radio button. Its group is the container it sits in (or an explicit
// group name when several groups share one container). Setting Checked to
// true unchecks the others of the group without calling their handlers and,
// when it was not checked before, calls OnClick. Setting it to false calls
// nothing. Click() is the operator's click (checks it).
class RadioButton : public Control {
 public:
  RadioButton(Parent p, std::string name, std::string caption = {}, bool checked = false,
              std::string group = {})
      : Control(p, ControlKind::RadioButton, std::move(name), std::move(caption)),
        checked_(checked),
        group_(std::move(group)) {}
  bool Checked() const { return checked_; }
  void SetChecked(bool checked);
  void Click() { SetChecked(true); }
  const std::string& Group() const { return group_; }
  bool SameGroup(const RadioButton& other) const;
  std::function<void()> OnClick;

 private:
  bool checked_;
  std::string group_;
};

// A speed button (a flat tool-bar button that can stay down). With a group
// index above 0 it belongs to the group of that index among its window's
// speed buttons: at most one is down, and all may be up only when
// AllowAllUp. Setting Down from code never calls OnClick (and pressing one
// of a group raises the others). Click() is the operator's press: in a
// group it goes down (or up again when AllowAllUp and already down), then
// OnClick is called.
class SpeedButton : public Control {
 public:
  SpeedButton(Parent p, std::string name, std::string caption = {}, int groupIndex = 0,
              bool allowAllUp = false)
      : Control(p, ControlKind::SpeedButton, std::move(name), std::move(caption)),
        groupIndex_(groupIndex),
        allowAllUp_(allowAllUp) {}
  bool Down() const { return down_; }
  void SetDown(bool down);
  int GroupIndex() const { return groupIndex_; }
  bool AllowAllUp() const { return allowAllUp_; }
  void Click();
  std::function<void()> OnClick;

 private:
  bool down_ = false;
  int groupIndex_;
  bool allowAllUp_;
};

}  // namespace orniva
