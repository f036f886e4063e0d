// AVI files: what the writer makes, read back by our reader and by ffprobe;
// what ffmpeg writes, read by our reader; damaged and hostile files.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "acquisition/avi_file.h"

namespace orniva {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

Image Pattern(int w, int h, int seed) {
  Image img(w, h);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      img.SetPixel(x, y,
                   Rgb(static_cast<uint8_t>(x * 255 / std::max(1, w - 1)),
                       static_cast<uint8_t>(y * 255 / std::max(1, h - 1)),
                       static_cast<uint8_t>(seed * 40 + (x ^ y))));
    }
  }
  return img;
}

bool SamePixels(const Image& a, const Image& b) {
  if (a.Width() != b.Width() || a.Height() != b.Height()) return false;
  for (int y = 0; y < a.Height(); ++y) {
    for (int x = 0; x < a.Width(); ++x) {
      if (a.Pixel(x, y) != b.Pixel(x, y)) return false;
    }
  }
  return true;
}

Bytes ReadAll(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}
void WriteAll(const fs::path& p, const Bytes& b) {
  std::ofstream(p, std::ios::binary).write(reinterpret_cast<const char*>(b.data()), b.size());
}
uint32_t Get32(const Bytes& b, size_t at) {
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}
void Put32(Bytes& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

class AviFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(info->test_suite_name()) + "_" + info->name();
    for (char& c : name) {
      if (c == '/') c = '_';
    }
    dir_ = fs::temp_directory_path() / ("orniva_avi_" + std::to_string(::getpid()) + "_" + name);
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string Path(const std::string& name) const { return (dir_ / name).string(); }

  // Writes frames Pattern(w, h, 0..n-1) and returns the file.
  std::string Write(const std::string& name, int w, int h, int n, int ms = 200) {
    AviWriter writer;
    EXPECT_TRUE(writer.Create(Path(name), w, h, ms)) << writer.Error();
    for (int i = 0; i < n; ++i) EXPECT_TRUE(writer.AddFrame(Pattern(w, h, i))) << writer.Error();
    EXPECT_TRUE(writer.Close()) << writer.Error();
    return Path(name);
  }

  fs::path dir_;
};

// ---- writer and reader together

struct SizeCase {
  const char* name;
  int w, h, frames;
};
class AviRoundTrip : public AviFileTest, public ::testing::WithParamInterface<SizeCase> {};

TEST_P(AviRoundTrip, EveryFrameComesBackIdentical) {
  const SizeCase c = GetParam();
  const std::string path = Write("round.avi", c.w, c.h, c.frames);
  AviReader reader;
  ASSERT_TRUE(reader.Open(path)) << reader.Error();
  ASSERT_EQ(reader.FrameCount(), c.frames);
  EXPECT_EQ(reader.Format().width, c.w);
  EXPECT_EQ(reader.Format().height, c.h);
  Image frame;
  // Backwards, so that each frame is found by its own index entry.
  for (int i = c.frames - 1; i >= 0; --i) {
    ASSERT_TRUE(reader.ReadFrame(i, frame)) << reader.Error();
    EXPECT_TRUE(SamePixels(frame, Pattern(c.w, c.h, i))) << "frame " << i;
  }
}

