#include "processing/curve.h"

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <vector>

#include "core/rounding.h"

namespace orniva {
namespace {

struct Pt {
  int x, y;
};

int Half(int v) {
  return v / 2;  // truncates toward zero
}

Pt Half(Pt p) {
  return {Half(p.x), Half(p.y)};
}

Pt operator+(Pt a, Pt b) {
  return {a.x + b.x, a.y + b.y};
}

}  // namespace

int CurveSqrt(int d2) {
  int x = (d2 + 1) / 2;
  if (x == 0) return 0;
  for (int k = 0; k < 12; ++k) {
    x = (x + d2 / x) / 2;
    if (x == 0) return 0;
  }
  return x;
}

CurveBuild BuildCurve(const CurvePoints& points) {
  CurveBuild out;
  out.positions = points.positions;
  std::vector<Pt> used;
  for (int j = 0; j < 9; ++j) {
    const bool on = points.enabled[j] || j == 0 || j == 8;
    if (!on) continue;
    const int x = j == 8 ? 255 : 32 * j;
    used.push_back({x, 255 - points.positions[j]});
  }
  const int m = static_cast<int>(used.size());
  // Control points: end points, and around each inner point P (neighbours A
  // and B) half(half(P + A) + half(3P - B)) before and half(half(P + B) +
  // half(3P - A)) after.
  std::vector<Pt> q;
  for (int k = 0; k < m; ++k) {
    const Pt p = used[k];
    if (k > 0) {
      if (k == m - 1) {
        q.push_back(p);
      } else {
        const Pt a = used[k - 1], b = used[k + 1];
        q.push_back(Half(Half(p + a) + Half(Pt{3 * p.x - b.x, 3 * p.y - b.y})));
      }
    }
    q.push_back(p);
    if (k < m - 1) {
      if (k == 0) {
        q.push_back(p);
      } else {
        const Pt a = used[k - 1], b = used[k + 1];
        q.push_back(Half(Half(p + b) + Half(Pt{3 * p.x - a.x, 3 * p.y - a.y})));
      }
    }
  }
  CurveTable& c = out.table;
  c.fill(0);
  if (m < 2 || static_cast<int>(q.size()) != 3 * (m - 1) + 1) {
    out.ok = false;
    return out;
  }
  Pt previous{-1000, -1000};
  for (int seg = 0; seg + 3 < static_cast<int>(q.size()); seg += 3) {
    const Pt q0 = q[seg], q1 = q[seg + 1], q2 = q[seg + 2], q3 = q[seg + 3];
    auto len = [](Pt a, Pt b) {
      return CurveSqrt((b.x - a.x) * (b.x - a.x) + (b.y - a.y) * (b.y - a.y));
    };
    int steps = len(q0, q1) + len(q1, q2) + len(q2, q3);
    if (steps < 1) steps = 1;
    const float dt = 1.0f / static_cast<float>(steps);
    float t = 0.0f;
    for (int k = 1; k <= steps; ++k) {
      t += dt;
      const float u = 1.0f - t;
      const float b0 = u * u * u;
      const float b1 = 3.0f * t * u * u;
      const float b2 = 3.0f * t * t * u;
      const float b3 = t * t * t;
      const float fx = b0 * q0.x + b1 * q1.x + b2 * q2.x + b3 * q3.x;
      const float fy = b0 * q0.y + b1 * q1.y + b2 * q2.y + b3 * q3.y;
      const Pt s{static_cast<int>(Round(fx)), static_cast<int>(Round(fy))};
      if (s.x == previous.x && s.y == previous.y) continue;
      previous = s;
      // Control points of unevenly spaced points may swing the curve left of
      // 0: those samples are dropped like those right of 255.
      if (s.x > 255 || s.x < 0) continue;
      c[s.x] = s.y;
    }
  }
  for (int i = 1; i <= 254; ++i) {
    const int a = c[i - 1], d = c[i + 1];
    if (std::abs(a - d) < 5 && std::abs(c[i] - (a + d) / 2) > 5) c[i] = (a + d) / 2;
  }
  for (int j = 1; j < 8; ++j) {
    if (!points.enabled[j]) out.positions[j] = 255 - c[32 * j + 14];
  }
  c[0] = c[1];
  return out;
}

bool ReadCurveFile(const std::string& path, CurvePoints& points) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  unsigned char rec[48];
  if (!in.read(reinterpret_cast<char*>(rec), sizeof rec)) return false;
  if (rec[0] != 'C' || rec[1] != 'R' || rec[2] != 'V') return false;
  CurvePoints read;
  for (int j = 0; j < 9; ++j) {
    const unsigned char* p = rec + 3 + 4 * j;
    const uint32_t u = p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
    read.positions[j] = static_cast<int32_t>(u);
    read.enabled[j] = rec[39 + j] != 0;
  }
  points = read;
  return true;
}

bool WriteCurveFile(const std::string& path, const CurvePoints& points) {
  unsigned char rec[48] = {'C', 'R', 'V'};
  for (int j = 0; j < 9; ++j) {
    const uint32_t u = static_cast<uint32_t>(points.positions[j]);
    for (int k = 0; k < 4; ++k) rec[3 + 4 * j + k] = static_cast<unsigned char>(u >> (8 * k));
    rec[39 + j] = points.enabled[j] ? 1 : 0;
  }
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) return false;
  out.write(reinterpret_cast<const char*>(rec), sizeof rec);
  return static_cast<bool>(out.flush());
}

}  // namespace orniva
