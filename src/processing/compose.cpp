#include "processing/compose.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "core/rounding.h"
#include "core/row_workers.h"

#if defined(__GNUC__) && defined(__x86_64__)
#include <immintrin.h>
#define ORNIVA_BYTE_TABLE_SIMD 1
#endif

// The fast compositor. Each row of cells goes once through accumulation,
// dark and flat correction, the extremes and the level mapping, a block of
// values at a time while they are in the first-level cache; the rows are
// shared between the calling thread and a helper thread. Only the hot-pixel
// dark and "Seuils Auto" (both need the whole composite first) take a second
// pass. Every value is computed with the same operations, in the same order
// and precision, as the reference in compose_reference.cpp, so the results
// are identical.

#if defined(__GNUC__) && defined(__x86_64__) && !defined(__clang__) && !defined(__SANITIZE_THREAD__)
#define ORNIVA_ROW_KERNEL __attribute__((target_clones("arch=x86-64-v4", "avx2", "default")))
#else
#define ORNIVA_ROW_KERNEL
#endif

namespace orniva {

void CellBuffer::SetCell(int i, int j, CellRgb v) {
  uint16_t* c = Row(j) + 3 * i;
  c[0] = static_cast<uint16_t>(Clamp(v.b, 0, 65535));
  c[1] = static_cast<uint16_t>(Clamp(v.g, 0, 65535));
  c[2] = static_cast<uint16_t>(Clamp(v.r, 0, 65535));
}

void CellBuffer::Clear() {
  std::fill(sums_.begin(), sums_.end(), 0);
}

CellGrid CellGridFor(const Image& zoneImage, Rect zoneRect, int binning) {
  CellGrid g;
  g.zone = {std::max(zoneRect.left, 0), std::max(zoneRect.top, 0),
            std::min(zoneRect.right, zoneImage.Width()),
            std::min(zoneRect.bottom, zoneImage.Height())};
  if (g.zone.Empty()) {
    g.zone = {0, 0, 0, 0};
    return g;
  }
  const int b = binning == 2 ? 2 : 1;
  g.cols = std::min((g.zone.Width() + b - 1) / b, kCellCols);
  g.rows = std::min((g.zone.Height() + b - 1) / b, kCellRows);
  return g;
}

AutoLevelResult AutoLevels(int cellMin, int cellMax, double kLow, double kHigh, int lowBoundMax,
                           int highBoundMax) {
  AutoLevelResult a{};
  const auto follow = [](int extreme, double k, int& bound) {
    const int64_t level =
        std::min<int64_t>(65535, Trunc(std::max(0.001, static_cast<double>(extreme)) * k));
    if (bound < level) bound = static_cast<int>(std::min<int64_t>(65535, 2 * level));
    return static_cast<int>(level);
  };
  a.highBoundMax = highBoundMax;
  a.lowBoundMax = lowBoundMax;
  a.high = follow(cellMax, kHigh, a.highBoundMax);
  a.low = follow(cellMin, kLow, a.lowBoundMax);
  return a;
}

std::array<double, 3> FlatMeans(const CellBuffer& flat, int width, int height) {
  const int w = std::clamp(width, 0, kCellCols), h = std::clamp(height, 0, kCellRows);
  if (w == 0 || h == 0) return {0, 0, 0};
  int64_t sum[3] = {0, 0, 0};
  for (int j = 0; j < h; ++j) {
    const uint16_t* row = flat.Row(j);
    for (int i = 0; i < w; ++i) {
      sum[2] += row[3 * i];
      sum[1] += row[3 * i + 1];
      sum[0] += row[3 * i + 2];
    }
  }
  const double n = static_cast<double>(width) * height;
  return {sum[0] / n, sum[1] / n, sum[2] / n};
}

double RoundDown(double x) {
  // Adding and removing 1.5 * 2^52 rounds to the nearest integer, ties to
  // even, for |y| < 2^51: the same as Round, and it vectorizes.
  const double y = x - 0.5;
  constexpr double kMagic = 6755399441055744.0;
  return (y + kMagic) - kMagic;
}

namespace {

// Values per block of the dark and flat step (a multiple of 3 and of 16).
constexpr int kMeanBlock = 192;

// Accumulation of one row of cells without binning: a[k] = clamp(cell + pixel
// - ring pixel). The sums are written back when store is set.
ORNIVA_ROW_KERNEL
void AccumulateRow(uint16_t* __restrict cell, const uint8_t* __restrict pix,
                   const uint8_t* __restrict ring, int32_t* __restrict a, int n, bool store) {
  if (ring) {
    for (int k = 0; k < n; ++k) {
      int32_t v = int32_t(cell[k]) + pix[k] - ring[k];
      v = v < 0 ? 0 : (v > 65535 ? 65535 : v);
      a[k] = v;
    }
  } else {
    for (int k = 0; k < n; ++k) {
      int32_t v = int32_t(cell[k]) + pix[k];
      a[k] = v > 65535 ? 65535 : v;
    }
  }
  if (store) {
    for (int k = 0; k < n; ++k) cell[k] = static_cast<uint16_t>(a[k]);
  }
}

ORNIVA_ROW_KERNEL
void LoadRow(const uint16_t* __restrict cell, int32_t* __restrict a, int n) {
  for (int k = 0; k < n; ++k) a[k] = cell[k];
}

// a[3i + c] += (or -=) sums[6i + c] + sums[6i + 3 + c] for the pairs i: each
// cell gets its two pixels.
void FoldPairsPlain(const uint16_t* __restrict sums, int pairs, int32_t* __restrict a,
                    bool subtract) {
  const int sign = subtract ? -1 : 1;
  for (int i = 0; i < pairs; ++i) {
    for (int c = 0; c < 3; ++c) a[3 * i + c] += sign * (sums[6 * i + c] + sums[6 * i + 3 + c]);
  }
}

#ifdef ORNIVA_BYTE_TABLE_SIMD
// The same, eight pairs at a time: two word permutes pick the first and the
// second pixel of each pair out of 48 sums, and their 24 totals are widened
// and added to the cells.
__attribute__((target("avx512f,avx512bw"))) void FoldPairsAvx512(const uint16_t* __restrict sums,
                                                                 int pairs, int32_t* __restrict a,
                                                                 bool subtract) {
  // Word indices of the first pixel of each pair (24 of them), then of the
  // second.
  static constexpr std::array<uint16_t, 64> kPicks = [] {
    std::array<uint16_t, 64> t{};
    for (int j = 0; j < 24; ++j) {
      t[j] = static_cast<uint16_t>(6 * (j / 3) + j % 3);
      t[32 + j] = static_cast<uint16_t>(t[j] + 3);
    }
    return t;
  }();
  const __m512i pickFirst = _mm512_loadu_si512(kPicks.data());
  const __m512i pickSecond = _mm512_loadu_si512(kPicks.data() + 32);
  int i = 0;
  for (; i + 8 <= pairs; i += 8) {
    const uint16_t* q = sums + 6 * i;
    const __m512i lo = _mm512_loadu_si512(q);
    const __m512i hi = _mm512_maskz_loadu_epi16(0xFFFF, q + 32);  // sums 32..47
    const __m512i total = _mm512_add_epi16(_mm512_permutex2var_epi16(lo, pickFirst, hi),
                                           _mm512_permutex2var_epi16(lo, pickSecond, hi));
    // The zero-masked forms: the plain ones start from an undefined value
    // that the compiler warns about.
    const __m512i t0 =
        _mm512_maskz_cvtepu16_epi32(0xFFFF, _mm512_maskz_extracti64x4_epi64(0xF, total, 0));
    const __m256i t1 = _mm256_cvtepu16_epi32(_mm512_maskz_extracti32x4_epi32(0xF, total, 2));
    int32_t* out = a + 3 * i;
    const __m512i a0 = _mm512_loadu_si512(out);
    const __m256i a1 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(out + 16));
    if (subtract) {
      _mm512_storeu_si512(out, _mm512_sub_epi32(a0, t0));
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + 16), _mm256_sub_epi32(a1, t1));
    } else {
      _mm512_storeu_si512(out, _mm512_add_epi32(a0, t0));
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + 16), _mm256_add_epi32(a1, t1));
    }
  }
  FoldPairsPlain(sums + 6 * i, pairs - i, a + 3 * i, subtract);
}
#endif

