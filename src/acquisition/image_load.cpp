#include "acquisition/image_load.h"

#include <algorithm>

#include "acquisition/bmp_file.h"
#include "acquisition/jpeg_file.h"

namespace orniva {

int FileKindOf(const std::string& path, int previousKind) {
  const std::string ext = LowerExtension(path);
  if (ext == ".bmp" || ext == ".jpg" || ext == ".jpeg") return kFileKindImage;
  if (ext == ".avi") return kFileKindAvi;
  return previousKind;
}

std::vector<std::string> SortedFileList(std::vector<std::string> names) {
  auto lower = [](const std::string& s) {
    std::string l = s;
    std::transform(l.begin(), l.end(), l.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return l;
  };
  std::stable_sort(names.begin(), names.end(), [&](const std::string& a, const std::string& b) {
    const std::string la = lower(a), lb = lower(b);
    return la != lb ? la < lb : a < b;
  });
  return names;
}

ImageFileResult LoadImageFile(const std::string& path, Image& frame, const FileReader& read) {
  std::vector<uint8_t> bytes;
  ImageFileResult r;
  for (int attempt = 0; attempt < kReadAttempts; ++attempt) {
    r = read(path, bytes);
    if (r.error != ImageFileError::CannotRead) break;
  }
  if (!r.Ok()) return r;
  return DecodeImageFile(path, bytes, frame);
}

bool SavesAsJpeg(const std::string& path) {
  return path.size() >= 4 && path.compare(path.size() - 4, 4, ".jpg") == 0;
}

std::string WithDefaultExtension(const std::string& path) {
  return LowerExtension(path).empty() ? path + "." + kSaveDefaultExtension : path;
}

ImageFileResult SavePageImage(const std::string& path, const Image& page, int jpegQuality) {
  if (!SavesAsJpeg(path)) return WriteFileBytes(path, EncodeBmp(page));
  std::vector<uint8_t> jpeg;
  if (!EncodeJpeg(page, jpegQuality, jpeg)) {
    return {ImageFileError::CannotWrite, page.Width(), page.Height(), "compression JPEG"};
  }
  return WriteFileBytes(path, jpeg);
}

}  // namespace orniva
