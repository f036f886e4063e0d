#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "core/rounding.h"
#include "processing/compose.h"

// The compositor written step by step, cell by cell and channel by channel,
// exactly as the program's rules state it. The fast path in compose.cpp must
// give the same buffers, counters and picture.

namespace orniva {
namespace {

int ChannelOf(const CellRgb& c, int ch) {
  return ch == 0 ? c.r : (ch == 1 ? c.g : c.b);
}
void SetChannel(CellRgb& c, int ch, int v) {
  (ch == 0 ? c.r : (ch == 1 ? c.g : c.b)) = v;
}

// Mean of the border of radius R around cell (i, j), clipped to the grid.
int HotPixelMean(const CellBuffer& buf, const CellGrid& g, int i, int j, int radius, int ch) {
  auto inside = [&](int x, int y) { return x >= 0 && y >= 0 && x < g.cols && y < g.rows; };
  int64_t sum = 0;
  for (int x = i - radius; x <= i + radius + 1; ++x) {
    if (inside(x, j - radius)) sum += ChannelOf(buf.Cell(x, j - radius), ch);
    if (inside(x, j + radius)) sum += ChannelOf(buf.Cell(x, j + radius), ch);
  }
  for (int y = j - radius + 1; y <= j + radius - 1; ++y) {
    if (inside(i - radius, y)) sum += ChannelOf(buf.Cell(i - radius, y), ch);
    if (inside(i + radius + 1, y)) sum += ChannelOf(buf.Cell(i + radius + 1, y), ch);
  }
  return static_cast<int>(sum / (8 * radius + 2));
}

}  // namespace

ComposeOutcome ComposeResultReference(ComposeState& st, const ComposeSettings& s, const Image& zone,
                                      Rect zoneRect, ComposeCall call, Image& out) {
  ComposeOutcome res;
  const int b = s.binning == 2 ? 2 : 1;
  const int F = 256 * b * b - 1;
  const int t = call.target;
  const int N = s.frameLimit;
  const CellGrid g = CellGridFor(zone, zoneRect, b);
  CellBuffer& target = st.cells[t];

  // Loop ring.
  bool ringFull = false;
  const Image* tailImage = nullptr;
  if (call.addFrame && s.loopMode) {
    st.ringHead = (st.ringHead % (N + 1)) + 1;
    st.ringTail = (st.ringHead % (N + 1)) + 1;
    if (N >= 0 && static_cast<int>(st.ring.size()) >= N + 1) {
      Image& head = st.ring[st.ringHead - 1];
      if (head.Width() < g.zone.right || head.Height() < g.zone.bottom) {
        head.Resize(std::max(head.Width(), g.zone.right), std::max(head.Height(), g.zone.bottom));
      }
      head.CopyRect(zone, g.zone, g.zone.left, g.zone.top);
      tailImage = &st.ring[st.ringTail - 1];
      ringFull = st.ringFill >= N;
    }
  }

  // Counters.
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

  // Extremes start.
  st.cellMin[t] = F * (s.loopMode ? st.ringFill : st.count[t]);
  st.cellMax[t] = 0;
  auto track = [&](int v) {
    st.cellMin[t] = std::min(st.cellMin[t], v);
    st.cellMax[t] = std::max(st.cellMax[t], v);
  };

  // Accumulation.
  const bool darkOrFlat = s.darkPower > 0 || s.flatActive;
  for (int j = 0; j < g.rows; ++j) {
    for (int i = 0; i < g.cols; ++i) {
      CellRgb c = target.Cell(i, j);
      if (call.addFrame) {
        for (int dy = 0; dy < b; ++dy) {
          for (int dx = 0; dx < b; ++dx) {
            const int x = g.zone.left + b * i + dx, y = g.zone.top + b * j + dy;
            if (x >= g.zone.right || y >= g.zone.bottom) continue;
            const Bgr p = zone.Pixel(x, y);
            c.r += p.r;
            c.g += p.g;
            c.b += p.b;
            if (ringFull && tailImage->Contains(x, y)) {
              const Bgr q = tailImage->Pixel(x, y);
              c.r -= q.r;
              c.g -= q.g;
              c.b -= q.b;
            }
          }
        }
      }
      c = {Clamp(c.r, 0, 65535), Clamp(c.g, 0, 65535), Clamp(c.b, 0, 65535)};
      target.SetCell(i, j, c);
      if (!darkOrFlat) {
        st.result.SetCell(i, j, c);
        track(c.r);
        track(c.g);
        track(c.b);
      }
    }
  }

  // Dark and flat.
  if (call.render && darkOrFlat) {
    const double D = s.darkHotPixels ? s.darkPower * (2.56 * (b * b) - 0.01) : s.darkPower * 0.01;
    const int nd = st.count[1];
    double r = 0;
    if (D > 0) r = static_cast<double>(s.loopMode ? st.ringFill : st.count[0]) / std::max(nd, 1);
    for (int j = 0; j < g.rows; ++j) {
      for (int i = 0; i < g.cols; ++i) {
        CellRgb v = target.Cell(i, j);
        const CellRgb d = (D > 0 && t != 1) ? st.cells[1].Cell(i, j) : CellRgb{};
        const CellRgb f = (s.flatActive && t != 2) ? st.cells[2].Cell(i, j) : CellRgb{};
        for (int ch = 0; ch < 3; ++ch) {
          int64_t x = ChannelOf(v, ch);
          if (D > 0 && nd > 0) {
            const int dc = ChannelOf(d, ch);
            if (s.darkHotPixels) {
              // m > F - D with F - D = F x (100 - T) / 100, compared in
              // integers.
              const int64_t m = Round(static_cast<double>(dc) / nd - 0.5);
              if (100 * m > int64_t{F} * (100 - s.darkPower)) {
                x = HotPixelMean(target, g, i, j, s.darkRadius, ch);
              }
            } else {
              const int64_t sub = Round(dc * D * r - 0.5);
              x -= std::min(x, sub);
            }
          }
          if (s.flatActive) {
            const int fc = ChannelOf(f, ch);
            const double mean = st.flatMean[ch];
            x = fc > 1 ? Round(mean / fc * x - 0.5) : Round(mean * x - 0.5);
            x = std::min<int64_t>(x, 65535);
          }
          track(static_cast<int>(x));
          SetChannel(v, ch, static_cast<int>(x));
        }
        st.result.SetCell(i, j, v);
      }
    }
  }

  // Extremes and automatic levels.
  res.low = s.low;
  res.high = s.high;
  res.lowBoundMax = s.lowBoundMax;
  res.highBoundMax = s.highBoundMax;
  if (s.autoLevels) {
    const AutoLevelResult a =
        AutoLevels(st.cellMin[t], st.cellMax[t], s.kLow, s.kHigh, s.lowBoundMax, s.highBoundMax);
    res = {res.limitReached, res.shownCount, true, a.low, a.high, a.lowBoundMax, a.highBoundMax};
  }

  // Level mapping.
  if (call.render) {
    const int L = res.low, H = res.high;
    const int E = H == L ? 1 : std::abs(H - L);
    const bool on[3] = {s.red, s.green, s.blue};
    const int checked = int(s.red) + int(s.green) + int(s.blue);
    for (int j = 0; j < g.rows && j < out.Height(); ++j) {
      for (int i = 0; i < g.cols && i < out.Width(); ++i) {
        const CellRgb v = st.result.Cell(i, j);
        int level[3];
        for (int ch = 0; ch < 3; ++ch) {
          const int x = ChannelOf(v, ch);
          int o = x < L ? 0 : std::min(255, ((x - L) * 256) / E);
          if (s.curve) o = Clamp(o + (*s.curve)[o], 0, 255);
          level[ch] = o;
        }
        Bgr p;
        if (s.grey) {
          int sum = 0;
          for (int ch = 0; ch < 3; ++ch) sum += on[ch] ? level[ch] : 0;
          const uint8_t grey = checked ? static_cast<uint8_t>(std::min(255, sum / checked)) : 0;
          p = {grey, grey, grey};
        } else {
          p = Rgb(on[0] ? level[0] : 0, on[1] ? level[1] : 0, on[2] ? level[2] : 0);
        }
        out.SetPixel(i, j, p);
      }
    }
  }
  return res;
}

}  // namespace orniva