void FoldPairs(const uint16_t* sums, int pairs, int32_t* a, bool subtract) {
#ifdef ORNIVA_BYTE_TABLE_SIMD
  static const bool avx512 = __builtin_cpu_supports("avx512bw");
  if (avx512) {
    FoldPairsAvx512(sums, pairs, a, subtract);
    return;
  }
#endif
  FoldPairsPlain(sums, pairs, a, subtract);
}

// Adds (or with subtract removes) the 2 x 2 blocks of one or two pixel rows
// into a; width is the number of pixels of the zone row, p1 the second row
// (null when the zone ends after p0). The rows are first added byte by byte
// into sums, a contiguous loop, then each pair of neighbouring pixels is
// folded into its cell; an odd last pixel makes a partly covered cell.
ORNIVA_ROW_KERNEL
void AddBinnedRows(const uint8_t* __restrict p0, const uint8_t* __restrict p1, int width,
                   int32_t* __restrict a, int cols, bool subtract, uint16_t* __restrict sums) {
  const int bytes = 3 * width;
  if (p1) {
    for (int k = 0; k < bytes; ++k) sums[k] = static_cast<uint16_t>(p0[k] + p1[k]);
  } else {
    for (int k = 0; k < bytes; ++k) sums[k] = p0[k];
  }
  const int pairs = width / 2;
  FoldPairs(sums, pairs, a, subtract);
  const int sign = subtract ? -1 : 1;
  if (pairs < cols) {
    const uint16_t* q = sums + 6 * pairs;
    a[3 * pairs] += sign * q[0];
    a[3 * pairs + 1] += sign * q[1];
    a[3 * pairs + 2] += sign * q[2];
  }
}

