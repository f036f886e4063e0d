#include "acquisition/demosaic.h"

#include <cstdint>
#include <cstring>
#include <vector>

#if defined(__SSE4_1__)
#include <smmintrin.h>
#define ORNIVA_DEMOSAIC_SSE 1
#endif

namespace orniva {
namespace {

// What the mosaic has at one site.
enum Site : uint8_t { kGreenOnRedRow, kGreenOnBlueRow, kRed, kBlue };

// Byte of a pixel holding each site's filter colour (blue, green, red order).
constexpr int ChannelOf(Site s) {
  return s == kRed ? 2 : (s == kBlue ? 0 : 1);
}

// Sites of one row of a pattern: the site at even x and at odd x.
struct RowSites {
  Site even, odd;
};

RowSites SitesOf(int pattern, int y) {
  const bool evenRow = (y & 1) == 0;
  switch (pattern) {
    case kBayerGR:  // G R / B G
      return evenRow ? RowSites{kGreenOnRedRow, kRed} : RowSites{kBlue, kGreenOnBlueRow};
    case kBayerRG:  // R G / G B
      return evenRow ? RowSites{kRed, kGreenOnRedRow} : RowSites{kGreenOnBlueRow, kBlue};
    case kBayerBG:  // B G / G R
      return evenRow ? RowSites{kBlue, kGreenOnBlueRow} : RowSites{kGreenOnRedRow, kRed};
    default:  // kBayerGB: G B / R G
      return evenRow ? RowSites{kGreenOnBlueRow, kBlue} : RowSites{kRed, kGreenOnRedRow};
  }
}

bool KnownPattern(int pattern) {
  return pattern >= kBayerGR && pattern <= kBayerGB;
}

// The demosaiced pixel at one site, from the raw values around it: c the
// centre, l/r/u/d the orthogonal and ul/ur/dl/dr the diagonal neighbours.
inline void SitePixel(Site s, int c, int l, int r, int u, int d, int ul, int ur, int dl, int dr,
                      uint8_t* out) {
  int red, green, blue;
  switch (s) {
    case kGreenOnRedRow:
      red = (l + r) >> 1, green = c, blue = (u + d) >> 1;
      break;
    case kGreenOnBlueRow:
      red = (u + d) >> 1, green = c, blue = (l + r) >> 1;
      break;
    case kRed:
      red = c, green = (u + l + r + d) >> 2, blue = (ul + ur + dl + dr) >> 2;
      break;
    default:
      red = (ul + ur + dl + dr) >> 2, green = (u + l + r + d) >> 2, blue = c;
      break;
  }
  out[0] = static_cast<uint8_t>(blue);
  out[1] = static_cast<uint8_t>(green);
  out[2] = static_cast<uint8_t>(red);
}

// Raw rows of the frame (the filter colour's byte of each pixel), three
// kept at a time while the rows are demosaiced.
void ExtractRaw(const uint8_t* src, int width, RowSites sites, uint8_t* raw) {
  const int ce = ChannelOf(sites.even), co = ChannelOf(sites.odd);
  int x = 0;
#ifdef ORNIVA_DEMOSAIC_SSE
  alignas(16) int8_t masks[3][16];
  for (int v = 0; v < 3; ++v) {
    for (int i = 0; i < 16; ++i) {
      const int k = 3 * i + ((i & 1) ? co : ce);
      masks[v][i] = static_cast<int8_t>(k / 16 == v ? k % 16 : -128);
    }
  }
  const __m128i m0 = _mm_load_si128(reinterpret_cast<const __m128i*>(masks[0]));
  const __m128i m1 = _mm_load_si128(reinterpret_cast<const __m128i*>(masks[1]));
  const __m128i m2 = _mm_load_si128(reinterpret_cast<const __m128i*>(masks[2]));
  for (; x + 16 <= width; x += 16) {
    const uint8_t* p = src + 3 * x;
    const __m128i s0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const __m128i s1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16));
    const __m128i s2 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 32));
    const __m128i r = _mm_or_si128(_mm_or_si128(_mm_shuffle_epi8(s0, m0), _mm_shuffle_epi8(s1, m1)),
                                   _mm_shuffle_epi8(s2, m2));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(raw + x), r);
  }
