#pragma once

namespace orniva {

struct Bounds {
  int left = 0, top = 0, width = 0, height = 0;
  friend bool operator==(const Bounds&, const Bounds&) = default;
};

// Where a window is put back so that it can be seen before it is shown: a
// window whose left edge lies more than (screen width - 10) to the right
// moves to max(0, screen width - width - 1); likewise downwards; a window
// whose right (bottom) edge is less than 11 pixels past the screen's left
// (top) edge moves to 0.
inline Bounds BoundsOnScreen(Bounds b, int screenWidth, int screenHeight) {
  auto max0 = [](int v) { return v < 0 ? 0 : v; };
  if (b.left > screenWidth - 10) b.left = max0(screenWidth - b.width - 1);
  if (b.top > screenHeight - 10) b.top = max0(screenHeight - b.height - 1);
  if (b.left + b.width < 11) b.left = 0;
  if (b.top + b.height < 11) b.top = 0;
  return b;
}

}  // namespace orniva
