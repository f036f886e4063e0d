#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "core/image.h"

namespace orniva {

// Why an image file could not be read or written.
enum class ImageFileError {
  None,
  CannotRead,   // the file cannot be opened or read
  Empty,        // zero bytes
  FileTooBig,   // larger than any image the program can hold
  BadMagic,     // not the announced kind of file
  Truncated,    // ends before the data its header announces
  Unsupported,  // a variant of the format this program does not decode
  BadSize,      // a width or height of 0 (or negative)
  TooLarge,     // a valid image beyond the 1024 x 768 frame limit
  Corrupt,      // damaged data (a JPEG that decodes only with warnings)
  CannotWrite,
};

struct ImageFileResult {
  ImageFileResult() = default;
  ImageFileResult(ImageFileError e, int w = 0, int h = 0, std::string d = {})
      : error(e), width(w), height(h), detail(std::move(d)) {}

  ImageFileError error = ImageFileError::None;
  int width = 0;  // the size the header announces, when it was read
  int height = 0;
  std::string detail;  // a decoder's own explanation, when it gave one
  bool Ok() const { return error == ImageFileError::None; }
};

// Files beyond this size are refused before being read: no image the
// program can hold comes near it.
inline constexpr int64_t kMaxImageFileBytes = 16 * 1024 * 1024;

// Reads a whole file into bytes (replaced). Refuses files larger than
// kMaxImageFileBytes without reading them.
ImageFileResult ReadFileBytes(const std::string& path, std::vector<uint8_t>& bytes);
// Writes bytes as the whole content of path.
ImageFileResult WriteFileBytes(const std::string& path, std::span<const uint8_t> bytes);

// The text shown to the operator for a failed read or write; names the file.
std::string ImageFileMessage(const std::string& path, const ImageFileResult& result);

// Lower-case extension of a file name with its dot (".jpg"), or "".
std::string LowerExtension(const std::string& path);

// Decodes an image file held in memory by the kind its extension names
// (".bmp", ".jpg", ".jpeg", compared in lower case). On failure image keeps
// its previous size and pixels. Other extensions give Unsupported.
ImageFileResult DecodeImageFile(const std::string& path, std::span<const uint8_t> data,
                                Image& image);

}  // namespace orniva
