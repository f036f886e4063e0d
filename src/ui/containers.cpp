#include "ui/containers.h"

namespace orniva {

void Panel::SetColor(Bgr color) {
  colorSet_ = true;
  if (color == color_) return;
  color_ = color;
  NotifyChanged();
}

void PageControl::AddPage(TabSheet* page) {
  pages_.push_back(page);
  if (active_ < 0) active_ = 0;
}

void PageControl::SetActivePageIndex(int index) {
  if (index < -1 || index >= static_cast<int>(pages_.size())) return;
  if (index == active_) return;
  active_ = index;
  NotifyChanged();
}

void PageControl::SetActivePage(const TabSheet& page) {
  SetActivePageIndex(page.PageIndex());
}

void PageControl::SelectFromUser(int index) {
  if (index == active_) return;
  SetActivePageIndex(index);
  if (OnChange) OnChange();
}

TabSheet::TabSheet(PageControl& pages, std::string name, std::string caption)
    : Control(pages, ControlKind::TabSheet, std::move(name), std::move(caption)), pages_(&pages) {
  pages.AddPage(this);
}

int TabSheet::PageIndex() const {
  const auto& all = pages_->Pages();
  for (size_t i = 0; i < all.size(); ++i) {
    if (all[i] == this) return static_cast<int>(i);
  }
  return -1;
}

void TabSheet::SetTabVisible(bool visible) {
  if (visible == tabVisible_) return;
  tabVisible_ = visible;
  NotifyChanged();
}

void StringGrid::SetSize(int colCount, int rowCount) {
  colCount = colCount < 0 ? 0 : colCount;
  rowCount = rowCount < 0 ? 0 : rowCount;
  std::vector<std::string> fresh(static_cast<size_t>(colCount) * rowCount);
  for (int r = 0; r < rows_ && r < rowCount; ++r) {
    for (int c = 0; c < cols_ && c < colCount; ++c) {
      fresh[static_cast<size_t>(r) * colCount + c] = std::move(cells_[r * cols_ + c]);
    }
  }
  cells_.swap(fresh);
  cols_ = colCount;
  rows_ = rowCount;
  NotifyChanged();
}

const std::string& StringGrid::Cell(int col, int row) const {
  static const std::string kEmpty;
  if (col < 0 || row < 0 || col >= cols_ || row >= rows_) return kEmpty;
  return cells_[static_cast<size_t>(row) * cols_ + col];
}

void StringGrid::SetCell(int col, int row, std::string text) {
  if (col < 0 || row < 0 || col >= cols_ || row >= rows_) return;
  cells_[static_cast<size_t>(row) * cols_ + col] = std::move(text);
  NotifyChanged();
}

}  // namespace orniva