#endif
  for (; x < width; ++x) raw[x] = src[3 * x + ((x & 1) ? co : ce)];
}

// Demosaics the interior of one row from its raw row and the raw rows above
// and below, for x in [from, width - 1).
void DemosaicRowScalar(const uint8_t* up, const uint8_t* cur, const uint8_t* dn, int from,
                       int width, RowSites sites, uint8_t* dst) {
  for (int x = from; x < width - 1; ++x) {
    SitePixel((x & 1) ? sites.odd : sites.even, cur[x], cur[x - 1], cur[x + 1], up[x], dn[x],
              up[x - 1], up[x + 1], dn[x - 1], dn[x + 1], dst + 3 * x);
  }
}

#ifdef ORNIVA_DEMOSAIC_SSE

// Floor of the average of two bytes, lane by lane.
inline __m128i FloorAvg(__m128i a, __m128i b) {
  const __m128i odd = _mm_and_si128(_mm_xor_si128(a, b), _mm_set1_epi8(1));
  return _mm_sub_epi8(_mm_avg_epu8(a, b), odd);
}

// (a + b + c + d) >> 2 over bytes, computed in 16 bits.
inline __m128i Avg4(__m128i a, __m128i b, __m128i c, __m128i d) {
  const __m128i z = _mm_setzero_si128();
  __m128i lo = _mm_add_epi16(_mm_add_epi16(_mm_unpacklo_epi8(a, z), _mm_unpacklo_epi8(b, z)),
                             _mm_add_epi16(_mm_unpacklo_epi8(c, z), _mm_unpacklo_epi8(d, z)));
  __m128i hi = _mm_add_epi16(_mm_add_epi16(_mm_unpackhi_epi8(a, z), _mm_unpackhi_epi8(b, z)),
                             _mm_add_epi16(_mm_unpackhi_epi8(c, z), _mm_unpackhi_epi8(d, z)));
  return _mm_packus_epi16(_mm_srli_epi16(lo, 2), _mm_srli_epi16(hi, 2));
}

// Interpolated values at a site; which one feeds which colour depends on the site.
enum Source { kH, kV, kC, kX, kD };

// Sources of red, green and blue at each kind of site.
constexpr Source kSources[4][3] = {
    {kH, kC, kV},  // green on a red row
    {kV, kC, kH},  // green on a blue row
    {kC, kX, kD},  // red
    {kD, kX, kC},  // blue
};

struct Interleave {
  __m128i b[3], g[3], r[3];
  Interleave() {
    alignas(16) int8_t m[3][3][16];
    for (int v = 0; v < 3; ++v) {
      for (int k = 0; k < 16; ++k) {
        const int byte = 16 * v + k;
        for (int c = 0; c < 3; ++c)
          m[c][v][k] = static_cast<int8_t>(byte % 3 == c ? byte / 3 : -128);
      }
    }
    for (int v = 0; v < 3; ++v) {
      b[v] = _mm_load_si128(reinterpret_cast<const __m128i*>(m[0][v]));
      g[v] = _mm_load_si128(reinterpret_cast<const __m128i*>(m[1][v]));
      r[v] = _mm_load_si128(reinterpret_cast<const __m128i*>(m[2][v]));
    }
  }
};

