#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/event_loop.h"
#include "core/image.h"

namespace orniva {

// A capture driver as the driver dialog lists it.
struct DriverDescription {
  std::string name;
  std::string version;
  // "name version", the text of the driver dialog's list.
  std::string Text() const { return version.empty() ? name : name + " " + version; }
};

// The driver dialog lists at most this many drivers.
inline constexpr int kMaxDrivers = 10;

// Four-character codes of the device formats.
constexpr uint32_t FourCc(char a, char b, char c, char d) {
  return static_cast<uint32_t>(static_cast<uint8_t>(a)) |
         (static_cast<uint32_t>(static_cast<uint8_t>(b)) << 8) |
         (static_cast<uint32_t>(static_cast<uint8_t>(c)) << 16) |
         (static_cast<uint32_t>(static_cast<uint8_t>(d)) << 24);
}
std::string FourCcText(uint32_t code);

// The video format of a connected device: the fields of a bitmap-info header
// that the program reads. Frames always reach the program as 24-bit BGR,
// whatever the device's own format.
struct VideoFormat {
  int headerSize = 40;  // 0: the device gives no usable format
  int width = 0;
  int height = 0;
  int bitCount = 0;          // bits per pixel of the device's format: 8, 16, 24 or 32
  uint32_t compression = 0;  // the device's four-character code; 0 plain RGB
  uint32_t imageSize = 0;    // bytes of one frame as the device delivers it
  // "YUYV 640x480", the text of the format dialog's list.
  std::string Text() const;
  friend bool operator==(const VideoFormat&, const VideoFormat&) = default;
};

// One control of the device, shown by the source dialog.
struct SourceControl {
  enum class Kind { Integer, Boolean, Menu };
  uint32_t id = 0;
  std::string name;
  Kind kind = Kind::Integer;
  int minimum = 0;
  int maximum = 0;
  int step = 1;
  int defaultValue = 0;
  int value = 0;
  std::vector<std::string> menuItems;  // Menu: the text of minimum + i
};

// Where a stream delivers, always on the event loop's thread.
struct StreamSink {
  // A frame, valid during the call.
  std::function<void(const Image& frame)> frame;
  // The stream has stopped by itself (device gone, read error); the text
  // names the device.
  std::function<void(const std::string& message)> failed;
};

struct StreamStats {
  int64_t delivered = 0;  // frames handed to the sink
  int64_t dropped = 0;    // frames replaced by a newer one before the loop took them
};

// A source of camera frames: what the program asks of a capture driver.
// Every call is made on the event loop's thread.
class FrameSource {
 public:
  virtual ~FrameSource() = default;

  // The drivers this source can connect, in index order, at most kMaxDrivers.
  virtual std::vector<DriverDescription> ListDrivers() = 0;
  virtual bool Connect(int driverIndex) = 0;
  virtual void Disconnect() = 0;
  virtual bool Connected() const = 0;

  virtual VideoFormat GetVideoFormat() = 0;
  // The format dialog: what the device offers, and choosing one of them.
  virtual std::vector<VideoFormat> Formats() = 0;
  virtual bool SetVideoFormat(const VideoFormat& format) = 0;
  // The source dialog: the device's own controls.
  virtual std::vector<SourceControl> Controls() = 0;
  virtual bool SetControl(uint32_t id, int value) = 0;

  // Grabs one frame as 24-bit BGR into frame, which takes the format's size.
  // Refused while streaming.
  virtual bool GrabFrame(Image& frame) = 0;
  // Delivers every frame to sink on loop's thread until StopStream, asking
  // the device for one frame every framePeriodMs. When the program falls
  // behind, older undelivered frames are dropped and counted, never queued.
  virtual bool StartStream(EventLoop& loop, int framePeriodMs, StreamSink sink) = 0;
  virtual void StopStream() = 0;
  virtual bool Streaming() const = 0;
  virtual StreamStats Stats() const = 0;

  // The last failure in the program's words, naming the device.
  virtual std::string LastError() const = 0;
};

inline std::string FourCcText(uint32_t code) {
  if (code == 0) return "RGB";
  std::string s;
  for (int i = 0; i < 4; ++i) {
    const char c = static_cast<char>((code >> (8 * i)) & 0xFF);
    if (c != ' ' && c != 0) s += c;
  }
  return s;
}

inline std::string VideoFormat::Text() const {
  return FourCcText(compression) + " " + std::to_string(width) + "x" + std::to_string(height);
}

}  // namespace orniva
