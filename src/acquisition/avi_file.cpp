#include "acquisition/avi_file.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>

#include "acquisition/frame_limits.h"
#include "acquisition/jpeg_file.h"

namespace orniva {
namespace {

constexpr uint32_t FourCc(const char (&s)[5]) {
  return static_cast<uint32_t>(static_cast<uint8_t>(s[0])) |
         static_cast<uint32_t>(static_cast<uint8_t>(s[1])) << 8 |
         static_cast<uint32_t>(static_cast<uint8_t>(s[2])) << 16 |
         static_cast<uint32_t>(static_cast<uint8_t>(s[3])) << 24;
}

constexpr uint32_t kRiff = FourCc("RIFF");
constexpr uint32_t kAvi = FourCc("AVI ");
constexpr uint32_t kList = FourCc("LIST");
constexpr uint32_t kHdrl = FourCc("hdrl");
constexpr uint32_t kStrl = FourCc("strl");
constexpr uint32_t kStrh = FourCc("strh");
constexpr uint32_t kStrf = FourCc("strf");
constexpr uint32_t kMovi = FourCc("movi");
constexpr uint32_t kRec = FourCc("rec ");
constexpr uint32_t kIdx1 = FourCc("idx1");
constexpr uint32_t kVids = FourCc("vids");
constexpr uint32_t kAvih = FourCc("avih");
constexpr uint32_t kMjpg = FourCc("MJPG");
constexpr uint32_t kY800 = FourCc("Y800");
constexpr uint32_t kY8 = FourCc("Y8  ");
constexpr uint32_t kGrey = FourCc("GREY");
constexpr uint32_t kKeyFrame = 0x10;  // AVIIF_KEYFRAME
constexpr uint32_t kHasIndex = 0x10;  // AVIF_HASINDEX

// Layout of the files the writer makes: the headers take 224 bytes, the
// frames follow as "00db" chunks.
constexpr int64_t kAvihFrames = 48;
constexpr int64_t kStrhLength = 140;
constexpr int64_t kMoviSize = 216;
constexpr int64_t kFirstChunk = 224;
constexpr int64_t kMoviType = 220;

uint32_t Get32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
         static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}
uint16_t Get16(const uint8_t* p) {
  return static_cast<uint16_t>(p[0] | p[1] << 8);
}

void Put32(std::vector<uint8_t>& v, uint32_t x) {
  for (int i = 0; i < 4; ++i) v.push_back(static_cast<uint8_t>(x >> (8 * i)));
}
void Put16(std::vector<uint8_t>& v, uint16_t x) {
  v.push_back(static_cast<uint8_t>(x));
  v.push_back(static_cast<uint8_t>(x >> 8));
}

std::string FourCcText(uint32_t f) {
  std::string s;
  for (int i = 0; i < 4; ++i) {
    const char c = static_cast<char>((f >> (8 * i)) & 0xFF);
    s += (c >= 32 && c < 127) ? c : '?';
  }
  return s;
}

int64_t Stride(int width, int bits) {
  return ((int64_t{width} * bits + 31) / 32) * 4;
}

// The headers of a written file; the frame counts and sizes are patched in
// when the file is closed.
std::vector<uint8_t> Headers(int width, int height, int msPerFrame) {
  const uint32_t frameBytes = static_cast<uint32_t>(Stride(width, 24) * height);
  const uint32_t buffer = static_cast<uint32_t>(width * height * 4);
  std::vector<uint8_t> h;
  h.reserve(kFirstChunk);
  Put32(h, kRiff);
  Put32(h, 0);
  Put32(h, kAvi);
  Put32(h, kList);
  Put32(h, 192);
  Put32(h, kHdrl);
  Put32(h, kAvih);
  Put32(h, 56);
  Put32(h, static_cast<uint32_t>(msPerFrame) * 1000);  // microseconds per frame
  Put32(h, static_cast<uint32_t>(int64_t{frameBytes} * 1000 / msPerFrame));
  Put32(h, 0);  // padding granularity
  Put32(h, kHasIndex);
  Put32(h, 0);  // total frames
  Put32(h, 0);  // initial frames
  Put32(h, 1);  // streams
  Put32(h, buffer);
  Put32(h, static_cast<uint32_t>(width));
  Put32(h, static_cast<uint32_t>(height));
  for (int i = 0; i < 4; ++i) Put32(h, 0);
  Put32(h, kList);
  Put32(h, 116);
  Put32(h, kStrl);
  Put32(h, kStrh);
  Put32(h, 56);
  Put32(h, kVids);
  Put32(h, 0);                                  // handler
  Put32(h, 0);                                  // flags
  Put32(h, 0);                                  // priority, language
  Put32(h, 0);                                  // initial frames
  Put32(h, static_cast<uint32_t>(msPerFrame));  // scale
  Put32(h, 1000);                               // rate
  Put32(h, 0);                                  // start
  Put32(h, 0);                                  // length
  Put32(h, buffer);
  Put32(h, 0);                                           // quality
  Put32(h, static_cast<uint32_t>(width * height * 40));  // sample size
  Put16(h, 0);
  Put16(h, 0);
  Put16(h, static_cast<uint16_t>(width));
  Put16(h, static_cast<uint16_t>(height));
  Put32(h, kStrf);
  Put32(h, 40);
  Put32(h, 40);
  Put32(h, static_cast<uint32_t>(width));
  Put32(h, static_cast<uint32_t>(height));  // positive: bottom-up rows
  Put16(h, 1);
  Put16(h, 24);
  Put32(h, 0);  // uncompressed
  Put32(h, frameBytes);
  for (int i = 0; i < 4; ++i) Put32(h, 0);
  Put32(h, kList);
  Put32(h, 4);
  Put32(h, kMovi);
  return h;
}

std::string OpenMessage(const std::string& name, const std::string& text) {
  return "Fichier " + name + " : " + text;
}

}  // namespace

