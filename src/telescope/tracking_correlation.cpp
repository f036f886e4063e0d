#include "telescope/tracking_correlation.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "core/rounding.h"

namespace orniva {
namespace {

int PixelSum(const uint8_t* p) {
  return p[0] + p[1] + p[2];
}

// The sampled indices 0, step, 2 step... below size - 1; 0 is always taken.
std::vector<int> SampleIndices(int size, int step) {
  std::vector<int> out{0};
  for (int i = step; i < size - 1; i += step) out.push_back(i);
  return out;
}

// The reference's deviations from its mean at the sampled pixels.
struct SampledReference {
  std::vector<int> cols, rows;
  std::vector<double> deviation;  // row-major over rows x cols
};

SampledReference Sample(const CorrelationReference& ref, int precision) {
  SampledReference s;
  const int step = CorrelationSampleStep(ref.image.Width(), precision);
  s.cols = SampleIndices(ref.image.Width(), step);
  s.rows = SampleIndices(ref.image.Height(), step);
  for (int r : s.rows) {
    for (int c : s.cols) {
      s.deviation.push_back(PixelSum(ref.image.ScanLine(r) + 3 * c) - ref.mean);
    }
  }
  return s;
}

// Scores the candidate whose value at the ci-th sampled column and ri-th
// sampled row is value(ci, ri); false when the quotient is undefined.
template <typename ValueAt>
bool ScoreSampled(const CorrelationReference& ref, const SampledReference& s, ValueAt value,
                  double& score) {
  const size_t n = s.deviation.size();
  double sum = 0;
  thread_local std::vector<double> values;
  values.clear();
  for (size_t ri = 0; ri < s.rows.size(); ++ri) {
    for (size_t ci = 0; ci < s.cols.size(); ++ci) {
      values.push_back(value(ci, ri));
      sum += values.back();
    }
  }
  const double mean = sum / static_cast<double>(n);
  double ssc = 0, cross = 0;
  for (size_t k = 0; k < n; ++k) {
    const double d = values[k] - mean;
    ssc += d * d;
    cross += s.deviation[k] * d;
  }
  const double denominator = std::sqrt(ref.sumSquares * ssc);
  if (!(denominator > 0)) return false;
  score = cross / denominator;
  return true;
}

}  // namespace

int CorrelationSampleStep(int referenceWidth, int precision) {
  return static_cast<int>(Trunc(std::sqrt(static_cast<double>(referenceWidth)))) /
             std::max(1, precision) +
         1;
}

void CaptureCorrelationReference(CorrelationReference& reference, const Image& frame, int x, int y,
                                 int precision, int height, int width) {
  width = std::max(1, width);
  height = std::max(1, height);
  Image& img = reference.image;
  img.Resize(width, height);
  const int srcW = 2 * (width / 2) + 1, srcH = 2 * (height / 2) + 1;
  const int left = x - width / 2, top = y - height / 2;
  for (int j = 0; j < height; ++j) {
    uint8_t* d = img.ScanLine(j);
    for (int i = 0; i < width; ++i, d += 3) {
      const int sx = left + static_cast<int>(static_cast<int64_t>(i) * srcW / width);
      const int sy = top + static_cast<int>(static_cast<int64_t>(j) * srcH / height);
      if (frame.Contains(sx, sy)) {
        const uint8_t* p = frame.ScanLine(sy) + 3 * sx;
        d[0] = p[0], d[1] = p[1], d[2] = p[2];
      } else {
        d[0] = d[1] = d[2] = 0;
      }
    }
  }
  const int step = CorrelationSampleStep(width, precision);
  const std::vector<int> cols = SampleIndices(width, step), rows = SampleIndices(height, step);
  double sum = 0;
  for (int r : rows) {
    for (int c : cols) sum += PixelSum(img.ScanLine(r) + 3 * c);
  }
  reference.mean = sum / static_cast<double>(rows.size() * cols.size());
  double ss = 0;
  for (int r : rows) {
    for (int c : cols) {
      const double d = PixelSum(img.ScanLine(r) + 3 * c) - reference.mean;
      ss += d * d;
    }
  }
  reference.sumSquares = ss;
  reference.taken = true;
}

bool CorrelationScore(const CorrelationReference& reference, const Image& candidate, int precision,
                      double& score) {
  score = 0;
  if (!reference.taken || reference.image.Width() != candidate.Width()) return true;
  const SampledReference s = Sample(reference, precision);
  return ScoreSampled(
      reference, s,
      [&](size_t ci, size_t ri) {
        const int c = s.cols[ci], r = s.rows[ri];
        return candidate.Contains(c, r) ? PixelSum(candidate.ScanLine(r) + 3 * c) : 0;
      },
      score);
}

IntPoint CorrelationSearch(CorrelationReference& reference, const Image& frame, int x, int y,
                           int zoneWidth, int zoneHeight, int precision) {
  IntPoint best{x, y};
  const bool search = !reference.fresh;
  reference.fresh = false;
  // A reference of another width scores 0 everywhere: nothing can win.
  if (!search || !reference.taken || reference.image.Width() != zoneWidth) return best;
  const int halfW = zoneWidth / 2, halfH = zoneHeight / 2;
  const int srcW = 2 * halfW + 1, srcH = 2 * halfH + 1;
  const SampledReference s = Sample(reference, precision);
  const int step = static_cast<int>(Trunc(std::sqrt(static_cast<double>(zoneWidth + 1)))) /
                       (2 * std::max(1, precision)) +
                   1;
  // Where each sampled candidate column and row comes from in the stretched
  // copy, relative to the candidate rectangle's top-left corner.
  std::vector<int> srcCols, srcRows;
  for (int c : s.cols)
    srcCols.push_back(static_cast<int>(static_cast<int64_t>(c) * srcW / zoneWidth));
  for (int r : s.rows)
    srcRows.push_back(static_cast<int>(static_cast<int64_t>(r) * srcH / zoneHeight));
  double bestScore = 0;
  int cx = x - 1, cy = y;
  auto evaluate = [&] {
    const int left = cx - halfW, top = cy - halfH;
    const bool inside =
        frame.Contains(left, top) && frame.Contains(left + srcCols.back(), top + srcRows.back());
    double score = 0;
    const bool ok = ScoreSampled(
        reference, s,
        [&](size_t ci, size_t ri) {
          const int sx = left + srcCols[ci];
          const int sy = top + srcRows[ri];
          if (!inside && !frame.Contains(sx, sy)) return 0;
          return PixelSum(frame.ScanLine(sy) + 3 * sx);
        },
        score);
    if (!ok) return false;
    if (score > bestScore) {
      bestScore = score;
      best = {cx, cy};
    }
    return true;
  };
  int direction = 1;
  for (int ring = 1; ring <= 15; ++ring) {
    for (int m = 0; m < ring; ++m) {
      cx += step * direction;
      if (!evaluate()) break;
    }
    for (int m = 0; m < ring; ++m) {
      cy += step * direction;
      if (!evaluate()) break;
    }
    direction = -direction;
  }
  return best;
}

}  // namespace orniva