ORNIVA_ROW_KERNEL
void ClampRow(int32_t* __restrict a, uint16_t* __restrict cell, int n, bool store) {
  for (int k = 0; k < n; ++k) {
    int32_t v = a[k];
    v = v < 0 ? 0 : (v > 65535 ? 65535 : v);
    a[k] = v;
  }
  if (store) {
    for (int k = 0; k < n; ++k) cell[k] = static_cast<uint16_t>(a[k]);
  }
}

// Dark and flat of one row, then its extremes, in one loop:
//   dark: v -= min(v, Round(d * D * r - 0.5));
//   flat: v := min(65535, Round(mean / max(f, 1) * v - 0.5)) (mean / 1 is
//         mean itself, which is the rule for f <= 1).
// Round(x - 0.5) is nearbyint in the default rounding mode (nearest, ties to
// even, like Round), one vector instruction.
template <bool kDark, bool kFlat>
inline __attribute__((always_inline)) void CorrectRowBody(int32_t* __restrict v,
                                                          const uint16_t* __restrict d,
                                                          const uint16_t* __restrict f,
                                                          const double* __restrict mean3, double D,
                                                          double r, int n, int& lo, int& hi) {
  int mn = lo, mx = hi;
  for (int k = 0; k < n; ++k) {
    int32_t w = v[k];
    if constexpr (kDark || kFlat) {
      // Whole numbers below 2^53 are exact in double: the value stays one
      // between the two steps.
      double wd = double(w);
      if constexpr (kDark) {
        double x = double(d[k]) * D * r - 0.5;
        x = __builtin_nearbyint(x);
        wd = wd - (x < wd ? x : wd);
      }
      if constexpr (kFlat) {
        const int32_t fk = f[k];
        const double q = mean3[k] / double(fk > 1 ? fk : 1);
        double x = q * wd - 0.5;
        x = __builtin_nearbyint(x);
        wd = x > 65535.0 ? 65535.0 : x;
      }
      w = static_cast<int32_t>(wd);
    }
    v[k] = w;
    mn = w < mn ? w : mn;
    mx = w > mx ? w : mx;
  }
  lo = mn;
  hi = mx;
}