// ---------------------------------------------------------------- writer

AviWriter::~AviWriter() {
  if (file_) CloseFile();
}

bool AviWriter::Fail(const std::string& what) {
  error_ = OpenMessage(path_, what + (errno ? std::string(" (") + std::strerror(errno) + ")" : ""));
  return false;
}

std::string AviWriter::NumberedName(int number) const {
  if (number <= 1) return basePath_;
  const std::filesystem::path p(basePath_);
  std::filesystem::path next = p;
  next.replace_filename(p.stem().string() + "_" + std::to_string(number) + p.extension().string());
  return next.string();
}

bool AviWriter::Create(const std::string& path, int width, int height, int msPerFrame) {
  if (file_) Close();
  error_.clear();
  files_.clear();
  totalFrames_ = 0;
  basePath_ = path;
  path_ = path;
  const std::string sizeText = FrameSizeMessage(width, height);
  if (!sizeText.empty()) {
    error_ = OpenMessage(path, sizeText);
    return false;
  }
  if (msPerFrame <= 0) {
    error_ = OpenMessage(path, "Failed to create AVI video stream (intervalle " +
                                   std::to_string(msPerFrame) + " ms)");
    return false;
  }
  width_ = width;
  height_ = height;
  msPerFrame_ = msPerFrame;
  work_.Resize(width, height);
  frameBytes_.assign(static_cast<size_t>(8 + Stride(width, 24) * height), 0);
  return OpenFile(path);
}

bool AviWriter::OpenFile(const std::string& path) {
  path_ = path;
  errno = 0;
  file_ = std::fopen(path.c_str(), "wb");
  if (!file_) return Fail("Failed to create AVI video work file");
  files_.push_back(path);
  index_.clear();
  const std::vector<uint8_t> h = Headers(width_, height_, msPerFrame_);
  if (std::fwrite(h.data(), 1, h.size(), file_) != h.size()) {
    Fail("Failed to create AVI video stream");
    CloseFile();
    return false;
  }
  fileBytes_ = static_cast<int64_t>(h.size());
  return true;
}

