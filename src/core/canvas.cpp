#include "core/canvas.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "core/log.h"
#include "core/text_renderer.h"

namespace orniva {
namespace {

constexpr int kDotRun = 3;  // pixels drawn, then as many skipped

bool Before(const Point& a, const Point& b) {
  return a.y != b.y ? a.y < b.y : a.x < b.x;
}

void SortUnique(std::vector<Point>& pts) {
  std::sort(pts.begin(), pts.end(), Before);
  pts.erase(std::unique(pts.begin(), pts.end()), pts.end());
}

// True when drawing c in this mode leaves every pixel as it is.
bool IsNoOp(Bgr c, PenMode mode) {
  return (mode == PenMode::NotXor && c == kWhite) || (mode == PenMode::Merge && c == kBlack);
}

uint8_t Combine(uint8_t d, uint8_t c, PenMode mode) {
  switch (mode) {
    case PenMode::Copy:
      return c;
    case PenMode::NotXor:
      return static_cast<uint8_t>(~(d ^ c));
    case PenMode::Merge:
      return d | c;
  }
  return c;
}

// Clips a rectangle to an image.
Rect ClipTo(Rect r, const Image& img) {
  return {std::max(r.left, 0), std::max(r.top, 0), std::min(r.right, img.Width()),
          std::min(r.bottom, img.Height())};
}

// Row and column maps of a nearest-pixel stretch of srcRect over dstRect,
// restricted to the destination pixels inside dst whose source lies inside
// src. Calls row(dy, sy, x0, x1, xmap) for each destination row.
template <typename RowFn>
void ForEachStretchedRow(const Image& dst, Rect dstRect, const Image& src, Rect srcRect,
                         RowFn row) {
  if (dstRect.Empty() || srcRect.Empty()) return;
  Rect clip = ClipTo(dstRect, dst);
  if (clip.Empty()) return;
  std::vector<int> xmap;
  xmap.reserve(clip.Width());
  int64_t dw = dstRect.Width(), sw = srcRect.Width();
  for (int x = clip.left; x < clip.right; ++x) {
    xmap.push_back(srcRect.left + static_cast<int>((x - dstRect.left) * sw / dw));
  }
  int64_t dh = dstRect.Height(), sh = srcRect.Height();
  for (int y = clip.top; y < clip.bottom; ++y) {
    int sy = srcRect.top + static_cast<int>((y - dstRect.top) * sh / dh);
    if (sy < 0 || sy >= src.Height()) continue;
    row(y, sy, clip.left, xmap);
  }
}

}  // namespace

void Canvas::Plot(int x, int y, Bgr c, PenMode mode) {
  if (!image_.Contains(x, y)) return;
  uint8_t* p = image_.ScanLine(y) + 3 * x;
  p[0] = Combine(p[0], c.b, mode);
  p[1] = Combine(p[1], c.g, mode);
  p[2] = Combine(p[2], c.r, mode);
}

void Canvas::PlotSet(std::vector<Point>& pts, Bgr c, PenMode mode) {
  SortUnique(pts);
  for (const Point& p : pts) Plot(p.x, p.y, c, mode);
}

void Canvas::SetPixel(int x, int y) {
  Plot(x, y, pen.color, pen.mode);
}

void Canvas::Stamp(int x, int y, std::vector<Point>& out) const {
  int w = std::max(1, pen.width);
  int lo = -(w / 2);
  for (int dy = lo; dy < lo + w; ++dy)
    for (int dx = lo; dx < lo + w; ++dx) out.push_back({x + dx, y + dy});
}

void Canvas::CollectLine(Point a, Point b, std::vector<Point>& out, bool dotted) {
  int dx = std::abs(b.x - a.x), dy = std::abs(b.y - a.y);
  int sx = a.x < b.x ? 1 : -1, sy = a.y < b.y ? 1 : -1;
  int steps = std::max(dx, dy);
  int err = (dx > dy ? dx : -dy) / 2;
  int x = a.x, y = a.y;
  for (int i = 0; i < steps; ++i) {
    if (!dotted || (dotPhase_ % (2 * kDotRun)) < kDotRun) Stamp(x, y, out);
    ++dotPhase_;
    int e2 = err;
    if (e2 > -dx) {
      err -= dy;
      x += sx;
    }
    if (e2 < dy) {
      err += dx;
      y += sy;
    }
  }
}

void Canvas::MoveTo(int x, int y) {
  pos_ = {x, y};
  dotPhase_ = 0;
}

void Canvas::LineTo(int x, int y) {
  std::vector<Point> pts;
  bool dotted = pen.style == PenStyle::Dot && pen.width <= 1;
  CollectLine(pos_, {x, y}, pts, dotted);
  pos_ = {x, y};
  PlotSet(pts, pen.color, pen.mode);
}

void Canvas::Polyline(const std::vector<Point>& points) {
  if (points.empty()) return;
  MoveTo(points[0].x, points[0].y);
  std::vector<Point> pts;
  bool dotted = pen.style == PenStyle::Dot && pen.width <= 1;
  for (size_t i = 1; i < points.size(); ++i) CollectLine(points[i - 1], points[i], pts, dotted);
  pos_ = points.back();
  PlotSet(pts, pen.color, pen.mode);
}

void Canvas::FillSpans(const std::vector<std::vector<int>>& spans, int top) {
  if (brush.clear || IsNoOp(brush.color, pen.mode)) return;
  for (size_t row = 0; row < spans.size(); ++row) {
    const auto& xs = spans[row];
    for (size_t k = 0; k + 1 < xs.size(); k += 2)
      for (int x = xs[k]; x < xs[k + 1]; ++x)
        Plot(x, top + static_cast<int>(row), brush.color, pen.mode);
  }
}

void Canvas::Polygon(const std::vector<Point>& points) {
  if (points.size() < 2) return;
  auto [minY, maxY] = std::minmax_element(points.begin(), points.end(),
                                          [](const Point& a, const Point& b) { return a.y < b.y; });
  int top = minY->y, bottom = maxY->y;
  std::vector<std::vector<int>> spans(static_cast<size_t>(std::max(0, bottom - top)));
  for (int y = top; y < bottom; ++y) {
    double cy = y + 0.5;
    std::vector<double> xs;
    for (size_t i = 0; i < points.size(); ++i) {
      Point a = points[i], b = points[(i + 1) % points.size()];
      if ((a.y <= cy) == (b.y <= cy)) continue;
      xs.push_back(a.x + (cy - a.y) * (b.x - a.x) / (b.y - a.y));
    }
    std::sort(xs.begin(), xs.end());
    auto& row = spans[static_cast<size_t>(y - top)];
    for (size_t k = 0; k + 1 < xs.size(); k += 2) {
      row.push_back(static_cast<int>(std::ceil(xs[k] - 0.5)));
      row.push_back(static_cast<int>(std::ceil(xs[k + 1] - 0.5)));
    }
  }
  FillSpans(spans, top);
  std::vector<Point> closed = points;
  closed.push_back(points.front());
  Polyline(closed);
}

void Canvas::Rectangle(int left, int top, int right, int bottom) {
  if (right < left) std::swap(left, right);
  if (bottom < top) std::swap(top, bottom);
  if (right - left < 1 || bottom - top < 1) return;
  if (right - left > 2 && bottom - top > 2) {
    std::vector<std::vector<int>> spans(static_cast<size_t>(bottom - top - 2),
                                        {left + 1, right - 1});
    FillSpans(spans, top + 1);
  }
  Polyline(
      {{left, top}, {right - 1, top}, {right - 1, bottom - 1}, {left, bottom - 1}, {left, top}});
  // A one-pixel-wide box has a zero-length closing line; its pixel is the start.
  if (right - left == 1 && bottom - top == 1) SetPixel(left, top);
}

void Canvas::Ellipse(int left, int top, int right, int bottom) {
  if (right < left) std::swap(left, right);
  if (bottom < top) std::swap(top, bottom);
  if (right - left < 1 || bottom - top < 1) return;
  double cx = (left + right - 1) * 0.5, cy = (top + bottom - 1) * 0.5;
  double ra = (right - left - 1) * 0.5, rb = (bottom - top - 1) * 0.5;
  auto near = [](double v) { return static_cast<int>(std::floor(v + 0.5)); };

  // The outline: per row its two ends, per column its two ends, so that the
  // curve is connected along both flat and steep arcs.
  std::vector<Point> outline;
  for (int y = top; y < bottom; ++y) {
    double t = rb > 0 ? (y - cy) / rb : 0;
    double half = ra * std::sqrt(std::max(0.0, 1 - t * t));
    outline.push_back({near(cx - half), y});
    outline.push_back({near(cx + half), y});
  }
  for (int x = left; x < right; ++x) {
    double t = ra > 0 ? (x - cx) / ra : 0;
    double half = rb * std::sqrt(std::max(0.0, 1 - t * t));
    outline.push_back({x, near(cy - half)});
    outline.push_back({x, near(cy + half)});
  }
  SortUnique(outline);

  // The inside: the pixels of each row strictly between the outline's ends.
  if (!brush.clear && !IsNoOp(brush.color, pen.mode)) {
    std::vector<std::vector<int>> spans(static_cast<size_t>(bottom - top));
    for (size_t i = 0; i < outline.size();) {
      size_t j = i;
      while (j < outline.size() && outline[j].y == outline[i].y) ++j;
      int lo = outline[i].x, hi = outline[j - 1].x;
      if (hi - lo > 1) spans[static_cast<size_t>(outline[i].y - top)] = {lo + 1, hi};
      i = j;
    }
    // Keep outline pixels out of the fill.
    for (size_t row = 0; row < spans.size(); ++row) {
      if (spans[row].empty()) continue;
      int y = top + static_cast<int>(row);
      std::vector<int> xs;
      for (const Point& p : outline)
        if (p.y == y) xs.push_back(p.x);
      std::vector<int> cut;
      int start = spans[row][0];
      for (int x : xs) {
        if (x < start || x >= spans[row][1]) continue;
        if (x > start) cut.insert(cut.end(), {start, x});
        start = x + 1;
      }
      if (start < spans[row][1]) cut.insert(cut.end(), {start, spans[row][1]});
      spans[row] = cut;
    }
    FillSpans(spans, top);
  }

  if (pen.style == PenStyle::Dot && pen.width <= 1) {
    // Dots follow the curve: order the outline by angle around the centre.
    std::vector<std::pair<double, Point>> byAngle;
    byAngle.reserve(outline.size());
    for (const Point& p : outline) byAngle.push_back({std::atan2(p.y - cy, p.x - cx), p});
    std::stable_sort(byAngle.begin(), byAngle.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<Point> dots;
    for (size_t i = 0; i < byAngle.size(); ++i)
      if (i % (2 * kDotRun) < kDotRun) dots.push_back(byAngle[i].second);
    PlotSet(dots, pen.color, pen.mode);
  } else if (pen.width > 1) {
    std::vector<Point> wide;
    for (const Point& p : outline) Stamp(p.x, p.y, wide);
    PlotSet(wide, pen.color, pen.mode);
  } else {
    PlotSet(outline, pen.color, pen.mode);
  }
}

void Canvas::FillRect(Rect r) {
  if (brush.clear) return;
  image_.FillRect(r, brush.color);
}

TextSize Canvas::TextExtent(std::string_view utf8) const {
  RenderedText text;
  std::string error;
  if (!RenderText(font, utf8, false, text, error)) {
    static bool logged = false;
    if (!logged) Log("drawing", LogLevel::Error, error);
    logged = true;
    return {};
  }
  return {text.width, text.height};
}

void Canvas::TextOut(int x, int y, std::string_view utf8) {
  RenderedText text;
  std::string error;
  if (!RenderText(font, utf8, true, text, error)) {
    static bool logged = false;
    if (!logged) Log("drawing", LogLevel::Error, error);
    logged = true;
    return;
  }
  if (!brush.clear) image_.FillRect({x, y, x + text.width, y + text.height}, brush.color);
  const Bgr c = font.color;
  for (int row = 0; row < text.height; ++row) {
    int py = y + row;
    if (py < 0 || py >= image_.Height()) continue;
    for (int col = 0; col < text.width; ++col) {
      int px = x + col;
      unsigned a = text.coverage[static_cast<size_t>(row) * text.width + col];
      if (a == 0 || px < 0 || px >= image_.Width()) continue;
      uint8_t* p = image_.ScanLine(py) + 3 * px;
      auto mix = [a](uint8_t d, uint8_t s) {
        return static_cast<uint8_t>((d * (255 - a) + s * a + 127) / 255);
      };
      p[0] = mix(p[0], c.b);
      p[1] = mix(p[1], c.g);
      p[2] = mix(p[2], c.r);
    }
  }
}

void Canvas::CopyRect(Rect dst, const Image& src, Rect srcRect) {
  if (dst.Width() == srcRect.Width() && dst.Height() == srcRect.Height()) {
    image_.CopyRect(src, srcRect, dst.left, dst.top);
  } else {
    StretchDraw(dst, src, srcRect);
  }
}

void Canvas::StretchDraw(Rect dst, const Image& src, Rect srcRect) {
  ForEachStretchedRow(image_, dst, src, srcRect,
                      [&](int y, int sy, int x0, const std::vector<int>& xmap) {
                        uint8_t* d = image_.ScanLine(y) + 3 * x0;
                        const uint8_t* s = src.ScanLine(sy);
                        for (int sx : xmap) {
                          if (sx >= 0 && sx < src.Width()) {
                            d[0] = s[3 * sx];
                            d[1] = s[3 * sx + 1];
                            d[2] = s[3 * sx + 2];
                          }
                          d += 3;
                        }
                      });
}

void MergePaint(Image& dst, Rect dstRect, const Image& src, Rect srcRect) {
  if (dstRect.Width() == srcRect.Width() && dstRect.Height() == srcRect.Height()) {
    // Same size: clip both rectangles together and combine whole rows.
    int dx = srcRect.left - dstRect.left, dy = srcRect.top - dstRect.top;
    Rect r = ClipTo(dstRect, dst);
    r.left = std::max(r.left, -dx);
    r.top = std::max(r.top, -dy);
    r.right = std::min(r.right, src.Width() - dx);
    r.bottom = std::min(r.bottom, src.Height() - dy);
    if (r.Empty()) return;
    size_t bytes = static_cast<size_t>(r.Width()) * 3;
    for (int y = r.top; y < r.bottom; ++y) {
      uint8_t* d = dst.ScanLine(y) + 3 * r.left;
      const uint8_t* s = src.ScanLine(y + dy) + 3 * (r.left + dx);
      for (size_t i = 0; i < bytes; ++i) d[i] = static_cast<uint8_t>(d[i] | ~s[i]);
    }
    return;
  }
  ForEachStretchedRow(dst, dstRect, src, srcRect,
                      [&](int y, int sy, int x0, const std::vector<int>& xmap) {
                        uint8_t* d = dst.ScanLine(y) + 3 * x0;
                        const uint8_t* s = src.ScanLine(sy);
                        for (int sx : xmap) {
                          if (sx >= 0 && sx < src.Width()) {
                            for (int k = 0; k < 3; ++k)
                              d[k] = static_cast<uint8_t>(d[k] | ~s[3 * sx + k]);
                          }
                          d += 3;
                        }
                      });
}

}  // namespace orniva
