#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "acquisition/image_file.h"
#include "core/image.h"

namespace orniva {

// Decodes a bitmap file held in memory: 24-bit, 8-bit palettised and 32-bit
// (plain or with bit-field masks), rows bottom-up or top-down, padded to 4
// bytes. The header is checked in full before image is touched: on failure
// image keeps its size and pixels, and nothing larger than the frame limit is
// ever allocated.
ImageFileResult DecodeBmp(std::span<const uint8_t> data, Image& image);

// A 24-bit bottom-up bitmap file of image: 14-byte file header, 40-byte
// info header, pixels at offset 54.
std::vector<uint8_t> EncodeBmp(const Image& image);

}  // namespace orniva
