#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "core/image.h"

namespace orniva {

// Cells of the compositor: columns 0..1024 and rows 0..768, enough for the
// largest frame (1024 x 768) without binning.
inline constexpr int kCellCols = 1025;
inline constexpr int kCellRows = 769;

struct CellRgb {
  int32_t r = 0, g = 0, b = 0;
  friend bool operator==(const CellRgb&, const CellRgb&) = default;
};

// One cell buffer: three sums per cell (red, green, blue). Between compositing
// steps every sum lies in 0..65535, so the sums are held in 16 bits, in the
// byte order of the working images (blue, green, red) so that a row of cells
// lines up with a scan line.
class CellBuffer {
 public:
  static constexpr int kRowValues = kCellCols * 3;
  CellBuffer() : sums_(static_cast<size_t>(kRowValues) * kCellRows, 0) {}

  uint16_t* Row(int j) { return sums_.data() + static_cast<size_t>(j) * kRowValues; }
  const uint16_t* Row(int j) const { return sums_.data() + static_cast<size_t>(j) * kRowValues; }
  CellRgb Cell(int i, int j) const {
    const uint16_t* c = Row(j) + 3 * i;
    return {c[2], c[1], c[0]};
  }
  // Stores the sums, clamped to 0..65535.
  void SetCell(int i, int j, CellRgb v);
  void Clear();
  friend bool operator==(const CellBuffer&, const CellBuffer&) = default;

 private:
  std::vector<uint16_t> sums_;
};

using CurveTable = std::array<int, 256>;

// What ComposeResult reads from the controls of the image tool window.
struct ComposeSettings {
  int binning = 1;             // 1 or 2
  bool loopMode = false;       // "En boucle infinie" selected
  int frameLimit = 0;          // SPED_Nb_Bitmap: frame limit, ring length in loop mode
  int darkPower = 0;           // T = 100 - position of "Seuil (%)"
  bool darkHotPixels = false;  // "Moyenne pixels environnants" instead of "Soustraction"
  int darkRadius = 1;          // SPED_RDark
  bool flatActive = false;     // "Actif" of the flat page
  int low = 0;                 // SCB_Minimum
  int high = 2500;             // SCB_Maximum
  bool autoLevels = false;     // "Seuils Auto"
  double kLow = 1.0, kHigh = 1.0;
  int lowBoundMax = 65535;   // TNI_Seuil_MinMax
  int highBoundMax = 65535;  // TNI_Seuil_MaxMax
  bool grey = false;         // "N/B" (otherwise "Couleur")
  bool red = true, green = true, blue = true;
  const CurveTable* curve = nullptr;  // set when "Courbes" is on
};

// Everything the compositor keeps from one frame to the next: the cell
// buffers (0 integration, 1 dark, 2 flat; the unused buffer 3 is not kept),
// the result buffer, the counters and the loop ring.
struct ComposeState {
  std::array<CellBuffer, 3> cells;
  CellBuffer result;
  std::array<int, 3> count{0, 0, 0};
  std::array<int, 3> cellMax{0, 0, 0};
  std::array<int, 3> cellMin{65535, 65535, 65535};
  int ringFill = 0;
  int ringHead = 0, ringTail = 0;  // 1-based indices into ring
  int ringSize = 1;
  std::vector<Image> ring;
  std::array<double, 3> flatMean{0, 0, 0};  // red, green, blue

  // Work rows of the fast path, sized once, one set for each of the two
  // threads that share the rows of a frame.
  struct Scratch {
    std::vector<int32_t> values = std::vector<int32_t>(CellBuffer::kRowValues + 16);
    std::vector<uint8_t> levels = std::vector<uint8_t>(CellBuffer::kRowValues + 16);
    // Byte sums of two zone rows with binning (a zone row is up to twice as
    // wide as a row of cells).
    std::vector<uint16_t> pairSums = std::vector<uint16_t>(2 * CellBuffer::kRowValues + 16);
  };
  std::array<Scratch, 2> scratch;
  // The flat means in row order (blue, green, red, blue, ...).
  std::vector<double> flatMean3 = std::vector<double>(CellBuffer::kRowValues + 16);
};

struct ComposeCall {
  int target = 0;  // 0 integration, 1 dark, 2 flat
  bool addFrame = false;
  bool singleFrame = false;
  bool render = false;
};

// Optional clock for the duration fields of the resources window.
using ComposeClock = double (*)();

struct ComposeOutcome {
  bool limitReached = false;  // the frame limit was reached: integration must stop
  int shownCount = 0;         // count (ring fill in loop mode) for "Decompte"
  bool levelsMoved = false;   // "Seuils Auto" moved the levels
  int low = 0, high = 0;      // levels used for the rendering
  int lowBoundMax = 65535, highBoundMax = 65535;
  double addMs = 0;  // accumulation (with whatever was done in the same pass)
  // The pass that applied the dark and flat: the hot-pixel dark's own pass,
  // otherwise the accumulation pass, which corrects each row as it goes;
  // 0 when neither was applied.
  double correctMs = 0;
};

// The cells covered by the zone rectangle with binning b (a partly covered
// last column or row of cells counts).
struct CellGrid {
  Rect zone;  // clipped to the zone image
  int cols = 0, rows = 0;
};
CellGrid CellGridFor(const Image& zoneImage, Rect zoneRect, int binning);

// Accumulates the zone image into the target buffer, corrects by dark and
// flat, tracks the extremes, applies "Seuils Auto" and renders the cells to
// out (one pixel per cell, clipped to out). One pass over the frame where the
// settings allow it.
ComposeOutcome ComposeResult(ComposeState& state, const ComposeSettings& settings,
                             const Image& zoneImage, Rect zoneRect, ComposeCall call, Image& out,
                             ComposeClock clock = nullptr);

// The same, step by step as the program's rules state them, with the result
// buffer filled: the yardstick of the fast path.
ComposeOutcome ComposeResultReference(ComposeState& state, const ComposeSettings& settings,
                                      const Image& zoneImage, Rect zoneRect, ComposeCall call,
                                      Image& out);

// "Seuils Auto": the levels and slider bounds that follow the cell extremes.
struct AutoLevelResult {
  int low, high, lowBoundMax, highBoundMax;
};
AutoLevelResult AutoLevels(int cellMin, int cellMax, double kLow, double kHigh, int lowBoundMax,
                           int highBoundMax);

// Flat means per channel over the cells 0..width-1, 0..height-1.
std::array<double, 3> FlatMeans(const CellBuffer& flat, int width, int height);

// Round(x - 0.5) with Round half to even, for x >= 0 below 2^51.
double RoundDown(double x);

}  // namespace orniva
