#pragma once

#include "core/image.h"

namespace orniva {

// Bayer patterns of a colour sensor in raw mode, named by the colours of the
// top-left 2 x 2 pixels (row 0 / row 1). 0 means no pattern chosen.
enum BayerPattern : int {
  kBayerNone = 0,
  kBayerGR = 1,  // "Mode 1 (GR)": G R / B G
  kBayerRG = 2,  // "Mode 2 (RG)": R G / G B
  kBayerBG = 3,  // "Mode 3 (BG)": B G / G R
  kBayerGB = 4,  // "Mode 4 (GB)": G B / R G
};

// Bilinear demosaic of a raw frame. Each source pixel carries the sensor
// value in the byte of its filter colour. The destination takes the source's
// size (pixels inside both sizes keep their values), then every interior
// pixel (x in 1..width-2, y in 1..height-2) receives the colours
// interpolated from its neighbours; the outer border is not written. With
// pattern 0 (or any unknown pattern) only the size is taken.
void DemosaicRaw(const Image& source, Image& destination, int pattern);

// The same, pixel by pixel, with no vector instructions: the reference the
// fast version is checked against.
void DemosaicRawReference(const Image& source, Image& destination, int pattern);

}  // namespace orniva
