#pragma once

#include <cstdint>
#include <cstdio>
#include <span>
#include <string>
#include <vector>

#include "core/image.h"

namespace orniva {

// AVI 1.0 files (RIFF "AVI "), written and read by the program itself.
//
// The writer makes one uncompressed video stream of 24-bit bottom-up frames,
// each a key frame, with an "idx1" index: stream type "vids", scale = the
// milliseconds per frame, rate 1000, suggested buffer width x height x 4. The
// 32-bit sizes of a RIFF file cannot describe more than 4 GB, and many
// readers stop at 1 GB, so a recording never grows past a size limit (1 GB
// unless set): the frame that would cross it starts the next numbered file,
// "name_2.avi", "name_3.avi", ..., each a complete AVI of its own.
//
// The reader takes the first video stream of a file: uncompressed frames of
// 8 bits with their palette, 24 or 32 bits, rows bottom-up or top-down, 8-bit
// grey ("Y800"), and MJPEG frames (decoded as JPEG images). Every header
// value is checked before memory is taken for it. Frames are found through
// the index, or, when the index is missing or lists fewer frames than the
// "movi" list holds, by walking the "movi" list: a file cut off by a crash
// plays every frame it holds completely.

// A frame size an AVI file may hold (the working-image limit).
inline constexpr int kMaxAviWidth = 1024;
inline constexpr int kMaxAviHeight = 768;
inline constexpr int64_t kDefaultAviSizeLimit = int64_t{1} << 30;

class AviWriter {
 public:
  AviWriter() = default;
  ~AviWriter();
  AviWriter(const AviWriter&) = delete;
  AviWriter& operator=(const AviWriter&) = delete;

  // Files are closed before they would grow past this many bytes (at least
  // one frame goes in each file).
  void SetSizeLimit(int64_t bytes) { sizeLimit_ = bytes; }
  // Creates path with frames of width x height shown msPerFrame apart.
  // False, with Error() naming the file, when the size is out of range or
  // the file cannot be created.
  bool Create(const std::string& path, int width, int height, int msPerFrame);
  // Adds one frame: a frame of another size is drawn at the top-left over
  // the colour of its own top-left pixel. False, with Error(), when writing
  // fails; the file is then closed with the frames written so far.
  bool AddFrame(const Image& frame);
  // Completes the index and the header sizes. False with Error() when that
  // fails (the frames already written stay readable by scanning).
  bool Close();

  bool Writing() const { return file_ != nullptr; }
  // Frames written into all files of this recording.
  int64_t FramesWritten() const { return totalFrames_; }
  // Every file of this recording, the first one first.
  const std::vector<std::string>& Files() const { return files_; }
  const std::string& Error() const { return error_; }

 private:
  bool OpenFile(const std::string& path);
  bool CloseFile();
  bool Fail(const std::string& what);
  std::string NumberedName(int number) const;

  std::FILE* file_ = nullptr;
  std::string basePath_;
  std::string path_;
  std::vector<std::string> files_;
  int width_ = 0, height_ = 0, msPerFrame_ = 0;
  int64_t sizeLimit_ = kDefaultAviSizeLimit;
  int64_t fileBytes_ = 0;        // written so far into the current file
  std::vector<uint32_t> index_;  // offset of each frame of the current file
  int64_t totalFrames_ = 0;
  std::vector<uint8_t> frameBytes_;
  Image work_;
  std::string error_;
};

// How the frames of a stream are stored.
enum class AviCodec { Rgb8, Grey8, Rgb24, Rgb32, Mjpeg };

struct AviFormat {
  int width = 0;
  int height = 0;        // always positive
  bool topDown = false;  // rows stored top row first
  AviCodec codec = AviCodec::Rgb24;
  int msPerFrame = 0;  // scale ÷ rate in milliseconds, 0 when unknown
  uint32_t scale = 0, rate = 0;
  std::vector<Bgr> palette;  // Rgb8
};

class AviReader {
 public:
  AviReader() = default;
  ~AviReader();
  AviReader(const AviReader&) = delete;
  AviReader& operator=(const AviReader&) = delete;

  // Opens a file; false, with Error() naming it, when it cannot be read or
  // holds no video stream this reader decodes.
  bool Open(const std::string& path);
  // The same over bytes in memory, known as name in the messages.
  bool OpenMemory(const std::string& name, std::span<const uint8_t> data);
  void Close();
  bool IsOpen() const { return open_; }

  int FrameCount() const { return static_cast<int>(frames_.size()); }
  const AviFormat& Format() const { return format_; }
  // Decodes frame index into frame as a 24-bit top-down image. False, with
  // Error() and frame untouched, when the frame cannot be read or decoded.
  // An empty chunk (a repeated frame) leaves frame as it is and succeeds.
  bool ReadFrame(int index, Image& frame);
  const std::string& Error() const { return error_; }
  const std::string& Name() const { return name_; }

 private:
  struct Chunk {
    int64_t offset;  // of the chunk's data
    uint32_t size;
  };
  bool Parse();
  bool ParseStreamList(int64_t begin, int64_t end, int streamNumber);
  void ReadIndex(int64_t offset, uint32_t size);
  void ScanMovi();
  bool ReadAt(int64_t offset, void* out, size_t n);
  bool Refuse(const std::string& reason);
  bool IsVideoChunk(uint32_t fourcc) const;

  bool open_ = false;
  std::string name_;
  std::FILE* file_ = nullptr;
  std::vector<uint8_t> memory_;
  int64_t size_ = 0;
  AviFormat format_;
  bool videoFound_ = false;
  int videoStream_ = -1;
  int64_t moviBegin_ = -1, moviEnd_ = -1;  // data of the "movi" list, after its type
  int64_t idx1Offset_ = -1;
  uint32_t idx1Size_ = 0;
  std::vector<Chunk> frames_;
  std::vector<uint8_t> buffer_;
  Image decoded_;
  std::string error_;
};

// Converts one uncompressed frame (rows padded to 4 bytes) into out.
// False when data is shorter than the frame.
bool DecodeAviRows(const AviFormat& format, std::span<const uint8_t> data, Image& out);

}  // namespace orniva