bool AviWriter::AddFrame(const Image& frame) {
  if (!file_) {
    error_ = OpenMessage(path_, "Failed to add frame to AVI (fichier ferme)");
    return false;
  }
  const int64_t chunk = static_cast<int64_t>(frameBytes_.size());
  // The frame, its index entry and the index header must fit in the file.
  const int64_t after = fileBytes_ + chunk + 16 * (int64_t(index_.size()) + 1) + 8;
  if (!index_.empty() && after > sizeLimit_) {
    if (!CloseFile()) return false;
    if (!OpenFile(NumberedName(static_cast<int>(files_.size()) + 1))) return false;
  }
  const Image* src = &frame;
  if (frame.Width() != width_ || frame.Height() != height_) {
    work_.Fill(frame.Pixel(0, 0));
    work_.CopyRect(frame, {0, 0, frame.Width(), frame.Height()}, 0, 0);
    src = &work_;
  }
  uint8_t* out = frameBytes_.data();
  std::memcpy(out, "00db", 4);
  const uint32_t dataSize = static_cast<uint32_t>(chunk - 8);
  for (int i = 0; i < 4; ++i) out[4 + i] = static_cast<uint8_t>(dataSize >> (8 * i));
  const size_t stride = static_cast<size_t>(Stride(width_, 24));
  for (int y = 0; y < height_; ++y) {
    std::memcpy(out + 8 + static_cast<size_t>(height_ - 1 - y) * stride, src->ScanLine(y), stride);
  }
  errno = 0;
  if (std::fwrite(out, 1, frameBytes_.size(), file_) != frameBytes_.size()) {
    char code[16];
    std::snprintf(code, sizeof code, "%08X", static_cast<unsigned>(errno));
    Fail(std::string("Failed to add frame to AVI. Err=") + code);
    const std::string message = error_;
    CloseFile();
    error_ = message;
    return false;
  }
  index_.push_back(static_cast<uint32_t>(fileBytes_ - kMoviType));
  fileBytes_ += chunk;
  ++totalFrames_;
  return true;
}

bool AviWriter::CloseFile() {
  if (!file_) return true;
  bool ok = true;
  std::vector<uint8_t> idx;
  idx.reserve(8 + 16 * index_.size());
  Put32(idx, kIdx1);
  Put32(idx, static_cast<uint32_t>(16 * index_.size()));
  const uint32_t dataSize = static_cast<uint32_t>(frameBytes_.size() - 8);
  for (uint32_t offset : index_) {
    Put32(idx, FourCc("00db"));
    Put32(idx, kKeyFrame);
    Put32(idx, offset);
    Put32(idx, dataSize);
  }
  errno = 0;
  if (std::fwrite(idx.data(), 1, idx.size(), file_) != idx.size())
    ok = Fail("Could not create Video Stream");
  const int64_t total = fileBytes_ + static_cast<int64_t>(idx.size());
  auto patch = [&](int64_t at, uint32_t value) {
    uint8_t b[4];
    for (int i = 0; i < 4; ++i) b[i] = static_cast<uint8_t>(value >> (8 * i));
    if (ok && (std::fseek(file_, static_cast<long>(at), SEEK_SET) != 0 ||
               std::fwrite(b, 1, 4, file_) != 4)) {
      ok = Fail("Could not create Video Stream");
    }
  };
  const uint32_t frames = static_cast<uint32_t>(index_.size());
  patch(4, static_cast<uint32_t>(total - 8));
  patch(kAvihFrames, frames);
  patch(kStrhLength, frames);
  patch(kMoviSize, static_cast<uint32_t>(fileBytes_ - kMoviSize - 4));
  if (std::fclose(file_) != 0 && ok) ok = Fail("Could not create Video Stream");
  file_ = nullptr;
  return ok;
}