template <bool kDark, bool kFlat>
inline __attribute__((always_inline)) void CorrectRowBlocks(int32_t* v, const uint16_t* d,
                                                            const uint16_t* f, const double* mean3,
                                                            double D, double r, int n, int& lo,
                                                            int& hi) {
  // The means repeat every three values: a block of kMeanBlock values reads
  // the same short table, which stays in the first-level cache.
  for (int base = 0; base < n; base += kMeanBlock) {
    const int m = std::min(kMeanBlock, n - base);
    CorrectRowBody<kDark, kFlat>(v + base, kDark ? d + base : d, kFlat ? f + base : f, mean3, D, r,
                                 m, lo, hi);
  }
}

ORNIVA_ROW_KERNEL
void CorrectRow(bool dark, bool flat, int32_t* v, const uint16_t* d, const uint16_t* f,
                const double* mean3, double D, double r, int n, int& lo, int& hi) {
  if (dark && flat) {
    CorrectRowBlocks<true, true>(v, d, f, mean3, D, r, n, lo, hi);
  } else if (dark) {
    CorrectRowBlocks<true, false>(v, d, f, mean3, D, r, n, lo, hi);
  } else if (flat) {
    CorrectRowBlocks<false, true>(v, d, f, mean3, D, r, n, lo, hi);
  } else {
    CorrectRowBlocks<false, false>(v, d, f, mean3, D, r, n, lo, hi);
  }
}

ORNIVA_ROW_KERNEL
void StoreRow(const int32_t* __restrict v, uint16_t* __restrict cell, int n) {
  for (int k = 0; k < n; ++k) cell[k] = static_cast<uint16_t>(v[k]);
}

// Level of each value: 0 below L, else min(255, ((v - L) * 256) div E). The
// quotient is estimated in single precision (numerators are below 2^24, so
// the estimate is off by at most one) and corrected with integer products.
ORNIVA_ROW_KERNEL
void LevelRow(const int32_t* __restrict v, int n, int L, int E, uint8_t* __restrict out) {
  const float rcp = 1.0f / static_cast<float>(E);
  for (int k = 0; k < n; ++k) {
    int x = v[k] - L;
    x = x < 0 ? 0 : x;
    x = x < E ? x : E;  // from E on the level is 255 anyway
    const int num = x * 256;
    int q = static_cast<int>(static_cast<float>(num) * rcp);
    const int up = (q + 1) * E <= num;
    const int down = q * E > num;
    q = q + up - down;
    q = q > 255 ? 255 : q;
    out[k] = static_cast<uint8_t>(q);
  }
}

struct LevelMap {
  const uint8_t* curve;  // levels bent by the curve, or nullptr
  bool grey;
  bool on[3];  // blue, green, red (row order)
  int checked;
};

// One output pixel per cell from the levels of its three values.
void MapBytesPlain(uint8_t* v, int n, const uint8_t* table) {
  for (int k = 0; k < n; ++k) v[k] = table[v[k]];
}

#ifdef ORNIVA_BYTE_TABLE_SIMD
// v[k] := table[v[k]] 64 bytes at a time: two 128-byte permutes (the low
// seven bits of each byte) and a choice by its top bit.
__attribute__((target("avx512f,avx512bw,avx512vbmi"))) void MapBytesVbmi(uint8_t* v, int n,
                                                                         const uint8_t* table) {
  const __m512i t0 = _mm512_loadu_si512(table), t1 = _mm512_loadu_si512(table + 64);
  const __m512i t2 = _mm512_loadu_si512(table + 128), t3 = _mm512_loadu_si512(table + 192);
  for (int k = 0; k < n; k += 64) {
    const __mmask64 live = n - k >= 64 ? ~__mmask64{0} : (__mmask64{1} << (n - k)) - 1;
    const __m512i idx = _mm512_maskz_loadu_epi8(live, v + k);
    const __m512i lo = _mm512_permutex2var_epi8(t0, idx, t1);
    const __m512i hi = _mm512_permutex2var_epi8(t2, idx, t3);
    const __m512i mapped = _mm512_mask_blend_epi8(_mm512_movepi8_mask(idx), lo, hi);
    _mm512_mask_storeu_epi8(v + k, live, mapped);
  }
}
#endif

