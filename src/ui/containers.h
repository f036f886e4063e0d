#pragma once

#include <functional>
#include <string>
#include <vector>

#include "core/image.h"
#include "ui/control.h"

namespace orniva {

// A panel: a container with a caption and a colour (some panels are colour
// swatches or status lamps).
class Panel : public Control {
 public:
  Panel(Parent p, std::string name, std::string caption = {})
      : Control(p, ControlKind::Panel, std::move(name), std::move(caption)) {}
  Bgr Color() const { return color_; }
  void SetColor(Bgr color);
  bool ColorSet() const { return colorSet_; }
  // Its controls side by side rather than one under the other (set when the
  // window is built).
  bool Horizontal() const { return horizontal_; }
  void SetHorizontal(bool horizontal) { horizontal_ = horizontal; }
  std::function<void()> OnClick;

 private:
  bool horizontal_ = false;
  Bgr color_{};
  bool colorSet_ = false;
};

// A framed group of controls.
class GroupBox : public Control {
 public:
  GroupBox(Parent p, std::string name, std::string caption = {})
      : Control(p, ControlKind::GroupBox, std::move(name), std::move(caption)) {}
};

class TabSheet;

// Tabs, each a TabSheet created with the page control as its parent.
// Setting the active page from code calls nothing; SelectFromUser (the
// operator picking a tab) sets it and calls OnChange.
class PageControl : public Control {
 public:
  PageControl(Parent p, std::string name) : Control(p, ControlKind::PageControl, std::move(name)) {}
  const std::vector<TabSheet*>& Pages() const { return pages_; }
  int ActivePageIndex() const { return active_; }
  TabSheet* ActivePage() const { return active_ >= 0 ? pages_[active_] : nullptr; }
  void SetActivePageIndex(int index);
  void SetActivePage(const TabSheet& page);
  void SelectFromUser(int index);
  std::function<void()> OnChange;

 private:
  friend class TabSheet;
  void AddPage(TabSheet* page);
  std::vector<TabSheet*> pages_;
  int active_ = -1;
};

class TabSheet : public Control {
 public:
  TabSheet(PageControl& pages, std::string name, std::string caption = {});
  PageControl& Pages() const { return *pages_; }
  int PageIndex() const;
  bool IsActive() const { return pages_->ActivePage() == this; }
  bool TabVisible() const { return tabVisible_; }
  void SetTabVisible(bool visible);

 private:
  PageControl* pages_;
  bool tabVisible_ = true;
};

// A table of text cells, Cell(column, row); row 0 and column 0 are often
// fixed headings.
class StringGrid : public Control {
 public:
  StringGrid(Parent p, std::string name, int colCount = 5, int rowCount = 5)
      : Control(p, ControlKind::StringGrid, std::move(name)) {
    SetSize(colCount, rowCount);
  }
  int ColCount() const { return cols_; }
  int RowCount() const { return rows_; }
  void SetSize(int colCount, int rowCount);  // keeps the cells inside both sizes
  const std::string& Cell(int col, int row) const;
  void SetCell(int col, int row, std::string text);  // outside the grid: ignored

 private:
  int cols_ = 0, rows_ = 0;
  std::vector<std::string> cells_;
};

}  // namespace orniva
