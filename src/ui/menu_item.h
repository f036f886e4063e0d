#pragma once

#include <functional>
#include <string>
#include <vector>

#include "ui/control.h"

namespace orniva {

// A menu item. Created on a window it is an entry of the window's menu bar
// (or the root of a pop-up menu when SetPopup is called); created on another
// item it is one of that item's children. A caption of "-" is a separator.
// Setting Checked from code calls nothing; on a radio item it unchecks the
// siblings of the same group index. Click() is the operator's choice: it
// calls OnClick (a disabled item does nothing).
class MenuItem : public Control {
 public:
  MenuItem(Parent p, std::string name, std::string caption = {});
  const std::vector<MenuItem*>& Items() const { return items_; }
  MenuItem* ParentItem() const { return parentItem_; }
  bool Checked() const { return checked_; }
  void SetChecked(bool checked);
  bool RadioItem() const { return radioItem_; }
  void SetRadioItem(bool radio, int groupIndex = 0) {
    radioItem_ = radio;
    groupIndex_ = groupIndex;
  }
  int GroupIndex() const { return groupIndex_; }
  bool IsSeparator() const { return Caption() == "-"; }
  bool IsPopup() const { return popup_; }
  void SetPopup(bool popup) { popup_ = popup; }
  const std::string& ShortCut() const { return shortCut_; }
  void SetShortCut(std::string shortCut) { shortCut_ = std::move(shortCut); }
  void Click() {
    if (Enabled() && OnClick) OnClick();
  }
  std::function<void()> OnClick;

 private:
  MenuItem* parentItem_ = nullptr;
  std::vector<MenuItem*> items_;
  bool checked_ = false;
  bool radioItem_ = false;
  int groupIndex_ = 0;
  bool popup_ = false;
  std::string shortCut_;
};

}  // namespace orniva
