#include "telescope/tracking_log.h"

#include <string>

namespace orniva {

FileTrackingLog::~FileTrackingLog() {
  if (file_) std::fclose(file_);
}

void FileTrackingLog::WriteLine(std::string_view line) {
  if (!ok_) return;
  if (!file_) {
    file_ = std::fopen(path_.c_str(), "a");
    if (!file_) {
      ok_ = false;
      return;
    }
  }
  if (std::fwrite(line.data(), 1, line.size(), file_) != line.size() ||
      std::fputc('\n', file_) < 0 || std::fflush(file_) != 0) {
    ok_ = false;
  }
}

int GetLum(const Image& image, int x, int y, const LumReadContext& context) {
  if (image.Contains(x, y)) {
    // Trunc(sum x 0.333...334) in extended precision equals sum div 3; a
    // double product would lose one on multiples of 3, so divide instead.
    return Luminance(image.ScanLine(y) + 3 * x);
  }
  if (context.log) {
    auto n = [](int v) { return std::to_string(v); };
    const ZoneBox& b = context.box;
    context.log->WriteLine("Erreur GetLum dans Cadres");
    context.log->WriteLine("XY=" + n(context.zoneCentre.x) + "," + n(context.zoneCentre.y));
    context.log->WriteLine("XXYY=" + n(x) + "," + n(y));
    context.log->WriteLine("Position X,Y : " + n(context.storedCentre.x) + "," +
                           n(context.storedCentre.y));
    context.log->WriteLine("XLeft,Ytop,Xright,Ybot : " + n(b.left) + "," + n(b.top) + "," +
                           n(b.right) + "," + n(b.bottom));
  }
  return 0;
}

}  // namespace orniva
