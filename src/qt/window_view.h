#pragma once

#include <QMainWindow>
#include <map>

#include "ui/menu_item.h"
#include "ui/window.h"

class QMenu;

namespace orniva {

// A desktop window built from a window model: its menu bar from the
// top-level menu items, its controls laid out in creation order (page
// controls as tabs, group boxes as frames), each widget bound both ways to
// its control. Showing and hiding follow the model.
class WindowView : public QMainWindow {
  Q_OBJECT
 public:
  explicit WindowView(Window& model, QWidget* parent = nullptr);
  ~WindowView() override;
  Window& Model() const { return model_; }
  // The widget that shows a control (nullptr for timers and menu items).
  QWidget* WidgetFor(const std::string& controlName) const;

 protected:
  void closeEvent(QCloseEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;

 private:
  void BuildChildren(const Control* parent, QWidget* host);
  QWidget* MakeWidget(Control& c, QWidget* host);
  void BuildMenu(MenuItem& item, QMenu* into);
  void SyncWindow();

  Window& model_;
  int token_;
  std::map<std::string, QWidget*> widgets_;
};

}  // namespace orniva
