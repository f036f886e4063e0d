#include "acquisition/image_file.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "acquisition/bmp_file.h"
#include "acquisition/frame_limits.h"
#include "acquisition/jpeg_file.h"

namespace orniva {

namespace {

struct FileCloser {
  void operator()(FILE* f) const {
    if (f) std::fclose(f);
  }
};

std::string ErrnoText(int err) {
  return err ? std::string(std::strerror(err)) : std::string();
}

}  // namespace

ImageFileResult ReadFileBytes(const std::string& path, std::vector<uint8_t>& bytes) {
  bytes.clear();
  std::unique_ptr<FILE, FileCloser> f(std::fopen(path.c_str(), "rb"));
  if (!f) return {ImageFileError::CannotRead, 0, 0, ErrnoText(errno)};
  if (std::fseek(f.get(), 0, SEEK_END) != 0) {
    return {ImageFileError::CannotRead, 0, 0, ErrnoText(errno)};
  }
  const long size = std::ftell(f.get());
  if (size < 0) return {ImageFileError::CannotRead, 0, 0, ErrnoText(errno)};
  if (size == 0) return {ImageFileError::Empty};
  if (size > kMaxImageFileBytes) return {ImageFileError::FileTooBig};
  std::rewind(f.get());
  bytes.resize(static_cast<size_t>(size));
  if (std::fread(bytes.data(), 1, bytes.size(), f.get()) != bytes.size()) {
    bytes.clear();
    return {ImageFileError::CannotRead, 0, 0, ErrnoText(errno)};
  }
  return {};
}

ImageFileResult WriteFileBytes(const std::string& path, std::span<const uint8_t> bytes) {
  std::unique_ptr<FILE, FileCloser> f(std::fopen(path.c_str(), "wb"));
  if (!f) return {ImageFileError::CannotWrite, 0, 0, ErrnoText(errno)};
  if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), f.get()) != bytes.size()) {
    return {ImageFileError::CannotWrite, 0, 0, ErrnoText(errno)};
  }
  if (std::fclose(f.release()) != 0) return {ImageFileError::CannotWrite, 0, 0, ErrnoText(errno)};
  return {};
}

std::string ImageFileMessage(const std::string& path, const ImageFileResult& r) {
  auto withDetail = [&](std::string text) {
    return r.detail.empty() ? text : text + " (" + r.detail + ")";
  };
  switch (r.error) {
    case ImageFileError::None:
      return {};
    case ImageFileError::CannotRead:
      return withDetail("Impossible de lire le fichier " + path);
    case ImageFileError::CannotWrite:
      return withDetail("Impossible d'ecrire le fichier " + path);
    case ImageFileError::TooLarge:
      return "Fichier " + path + " : " + FrameSizeMessage(r.width, r.height);
    default:
      break;
  }
  const char* reason = "";
  switch (r.error) {
    case ImageFileError::Empty:
      reason = "fichier vide";
      break;
    case ImageFileError::FileTooBig:
      reason = "fichier trop volumineux";
      break;
    case ImageFileError::BadMagic:
      reason = "type de fichier non reconnu";
      break;
    case ImageFileError::Truncated:
      reason = "fichier tronque";
      break;
    case ImageFileError::Unsupported:
      reason = "format non pris en charge";
      break;
    case ImageFileError::BadSize:
      reason = "dimensions de l'image invalides";
      break;
    case ImageFileError::Corrupt:
      reason = "donnees de l'image corrompues";
      break;
    default:
      break;
  }
  return withDetail("Image illisible : " + path + " : " + reason);
}

std::string LowerExtension(const std::string& path) {
  const size_t slash = path.find_last_of("/\\");
  const size_t dot = path.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
  std::string ext = path.substr(dot);
  std::transform(ext.begin(), ext.end(), ext.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return ext;
}

ImageFileResult DecodeImageFile(const std::string& path, std::span<const uint8_t> data,
                                Image& image) {
  const std::string ext = LowerExtension(path);
  if (ext == ".bmp") return DecodeBmp(data, image);
  if (ext == ".jpg" || ext == ".jpeg") return DecodeJpeg(data, image);
  return {ImageFileError::Unsupported, 0, 0, ext.empty() ? "sans extension" : ext};
}

}  // namespace orniva
