#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/image.h"

namespace orniva {

// How a pen or a brush combines its colour c with a destination pixel d,
// byte by byte: Copy d := c; NotXor d := NOT (d XOR c) (drawing the same
// shape twice restores the pixels, a white pen leaves them unchanged);
// Merge d := d OR c.
enum class PenMode { Copy, NotXor, Merge };

// Solid, or dotted: runs of 3 pixels drawn then 3 skipped. The dot pattern
// runs on along connected LineTo calls and restarts at MoveTo. Only pens of
// width 1 are dotted; a wider dotted pen draws solid, as the original toolkit
// does with cosmetic pens.
enum class PenStyle { Solid, Dot };

struct Pen {
  Bgr color = kBlack;
  int width = 1;
  PenStyle style = PenStyle::Solid;
  PenMode mode = PenMode::Copy;
};

// Fills of rectangles, ellipses and polygons, and the background of text.
// A clear brush fills nothing. Fills use the pen's mode, like the original
// toolkit's raster operation that applies to pen and brush alike.
struct Brush {
  Bgr color = kWhite;
  bool clear = false;
};

// A font: a family name ("Arial" and unknown names map to DejaVu Sans,
// names with "Courier" or "Mono" to DejaVu Sans Mono), a size in points at
// 96 dots per inch, bold or not, and the text colour.
struct Font {
  std::string name = "Arial";
  int size = 8;
  bool bold = false;
  Bgr color = kBlack;
  int PixelSize() const { return (size * 96 + 36) / 72; }
};

struct Point {
  int x = 0, y = 0;
  friend bool operator==(const Point&, const Point&) = default;
};

struct TextSize {
  int width = 0, height = 0;
};

// Drawing on a working image with the conventions of the toolkit the program
// was first written for:
// - LineTo draws from the current position up to, but not including, the end
//   point, which becomes the current position; so a closed outline drawn as
//   consecutive LineTo calls touches every pixel once (which matters in
//   not-xor mode).
// - Rectangle and Ellipse take a box (left, top, right, bottom) whose right
//   column and bottom row are excluded; the pen outlines the box and the
//   brush fills the inside.
// - Every pixel of one shape is written once, whatever the pen width.
// - Everything is clipped to the image.
class Canvas {
 public:
  explicit Canvas(Image& image) : image_(image) {}

  Image& Target() { return image_; }

  Pen pen;
  Brush brush;
  Font font;

  void MoveTo(int x, int y);
  void LineTo(int x, int y);
  Point PenPos() const { return pos_; }
  // Connected lines through the points (the last point excluded).
  void Polyline(const std::vector<Point>& points);
  // A closed polygon: filled with the brush (even-odd rule over pixel
  // centres), then outlined with the pen.
  void Polygon(const std::vector<Point>& points);
  void Rectangle(int left, int top, int right, int bottom);
  void Ellipse(int left, int top, int right, int bottom);
  void FillRect(Rect r);  // with the brush, mode copy
  // Draws one pixel with the pen's colour and mode.
  void SetPixel(int x, int y);

  // Text with its top-left corner at (x, y), anti-aliased in the font's
  // colour (mode copy), over the brush unless the brush is clear. When the
  // font file is missing, nothing is drawn and the extent is 0 x 0; the
  // error is logged once, naming the file.
  void TextOut(int x, int y, std::string_view utf8);
  TextSize TextExtent(std::string_view utf8) const;

  // Copies src's rectangle onto dst (same size, clipped).
  void CopyRect(Rect dst, const Image& src, Rect srcRect);
  // Stretches src's rectangle over dst (nearest pixel).
  void StretchDraw(Rect dst, const Image& src, Rect srcRect);

 private:
  void Plot(int x, int y, Bgr c, PenMode mode);
  // Collects the pixels a pen of the current width covers along a line, the
  // end point excluded.
  void CollectLine(Point a, Point b, std::vector<Point>& out, bool dotted);
  void Stamp(int x, int y, std::vector<Point>& out) const;
  void PlotSet(std::vector<Point>& pts, Bgr c, PenMode mode);
  void FillSpans(const std::vector<std::vector<int>>& spans, int top);

  Image& image_;
  Point pos_;
  int dotPhase_ = 0;
};

// The raster operation that lays an overlay on a page: for every byte of the
// rectangles, destination := destination OR NOT source. White overlay pixels
// leave the page unchanged, dark ones lighten it. srcRect is stretched over
// dstRect when their sizes differ (nearest pixel); both are clipped.
void MergePaint(Image& dst, Rect dstRect, const Image& src, Rect srcRect);

}  // namespace orniva
