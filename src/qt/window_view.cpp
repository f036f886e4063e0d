#include "qt/window_view.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMenuBar>
#include <QScrollArea>
#include <QTabWidget>
#include <QVBoxLayout>

#include "qt/bindings.h"
#include "qt/picture_widget.h"
#include "ui/controls.h"

namespace orniva {
namespace {
QString Q(const std::string& s) {
  return QString::fromStdString(s);
}
}  // namespace

WindowView::WindowView(Window& model, QWidget* parent) : QMainWindow(parent), model_(model) {
  setObjectName(Q(model.Name()));
  for (Control* c : model.Children(nullptr)) {
    if (c->Kind() != ControlKind::MenuItem) continue;
    auto& item = static_cast<MenuItem&>(*c);
    if (item.IsPopup()) continue;
    // A top-level item without children is a command of the menu bar itself.
    if (item.Items().empty()) {
      QAction* action = menuBar()->addAction(Q(item.Caption()));
      action->setObjectName(Q(item.Name()));
      BindMenuAction(item, action);
      continue;
    }
    QMenu* menu = menuBar()->addMenu(Q(item.Caption()));
    Follow(item, menu, [&item, menu] {
      menu->setTitle(Q(item.Caption()));
      menu->setEnabled(item.Enabled());
      menu->menuAction()->setVisible(item.Visible());
    });
    for (MenuItem* child : item.Items()) BuildMenu(*child, menu);
  }
  auto* content = new QWidget;
  content->setLayout(new QVBoxLayout);
  BuildChildren(nullptr, content);
  static_cast<QVBoxLayout*>(content->layout())->addStretch(1);
  auto* scroll = new QScrollArea;
  scroll->setWidgetResizable(true);
  scroll->setWidget(content);
  setCentralWidget(scroll);
  const Bounds& b = model.GetBounds();
  setGeometry(b.left, b.top, b.width, b.height);
  token_ = model_.Subscribe([this] { SyncWindow(); });
  SyncWindow();
}

WindowView::~WindowView() {
  model_.Unsubscribe(token_);
}

QWidget* WindowView::WidgetFor(const std::string& controlName) const {
  auto it = widgets_.find(controlName);
  return it == widgets_.end() ? nullptr : it->second;
}

void WindowView::BuildMenu(MenuItem& item, QMenu* into) {
  if (item.IsSeparator()) {
    into->addSeparator();
    return;
  }
  if (!item.Items().empty()) {
    QMenu* sub = into->addMenu(Q(item.Caption()));
    for (MenuItem* child : item.Items()) BuildMenu(*child, sub);
    return;
  }
  QAction* action = into->addAction(Q(item.Caption()));
  action->setObjectName(Q(item.Name()));
  BindMenuAction(item, action);
}

void WindowView::BuildChildren(const Control* parent, QWidget* host) {
  // Speed buttons that follow each other form a tool bar: one row.
  QHBoxLayout* toolRow = nullptr;
  for (Control* c : model_.Children(parent)) {
    QWidget* w = MakeWidget(*c, host);
    if (!w) continue;
    widgets_[c->Name()] = w;
    if (c->Kind() != ControlKind::SpeedButton) {
      toolRow = nullptr;
      host->layout()->addWidget(w);
      continue;
    }
    if (!toolRow) {
      toolRow = new QHBoxLayout;
      toolRow->setSpacing(2);
      static_cast<QBoxLayout*>(host->layout())->addLayout(toolRow);
      toolRow->addStretch(1);
    }
    toolRow->insertWidget(toolRow->count() - 1, w);
  }
}

QWidget* WindowView::MakeWidget(Control& c, QWidget* host) {
  switch (c.Kind()) {
    case ControlKind::GroupBox: {
      auto* g = new QGroupBox(host);
      g->setObjectName(Q(c.Name()));
      g->setLayout(new QVBoxLayout);
      Follow(c, g, [&c, g] {
        g->setTitle(Q(c.Caption()));
        g->setEnabled(c.Enabled());
        g->setVisible(c.Visible());
      });
      BuildChildren(&c, g);
      return g;
    }
    case ControlKind::PageControl: {
      auto& pages = static_cast<PageControl&>(c);
      auto* tabs = new QTabWidget(host);
      tabs->setObjectName(Q(c.Name()));
      for (TabSheet* sheet : pages.Pages()) {
        auto* page = new QWidget;
        page->setObjectName(Q(sheet->Name()));
        page->setLayout(new QVBoxLayout);
        BuildChildren(sheet, page);
        static_cast<QVBoxLayout*>(page->layout())->addStretch(1);
        tabs->addTab(page, Q(sheet->Caption()));
        widgets_[sheet->Name()] = page;
        Follow(*sheet, page, [sheet, tabs, page] {
          int i = tabs->indexOf(page);
          tabs->setTabText(i, Q(sheet->Caption()));
          tabs->setTabVisible(i, sheet->TabVisible());
        });
      }
      QObject::connect(tabs, &QTabWidget::currentChanged, [&pages](int index) {
        if (index != pages.ActivePageIndex()) pages.SelectFromUser(index);
      });
      Follow(c, tabs, [&pages, tabs] {
        if (pages.ActivePageIndex() >= 0 && tabs->currentIndex() != pages.ActivePageIndex()) {
          QSignalBlocker block(tabs);
          tabs->setCurrentIndex(pages.ActivePageIndex());
        }
        tabs->setEnabled(pages.Enabled());
        tabs->setVisible(pages.Visible());
      });
      return tabs;
    }
    case ControlKind::Panel: {
      QWidget* w = MakeBoundWidget(c, host);
      if (static_cast<Panel&>(c).Horizontal()) {
        w->setLayout(new QHBoxLayout);
      } else {
        w->setLayout(new QVBoxLayout);
      }
      BuildChildren(&c, w);
      return w;
    }
    default:
      return MakeBoundWidget(c, host);
  }
}

void WindowView::SyncWindow() {
  setWindowTitle(Q(model_.Caption()));
  if (model_.StayOnTop() != bool(windowFlags() & Qt::WindowStaysOnTopHint)) {
    setWindowFlag(Qt::WindowStaysOnTopHint, model_.StayOnTop());
  }
  if (model_.Borderless() != bool(windowFlags() & Qt::FramelessWindowHint)) {
    setWindowFlag(Qt::FramelessWindowHint, model_.Borderless());
    if (model_.Borderless()) {
      menuBar()->hide();
      if (auto* scroll = qobject_cast<QScrollArea*>(centralWidget())) {
        scroll->setFrameShape(QFrame::NoFrame);
        scroll->widget()->layout()->setContentsMargins(0, 0, 0, 0);
      }
    }
  }
  if (model_.Visible() != isVisible()) setVisible(model_.Visible());
  if (model_.State() == WindowState::Minimized && !isMinimized()) showMinimized();
  if (model_.Visible() && model_.State() == WindowState::Maximized && !isMaximized()) {
    showMaximized();
  }
}

void WindowView::keyPressEvent(QKeyEvent* e) {
  if (model_.OnKeyDown) {
    int key = e->key() == Qt::Key_Escape ? kKeyEscape : e->key();
    model_.OnKeyDown(key, ShiftFromQt(e->modifiers(), Qt::NoButton));
  }
  QMainWindow::keyPressEvent(e);
}

// The operator's resizing reaches the model (windows that lay out their
// pictures by their size, such as the mini source).
void WindowView::resizeEvent(QResizeEvent* e) {
  QMainWindow::resizeEvent(e);
  if (!isVisible()) return;
  Bounds b = model_.GetBounds();
  if (b.width == width() && b.height == height()) return;
  b.width = width();
  b.height = height();
  model_.SetBounds(b);
}

void WindowView::closeEvent(QCloseEvent* e) {
  // The model decides: it may refuse, or hide the window.
  if (model_.Close()) {
    e->accept();
  } else {
    e->ignore();
  }
}

}  // namespace orniva