bool AviWriter::Close() {
  return CloseFile();
}

// ---------------------------------------------------------------- reader

AviReader::~AviReader() {
  Close();
}

void AviReader::Close() {
  if (file_) std::fclose(file_);
  file_ = nullptr;
  memory_.clear();
  memory_.shrink_to_fit();
  open_ = false;
  frames_.clear();
  format_ = {};
  videoFound_ = false;
  videoStream_ = -1;
  moviBegin_ = moviEnd_ = idx1Offset_ = -1;
  idx1Size_ = 0;
  size_ = 0;
}

bool AviReader::Refuse(const std::string& reason) {
  error_ = OpenMessage(name_, reason);
  Close();
  return false;
}

bool AviReader::ReadAt(int64_t offset, void* out, size_t n) {
  if (offset < 0 || offset > size_ || static_cast<int64_t>(n) > size_ - offset) return false;
  if (!file_) {
    std::memcpy(out, memory_.data() + offset, n);
    return true;
  }
  if (fseeko(file_, offset, SEEK_SET) != 0) return false;
  return std::fread(out, 1, n, file_) == n;
}

bool AviReader::Open(const std::string& path) {
  Close();
  name_ = path;
  error_.clear();
  file_ = std::fopen(path.c_str(), "rb");
  if (!file_) return Refuse("A disk error occurred while opening the file.");
  if (fseeko(file_, 0, SEEK_END) != 0 || (size_ = ftello(file_)) < 0) {
    return Refuse("A disk error occurred while reading the file.");
  }
  return Parse();
}

bool AviReader::OpenMemory(const std::string& name, std::span<const uint8_t> data) {
  Close();
  name_ = name;
  error_.clear();
  memory_.assign(data.begin(), data.end());
  size_ = static_cast<int64_t>(memory_.size());
  return Parse();
}

bool AviReader::IsVideoChunk(uint32_t fourcc) const {
  const int tens = static_cast<int>(fourcc & 0xFF) - '0';
  const int units = static_cast<int>((fourcc >> 8) & 0xFF) - '0';
  if (tens < 0 || tens > 9 || units < 0 || units > 9) return false;
  if (tens * 10 + units != videoStream_) return false;
  const uint32_t kind = fourcc >> 16;
  return kind == ('d' | 'b' << 8) || kind == ('d' | 'c' << 8);
}

bool AviReader::Parse() {
  const std::string bad = "The file couldn't be read, bad format";
  uint8_t head[12];
  if (!ReadAt(0, head, 12) || Get32(head) != kRiff || Get32(head + 8) != kAvi) {
    return Refuse(bad + " (pas un fichier RIFF AVI)");
  }
  // A file cut off keeps its header's sizes, and one whose writer stopped
  // before closing it has a RIFF size of 0: everything is bounded by the
  // bytes really there.
  const int64_t declared = Get32(head + 4);
  const int64_t riffEnd = declared < 4 ? size_ : std::min<int64_t>(size_, 8 + declared);
  int64_t at = 12;
  int streamNumber = 0;
  while (at + 8 <= riffEnd) {
    uint8_t ch[12] = {};
    if (!ReadAt(at, ch, 8)) break;
    const uint32_t id = Get32(ch);
    const int64_t size = Get32(ch + 4);
    const int64_t data = at + 8;
    const int64_t end = std::min(riffEnd, data + size);
    if (id == kList && data + 4 <= riffEnd) {
      ReadAt(data, ch + 8, 4);
      const uint32_t type = Get32(ch + 8);
      if (type == kHdrl) {
        // The stream lists inside the header list.
        int64_t s = data + 4;
        while (s + 12 <= end) {
          uint8_t sh[12];
          if (!ReadAt(s, sh, 12)) break;
          const int64_t ssize = Get32(sh + 4);
          const int64_t send = std::min(end, s + 8 + ssize);
          if (Get32(sh) == kList && Get32(sh + 8) == kStrl) {
            if (!ParseStreamList(s + 12, send, streamNumber)) return false;
            ++streamNumber;
          }
          s += 8 + ssize + (ssize & 1);
        }
      } else if (type == kMovi && moviBegin_ < 0) {
        moviBegin_ = data + 4;
        moviEnd_ = end;
      }
    } else if (id == kIdx1 && idx1Offset_ < 0) {
      idx1Offset_ = data;
      idx1Size_ = static_cast<uint32_t>(std::max<int64_t>(0, end - data));
    }
    at = data + size + (size & 1);
  }
  if (!videoFound_) return Refuse(bad + " (aucun flux video)");
  if (moviBegin_ < 0) return Refuse(bad + " (pas de liste movi)");
  // Without an index the file was not closed: its frames may run past the
  // size its "movi" list was given.
  if (idx1Offset_ < 0) moviEnd_ = riffEnd;
  ReadIndex(idx1Offset_, idx1Size_);
  ScanMovi();
  open_ = true;
  return true;
}

