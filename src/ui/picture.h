#pragma once

#include <functional>

#include "core/image.h"
#include "ui/control.h"

namespace orniva {

class MenuItem;

enum class MouseButton { Left, Right, Middle };

// Keys and buttons held during a mouse event.
enum ShiftState : unsigned {
  kShift = 1,
  kAlt = 2,
  kCtrl = 4,
  kLeft = 8,
  kRight = 16,
  kMiddle = 32,
  kDouble = 64
};

// A picture on a page: it owns the image it shows and reports mouse events
// in image coordinates. Invalidate() asks the views to repaint it.
class Picture : public Control {
 public:
  Picture(Parent p, std::string name, int width = 1, int height = 1)
      : Control(p, ControlKind::Picture, std::move(name)), image_(width, height) {}
  Image& Bitmap() { return image_; }
  const Image& Bitmap() const { return image_; }
  void Invalidate() { NotifyChanged(); }
  bool Stretch() const { return stretch_; }
  void SetStretch(bool stretch) { stretch_ = stretch; }

  std::function<void(MouseButton, unsigned shift, int x, int y)> OnMouseDown;
  std::function<void(MouseButton, unsigned shift, int x, int y)> OnMouseUp;
  std::function<void(unsigned shift, int x, int y)> OnMouseMove;
  std::function<void()> OnDblClick;
  // The menu a right click on the picture opens (a pop-up root item), if any.
  MenuItem* PopupMenu = nullptr;

 private:
  Image image_;
  bool stretch_ = false;
};

}  // namespace orniva