// The curve's byte table over a row of levels.
void MapBytes(uint8_t* v, int n, const uint8_t* table) {
#ifdef ORNIVA_BYTE_TABLE_SIMD
  static const bool vbmi =
      __builtin_cpu_supports("avx512vbmi") && __builtin_cpu_supports("avx512bw");
  if (vbmi) {
    MapBytesVbmi(v, n, table);
    return;
  }
#endif
  MapBytesPlain(v, n, table);
}

void RenderRow(uint8_t* lv, int cols, const LevelMap& m, uint8_t* out) {
  if (m.curve) MapBytes(lv, 3 * cols, m.curve);
  if (!m.grey) {
    const uint8_t mb = m.on[0] ? 0xFF : 0, mg = m.on[1] ? 0xFF : 0, mr = m.on[2] ? 0xFF : 0;
    if (mb & mg & mr) {
      std::memcpy(out, lv, 3 * cols);
      return;
    }
    for (int i = 0; i < cols; ++i) {
      out[3 * i] = lv[3 * i] & mb;
      out[3 * i + 1] = lv[3 * i + 1] & mg;
      out[3 * i + 2] = lv[3 * i + 2] & mr;
    }
    return;
  }
  const int wb = m.on[0], wg = m.on[1], wr = m.on[2];
  const int c = m.checked;
  for (int i = 0; i < cols; ++i) {
    const int sum = wb * lv[3 * i] + wg * lv[3 * i + 1] + wr * lv[3 * i + 2];
    const int g = c == 0 ? 0 : (c == 1 ? sum : (c == 2 ? sum >> 1 : (sum * 43691) >> 17));
    out[3 * i] = out[3 * i + 1] = out[3 * i + 2] = static_cast<uint8_t>(g);
  }
}

// The mean dark of a cell, Round(d / nd - 0.5) with half to even, in
// integers: the quotient, less one when the division is exact and the
// quotient odd (Round(3 - 0.5) = 2, Round(4 - 0.5) = 4).
int MeanDark(int d, int nd) {
  const int q = d / nd;
  return (d % nd == 0 && q % 2 != 0) ? q - 1 : q;
}

// The smallest dark value d whose cell is hot: its mean m exceeds
// F - D = F x (100 - T) / 100, tested as 100 m > F x (100 - T) so that no
// rounding of T x (2.56 b^2 - 0.01) moves the threshold (T = 100 with a mean
// of 0, or T = 60 with a mean of 102, are not hot). The mean grows with d, so
// the hot-pixel test is d >= this value.
int HotDarkThreshold(int nd, int power, int fullScale) {
  const int64_t limit = int64_t{fullScale} * (100 - power);
  auto hot = [&](int d) { return 100 * int64_t{MeanDark(d, nd)} > limit; };
  if (!hot(65535)) return 65536;
  int lo = 0, hi = 65535;
  while (lo < hi) {
    const int mid = (lo + hi) / 2;
    if (hot(mid)) {
      hi = mid;
    } else {
      lo = mid + 1;
    }
  }
  return lo;
}

// Mean of the border of radius R around cell (i, j) for the row value k
// (channel k % 3 of cell i), clipped to the grid.
int HotMean(const CellBuffer& buf, const CellGrid& g, int i, int j, int R, int ch) {
  int64_t sum = 0;
  const int x0 = std::max(i - R, 0), x1 = std::min(i + R + 1, g.cols - 1);
  for (int y : {j - R, j + R}) {
    if (y < 0 || y >= g.rows) continue;
    const uint16_t* row = buf.Row(y);
    for (int x = x0; x <= x1; ++x) sum += row[3 * x + ch];
  }
  const int y0 = std::max(j - R + 1, 0), y1 = std::min(j + R - 1, g.rows - 1);
  for (int y = y0; y <= y1; ++y) {
    const uint16_t* row = buf.Row(y);
    if (i - R >= 0) sum += row[3 * (i - R) + ch];
    if (i + R + 1 < g.cols) sum += row[3 * (i + R + 1) + ch];
  }
  return static_cast<int>(sum / (8 * R + 2));
}

}  // namespace

