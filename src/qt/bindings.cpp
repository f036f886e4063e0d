#include "qt/bindings.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleValidator>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>
#include <QTableWidget>
#include <QToolButton>
#include <string>

#include "qt/picture_widget.h"
#include "ui/controls.h"

namespace orniva {
namespace {

QString Q(const std::string& s) {
  return QString::fromStdString(s);
}

// What every widget follows: enabled, visible, hint.
void Common(Control& c, QWidget* w) {
  w->setObjectName(Q(c.Name()));
  Follow(c, w, [&c, w] {
    w->setEnabled(c.Enabled());
    w->setVisible(c.Visible());
    w->setToolTip(Q(c.Hint()));
  });
}

// A tool-bar button shows its caption; one that only had a picture shows
// the start of its hint, or its name without the kind prefix.
std::string ToolButtonText(const Control& c) {
  if (!c.Caption().empty()) return c.Caption();
  const std::string& hint = c.Hint();
  if (!hint.empty()) {
    const size_t cut = hint.find_first_of(".(\n");
    std::string text = hint.substr(0, cut);
    if (text.size() > 24) text = text.substr(0, text.rfind(' ', 24)) + "…";
    return text;
  }
  const size_t underscore = c.Name().find('_');
  return underscore == std::string::npos ? c.Name() : c.Name().substr(underscore + 1);
}

template <typename T>
T& As(Control& c) {
  return static_cast<T&>(c);
}

QWidget* MakeNumEdit(NumEdit& n, QWidget* parent) {
  auto* w = new QLineEdit(parent);
  w->setValidator(new QDoubleValidator(w));
  QObject::connect(w, &QLineEdit::editingFinished, [&n, w] {
    bool ok = false;
    double v = w->text().toDouble(&ok);
    if (ok) n.SetValueFromUser(v);
    w->setText(Q(n.Text()));
  });
  Follow(n, w, [&n, w] {
    if (!w->hasFocus()) w->setText(Q(n.Text()));
    w->setReadOnly(n.ReadOnly());
  });
  return w;
}

QWidget* MakeRange(RangeControl& r, QWidget* parent) {
  QAbstractSlider* w;
  if (r.Kind() == ControlKind::ScrollBar) {
    w = new QScrollBar(Qt::Horizontal, parent);
  } else {
    const bool vertical = static_cast<TrackBar&>(r).Vertical();
    w = new QSlider(vertical ? Qt::Vertical : Qt::Horizontal, parent);
    if (vertical) w->setInvertedAppearance(true);  // position 0 at the top
  }
  QObject::connect(w, &QAbstractSlider::valueChanged, [&r](int v) { r.SetPosition(v); });
  Follow(r, w, [&r, w] {
    QSignalBlocker block(w);
    w->setRange(r.Min(), r.Max());
    w->setSingleStep(r.SmallChange());
    w->setPageStep(r.LargeChange());
    w->setValue(r.Position());
  });
  return w;
}

QWidget* MakeGrid(StringGrid& g, QWidget* parent) {
  auto* w = new QTableWidget(parent);
  w->horizontalHeader()->hide();
  w->verticalHeader()->hide();
  Follow(g, w, [&g, w] {
    w->setColumnCount(g.ColCount());
    w->setRowCount(g.RowCount());
    for (int r = 0; r < g.RowCount(); ++r) {
      for (int c = 0; c < g.ColCount(); ++c) {
        w->setItem(r, c, new QTableWidgetItem(Q(g.Cell(c, r))));
      }
    }
  });
  return w;
}

}  // namespace

void Follow(Control& c, QObject* widget, std::function<void()> refresh) {
  refresh();
  int token = c.Subscribe(refresh);
  QObject::connect(widget, &QObject::destroyed, [&c, token] { c.Unsubscribe(token); });
}

QWidget* MakeBoundWidget(Control& c, QWidget* parent) {
  QWidget* w = nullptr;
  switch (c.Kind()) {
    case ControlKind::Button: {
      auto* b = new QPushButton(parent);
      QObject::connect(b, &QPushButton::clicked, [&c] { As<Button>(c).Click(); });
      Follow(c, b, [&c, b] { b->setText(Q(c.Caption())); });
      w = b;
      break;
    }
    case ControlKind::CheckBox: {
      auto* b = new QCheckBox(parent);
      QObject::connect(b, &QCheckBox::clicked, [&c](bool on) { As<CheckBox>(c).SetChecked(on); });
      Follow(c, b, [&c, b] {
        QSignalBlocker block(b);
        b->setText(Q(c.Caption()));
        b->setChecked(As<CheckBox>(c).Checked());
      });
      w = b;
      break;
    }
    case ControlKind::RadioButton: {
      auto* b = new QRadioButton(parent);
      b->setAutoExclusive(false);  // the model keeps the groups
      QObject::connect(b, &QRadioButton::clicked, [&c, b] {
        As<RadioButton>(c).Click();
        QSignalBlocker block(b);
        b->setChecked(As<RadioButton>(c).Checked());
      });
      Follow(c, b, [&c, b] {
        QSignalBlocker block(b);
        b->setText(Q(c.Caption()));
        b->setChecked(As<RadioButton>(c).Checked());
      });
      w = b;
      break;
    }
    case ControlKind::SpeedButton: {
      auto* b = new QToolButton(parent);
      b->setCheckable(true);
      QObject::connect(b, &QToolButton::clicked, [&c, b] {
        As<SpeedButton>(c).Click();
        QSignalBlocker block(b);
        b->setChecked(As<SpeedButton>(c).Down());
      });
      Follow(c, b, [&c, b] {
        QSignalBlocker block(b);
        b->setText(Q(ToolButtonText(c)));
        b->setChecked(As<SpeedButton>(c).Down());
      });
      w = b;
      break;
    }
    case ControlKind::Label: {
      auto* l = new QLabel(parent);
      Follow(c, l, [&c, l] { l->setText(Q(c.Caption())); });
      w = l;
      break;
    }
    case ControlKind::Edit: {
      auto* e = new QLineEdit(parent);
      QObject::connect(e, &QLineEdit::textEdited,
                       [&c](const QString& t) { As<Edit>(c).SetText(t.toStdString()); });
      Follow(c, e, [&c, e] {
        if (e->text().toStdString() != As<Edit>(c).Text()) e->setText(Q(As<Edit>(c).Text()));
        e->setReadOnly(As<Edit>(c).ReadOnly());
      });
      w = e;
      break;
    }
    case ControlKind::NumEdit:
      w = MakeNumEdit(As<NumEdit>(c), parent);
      break;
    case ControlKind::SpinEdit: {
      auto* s = new QSpinBox(parent);
      QObject::connect(s, &QSpinBox::valueChanged, [&c](int v) { As<SpinEdit>(c).SetValue(v); });
      Follow(c, s, [&c, s] {
        auto& m = As<SpinEdit>(c);
        QSignalBlocker block(s);
        if (m.MinValue() == m.MaxValue()) {
          s->setRange(INT32_MIN, INT32_MAX);
        } else {
          s->setRange(m.MinValue(), m.MaxValue());
        }
        s->setSingleStep(m.Increment());
        s->setValue(m.Value());
      });
      w = s;
      break;
    }
    case ControlKind::ComboBox: {
      auto* b = new QComboBox(parent);
      QObject::connect(b, &QComboBox::activated,
                       [&c](int index) { As<ComboBox>(c).SelectFromUser(index); });
      Follow(c, b, [&c, b] {
        auto& m = As<ComboBox>(c);
        QSignalBlocker block(b);
        b->clear();
        for (const auto& item : m.Items()) b->addItem(Q(item));
        b->setCurrentIndex(m.ItemIndex());
      });
      w = b;
      break;
    }
    case ControlKind::Memo: {
      auto* e = new QPlainTextEdit(parent);
      QObject::connect(e, &QPlainTextEdit::textChanged,
                       [&c, e] { As<Memo>(c).SetText(e->toPlainText().toStdString()); });
      Follow(c, e, [&c, e] {
        auto& m = As<Memo>(c);
        if (e->toPlainText().toStdString() != m.Text()) {
          QSignalBlocker block(e);
          e->setPlainText(Q(m.Text()));
        }
        e->setReadOnly(m.ReadOnly());
      });
      w = e;
      break;
    }
    case ControlKind::ScrollBar:
    case ControlKind::TrackBar:
      w = MakeRange(As<RangeControl>(c), parent);
      break;
    case ControlKind::Panel: {
      auto* f = new QFrame(parent);
      f->setFrameShape(QFrame::StyledPanel);
      f->setAutoFillBackground(true);
      Follow(c, f, [&c, f] {
        auto& p = As<Panel>(c);
        if (p.ColorSet()) {
          QPalette pal = f->palette();
          pal.setColor(QPalette::Window, QColor(p.Color().r, p.Color().g, p.Color().b));
          f->setPalette(pal);
        }
      });
      w = f;
      break;
    }
    case ControlKind::StringGrid:
      w = MakeGrid(As<StringGrid>(c), parent);
      break;
    case ControlKind::Picture:
      w = new PictureWidget(As<Picture>(c), parent);
      break;
    default:
      return nullptr;  // containers, menu items and timers are handled by the window
  }
  Common(c, w);
  return w;
}

void BindMenuAction(MenuItem& item, QAction* action) {
  QObject::connect(action, &QAction::triggered, [&item, action] {
    item.Click();
    action->setChecked(item.Checked());  // the model decides what is checked
  });
  Follow(item, action, [&item, action] {
    action->setText(Q(item.Caption()));
    action->setEnabled(item.Enabled());
    action->setVisible(item.Visible());
    action->setToolTip(Q(item.Hint()));
    action->setCheckable(item.Checked() || item.RadioItem());
    action->setChecked(item.Checked());
  });
}

}  // namespace orniva
