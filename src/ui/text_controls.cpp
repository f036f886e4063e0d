#include "ui/text_controls.h"

#include <algorithm>
#include <charconv>

namespace orniva {

void Edit::SetText(std::string text) {
  if (text == text_) return;
  text_ = std::move(text);
  NotifyChanged();
  if (OnChange) OnChange();
}

void NumEdit::SetValue(double value) {
  if (value == value_) return;
  value_ = value;
  NotifyChanged();
  if (OnChange) OnChange();
}

void NumEdit::SetValueFromUser(double value) {
  if (min_ < max_) value = std::clamp(value, min_, max_);
  SetValue(value);
}

void NumEdit::SetDecimals(int decimals) {
  decimals_ = std::max(0, decimals);
  NotifyChanged();
}

void NumEdit::SetRange(double min, double max) {
  min_ = min;
  max_ = max;
  NotifyChanged();
}

std::string NumEdit::Text() const {
  // Always with a "." (the desktop view sets the user's locale).
  char buf[400];
  auto r = std::to_chars(buf, buf + sizeof buf, value_, std::chars_format::fixed, decimals_);
  return r.ec == std::errc() ? std::string(buf, r.ptr) : std::string("0");
}

int SpinEdit::ClampValue(int v) const {
  if (min_ == max_) return v;
  return std::clamp(v, std::min(min_, max_), std::max(min_, max_));
}

void SpinEdit::SetValue(int value) {
  value = ClampValue(value);
  if (value == value_) return;
  value_ = value;
  NotifyChanged();
  if (OnChange) OnChange();
}

void SpinEdit::SetRange(int minValue, int maxValue) {
  min_ = minValue;
  max_ = maxValue;
  NotifyChanged();
  SetValue(value_);
}

void ComboBox::SetItems(std::vector<std::string> items) {
  items_ = std::move(items);
  if (index_ >= static_cast<int>(items_.size())) index_ = -1;
  if (index_ >= 0) text_ = items_[index_];
  NotifyChanged();
}

void ComboBox::AddItem(std::string item) {
  items_.push_back(std::move(item));
  NotifyChanged();
}

void ComboBox::SetItemIndex(int index) {
  if (index < -1 || index >= static_cast<int>(items_.size())) index = -1;
  index_ = index;
  if (index >= 0) {
    text_ = items_[index];
  } else if (!editable_) {
    text_.clear();
  }
  NotifyChanged();
}

int ComboBox::IndexOf(const std::string& item) const {
  auto it = std::find(items_.begin(), items_.end(), item);
  return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

void ComboBox::SetText(std::string text) {
  int index = IndexOf(text);
  if (index >= 0 || !editable_) {
    SetItemIndex(index);
    return;
  }
  index_ = -1;
  text_ = std::move(text);
  NotifyChanged();
}

void ComboBox::SelectFromUser(int index) {
  SetItemIndex(index);
  if (OnChange) OnChange();
}

void Memo::Changed() {
  NotifyChanged();
  if (OnChange) OnChange();
}

void Memo::SetLines(std::vector<std::string> lines) {
  if (lines == lines_) return;
  lines_ = std::move(lines);
  Changed();
}

void Memo::AddLine(std::string line) {
  lines_.push_back(std::move(line));
  Changed();
}

void Memo::DeleteLine(int index) {
  if (index < 0 || index >= LineCount()) return;
  lines_.erase(lines_.begin() + index);
  Changed();
}

std::string Memo::Text() const {
  std::string out;
  for (size_t i = 0; i < lines_.size(); ++i) {
    if (i) out += '\n';
    out += lines_[i];
  }
  return out;
}

void Memo::SetText(const std::string& text) {
  std::vector<std::string> lines;
  std::string cur;
  for (char ch : text) {
    if (ch == '\r') continue;
    if (ch == '\n') {
      lines.push_back(std::move(cur));
      cur.clear();
    } else {
      cur += ch;
    }
  }
  if (!cur.empty()) lines.push_back(std::move(cur));
  SetLines(std::move(lines));
}

}  // namespace orniva
