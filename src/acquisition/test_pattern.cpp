#include "acquisition/test_pattern.h"

#include <algorithm>
#include <cmath>

namespace orniva {

namespace {

constexpr const char* kDriverName = "Mire de test";

// 3 x 5 digits, one row of 3 bits per line, top line first.
constexpr uint8_t kDigits[10][5] = {
    {7, 5, 5, 5, 7}, {2, 6, 2, 2, 7}, {7, 1, 7, 4, 7}, {7, 1, 7, 1, 7}, {5, 5, 7, 1, 1},
    {7, 4, 7, 1, 7}, {7, 4, 7, 5, 7}, {7, 1, 1, 1, 1}, {7, 5, 7, 5, 7}, {7, 5, 7, 1, 7},
};

void DrawNumber(int64_t n, Image& frame) {
  const std::string text = std::to_string(n);
  constexpr int scale = 2, left = 4, top = 4;
  for (size_t i = 0; i < text.size(); ++i) {
    const uint8_t* glyph = kDigits[text[i] - '0'];
    for (int gy = 0; gy < 5; ++gy) {
      for (int gx = 0; gx < 3; ++gx) {
        if (!(glyph[gy] & (4 >> gx))) continue;
        const int x0 = left + static_cast<int>(i) * 4 * scale + gx * scale;
        frame.FillRect({x0, top + gy * scale, x0 + scale, top + (gy + 1) * scale}, kWhite);
      }
    }
  }
}

uint8_t Clamp255(int v) {
  return static_cast<uint8_t>(std::clamp(v, 0, 255));
}

}  // namespace

const std::vector<PatternStar>& TestPatternStars() {
  static const std::vector<PatternStar> stars = {
      {0.25, 0.30, 250}, {0.70, 0.20, 200}, {0.50, 0.55, 160}, {0.30, 0.75, 120}, {0.80, 0.70, 90},
  };
  return stars;
}

void RenderTestPattern(int64_t n, const TestPatternLook& look, bool rawBayer, Image& frame) {
  const int w = frame.Width(), h = frame.Height();
  const int shift = static_cast<int>((n * 4) % 256);
  for (int y = 0; y < h; ++y) {
    uint8_t* p = frame.ScanLine(y);
    for (int x = 0; x < w; ++x, p += 3) {
      const int level = ((x * 256 / w + shift) % 256) / 4 + look.brightness;  // 0..63
      p[0] = Clamp255(level);
      p[1] = Clamp255(level * 3 / 4);
      p[2] = Clamp255(level / 2);
    }
  }
  // Gaussian point sources, sigma 1.5 pixels, added to the background.
  for (const PatternStar& s : TestPatternStars()) {
    const int cx = static_cast<int>(s.fx * w), cy = static_cast<int>(s.fy * h);
    const int peak = s.peak * look.gainPercent / 100;
    for (int y = std::max(0, cy - 5); y <= std::min(h - 1, cy + 5); ++y) {
      uint8_t* row = frame.ScanLine(y);
      for (int x = std::max(0, cx - 5); x <= std::min(w - 1, cx + 5); ++x) {
        const double d2 = (x - cx) * (x - cx) + (y - cy) * (y - cy);
        const int add = static_cast<int>(peak * std::exp(-d2 / (2 * 1.5 * 1.5)));
        for (int c = 0; c < 3; ++c) row[3 * x + c] = Clamp255(row[3 * x + c] + add);
      }
    }
  }
  DrawNumber(n, frame);
  if (!rawBayer) return;
  // Green-red / blue-green mosaic: keep the filter colour's byte everywhere.
  for (int y = 0; y < h; ++y) {
    uint8_t* p = frame.ScanLine(y);
    for (int x = 0; x < w; ++x, p += 3) {
      const bool evenRow = (y % 2) == 0, evenCol = (x % 2) == 0;
      const int channel = evenRow == evenCol ? 1 : (evenRow ? 2 : 0);
      p[0] = p[1] = p[2] = p[channel];
    }
  }
}

TestPatternSource::TestPatternSource(bool offerRawBayer) {
  static constexpr int sizes[][2] = {{160, 120}, {320, 240},  {352, 288}, {640, 480},
                                     {800, 600}, {1024, 768}, {1280, 720}};
  for (const auto& s : sizes) {
    const int w = s[0], h = s[1];
    formats_.push_back(
        {40, w, h, 16, FourCc('Y', 'U', 'Y', 'V'), static_cast<uint32_t>(w * h * 2)});
    formats_.push_back(
        {40, w, h, 24, FourCc('M', 'J', 'P', 'G'), static_cast<uint32_t>(w * h * 3)});
    if (offerRawBayer) {
      formats_.push_back({40, w, h, 8, FourCc('B', 'A', '8', '1'), static_cast<uint32_t>(w * h)});
    }
  }
  for (const VideoFormat& f : formats_) {
    if (f.width == 640 && f.height == 480 && f.bitCount == 16) format_ = f;  // YUYV 640x480
  }
}

TestPatternSource::~TestPatternSource() {
  StopStream();
}

std::vector<DriverDescription> TestPatternSource::ListDrivers() {
  return {{kDriverName, "1.0"}};
}

bool TestPatternSource::Connect(int driverIndex) {
  if (driverIndex != 0) {
    error_ = "Pilote " + std::to_string(driverIndex) + " introuvable";
    return false;
  }
  if (unplugged_) {
    error_ = std::string(kDriverName) + " : peripherique absent";
    return false;
  }
  connected_ = true;
  return true;
}

void TestPatternSource::Disconnect() {
  StopStream();
  connected_ = false;
}

bool TestPatternSource::SetVideoFormat(const VideoFormat& format) {
  if (std::find(formats_.begin(), formats_.end(), format) == formats_.end()) {
    error_ = std::string(kDriverName) + " : format " + format.Text() + " non disponible";
    return false;
  }
  format_ = format;
  return true;
}

std::vector<SourceControl> TestPatternSource::Controls() {
  SourceControl brightness{
      kBrightness, "Luminosite", SourceControl::Kind::Integer, -64, 64, 1, 0, look_.brightness, {}};
  SourceControl gain{kGain, "Gain", SourceControl::Kind::Integer, 0, 200, 1, 100, look_.gainPercent,
                     {}};
  return {brightness, gain};
}

bool TestPatternSource::SetControl(uint32_t id, int value) {
  if (id == kBrightness) {
    look_.brightness = std::clamp(value, -64, 64);
  } else if (id == kGain) {
    look_.gainPercent = std::clamp(value, 0, 200);
  } else {
    error_ = std::string(kDriverName) + " : controle " + std::to_string(id) + " inconnu";
    return false;
  }
  return true;
}

bool TestPatternSource::Usable(const char* action) {
  if (unplugged_) {
    error_ = std::string(kDriverName) + " : peripherique debranche";
    return false;
  }
  if (!connected_) {
    error_ = std::string(kDriverName) + " : pas connecte (" + action + ")";
    return false;
  }
  return true;
}

void TestPatternSource::Render(Image& frame) {
  frame.Resize(format_.width, format_.height);
  RenderTestPattern(frameNumber_++, look_, format_.bitCount == 8, frame);
}

bool TestPatternSource::GrabFrame(Image& frame) {
  if (!Usable("capture")) return false;
  if (Streaming()) {
    error_ = std::string(kDriverName) + " : capture impossible pendant le flux";
    return false;
  }
  Render(frame);
  return true;
}

bool TestPatternSource::StartStream(EventLoop& loop, int framePeriodMs, StreamSink sink) {
  if (!Usable("flux") || Streaming()) return false;
  loop_ = &loop;
  sink_ = std::move(sink);
  stats_ = {};
  timer_ = loop.AddTimer(std::max(1, framePeriodMs), true, [this] { Tick(); });
  return true;
}

void TestPatternSource::StopStream() {
  if (!loop_) return;
  loop_->RemoveTimer(timer_);
  loop_ = nullptr;
}

void TestPatternSource::Tick() {
  if (unplugged_) {
    StopStream();
    error_ = std::string(kDriverName) + " : peripherique debranche";
    if (sink_.failed) sink_.failed(error_);
    return;
  }
  Render(streamFrame_);
  ++stats_.delivered;
  if (sink_.frame) sink_.frame(streamFrame_);
}

}  // namespace orniva
