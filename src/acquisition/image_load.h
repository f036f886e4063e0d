#pragma once

#include <functional>
#include <string>
#include <vector>

#include "acquisition/image_file.h"
#include "core/image.h"

namespace orniva {

// The open and save dialogs of the main window.
inline constexpr const char* kOpenPictureFilter =
    "Bitmaps (*.bmp)|*.bmp|Jpeg (*.jpg;*.jpeg)|*.jpg;*.jpeg|AVI (*.avi)|*.avi|"
    "All (*.bmp,*.jpg,*.jpeg,*.avi)|*.bmp;*.jpg;*.jpeg;*.avi";
inline constexpr const char* kSavePictureFilter =
    "Bitmaps (*.bmp)|*.bmp|Fichiers JPEG (*.jpg)|*.jpg";
inline constexpr const char* kSaveDefaultExtension = "bmp";

// File kinds of a file source.
inline constexpr int kFileKindAvi = 0;
inline constexpr int kFileKindImage = 1;
// The kind a chosen file gives by its lower-case extension; any other
// extension keeps the previous kind.
int FileKindOf(const std::string& path, int previousKind);

// The file list of a file source: the chosen names in file-name order
// (letters compared without regard to case, as the file list sorts them).
std::vector<std::string> SortedFileList(std::vector<std::string> names);

// Reading a file that another program may still be writing is retried;
// after this many failed reads in a row the file is given up.
inline constexpr int kReadAttempts = 31;
using FileReader = std::function<ImageFileResult(const std::string&, std::vector<uint8_t>&)>;

// Reads one image file into frame (a ".bmp", ".jpg" or ".jpeg" by its
// lower-case extension). On any failure frame keeps its size and pixels.
ImageFileResult LoadImageFile(const std::string& path, Image& frame,
                              const FileReader& read = ReadFileBytes);

// Whether a saved page becomes a JPEG: only a name ending exactly in ".jpg"
// (as written; ".JPG" and ".jpeg" give bitmap files).
bool SavesAsJpeg(const std::string& path);
// A name without extension gets the save dialog's default one.
std::string WithDefaultExtension(const std::string& path);
// Writes a page as SavesAsJpeg decides, a JPEG with the given quality.
ImageFileResult SavePageImage(const std::string& path, const Image& page, int jpegQuality);

}  // namespace orniva