// Vector part of a row: blocks of 16 pixels from x = 1; returns the first x
// left for the scalar tail.
int DemosaicRowSse(const uint8_t* up, const uint8_t* cur, const uint8_t* dn, int width,
                   RowSites sites, uint8_t* dst, const Interleave& il) {
  // Lane i holds x = 1 + i (and so on by 16): the odd lanes are the even x.
  const __m128i evenX = _mm_set1_epi16(static_cast<short>(0xFF00));
  const Source* se = kSources[sites.even];
  const Source* so = kSources[sites.odd];
  int x = 1;
  for (; x + 16 <= width - 1; x += 16) {
    const auto load = [](const uint8_t* p) {
      return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    };
    const __m128i l = load(cur + x - 1), c = load(cur + x), r = load(cur + x + 1);
    const __m128i u = load(up + x), d = load(dn + x);
    __m128i val[5];
    val[kH] = FloorAvg(l, r);
    val[kV] = FloorAvg(u, d);
    val[kC] = c;
    val[kX] = Avg4(u, l, r, d);
    val[kD] = Avg4(load(up + x - 1), load(up + x + 1), load(dn + x - 1), load(dn + x + 1));
    const __m128i red = _mm_blendv_epi8(val[so[0]], val[se[0]], evenX);
    const __m128i green = _mm_blendv_epi8(val[so[1]], val[se[1]], evenX);
    const __m128i blue = _mm_blendv_epi8(val[so[2]], val[se[2]], evenX);
    uint8_t* out = dst + 3 * x;
    for (int v = 0; v < 3; ++v) {
      const __m128i o = _mm_or_si128(
          _mm_or_si128(_mm_shuffle_epi8(blue, il.b[v]), _mm_shuffle_epi8(green, il.g[v])),
          _mm_shuffle_epi8(red, il.r[v]));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 16 * v), o);
    }
  }
  return x;
}

#endif

}  // namespace

void DemosaicRawReference(const Image& source, Image& destination, int pattern) {
  destination.Resize(source.Width(), source.Height());
  if (!KnownPattern(pattern)) return;
  const int w = source.Width(), h = source.Height();
  const auto raw = [&](int x, int y) {
    return static_cast<int>(source.ScanLine(
        y)[3 * x + ChannelOf(((x & 1) ? SitesOf(pattern, y).odd : SitesOf(pattern, y).even))]);
  };
  for (int y = 1; y < h - 1; ++y) {
    const RowSites sites = SitesOf(pattern, y);
    uint8_t* out = destination.ScanLine(y);
    for (int x = 1; x < w - 1; ++x) {
      SitePixel((x & 1) ? sites.odd : sites.even, raw(x, y), raw(x - 1, y), raw(x + 1, y),
                raw(x, y - 1), raw(x, y + 1), raw(x - 1, y - 1), raw(x + 1, y - 1),
                raw(x - 1, y + 1), raw(x + 1, y + 1), out + 3 * x);
    }
  }
}

void DemosaicRaw(const Image& source, Image& destination, int pattern) {
  destination.Resize(source.Width(), source.Height());
  if (!KnownPattern(pattern)) return;
  const int w = source.Width(), h = source.Height();
  if (w < 3 || h < 3) return;
  // Three raw rows, reused from frame to frame.
  thread_local std::vector<uint8_t> scratch;
  const size_t rowBytes = static_cast<size_t>(w) + 16;
  if (scratch.size() < 3 * rowBytes) scratch.resize(3 * rowBytes);
  uint8_t* rows[3] = {scratch.data(), scratch.data() + rowBytes, scratch.data() + 2 * rowBytes};
  ExtractRaw(source.ScanLine(0), w, SitesOf(pattern, 0), rows[0]);
  ExtractRaw(source.ScanLine(1), w, SitesOf(pattern, 1), rows[1]);
#ifdef ORNIVA_DEMOSAIC_SSE
  static const Interleave il;
#endif
  for (int y = 1; y < h - 1; ++y) {
    ExtractRaw(source.ScanLine(y + 1), w, SitesOf(pattern, y + 1), rows[(y + 1) % 3]);
    const uint8_t* up = rows[(y - 1) % 3];
    const uint8_t* cur = rows[y % 3];
    const uint8_t* dn = rows[(y + 1) % 3];
    const RowSites sites = SitesOf(pattern, y);
    uint8_t* out = destination.ScanLine(y);
    int x = 1;
#ifdef ORNIVA_DEMOSAIC_SSE
    x = DemosaicRowSse(up, cur, dn, w, sites, out, il);
#endif
    DemosaicRowScalar(up, cur, dn, x, w, sites, out);
  }
}

}  // namespace orniva
