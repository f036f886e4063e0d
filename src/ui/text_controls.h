#pragma once

#include <functional>
#include <string>
#include <vector>

#include "ui/control.h"

namespace orniva {

// A label: its caption is its text. No events.
class Label : public Control {
 public:
  Label(Parent p, std::string name, std::string caption = {})
      : Control(p, ControlKind::Label, std::move(name), std::move(caption)) {}
};

// A one-line text field. Setting Text from code to a new value calls
// OnChange, as typing does.
class Edit : public Control {
 public:
  Edit(Parent p, std::string name, std::string text = {})
      : Control(p, ControlKind::Edit, std::move(name)), text_(std::move(text)) {}
  const std::string& Text() const { return text_; }
  void SetText(std::string text);
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool readOnly) { readOnly_ = readOnly; }
  std::function<void()> OnChange;

 private:
  std::string text_;
  bool readOnly_ = false;
};

// A numeric field holding a 64-bit float shown with a fixed number of
// decimals. Setting Value from code stores it as given (no clamping; the
// range bounds only what the operator types) and calls OnChange when it
// changed. SetValueFromUser is the operator's entry: clamped to
// [Min, Max] when Min < Max, then set.
class NumEdit : public Control {
 public:
  NumEdit(Parent p, std::string name, double value = 0, int decimals = 0, double min = 0,
          double max = 0)
      : Control(p, ControlKind::NumEdit, std::move(name)),
        value_(value),
        decimals_(decimals),
        min_(min),
        max_(max) {}
  double Value() const { return value_; }
  void SetValue(double value);
  void SetValueFromUser(double value);
  int Decimals() const { return decimals_; }
  void SetDecimals(int decimals);
  double Min() const { return min_; }
  double Max() const { return max_; }
  void SetRange(double min, double max);
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool readOnly) { readOnly_ = readOnly; }
  // The value as the field shows it.
  std::string Text() const;
  std::function<void()> OnChange;

 private:
  double value_;
  int decimals_;
  double min_, max_;
  bool readOnly_ = false;
};

// A spin field holding an integer. Setting Value from code clamps it to
// [MinValue, MaxValue] unless both are equal (no range), and calls OnChange
// when the shown value changed. Up/Down step by Increment as the arrows do.
class SpinEdit : public Control {
 public:
  SpinEdit(Parent p, std::string name, int value = 0, int minValue = 0, int maxValue = 0,
           int increment = 1)
      : Control(p, ControlKind::SpinEdit, std::move(name)),
        min_(minValue),
        max_(maxValue),
        increment_(increment),
        value_(ClampValue(value)) {}
  int Value() const { return value_; }
  void SetValue(int value);
  int MinValue() const { return min_; }
  int MaxValue() const { return max_; }
  void SetRange(int minValue, int maxValue);
  int Increment() const { return increment_; }
  void Up() { SetValue(value_ + increment_); }
  void Down() { SetValue(value_ - increment_); }
  std::function<void()> OnChange;

 private:
  int ClampValue(int v) const;
  int min_, max_, increment_;
  int value_;
};

// A drop-down list. Setting ItemIndex or Text from code calls nothing;
// SelectFromUser (the operator picking an item) sets the index and calls
// OnChange. ItemIndex -1 means no item; Text is the selected item's text, or
// the typed text of an editable list.
class ComboBox : public Control {
 public:
  ComboBox(Parent p, std::string name, std::vector<std::string> items = {}, int itemIndex = -1,
           bool editable = false)
      : Control(p, ControlKind::ComboBox, std::move(name)),
        items_(std::move(items)),
        editable_(editable) {
    SetItemIndex(itemIndex);
  }
  const std::vector<std::string>& Items() const { return items_; }
  void SetItems(std::vector<std::string> items);  // keeps the index when still valid
  void AddItem(std::string item);
  void ClearItems() { SetItems({}); }
  int ItemIndex() const { return index_; }
  void SetItemIndex(int index);
  const std::string& Text() const { return text_; }
  void SetText(std::string text);  // selects the item of that text if there is one
  int IndexOf(const std::string& item) const;
  bool Editable() const { return editable_; }
  void SelectFromUser(int index);
  std::function<void()> OnChange;

 private:
  std::vector<std::string> items_;
  int index_ = -1;
  std::string text_;
  bool editable_;
};

// A multi-line text. Changing its lines from code calls OnChange.
class Memo : public Control {
 public:
  Memo(Parent p, std::string name) : Control(p, ControlKind::Memo, std::move(name)) {}
  const std::vector<std::string>& Lines() const { return lines_; }
  int LineCount() const { return static_cast<int>(lines_.size()); }
  void SetLines(std::vector<std::string> lines);
  void AddLine(std::string line);
  void DeleteLine(int index);
  void Clear() { SetLines({}); }
  // All lines joined with '\n'; SetText splits at '\n' (and drops '\r').
  std::string Text() const;
  void SetText(const std::string& text);
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool readOnly) { readOnly_ = readOnly; }
  std::function<void()> OnChange;

 private:
  void Changed();
  std::vector<std::string> lines_;
  bool readOnly_ = false;
};

}  // namespace orniva
