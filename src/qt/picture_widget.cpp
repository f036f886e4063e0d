#include "qt/picture_widget.h"

#include "qt/bindings.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>

namespace orniva {

unsigned ShiftFromQt(Qt::KeyboardModifiers mods, Qt::MouseButtons buttons) {
  unsigned s = 0;
  if (mods & Qt::ShiftModifier) s |= kShift;
  if (mods & Qt::AltModifier) s |= kAlt;
  if (mods & Qt::ControlModifier) s |= kCtrl;
  if (buttons & Qt::LeftButton) s |= kLeft;
  if (buttons & Qt::RightButton) s |= kRight;
  if (buttons & Qt::MiddleButton) s |= kMiddle;
  return s;
}

namespace {
MouseButton ButtonFromQt(Qt::MouseButton b) {
  if (b == Qt::RightButton) return MouseButton::Right;
  if (b == Qt::MiddleButton) return MouseButton::Middle;
  return MouseButton::Left;
}
}  // namespace

PictureWidget::PictureWidget(Picture& picture, QWidget* parent)
    : QWidget(parent), picture_(picture) {
  token_ = picture_.Subscribe([this] {
    updateGeometry();
    update();
  });
  setMouseTracking(true);
}

PictureWidget::~PictureWidget() {
  picture_.Unsubscribe(token_);
}

QImage PictureWidget::View() const {
  const Image& img = picture_.Bitmap();
  return QImage(img.Bits(), img.Width(), img.Height(), img.Stride(), QImage::Format_BGR888);
}

QSize PictureWidget::sizeHint() const {
  return {picture_.Bitmap().Width(), picture_.Bitmap().Height()};
}

QSize PictureWidget::minimumSizeHint() const {
  return picture_.Stretch() ? QSize(16, 16) : sizeHint();
}

void PictureWidget::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  QImage view = View();
  if (picture_.Stretch()) {
    painter.drawImage(rect(), view);
  } else {
    painter.drawImage(0, 0, view);
  }
}

QPoint PictureWidget::ToImage(QPointF p) const {
  if (!picture_.Stretch() || width() == 0 || height() == 0) return p.toPoint();
  return {static_cast<int>(p.x() * picture_.Bitmap().Width() / width()),
          static_cast<int>(p.y() * picture_.Bitmap().Height() / height())};
}

void PictureWidget::mousePressEvent(QMouseEvent* e) {
  QPoint p = ToImage(e->position());
  if (picture_.OnMouseDown) {
    picture_.OnMouseDown(ButtonFromQt(e->button()), ShiftFromQt(e->modifiers(), e->buttons()),
                         p.x(), p.y());
  }
}

void PictureWidget::mouseReleaseEvent(QMouseEvent* e) {
  QPoint p = ToImage(e->position());
  if (picture_.OnMouseUp) {
    picture_.OnMouseUp(ButtonFromQt(e->button()),
                       ShiftFromQt(e->modifiers(), e->buttons() | e->button()), p.x(), p.y());
  }
}

void PictureWidget::mouseMoveEvent(QMouseEvent* e) {
  QPoint p = ToImage(e->position());
  if (picture_.OnMouseMove)
    picture_.OnMouseMove(ShiftFromQt(e->modifiers(), e->buttons()), p.x(), p.y());
}

void PictureWidget::mouseDoubleClickEvent(QMouseEvent*) {
  if (picture_.OnDblClick) picture_.OnDblClick();
}

// The picture's pop-up menu, built when it opens.
void PictureWidget::contextMenuEvent(QContextMenuEvent* e) {
  if (!picture_.PopupMenu) return;
  QMenu menu(this);
  for (MenuItem* item : picture_.PopupMenu->Items()) {
    if (item->IsSeparator()) {
      menu.addSeparator();
      continue;
    }
    QAction* action = menu.addAction(QString::fromStdString(item->Caption()));
    action->setObjectName(QString::fromStdString(item->Name()));
    BindMenuAction(*item, action);
  }
  menu.exec(e->globalPos());
}

}  // namespace orniva