bool AviReader::ParseStreamList(int64_t begin, int64_t end, int streamNumber) {
  if (videoFound_) return true;
  const std::string bad = "The file couldn't be read, bad format";
  uint8_t strh[56] = {};
  std::vector<uint8_t> strf;
  bool haveStrh = false;
  for (int64_t at = begin; at + 8 <= end;) {
    uint8_t ch[8];
    if (!ReadAt(at, ch, 8)) break;
    const int64_t size = Get32(ch + 4);
    if (at + 8 + size > end) return Refuse(bad + " (en-tete de flux tronque)");
    if (Get32(ch) == kStrh && size >= 48) {
      ReadAt(at + 8, strh, static_cast<size_t>(std::min<int64_t>(size, 56)));
      haveStrh = true;
    } else if (Get32(ch) == kStrf && strf.empty()) {
      // A format is a header and at most a 256-entry palette.
      if (size < 40 || size > 40 + 1024 + 4096) return Refuse(bad + " (format de flux invalide)");
      strf.resize(static_cast<size_t>(size));
      if (!ReadAt(at + 8, strf.data(), strf.size())) return Refuse(bad + " (format tronque)");
    }
    at += 8 + size + (size & 1);
  }
  if (!haveStrh || Get32(strh) != kVids) return true;  // not a video stream
  if (strf.empty()) return Refuse(bad + " (format video absent)");
  const uint8_t* bi = strf.data();
  const uint32_t biSize = Get32(bi);
  const int32_t width = static_cast<int32_t>(Get32(bi + 4));
  const int32_t rawHeight = static_cast<int32_t>(Get32(bi + 8));
  const int bits = Get16(bi + 14);
  const uint32_t compression = Get32(bi + 16);
  if (biSize < 40 || biSize > strf.size()) return Refuse(bad + " (en-tete d'image invalide)");
  if (width <= 0 || rawHeight == 0 || rawHeight == INT32_MIN) {
    return Refuse(FrameSizeMessage(width, rawHeight == 0 ? 0 : -1) + " (" + std::to_string(width) +
                  " x " + std::to_string(rawHeight) + ")");
  }
  const int height = rawHeight < 0 ? -rawHeight : rawHeight;
  const std::string sizeText = FrameSizeMessage(width, height);
  if (!sizeText.empty()) return Refuse(sizeText);
  AviFormat f;
  f.width = width;
  f.height = height;
  f.topDown = rawHeight < 0;
  f.scale = Get32(strh + 20);
  f.rate = Get32(strh + 24);
  if (f.rate > 0 && f.scale > 0) {
    f.msPerFrame = static_cast<int>(
        std::min<uint64_t>(uint64_t{f.scale} * 1000 / f.rate, static_cast<uint64_t>(INT32_MAX)));
  }
  auto unsupported = [&](const std::string& what) {
    return Refuse("Cannot open AVI file (format video non pris en charge : " + what + ")");
  };
  if (compression == kMjpg || (compression == FourCc("mjpg"))) {
    f.codec = AviCodec::Mjpeg;
  } else if (compression == kY800 || compression == kY8 || compression == kGrey) {
    if (bits != 8 && bits != 0) return unsupported(FourCcText(compression));
    f.codec = AviCodec::Grey8;
    // Like every YUV layout, grey frames are stored top row first.
    f.topDown = true;
  } else if (compression == 0 || compression == 3) {
    if (bits == 24 && compression == 0) {
      f.codec = AviCodec::Rgb24;
    } else if (bits == 32) {
      if (compression == 3) {
        // Bit fields: only the plain blue-green-red byte order is read.
        if (strf.size() < biSize + 12 && biSize < 52) return unsupported("masques absents");
        const uint8_t* m = biSize >= 52 ? bi + 40 : bi + biSize;
        if (Get32(m) != 0xFF0000 || Get32(m + 4) != 0xFF00 || Get32(m + 8) != 0xFF) {
          return unsupported("masques de couleur 32 bits");
        }
      }
      f.codec = AviCodec::Rgb32;
    } else if (bits == 8 && compression == 0) {
      const uint32_t used = Get32(bi + 32);
      const uint32_t entries = used == 0 ? 256 : used;
      if (entries > 256 || strf.size() < biSize + 4 * size_t{entries}) {
        return Refuse(bad + " (palette incomplete)");
      }
      f.codec = AviCodec::Rgb8;
      f.palette.resize(256, kBlack);
      for (uint32_t i = 0; i < entries; ++i) {
        const uint8_t* e = bi + biSize + 4 * i;
        f.palette[i] = Bgr{e[0], e[1], e[2]};
      }
    } else {
      return unsupported(std::to_string(bits) + " bits par pixel");
    }
  } else {
    return unsupported("compression " + FourCcText(compression));
  }
  format_ = std::move(f);
  videoFound_ = true;
  videoStream_ = streamNumber;
  return true;
}

