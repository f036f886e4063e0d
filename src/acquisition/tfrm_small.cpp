#include "acquisition/tfrm_small.h"

#include <algorithm>

#include "core/rounding.h"

namespace orniva {

TFRM_Small::TFRM_Small(Application& app) : Window(app, "TFRM_Small", "MiniSource") {
  SetBounds({20, 400, 170, 170});
  SetStayOnTop(true);
  Img_Small.OnMouseUp = [this](MouseButton b, unsigned shift, int x, int y) {
    Img_SmallMouseUp(b, shift, x, y);
  };
  RDB_Source1.OnClick = [this] { FormResize(); };
  RDB_Source2.OnClick = [this] { FormResize(); };
  OnShow = [this] { FormResize(); };
  OnHide = [this] {
    if (display_) display_->ComputeAndRedraw(Source());
  };
  // A new size from the operator or the view resizes the picture.
  token_ = Subscribe([this] {
    const Bounds& b = GetBounds();
    if (b.width != lastWidth_ || b.height != lastHeight_) FormResize();
  });
}

TFRM_Small::~TFRM_Small() {
  Unsubscribe(token_);
}

void TFRM_Small::FormResize() {
  const Bounds& b = GetBounds();
  lastWidth_ = b.width;
  lastHeight_ = b.height;
  DisplayHost& host = display_ ? display_->Host() : NoDisplayHost();
  const int height = std::max(1, b.height - kPanelHeight);
  const int width = std::max(1, static_cast<int>(Trunc(height * host.ZoneAspect())));
  Img_Small.Bitmap().Resize(width, height);
  Img_Small.Invalidate();
  if (!display_) return;
  const int source = Source();
  // The source page's picture is as wide as its camera's frame.
  display_->SetMiniSource(source);
  display_->SetMiniScale(static_cast<double>(host.FrameWidth(source)) / width);
  display_->ComputeAndRedraw(source);
}

void TFRM_Small::Img_SmallMouseUp(MouseButton button, unsigned shift, int x, int y) {
  if (!display_) return;
  const double scale = display_->MiniScale();
  display_->SourceMouseUp(Source(), button, shift, static_cast<int>(Trunc(x * scale)),
                          static_cast<int>(Trunc(y * scale)));
}

}  // namespace orniva