INSTANTIATE_TEST_SUITE_P(Sizes, AviRoundTrip,
                         ::testing::Values(SizeCase{"OnePixel", 1, 1, 3},
                                           SizeCase{"OddWidthPadded", 13, 7, 5},
                                           SizeCase{"FullFrame", 1024, 768, 2}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(AviFileTest, HeaderCarriesScaleRateAndIndex) {
  const std::string path = Write("hdr.avi", 16, 8, 4, 200);
  const Bytes b = ReadAll(path);
  ASSERT_GE(b.size(), 224u);
  EXPECT_EQ(Get32(b, 4), b.size() - 8);    // RIFF size
  EXPECT_EQ(Get32(b, 44) & 0x10, 0x10u);   // AVIF_HASINDEX
  EXPECT_EQ(Get32(b, 48), 4u);             // total frames
  EXPECT_EQ(Get32(b, 108), 0x73646976u);   // "vids"
  EXPECT_EQ(Get32(b, 112), 0u);            // handler
  EXPECT_EQ(Get32(b, 128), 200u);          // scale
  EXPECT_EQ(Get32(b, 132), 1000u);         // rate
  EXPECT_EQ(Get32(b, 140), 4u);            // length
  EXPECT_EQ(Get32(b, 144), 16u * 8 * 4);   // suggested buffer
  EXPECT_EQ(Get32(b, 152), 16u * 8 * 40);  // sample size
  EXPECT_EQ(b[186], 24);                   // bits per pixel
  // idx1: four key-frame entries at the end.
  const size_t idx = b.size() - 8 - 4 * 16;
  EXPECT_EQ(Get32(b, idx), 0x31786469u);  // "idx1"
  for (int i = 0; i < 4; ++i) EXPECT_EQ(Get32(b, idx + 8 + 16 * i + 4), 0x10u);
}

TEST_F(AviFileTest, SmallerFrameIsDrawnTopLeftOverItsCornerColour) {
  AviWriter writer;
  ASSERT_TRUE(writer.Create(Path("pad.avi"), 8, 6, 100));
  Image small(3, 2);
  small.Fill(Rgb(9, 8, 7));
  small.SetPixel(2, 1, Rgb(200, 100, 50));
  ASSERT_TRUE(writer.AddFrame(small));
  ASSERT_TRUE(writer.Close());
  AviReader reader;
  ASSERT_TRUE(reader.Open(Path("pad.avi")));
  Image frame;
  ASSERT_TRUE(reader.ReadFrame(0, frame));
  EXPECT_EQ(frame.Pixel(2, 1), Rgb(200, 100, 50));
  EXPECT_EQ(frame.Pixel(7, 5), Rgb(9, 8, 7));
  EXPECT_EQ(frame.Pixel(0, 0), Rgb(9, 8, 7));
}

TEST_F(AviFileTest, SizeLimitContinuesInNumberedFiles) {
  const int w = 32, h = 16, n = 10;
  const int64_t chunk = 8 + w * 3 * h;
  AviWriter writer;
  // Room for the headers and three frames with their index entries.
  writer.SetSizeLimit(224 + 3 * (chunk + 16) + 8);
  ASSERT_TRUE(writer.Create(Path("seq.avi"), w, h, 40));
  for (int i = 0; i < n; ++i) ASSERT_TRUE(writer.AddFrame(Pattern(w, h, i))) << writer.Error();
  ASSERT_TRUE(writer.Close());
  ASSERT_EQ(writer.Files(), (std::vector<std::string>{Path("seq.avi"), Path("seq_2.avi"),
                                                      Path("seq_3.avi"), Path("seq_4.avi")}));
  EXPECT_EQ(writer.FramesWritten(), n);
  int next = 0;
  for (const std::string& file : writer.Files()) {
    EXPECT_LE(static_cast<int64_t>(fs::file_size(file)), 224 + 3 * (chunk + 16) + 8);
    AviReader reader;
    ASSERT_TRUE(reader.Open(file)) << reader.Error();
    Image frame;
    for (int i = 0; i < reader.FrameCount(); ++i, ++next) {
      ASSERT_TRUE(reader.ReadFrame(i, frame));
      EXPECT_TRUE(SamePixels(frame, Pattern(w, h, next))) << file << " frame " << i;
    }
  }
  EXPECT_EQ(next, n);
}

TEST_F(AviFileTest, WriterRefusesSizesOutsideTheFrameLimit) {
  AviWriter writer;
  EXPECT_FALSE(writer.Create(Path("big.avi"), 1025, 768, 200));
  EXPECT_NE(writer.Error().find("big.avi"), std::string::npos);
  EXPECT_FALSE(writer.Create(Path("zero.avi"), 0, 10, 200));
  EXPECT_FALSE(fs::exists(Path("big.avi")));
  EXPECT_FALSE(writer.Create(Path("nodir/x.avi"), 10, 10, 200));
  EXPECT_NE(writer.Error().find("Failed to create AVI video work file"), std::string::npos);
}

// ---- damaged files

TEST_F(AviFileTest, MissingOrShortIndexFallsBackToTheMoviList) {
  const int w = 20, h = 10, n = 6;
  const Bytes full = ReadAll(Write("full.avi", w, h, n));
  const size_t idx = full.size() - 8 - 16 * n;
  const size_t chunk = 8 + 60 * h;
  struct Case {
    const char* what;
    Bytes bytes;
    int frames;
  };
  std::vector<Case> cases;
  cases.push_back({"index removed", Bytes(full.begin(), full.begin() + idx), n});
  Bytes shortIndex = full;
  Put32(shortIndex, idx + 4, 16 * 2);  // lists two frames only
  cases.push_back({"index lists two", shortIndex, n});
  Bytes hugeIndex = full;
  Put32(hugeIndex, idx + 4, 0xFFFFFFF0u);
  cases.push_back({"index size beyond the file", hugeIndex, n});
  // Cut in the middle of the fifth frame, once with the headers complete and
  // once as a crash leaves our own file, its sizes never patched.
  const size_t cutAt = 224 + 4 * chunk + chunk / 2;
  cases.push_back({"cut in the fifth frame", Bytes(full.begin(), full.begin() + cutAt), 4});
  Bytes crashed(full.begin(), full.begin() + cutAt);
  Put32(crashed, 4, 0);
  Put32(crashed, 48, 0);
  Put32(crashed, 140, 0);
  Put32(crashed, 216, 4);
  cases.push_back({"crashed while writing the fifth frame", crashed, 4});
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    WriteAll(Path("damaged.avi"), c.bytes);
    AviReader reader;
    ASSERT_TRUE(reader.Open(Path("damaged.avi"))) << reader.Error();
    ASSERT_EQ(reader.FrameCount(), c.frames);
    Image frame;
    for (int i = 0; i < c.frames; ++i) {
      ASSERT_TRUE(reader.ReadFrame(i, frame));
      EXPECT_TRUE(SamePixels(frame, Pattern(w, h, i))) << i;
    }
  }
}

// One byte patched (or the file cut) per case; each must be refused with a
// message that names the file and the reason.
struct RefusalCase {
  const char* name;
  size_t at;  // 0: the file is cut to 'value' bytes instead
  uint32_t value;
  const char* reason;  // part of the message
};
class AviRefusal : public AviFileTest, public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(AviRefusal, IsRefusedWithTheFileNamed) {
  const RefusalCase c = GetParam();
  Bytes b = ReadAll(Write("ok.avi", 8, 4, 2));
  if (c.at == 0) {
    b.resize(c.value);
  } else {
    Put32(b, c.at, c.value);
  }
  WriteAll(Path("bad.avi"), b);
  AviReader reader;
  EXPECT_FALSE(reader.Open(Path("bad.avi")));
  EXPECT_FALSE(reader.IsOpen());
  EXPECT_EQ(reader.FrameCount(), 0);
  EXPECT_NE(reader.Error().find(Path("bad.avi")), std::string::npos) << reader.Error();
  EXPECT_NE(reader.Error().find(c.reason), std::string::npos) << reader.Error();
}

INSTANTIATE_TEST_SUITE_P(
    Headers, AviRefusal,
    ::testing::Values(RefusalCase{"NotRiff", 0 + 8, 0x20564157, "bad format"},
                      RefusalCase{"Empty", 0, 0, "bad format"},
                      RefusalCase{"HeadersCut", 0, 150, "bad format"},
                      RefusalCase{"WidthZero", 176, 0, "format"},
                      RefusalCase{"HeightZero", 180, 0, "format"},
                      RefusalCase{"WidthNegative", 176, 0xFFFFFFF8u, "format"},
                      RefusalCase{"WiderThanFrames", 176, 1025, "1025"},
                      RefusalCase{"TallerTopDown", 180, static_cast<uint32_t>(-769), "769"},
                      RefusalCase{"H264", 188, 0x34363248, "H264"},
                      RefusalCase{"SixteenBits", 184, 0x00100001, "16 bits"},
                      RefusalCase{"StreamFormatHuge", 168, 0x7FFFFFF0, "bad format"},
                      RefusalCase{"NotVideo", 108, 0x73647561, "aucun flux video"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(AviFileTest, UnreadableFileAndFramesOutOfRange) {
  AviReader reader;
  EXPECT_FALSE(reader.Open(Path("absent.avi")));
  EXPECT_NE(reader.Error().find("A disk error occurred while opening the file."),
            std::string::npos);
  EXPECT_NE(reader.Error().find("absent.avi"), std::string::npos);
  ASSERT_TRUE(reader.Open(Write("two.avi", 4, 4, 2)));
  Image frame(3, 3);
  frame.Fill(Rgb(1, 2, 3));
  EXPECT_FALSE(reader.ReadFrame(2, frame));
  EXPECT_FALSE(reader.ReadFrame(-1, frame));
  EXPECT_EQ(frame.Width(), 3);
  EXPECT_EQ(frame.Pixel(0, 0), Rgb(1, 2, 3));
}

// ---- ffmpeg as the outside peer

bool HaveFfmpeg() {
  return std::system("ffmpeg -version >/dev/null 2>&1") == 0 &&
         std::system("ffprobe -version >/dev/null 2>&1") == 0;
}

std::string RunTool(const std::string& command, const std::string& outFile) {
  const int rc = std::system((command + " >" + outFile + " 2>&1").c_str());
  std::ifstream in(outFile);
  std::string text((std::istreambuf_iterator<char>(in)), {});
  return rc == 0 ? text : "failed: " + text;
}

struct RateCase {
  int ms;
  const char* rate;
};
class AviProbe : public AviFileTest, public ::testing::WithParamInterface<RateCase> {};

TEST_P(AviProbe, FfprobeReadsCountSizeAndRate) {
  if (!HaveFfmpeg()) GTEST_SKIP() << "ffmpeg/ffprobe not installed";
  const std::string path = Write("probe.avi", 64, 48, 7, GetParam().ms);
  const std::string out = RunTool(
      "ffprobe -v error -count_frames -select_streams v:0 -show_entries "
      "stream=codec_name,width,height,r_frame_rate,nb_read_frames "
      "-of default=nw=1 " +
          path,
      Path("probe.txt"));
  EXPECT_NE(out.find("width=64\n"), std::string::npos) << out;
  EXPECT_NE(out.find("height=48\n"), std::string::npos) << out;
  EXPECT_NE(out.find("r_frame_rate=" + std::string(GetParam().rate) + "\n"), std::string::npos)
      << out;
  EXPECT_NE(out.find("nb_read_frames=7\n"), std::string::npos) << out;
  // And the frames ffmpeg decodes are ours, the right way up.
  ASSERT_EQ(
      RunTool("ffmpeg -v error -y -i " + path + " -f rawvideo -pix_fmt bgr24 " + Path("probe.raw"),
              Path("ffmpeg.txt")),
      "");
  const Bytes raw = ReadAll(Path("probe.raw"));
  ASSERT_EQ(raw.size(), 7u * 64 * 48 * 3);
  const Image third = Pattern(64, 48, 3);
  for (int y = 0; y < 48; ++y) {
    const uint8_t* row = raw.data() + (3 * 48 + y) * 64 * 3;
    ASSERT_EQ(std::memcmp(row, third.ScanLine(y), 64 * 3), 0) << "row " << y;
  }
}

INSTANTIATE_TEST_SUITE_P(Rates, AviProbe,
                         ::testing::Values(RateCase{200, "5/1"}, RateCase{40, "25/1"},
                                           RateCase{1000, "1/1"}),
                         [](const auto& info) { return std::to_string(info.param.ms) + "ms"; });

struct PeerCase {
  const char* name;
  const char* options;  // ffmpeg's output options
  AviCodec codec;
  int tolerance;  // largest difference from ffmpeg's own decoding
};
class AviFromFfmpeg : public AviFileTest, public ::testing::WithParamInterface<PeerCase> {};

TEST_P(AviFromFfmpeg, FramesMatchFfmpegsOwnDecoding) {
  if (!HaveFfmpeg()) GTEST_SKIP() << "ffmpeg/ffprobe not installed";
  const PeerCase c = GetParam();
  const int w = 40, h = 30, n = 5;
  const std::string source = Write("source.avi", w, h, n, 100);
  const std::string peer = Path("peer.avi");
  ASSERT_EQ(
      RunTool("ffmpeg -v error -y -i " + source + " " + c.options + " " + peer, Path("encode.txt")),
      "");
  ASSERT_EQ(
      RunTool("ffmpeg -v error -y -i " + peer + " -f rawvideo -pix_fmt bgr24 " + Path("peer.raw"),
              Path("decode.txt")),
      "");
  const Bytes raw = ReadAll(Path("peer.raw"));
  ASSERT_EQ(raw.size(), static_cast<size_t>(n) * w * h * 3);
  AviReader reader;
  ASSERT_TRUE(reader.Open(peer)) << reader.Error();
  EXPECT_EQ(reader.Format().codec, c.codec);
  ASSERT_EQ(reader.FrameCount(), n);
  EXPECT_EQ(reader.Format().msPerFrame, 100);
  Image frame;
  for (int i = 0; i < n; ++i) {
    ASSERT_TRUE(reader.ReadFrame(i, frame)) << reader.Error();
    ASSERT_EQ(frame.Width(), w);
    ASSERT_EQ(frame.Height(), h);
    int worst = 0;
    for (int y = 0; y < h; ++y) {
      for (int x = 0; x < 3 * w; ++x) {
        const int d = frame.ScanLine(y)[x] - raw[((i * h + y) * w) * 3 + x];
        worst = std::max(worst, std::abs(d));
      }
    }
    EXPECT_LE(worst, c.tolerance) << "frame " << i;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Formats, AviFromFfmpeg,
    ::testing::Values(PeerCase{"Bgr24TopDown", "-c:v rawvideo -pix_fmt bgr24", AviCodec::Rgb24, 0},
                      PeerCase{"Pal8", "-c:v rawvideo -pix_fmt pal8", AviCodec::Rgb8, 0},
                      PeerCase{"Gray", "-c:v rawvideo -pix_fmt gray", AviCodec::Grey8, 0},
                      PeerCase{"Bgra", "-c:v rawvideo -pix_fmt bgra", AviCodec::Rgb32, 0},
                      PeerCase{"Mjpeg", "-c:v mjpeg -q:v 2 -pix_fmt yuvj444p", AviCodec::Mjpeg,
                               24}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(AviFileTest, FfmpegFileCutOffPlaysEveryCompleteFrame) {
  if (!HaveFfmpeg()) GTEST_SKIP() << "ffmpeg/ffprobe not installed";
  const int w = 64, h = 48, n = 6;
  const int64_t chunk = 8 + w * h * 3;
  const std::string source = Write("source.avi", w, h, n, 100);
  ASSERT_EQ(RunTool("ffmpeg -v error -y -i " + source + " -c:v rawvideo -pix_fmt bgr24 " +
                        Path("peer.avi"),
                    Path("encode.txt")),
            "");
  Bytes b = ReadAll(Path("peer.avi"));
  // The index tail is far smaller than half a frame: cutting two and a half
  // frames from the end loses the index, two frames and most of a third.
  b.resize(b.size() - static_cast<size_t>(chunk * 5 / 2));
  WriteAll(Path("cut.avi"), b);
  AviReader reader;
  ASSERT_TRUE(reader.Open(Path("cut.avi"))) << reader.Error();
  ASSERT_EQ(reader.FrameCount(), n - 3);
  Image frame;
  for (int i = 0; i < n - 3; ++i) {
    ASSERT_TRUE(reader.ReadFrame(i, frame)) << reader.Error();
    EXPECT_TRUE(SamePixels(frame, Pattern(w, h, i))) << i;
  }
}

}  // namespace
}  // namespace orniva
