// Bitmap and JPEG files: round trips, the variants other programs write, and
// malformed files that must be refused without touching the current frame.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "acquisition/bmp_file.h"
#include "acquisition/frame_limits.h"
#include "acquisition/image_file.h"
#include "acquisition/jpeg_file.h"

namespace orniva {
namespace {

using Bytes = std::vector<uint8_t>;

Image Gradient(int w, int h) {
  Image img(w, h);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      img.SetPixel(x, y,
                   Rgb(static_cast<uint8_t>(x * 255 / std::max(1, w - 1)),
                       static_cast<uint8_t>(y * 255 / std::max(1, h - 1)),
                       static_cast<uint8_t>((x + y) * 7)));
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

// The frame a failed load must leave untouched.
Image Sentinel() {
  Image img(7, 5);
  img.Fill(Rgb(10, 20, 30));
  return img;
}

void Put16(Bytes& v, size_t at, uint32_t x) {
  v[at] = x & 0xFF;
  v[at + 1] = (x >> 8) & 0xFF;
}
void Put32(Bytes& v, size_t at, uint32_t x) {
  for (int i = 0; i < 4; ++i) v[at + i] = (x >> (8 * i)) & 0xFF;
}

// A bitmap file with a 40-byte header, the given extra bytes (palette or
// masks) and rows given top row first, written in file order.
Bytes MakeBmp(int width, int height, int bpp, uint32_t compression, const Bytes& extra,
              const std::vector<Bytes>& rowsTopFirst, uint32_t colorsUsed = 0) {
  const size_t stride = ((static_cast<size_t>(width) * bpp + 31) / 32) * 4;
  const size_t pixelsAt = 54 + extra.size();
  Bytes v(pixelsAt + stride * rowsTopFirst.size(), 0);
  v[0] = 'B';
  v[1] = 'M';
  Put32(v, 2, static_cast<uint32_t>(v.size()));
  Put32(v, 10, static_cast<uint32_t>(pixelsAt));
  Put32(v, 14, 40);
  Put32(v, 18, static_cast<uint32_t>(width));
  Put32(v, 22, static_cast<uint32_t>(height));
  Put16(v, 26, 1);
  Put16(v, 28, bpp);
  Put32(v, 30, compression);
  Put32(v, 46, colorsUsed);
  std::copy(extra.begin(), extra.end(), v.begin() + 54);
  const bool topDown = height < 0;
  const size_t n = rowsTopFirst.size();
  for (size_t i = 0; i < n; ++i) {
    const size_t fileRow = topDown ? i : n - 1 - i;
    std::copy(rowsTopFirst[i].begin(), rowsTopFirst[i].end(),
              v.begin() + pixelsAt + fileRow * stride);
  }
  return v;
}

TEST(BmpFile, RoundTripKeepsEveryPixelForEveryRowPadding) {
  for (int w : {1, 2, 3, 4, 5, 333}) {
    const Image src = Gradient(w, 7);
    const Bytes file = EncodeBmp(src);
    const size_t stride = ((w * 3 + 3) / 4) * 4;
    ASSERT_EQ(file.size(), 54 + stride * 7) << w;
    EXPECT_EQ(file[10], 54);
    EXPECT_EQ(file[14], 40);
    EXPECT_EQ(file[28], 24);
    Image back = Sentinel();
    ASSERT_TRUE(DecodeBmp(file, back).Ok()) << w;
    EXPECT_TRUE(SamePixels(src, back)) << w;
  }
}

TEST(BmpFile, WrittenBottomUpLikeEveryBitmap) {
  Image src(1, 2);
  src.SetPixel(0, 0, Rgb(255, 0, 0));  // top: red
  src.SetPixel(0, 1, Rgb(0, 0, 255));  // bottom: blue
  const Bytes file = EncodeBmp(src);
  EXPECT_EQ(file[54], 255);  // first stored row is the bottom one, blue byte first
  EXPECT_EQ(file[54 + 4 + 2], 255);
}

TEST(BmpFile, ReadsTheVariantsOtherProgramsWrite) {
  const Bgr red = Rgb(255, 0, 0), green = Rgb(0, 255, 0), blue = Rgb(0, 0, 255);
  struct Case {
    const char* name;
    Bytes file;
  };
  const std::vector<Case> cases = {
      {"24-bit bottom-up",
       MakeBmp(3, 2, 24, 0, {},
               {{0, 0, 255, 0, 255, 0, 255, 0, 0}, {255, 0, 0, 0, 255, 0, 0, 0, 255}})},
      {"24-bit top-down",
       MakeBmp(3, -2, 24, 0, {},
               {{0, 0, 255, 0, 255, 0, 255, 0, 0}, {255, 0, 0, 0, 255, 0, 0, 0, 255}})},
      {"8-bit palette of 3",
       MakeBmp(3, 2, 8, 0, {0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0, 0}, {{0, 1, 2}, {2, 1, 0}}, 3)},
      {"32-bit plain", MakeBmp(3, 2, 32, 0, {},
                               {{0, 0, 255, 9, 0, 255, 0, 9, 255, 0, 0, 9},
                                {255, 0, 0, 9, 0, 255, 0, 9, 0, 0, 255, 9}})},
      // Masks red 0x0000FF00, green 0x00FF0000, blue 0xFF000000.
      {"32-bit bit fields", MakeBmp(3, 2, 32, 3, {0, 0xFF, 0, 0, 0, 0, 0xFF, 0, 0, 0, 0, 0xFF},
                                    {{0, 0xFF, 0, 0, 0, 0, 0xFF, 0, 0, 0, 0, 0xFF},
                                     {0, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0}})},
  };
  for (const Case& c : cases) {
    Image img;
    const ImageFileResult r = DecodeBmp(c.file, img);
    ASSERT_TRUE(r.Ok()) << c.name << ": " << ImageFileMessage("x.bmp", r);
    ASSERT_EQ(img.Width(), 3) << c.name;
    ASSERT_EQ(img.Height(), 2) << c.name;
    EXPECT_EQ(img.Pixel(0, 0), red) << c.name;
    EXPECT_EQ(img.Pixel(1, 0), green) << c.name;
    EXPECT_EQ(img.Pixel(2, 0), blue) << c.name;
    EXPECT_EQ(img.Pixel(0, 1), blue) << c.name;
    EXPECT_EQ(img.Pixel(2, 1), red) << c.name;
  }
}

TEST(BmpFile, OldCoreHeaderWithThreeBytePalette) {
  Bytes v(14 + 12 + 2 * 3 + 4, 0);
  v[0] = 'B';
  v[1] = 'M';
  Put32(v, 10, 14 + 12 + 6);
  Put32(v, 14, 12);
  Put16(v, 18, 2);
  Put16(v, 20, 1);
  Put16(v, 22, 1);
  Put16(v, 24, 8);
  v[26] = 255;  // colour 0: blue
  v[31] = 255;  // colour 1: red
  v[32] = 1;
  v[33] = 0;
  Image img;
  ASSERT_TRUE(DecodeBmp(v, img).Ok());
  EXPECT_EQ(img.Pixel(0, 0), Rgb(255, 0, 0));
  EXPECT_EQ(img.Pixel(1, 0), Rgb(0, 0, 255));
}

TEST(BmpFile, MalformedFilesAreRefusedAndKeepThePreviousFrame) {
  using E = ImageFileError;
  const Bytes good = EncodeBmp(Gradient(4, 3));
  auto patched = [&](size_t at, uint32_t value, Bytes base = {}) {
    Bytes v = base.empty() ? good : base;
    Put32(v, at, value);
    return v;
  };
  struct Case {
    const char* name;
    Bytes file;
    E error;
  };
  const std::vector<Case> cases = {
      {"empty", {}, E::Empty},
      {"magic only", {'B', 'M'}, E::Truncated},
      {"wrong magic", patched(0, 0x04034B50), E::BadMagic},
      {"cut inside the header", Bytes(good.begin(), good.begin() + 40), E::Truncated},
      {"cut inside the pixels", Bytes(good.begin(), good.end() - 5), E::Truncated},
      {"zero width", patched(18, 0), E::BadSize},
      {"zero height", patched(22, 0), E::BadSize},
      {"negative width", patched(18, static_cast<uint32_t>(-4)), E::BadSize},
      {"65000 x 65000", patched(22, 65000, patched(18, 65000)), E::TooLarge},
      {"1025 wide", patched(18, 1025), E::TooLarge},
      {"most negative height", patched(22, 0x80000000u), E::TooLarge},
      {"unknown header size", patched(14, 5), E::Unsupported},
      {"16 bits per pixel", patched(28, 16 | (0 << 16)), E::Unsupported},
      {"run-length coded", MakeBmp(2, 2, 8, 1, Bytes(1024, 0), {{0, 0}, {0, 0}}), E::Unsupported},
      {"pixels beyond the end", patched(10, 0x7FFFFFF0), E::Truncated},
      {"palette cut short", Bytes(good.begin(), good.begin() + 60), E::Truncated},
  };
  for (const Case& c : cases) {
    Image img = Sentinel();
    const ImageFileResult r = DecodeBmp(c.file, img);
    EXPECT_EQ(r.error, c.error) << c.name;
    EXPECT_TRUE(SamePixels(img, Sentinel())) << c.name;
  }
  // The 8-bit case with its palette cut short needs an 8-bit header.
  Bytes pal = MakeBmp(2, 1, 8, 0, Bytes(1024, 0), {{0, 0}});
  pal.resize(54 + 100);
  Image img = Sentinel();
  EXPECT_EQ(DecodeBmp(pal, img).error, E::Truncated);
  EXPECT_TRUE(SamePixels(img, Sentinel()));
}

TEST(BmpFile, PaletteIndexBeyondTheColoursUsedIsBlack) {
  const Bytes file = MakeBmp(2, 1, 8, 0, {0, 0, 255, 0}, {{0, 200}}, 1);
  Image img;
  ASSERT_TRUE(DecodeBmp(file, img).Ok());
  EXPECT_EQ(img.Pixel(0, 0), Rgb(255, 0, 0));
  EXPECT_EQ(img.Pixel(1, 0), kBlack);
}

double MeanAbsDifference(const Image& a, const Image& b) {
  double sum = 0;
  for (int y = 0; y < a.Height(); ++y) {
    for (int x = 0; x < a.Width(); ++x) {
      const Bgr p = a.Pixel(x, y), q = b.Pixel(x, y);
      sum += std::abs(p.b - q.b) + std::abs(p.g - q.g) + std::abs(p.r - q.r);
    }
  }
  return sum / (3.0 * a.Width() * a.Height());
}

TEST(JpegFile, RoundTripStaysCloseAndQualityMatters) {
  const Image src = Gradient(67, 45);
  Bytes high, low;
  ASSERT_TRUE(EncodeJpeg(src, 95, high));
  ASSERT_TRUE(EncodeJpeg(src, 5, low));
  EXPECT_LT(low.size(), high.size());
  Image back = Sentinel();
  ASSERT_TRUE(DecodeJpeg(high, back).Ok());
  ASSERT_EQ(back.Width(), 67);
  ASSERT_EQ(back.Height(), 45);
  EXPECT_LT(MeanAbsDifference(src, back), 6.0);
  // Colours keep their channels: a red square stays red.
  Image red(16, 16);
  red.Fill(Rgb(250, 0, 0));
  ASSERT_TRUE(EncodeJpeg(red, 90, high));
  ASSERT_TRUE(DecodeJpeg(high, back).Ok());
  EXPECT_GT(back.Pixel(8, 8).r, 240);
  EXPECT_LT(back.Pixel(8, 8).b, 15);
}

TEST(JpegFile, QualityOutsideTheRangeIsClamped) {
  const Image src = Gradient(16, 16);
  Bytes a, b;
  ASSERT_TRUE(EncodeJpeg(src, 0, a));
  ASSERT_TRUE(EncodeJpeg(src, 1, b));
  EXPECT_EQ(a, b);
  ASSERT_TRUE(EncodeJpeg(src, 500, a));
  ASSERT_TRUE(EncodeJpeg(src, 100, b));
  EXPECT_EQ(a, b);
}

// Offset of the frame header (SOF0) height field in a stream from EncodeJpeg.
size_t SofHeightAt(const Bytes& jpeg) {
  for (size_t i = 2; i + 9 < jpeg.size(); ++i) {
    if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xC0) return i + 5;
  }
  return 0;
}

// The stream with three junk bytes inserted before the first marker of the
// given code (the last one for the end marker), as careless writers leave
// them: libjpeg warns "Corrupt JPEG data: 3 extraneous bytes before marker"
// and skips them.
Bytes WithJunkBefore(const Bytes& jpeg, uint8_t marker) {
  size_t at = 0;
  for (size_t i = 2; i + 1 < jpeg.size(); ++i) {
    if (jpeg[i] == 0xFF && jpeg[i + 1] == marker) {
      at = i;
      if (marker != 0xD9) break;
    }
  }
  Bytes v = jpeg;
  if (at > 0) v.insert(v.begin() + static_cast<long>(at), {0x12, 0x34, 0x56});
  return v;
}

struct JunkCase {
  const char* name;
  uint8_t marker;
};
void PrintTo(const JunkCase& c, std::ostream* os) {
  *os << c.name;
}

class JpegJunkBeforeMarker : public ::testing::TestWithParam<JunkCase> {};

TEST_P(JpegJunkBeforeMarker, IsSkippedAndThePictureReadWhole) {
  Bytes good;
  ASSERT_TRUE(EncodeJpeg(Gradient(64, 48), 90, good));
  Image clean;
  ASSERT_TRUE(DecodeJpeg(good, clean).Ok());
  const Bytes junk = WithJunkBefore(good, GetParam().marker);
  ASSERT_EQ(junk.size(), good.size() + 3);
  Image img = Sentinel();
  const ImageFileResult r = DecodeJpeg(junk, img);
  EXPECT_TRUE(r.Ok()) << r.detail;
  EXPECT_TRUE(SamePixels(img, clean));
}

INSTANTIATE_TEST_SUITE_P(JpegFile, JpegJunkBeforeMarker,
                         ::testing::Values(JunkCase{"QuantisationTables", 0xDB},
                                           JunkCase{"FrameHeader", 0xC0},
                                           JunkCase{"HuffmanTables", 0xC4}, JunkCase{"Scan", 0xDA},
                                           JunkCase{"End", 0xD9}),
                         [](const ::testing::TestParamInfo<JunkCase>& info) {
                           return std::string(info.param.name);
                         });

TEST(JpegFile, MalformedStreamsAreRefusedAndKeepThePreviousFrame) {
  using E = ImageFileError;
  Bytes good;
  ASSERT_TRUE(EncodeJpeg(Gradient(64, 48), 90, good));
  const size_t sof = SofHeightAt(good);
  ASSERT_GT(sof, 0u);
  auto withSize = [&](int w, int h) {
    Bytes v = good;
    v[sof] = h >> 8;
    v[sof + 1] = h & 0xFF;
    v[sof + 2] = w >> 8;
    v[sof + 3] = w & 0xFF;
    return v;
  };
  Bytes scrambled = good;
  for (size_t i = good.size() / 2; i < good.size() / 2 + 40; ++i) scrambled[i] = 0xFF;
  // Skipped junk does not excuse damage after it.
  Bytes cutAfterJunk = WithJunkBefore(good, 0xDB);
  cutAfterJunk.resize(cutAfterJunk.size() / 2);
  struct Case {
    const char* name;
    Bytes file;
    E error;
  };
  const std::vector<Case> cases = {
      {"empty", {}, E::Empty},
      {"wrong magic", Bytes{'G', 'I', 'F', '8', '9', 'a'}, E::BadMagic},
      {"start marker only", Bytes{0xFF, 0xD8}, E::Corrupt},
      {"cut in the header", Bytes(good.begin(), good.begin() + 30), E::Corrupt},
      {"cut in the data", Bytes(good.begin(), good.begin() + good.size() / 2), E::Corrupt},
      {"scrambled data", scrambled, E::Corrupt},
      {"65000 x 65000", withSize(65000, 65000), E::TooLarge},
      {"1024 x 769", withSize(1024, 769), E::TooLarge},
      {"zero height", withSize(64, 0), E::Corrupt},
      {"junk before a marker, cut in the data", cutAfterJunk, E::Corrupt},
  };
  for (const Case& c : cases) {
    Image img = Sentinel();
    const ImageFileResult r = DecodeJpeg(c.file, img);
    EXPECT_EQ(r.error, c.error) << c.name << ": " << r.detail;
    EXPECT_TRUE(SamePixels(img, Sentinel())) << c.name;
  }
}

TEST(FrameLimits, SizesAtAndBeyondTheLimit) {
  EXPECT_EQ(FrameSizeMessage(1024, 768), "");
  EXPECT_EQ(FrameSizeMessage(1, 1), "");
  EXPECT_EQ(FrameSizeMessage(1025, 768),
            "La taille des images video est limitée à 1024x768\r\n"
            "La taille actuelle est 1025x768, veuillez choisir un autre format.");
  EXPECT_NE(FrameSizeMessage(1024, 769).find("1024x769"), std::string::npos);
  EXPECT_EQ(FrameSizeMessage(0, 480),
            "Impossible de determiner le format des images, veuillez en choisir un autre.");
}

class ImageFiles : public ::testing::Test {
 protected:
  std::filesystem::path dir_ =
      std::filesystem::temp_directory_path() / ("orniva_image_files_" + std::to_string(::getpid()));
  void SetUp() override { std::filesystem::create_directories(dir_); }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  std::string PathOf(const std::string& name) { return (dir_ / name).string(); }
};

TEST_F(ImageFiles, ReadsBackWhatWasWrittenByExtension) {
  const Image src = Gradient(40, 30);
  Bytes jpeg;
  ASSERT_TRUE(EncodeJpeg(src, 90, jpeg));
  ASSERT_TRUE(WriteFileBytes(PathOf("a.bmp"), EncodeBmp(src)).Ok());
  ASSERT_TRUE(WriteFileBytes(PathOf("b.JPG"), jpeg).Ok());
  ASSERT_TRUE(WriteFileBytes(PathOf("c.jpeg"), jpeg).Ok());
  for (const char* name : {"a.bmp", "b.JPG", "c.jpeg"}) {
    Bytes data;
    ASSERT_TRUE(ReadFileBytes(PathOf(name), data).Ok()) << name;
    Image img;
    ASSERT_TRUE(DecodeImageFile(PathOf(name), data, img).Ok()) << name;
    EXPECT_EQ(img.Width(), 40) << name;
  }
  // A bitmap under a JPEG name is not decoded as something else.
  Bytes data = EncodeBmp(src);
  Image img = Sentinel();
  EXPECT_EQ(DecodeImageFile("x.jpg", data, img).error, ImageFileError::BadMagic);
  EXPECT_EQ(DecodeImageFile("x.png", data, img).error, ImageFileError::Unsupported);
  EXPECT_TRUE(SamePixels(img, Sentinel()));
}

TEST_F(ImageFiles, UnreadableFilesGiveAMessageNamingTheFile) {
  Bytes data;
  const std::string missing = PathOf("absent.bmp");
  ImageFileResult r = ReadFileBytes(missing, data);
  EXPECT_EQ(r.error, ImageFileError::CannotRead);
  EXPECT_NE(ImageFileMessage(missing, r).find(missing), std::string::npos);

  const std::string empty = PathOf("empty.bmp");
  ASSERT_TRUE(WriteFileBytes(empty, {}).Ok());
  EXPECT_EQ(ReadFileBytes(empty, data).error, ImageFileError::Empty);

  // A huge file is refused before anything is read.
  const std::string huge = PathOf("huge.bmp");
  ASSERT_TRUE(WriteFileBytes(huge, {}).Ok());
  std::filesystem::resize_file(huge, kMaxImageFileBytes + 1);
  r = ReadFileBytes(huge, data);
  EXPECT_EQ(r.error, ImageFileError::FileTooBig);
  EXPECT_TRUE(data.empty());
  EXPECT_NE(ImageFileMessage(huge, r).find("huge.bmp"), std::string::npos);

  r = WriteFileBytes(PathOf("no/such/dir.bmp"), Bytes{1});
  EXPECT_EQ(r.error, ImageFileError::CannotWrite);
}

TEST(ImageFileMessages, TooLargeUsesTheFrameSizeText) {
  const ImageFileResult r{ImageFileError::TooLarge, 65000, 65000, ""};
  const std::string m = ImageFileMessage("/data/m31.jpg", r);
  EXPECT_NE(m.find("/data/m31.jpg"), std::string::npos);
  EXPECT_NE(m.find("La taille actuelle est 65000x65000"), std::string::npos);
}

}  // namespace
}  // namespace orniva
