#include "ui/menu_item.h"

#include "ui/window.h"

namespace orniva {

MenuItem::MenuItem(Parent p, std::string name, std::string caption)
    : Control(p, ControlKind::MenuItem, std::move(name), std::move(caption)) {
  if (p.control && p.control->Kind() == ControlKind::MenuItem) {
    parentItem_ = static_cast<MenuItem*>(p.control);
    parentItem_->items_.push_back(this);
  }
}

void MenuItem::SetChecked(bool checked) {
  if (checked == checked_) return;
  checked_ = checked;
  if (checked && radioItem_) {
    std::vector<MenuItem*> siblings;
    if (parentItem_) {
      siblings = parentItem_->items_;
    } else {
      for (Control* c : Owner().Controls()) {
        if (c->Kind() == ControlKind::MenuItem && c->ParentControl() == nullptr) {
          siblings.push_back(static_cast<MenuItem*>(c));
        }
      }
    }
    for (MenuItem* s : siblings) {
      if (s != this && s->radioItem_ && s->groupIndex_ == groupIndex_ && s->checked_) {
        s->checked_ = false;
        s->NotifyChanged();
      }
    }
  }
  NotifyChanged();
}

}  // namespace orniva