void AviReader::ReadIndex(int64_t offset, uint32_t size) {
  if (offset < 0) return;
  // Bounded by the bytes present, never by a count from a header.
  const uint32_t entries = size / 16;
  std::vector<uint8_t> idx(static_cast<size_t>(entries) * 16);
  if (idx.empty() || !ReadAt(offset, idx.data(), idx.size())) return;
  // Offsets count from the "movi" type or, in some writers, from the file's
  // start: the first video entry tells which.
  int64_t base = -1;
  for (uint32_t i = 0; i < entries && base < 0; ++i) {
    const uint8_t* e = idx.data() + 16 * i;
    if (!IsVideoChunk(Get32(e))) continue;
    for (int64_t candidate : {moviBegin_ - 4, int64_t{0}}) {
      uint8_t ch[8];
      const int64_t at = candidate + Get32(e + 8);
      if (ReadAt(at, ch, 8) && Get32(ch) == Get32(e)) {
        base = candidate;
        break;
      }
    }
    if (base < 0) return;  // an index that points nowhere is not used
  }
  if (base < 0) return;
  frames_.reserve(entries);
  for (uint32_t i = 0; i < entries; ++i) {
    const uint8_t* e = idx.data() + 16 * i;
    if (!IsVideoChunk(Get32(e))) continue;
    const int64_t data = base + Get32(e + 8) + 8;
    const uint32_t chunkSize = Get32(e + 12);
    if (data < moviBegin_ || data + chunkSize > moviEnd_) break;  // past the file's end
    frames_.push_back({data, chunkSize});
  }
}

