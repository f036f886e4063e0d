#pragma once

#include <cstdio>
#include <string>
#include <string_view>

#include "core/image.h"
#include "telescope/tracking_types.h"

namespace orniva {

// Where the tracking details go when "Debug actif" is checked ("Debug.log").
class TrackingLog {
 public:
  virtual ~TrackingLog() = default;
  virtual void WriteLine(std::string_view line) = 0;
};

// Appends lines to a text file (opened on the first line, kept open, each
// line flushed so that a crash loses nothing).
class FileTrackingLog : public TrackingLog {
 public:
  explicit FileTrackingLog(std::string path) : path_(std::move(path)) {}
  ~FileTrackingLog() override;
  void WriteLine(std::string_view line) override;
  const std::string& Path() const { return path_; }
  // False once opening or writing the file has failed.
  bool Ok() const { return ok_; }

 private:
  std::string path_;
  std::FILE* file_ = nullptr;
  bool ok_ = true;
};

// What a guarded read reports when it falls outside the image: the zone
// centre of the scan, the stored zone centre and the zone box. log is null
// when "Debug actif" is off.
struct LumReadContext {
  TrackingLog* log = nullptr;
  IntPoint zoneCentre;
  IntPoint storedCentre;
  ZoneBox box;
};

// The luminance of a pixel, (B + G + R) div 3.
inline int Luminance(const uint8_t* p) {
  return (p[0] + p[1] + p[2]) / 3;
}

// The guarded read of the limit scans: a pixel outside the image counts as
// luminance 0, and with a log the five lines naming the read are written.
int GetLum(const Image& image, int x, int y, const LumReadContext& context);

}  // namespace orniva
