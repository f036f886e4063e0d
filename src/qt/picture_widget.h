#pragma once

#include <QWidget>

#include "ui/picture.h"

namespace orniva {

// Shows a Picture's image without copying it: a QImage over the same bytes,
// and mouse events passed back in image coordinates.
class PictureWidget : public QWidget {
  Q_OBJECT
 public:
  explicit PictureWidget(Picture& picture, QWidget* parent = nullptr);
  ~PictureWidget() override;
  QSize sizeHint() const override;
  // A picture shown at its own scale keeps its size: a window too small for
  // its controls scrolls instead of squeezing the picture away.
  QSize minimumSizeHint() const override;
  // The image as Qt sees it (shares the picture's bytes).
  QImage View() const;

 protected:
  void paintEvent(QPaintEvent*) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseDoubleClickEvent(QMouseEvent* e) override;
  void contextMenuEvent(QContextMenuEvent* e) override;

 private:
  QPoint ToImage(QPointF p) const;
  Picture& picture_;
  int token_;
};

unsigned ShiftFromQt(Qt::KeyboardModifiers mods, Qt::MouseButtons buttons);

}  // namespace orniva
