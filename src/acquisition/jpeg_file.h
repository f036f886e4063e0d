#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "acquisition/image_file.h"
#include "core/image.h"

namespace orniva {

// Decodes a JPEG held in memory (baseline or progressive, colour or grey)
// into a 24-bit image. The size is checked against the frame limit before any
// pixel memory is taken. A stream whose image data libjpeg can only decode
// with warnings (corrupt or truncated data) is reported as Corrupt, not shown;
// stray bytes between its segments are skipped. On failure image keeps its
// size and pixels.
ImageFileResult DecodeJpeg(std::span<const uint8_t> data, Image& image);

// Compresses image as a baseline JPEG with the given quality (clamped to
// 1..100) into out (replaced). Returns false, out empty, when libjpeg fails.
bool EncodeJpeg(const Image& image, int quality, std::vector<uint8_t>& out);

}  // namespace orniva