void AviReader::ScanMovi() {
  // The chunks past the last indexed one: all of them without an index, the
  // tail of a file whose index was written before its last frames.
  int64_t at = moviBegin_;
  if (!frames_.empty())
    at = frames_.back().offset + frames_.back().size + (frames_.back().size & 1);
  int64_t listEnd = moviEnd_;
  while (at + 8 <= moviEnd_) {
    uint8_t ch[12];
    if (!ReadAt(at, ch, 8)) break;
    const uint32_t id = Get32(ch);
    const int64_t size = Get32(ch + 4);
    if (at >= listEnd) listEnd = moviEnd_;
    // "rec " groups are walked into; other lists are skipped.
    if (id == kList && ReadAt(at + 8, ch + 8, 4) && Get32(ch + 8) == kRec) {
      listEnd = std::min(moviEnd_, at + 8 + size);
      at += 12;
      continue;
    }
    if (IsVideoChunk(id)) {
      if (at + 8 + size > listEnd) break;  // cut off
      frames_.push_back({at + 8, static_cast<uint32_t>(size)});
    }
    at += 8 + size + (size & 1);
  }
}

bool DecodeAviRows(const AviFormat& f, std::span<const uint8_t> data, Image& out) {
  const int bits = f.codec == AviCodec::Rgb24 ? 24 : f.codec == AviCodec::Rgb32 ? 32 : 8;
  const int64_t stride = Stride(f.width, bits);
  if (static_cast<int64_t>(data.size()) < stride * f.height) return false;
  out.Resize(f.width, f.height);
  for (int y = 0; y < f.height; ++y) {
    const uint8_t* src = data.data() + stride * (f.topDown ? y : f.height - 1 - y);
    uint8_t* dst = out.ScanLine(y);
    switch (f.codec) {
      case AviCodec::Rgb24:
        std::memcpy(dst, src, static_cast<size_t>(f.width) * 3);
        break;
      case AviCodec::Rgb32:
        for (int x = 0; x < f.width; ++x) {
          dst[3 * x] = src[4 * x];
          dst[3 * x + 1] = src[4 * x + 1];
          dst[3 * x + 2] = src[4 * x + 2];
        }
        break;
      case AviCodec::Rgb8:
        for (int x = 0; x < f.width; ++x) {
          const Bgr c = f.palette[src[x]];
          dst[3 * x] = c.b;
          dst[3 * x + 1] = c.g;
          dst[3 * x + 2] = c.r;
        }
        break;
      case AviCodec::Grey8:
        for (int x = 0; x < f.width; ++x) dst[3 * x] = dst[3 * x + 1] = dst[3 * x + 2] = src[x];
        break;
      case AviCodec::Mjpeg:
        return false;
    }
  }
  return true;
}

bool AviReader::ReadFrame(int index, Image& frame) {
  if (!open_) {
    error_ = OpenMessage(name_, "Cannot open AVI file (fichier ferme)");
    return false;
  }
  if (index < 0 || index >= FrameCount()) {
    error_ = OpenMessage(name_, "image " + std::to_string(index) + " hors du fichier (" +
                                    std::to_string(FrameCount()) + " images)");
    return false;
  }
  const Chunk& c = frames_[static_cast<size_t>(index)];
  if (c.size == 0) return true;  // a repeated frame
  buffer_.resize(c.size);
  if (!ReadAt(c.offset, buffer_.data(), c.size)) {
    error_ = OpenMessage(name_, "A disk error occurred while reading the file.");
    return false;
  }
  if (format_.codec == AviCodec::Mjpeg) {
    const ImageFileResult r = DecodeJpeg(buffer_, decoded_);
    if (!r.Ok()) {
      error_ = OpenMessage(name_, "image " + std::to_string(index) + " : JPEG illisible" +
                                      (r.detail.empty() ? "" : " (" + r.detail + ")"));
      return false;
    }
  } else if (!DecodeAviRows(format_, buffer_, decoded_)) {
    error_ = OpenMessage(name_, "image " + std::to_string(index) + " incomplete (" +
                                    std::to_string(c.size) + " octets)");
    return false;
  }
  frame.Assign(decoded_);
  return true;
}

}  // namespace orniva