ComposeOutcome ComposeResult(ComposeState& st, const ComposeSettings& s, const Image& zone,
                             Rect zoneRect, ComposeCall call, Image& out, ComposeClock clock) {
  ComposeOutcome res;
  const int b = s.binning == 2 ? 2 : 1;
  const int F = 256 * b * b - 1;
  const int t = call.target;
  const int N = s.frameLimit;
  const CellGrid g = CellGridFor(zone, zoneRect, b);
  CellBuffer& target = st.cells[t];

  // Loop ring: the zone is copied into the head bitmap row by row below.
  Image* headImage = nullptr;
  const Image* tailImage = nullptr;
  if (call.addFrame && s.loopMode) {
    st.ringHead = (st.ringHead % (N + 1)) + 1;
    st.ringTail = (st.ringHead % (N + 1)) + 1;
    if (N >= 0 && static_cast<int>(st.ring.size()) >= N + 1) {
      headImage = &st.ring[st.ringHead - 1];
      if (headImage->Width() < g.zone.right || headImage->Height() < g.zone.bottom) {
        headImage->Resize(std::max(headImage->Width(), g.zone.right),
                          std::max(headImage->Height(), g.zone.bottom));
      }
      if (st.ringFill >= N) {
        Image& tail = st.ring[st.ringTail - 1];
        // Pixels a smaller bitmap lacks count as black, as in the reference.
        if (tail.Width() < g.zone.right || tail.Height() < g.zone.bottom) {
          tail.Resize(std::max(tail.Width(), g.zone.right), std::max(tail.Height(), g.zone.bottom));
        }
        tailImage = &tail;
      }
    }
  }
  // With N = 0 head and tail are the same bitmap: the frame is added and
  // removed again.
  const bool sameRingImage = headImage && headImage == tailImage;

  if (call.addFrame) {
    if (call.singleFrame) {
      st.count[t] = 1;
    } else if (s.loopMode) {
      if (st.ringFill < N) ++st.ringFill;
    } else {
      ++st.count[t];
      if (N > 0 && st.count[t] >= N) res.limitReached = true;
    }
  }
  res.shownCount = s.loopMode ? st.ringFill : st.count[t];
  int cellMin = F * (s.loopMode ? st.ringFill : st.count[t]);
  int cellMax = 0;

  const bool dark = s.darkPower > 0;
  const bool darkOrFlat = dark || s.flatActive;
  const bool correct = call.render && darkOrFlat;
  const bool track = !darkOrFlat || correct;
  const double D = s.darkHotPixels ? s.darkPower * (2.56 * (b * b) - 0.01) : s.darkPower * 0.01;
  const int nd = st.count[1];
  const bool applyDark = correct && D > 0 && nd > 0;
  const bool readDark = applyDark && t != 1;
  const double r =
      D > 0 ? static_cast<double>(s.loopMode ? st.ringFill : st.count[0]) / std::max(nd, 1) : 0;
  const bool hotPixels = applyDark && s.darkHotPixels;
  const bool applyFlat = correct && s.flatActive;
  const bool readFlat = applyFlat && t != 2;

  // Levels: known now unless "Seuils Auto" moves them after the extremes.
  const bool renderInPass = call.render && !s.autoLevels && !hotPixels;
  const bool keepResult = call.render && !renderInPass;
  res.low = s.low;
  res.high = s.high;
  res.lowBoundMax = s.lowBoundMax;
  res.highBoundMax = s.highBoundMax;
  uint8_t curveMap[256];
  if (s.curve) {
    for (int o = 0; o < 256; ++o)
      curveMap[o] = static_cast<uint8_t>(Clamp(o + (*s.curve)[o], 0, 255));
  }
  const LevelMap map{s.curve ? curveMap : nullptr,
                     s.grey,
                     {s.blue, s.green, s.red},
                     int(s.red) + int(s.green) + int(s.blue)};
  // Colour with every channel and no curve: each level is its pixel byte.
  const bool plainColour = !map.curve && !map.grey && map.on[0] && map.on[1] && map.on[2];
  int levelLow = s.low;
  int levelSpan = s.high == s.low ? 1 : std::abs(s.high - s.low);

  if (applyFlat) {
    for (int i = 0; i < kMeanBlock / 3; ++i) {
      for (int c = 0; c < 3; ++c) st.flatMean3[3 * i + c] = st.flatMean[2 - c];
    }
  }
  // A flat that is not read (recording the flat itself) counts as 0.
  static const std::vector<uint16_t> kZeroRow(CellBuffer::kRowValues, 0);
  auto flatCells = [&](int j) { return readFlat ? st.cells[2].Row(j) : kZeroRow.data(); };

  const int n = 3 * g.cols;
  const int outCols = std::min(g.cols, out.Width());
  // Rows are shared with a helper thread in chunks; each thread keeps its
  // own extremes, merged afterwards.
  constexpr int kChunkRows = 16;
  RowWorkers& workers = RowWorkers::Shared();
  int partMin[2] = {cellMin, cellMin}, partMax[2] = {cellMax, cellMax};
  const double t0 = clock ? clock() : 0;

  // Pass 1: accumulation, and everything else when nothing needs the whole
  // composite first.
  workers.ForRows(g.rows, kChunkRows, [&](int begin, int end, int part) {
    int32_t* a = st.scratch[part].values.data();
    uint8_t* levels = st.scratch[part].levels.data();
    // The extremes are kept in locals over the chunk: the two threads' entries
    // share a cache line.
    int lo = partMin[part], hi = partMax[part];
    for (int j = begin; j < end; ++j) {
      uint16_t* cell = target.Row(j);
      const int y0 = g.zone.top + b * j;
      const uint8_t* pix = zone.ScanLine(y0) + 3 * g.zone.left;
      // The steps after accumulation, for the values base .. base + m - 1 of
      // the row, while they are in the first-level cache.
      const auto finish = [&](const int32_t* values, int base, int m) {
        int32_t* v = const_cast<int32_t*>(values);
        if (track) {
          CorrectRow(readDark, applyFlat, v, st.cells[1].Row(j) + base, flatCells(j) + base,
                     st.flatMean3.data(), D, r, m, lo, hi);
        }
        if (keepResult) StoreRow(v, st.result.Row(j) + base, m);
        if (renderInPass && j < out.Height() && base < 3 * outCols) {
          const int shown = std::min(m, 3 * outCols - base);
          uint8_t* dest = out.ScanLine(j) + base;
          if (plainColour) {
            LevelRow(v, shown, levelLow, levelSpan, dest);  // the levels are the pixels
          } else {
            LevelRow(v, shown, levelLow, levelSpan, levels);
            RenderRow(levels, shown / 3, map, dest);
          }
        }
      };
      if (call.addFrame && b == 1) {
        const uint8_t* ringPix = nullptr;
        if (tailImage && !sameRingImage) ringPix = tailImage->ScanLine(y0) + 3 * g.zone.left;
        if (sameRingImage) ringPix = pix;
        for (int base = 0; base < n; base += kMeanBlock) {
          const int m = std::min(kMeanBlock, n - base);
          AccumulateRow(cell + base, pix + base, ringPix ? ringPix + base : nullptr, a, m, true);
          if (!hotPixels) finish(a, base, m);
        }
        if (headImage) std::memcpy(headImage->ScanLine(y0) + 3 * g.zone.left, pix, n);
        continue;
      }
      if (call.addFrame) {
        LoadRow(cell, a, n);
        const int width = g.zone.Width();
        const bool second = y0 + 1 < g.zone.bottom;
        // The zone is read from memory two rows per row of cells, too little
        // work in between for the hardware prefetcher: ask for the rows four
        // rows of cells ahead.
        for (int dy = 8; dy < 10 && y0 + dy < g.zone.bottom; ++dy) {
          const char* c = reinterpret_cast<const char*>(zone.ScanLine(y0 + dy) + 3 * g.zone.left);
          for (int k = 0; k < 3 * width; k += 64) __builtin_prefetch(c + k);
        }
        const uint8_t* p0 = pix;
        const uint8_t* p1 = second ? zone.ScanLine(y0 + 1) + 3 * g.zone.left : nullptr;
        uint16_t* sums = st.scratch[part].pairSums.data();
        AddBinnedRows(p0, p1, width, a, g.cols, false, sums);
        if (tailImage) {
          const auto tailRow = [&](int y) {
            return sameRingImage ? zone.ScanLine(y) + 3 * g.zone.left
                                 : tailImage->ScanLine(y) + 3 * g.zone.left;
          };
          AddBinnedRows(tailRow(y0), second ? tailRow(y0 + 1) : nullptr, width, a, g.cols, true,
                        sums);
        }
        if (headImage) {
          for (int dy = 0; dy < (second ? 2 : 1); ++dy) {
            std::memcpy(headImage->ScanLine(y0 + dy) + 3 * g.zone.left,
                        zone.ScanLine(y0 + dy) + 3 * g.zone.left, 3 * width);
          }
        }
        ClampRow(a, cell, n, true);
      } else {
        LoadRow(cell, a, n);
      }
      if (hotPixels) continue;  // corrected in the second pass
      for (int base = 0; base < n; base += kMeanBlock) {
        finish(a + base, base, std::min(kMeanBlock, n - base));
      }
    }
    partMin[part] = lo;
    partMax[part] = hi;
  });
  const double t1 = clock ? clock() : 0;
  res.addMs = t1 - t0;
  if (correct && !hotPixels) res.correctMs = res.addMs;

  // Pass 2: the hot-pixel dark, which reads the cells around each cell:
  // the whole integration buffer is final by now.
  if (hotPixels) {
    const int threshold = HotDarkThreshold(nd, s.darkPower, F);
    // A cell whose dark was not read counts as d = 0.
    const bool zeroHot = !readDark && threshold == 0;
    workers.ForRows(g.rows, kChunkRows, [&](int begin, int end, int part) {
      int32_t* a = st.scratch[part].values.data();
      int lo = partMin[part], hi = partMax[part];
      for (int j = begin; j < end; ++j) {
        LoadRow(target.Row(j), a, n);
        const uint16_t* d = readDark ? st.cells[1].Row(j) : nullptr;
        for (int k = 0; k < n; ++k) {
          const bool hot = d ? d[k] >= threshold : zeroHot;
          if (hot) a[k] = HotMean(target, g, k / 3, j, s.darkRadius, k % 3);
        }
        CorrectRow(false, applyFlat, a, nullptr, flatCells(j), st.flatMean3.data(), D, r, n, lo,
                   hi);
        StoreRow(a, st.result.Row(j), n);
      }
      partMin[part] = lo;
      partMax[part] = hi;
    });
    res.correctMs = (clock ? clock() : 0) - t1;
  }
  cellMin = std::min(partMin[0], partMin[1]);
  cellMax = std::max(partMax[0], partMax[1]);
  st.cellMin[t] = cellMin;
  st.cellMax[t] = cellMax;

  if (s.autoLevels) {
    const AutoLevelResult al =
        AutoLevels(cellMin, cellMax, s.kLow, s.kHigh, s.lowBoundMax, s.highBoundMax);
    res.levelsMoved = true;
    res.low = al.low;
    res.high = al.high;
    res.lowBoundMax = al.lowBoundMax;
    res.highBoundMax = al.highBoundMax;
  }

  // Rendering from the result buffer when the levels were not known before.
  if (keepResult) {
    levelLow = res.low;
    levelSpan = res.high == res.low ? 1 : std::abs(res.high - res.low);
    workers.ForRows(std::min(g.rows, out.Height()), kChunkRows, [&](int begin, int end, int part) {
      int32_t* a = st.scratch[part].values.data();
      uint8_t* levels = st.scratch[part].levels.data();
      for (int j = begin; j < end; ++j) {
        LoadRow(st.result.Row(j), a, 3 * outCols);
        LevelRow(a, 3 * outCols, levelLow, levelSpan, levels);
        RenderRow(levels, outCols, map, out.ScanLine(j));
      }
    });
  }
  return res;
}

}  // namespace orniva
