// Loading the files of a file source and saving pages.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "acquisition/bmp_file.h"
#include "acquisition/image_load.h"
#include "acquisition/jpeg_file.h"

namespace orniva {
namespace {

class ImageLoad : public ::testing::Test {
 protected:
  std::filesystem::path dir_ =
      std::filesystem::temp_directory_path() / ("orniva_image_load_" + std::to_string(::getpid()));
  void SetUp() override { std::filesystem::create_directories(dir_); }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  std::string PathOf(const std::string& name) { return (dir_ / name).string(); }

  static Image Page() {
    Image page(50, 30);
    page.Fill(Rgb(200, 30, 60));
    page.FillRect({10, 10, 20, 20}, kWhite);
    return page;
  }
  static bool IsJpeg(const std::string& path) {
    std::vector<uint8_t> bytes;
    return ReadFileBytes(path, bytes).Ok() && bytes.size() > 2 && bytes[0] == 0xFF &&
           bytes[1] == 0xD8;
  }
  static bool IsBmp(const std::string& path) {
    std::vector<uint8_t> bytes;
    return ReadFileBytes(path, bytes).Ok() && bytes.size() > 2 && bytes[0] == 'B' &&
           bytes[1] == 'M';
  }
};

TEST_F(ImageLoad, OnlyALowerCaseJpgNameSavesAJpeg) {
  struct Case {
    const char* name;
    bool jpeg;
  };
  for (const Case& c : {Case{"page.jpg", true}, Case{"page.JPG", false}, Case{"page.jpeg", false},
                        Case{"page.bmp", false}, Case{"page.png", false}}) {
    const std::string path = PathOf(c.name);
    ASSERT_TRUE(SavePageImage(path, Page(), 80).Ok()) << c.name;
    EXPECT_EQ(IsJpeg(path), c.jpeg) << c.name;
    EXPECT_EQ(IsBmp(path), !c.jpeg) << c.name;
  }
  // What was saved reads back.
  Image back;
  ASSERT_TRUE(LoadImageFile(PathOf("page.bmp"), back).Ok());
  EXPECT_EQ(back.Pixel(15, 15), kWhite);
  ASSERT_TRUE(LoadImageFile(PathOf("page.jpg"), back).Ok());
  EXPECT_EQ(back.Width(), 50);
  EXPECT_EQ(WithDefaultExtension("/tmp/m42"), "/tmp/m42.bmp");
  EXPECT_EQ(WithDefaultExtension("/tmp/m42.JPG"), "/tmp/m42.JPG");
  const ImageFileResult r = SavePageImage(PathOf("missing/dir/page.bmp"), Page(), 80);
  EXPECT_EQ(r.error, ImageFileError::CannotWrite);
}

TEST_F(ImageLoad, ReadingIsRetriedUntilThirtyOneAttemptsFailed) {
  const std::string path = PathOf("m31.bmp");
  ASSERT_TRUE(WriteFileBytes(path, EncodeBmp(Page())).Ok());
  for (int failures : {0, 30, 31}) {
    int calls = 0;
    FileReader flaky = [&](const std::string& p, std::vector<uint8_t>& bytes) {
      if (++calls <= failures) return ImageFileResult(ImageFileError::CannotRead);
      return ReadFileBytes(p, bytes);
    };
    Image frame(3, 3);
    const ImageFileResult r = LoadImageFile(path, frame, flaky);
    EXPECT_EQ(r.Ok(), failures < kReadAttempts) << failures;
    EXPECT_EQ(calls, std::min(failures + 1, kReadAttempts)) << failures;
    EXPECT_EQ(frame.Width(), r.Ok() ? 50 : 3) << failures;
  }
  // A damaged file is not read again and again: it reads, it just is bad.
  int calls = 0;
  FileReader empty = [&](const std::string&, std::vector<uint8_t>&) {
    ++calls;
    return ImageFileResult(ImageFileError::Empty);
  };
  Image frame;
  EXPECT_EQ(LoadImageFile(path, frame, empty).error, ImageFileError::Empty);
  EXPECT_EQ(calls, 1);
}

TEST(FileSource, KindsAndSortedLists) {
  EXPECT_EQ(FileKindOf("a.BMP", kFileKindAvi), kFileKindImage);
  EXPECT_EQ(FileKindOf("a.jpeg", kFileKindAvi), kFileKindImage);
  EXPECT_EQ(FileKindOf("film.Avi", kFileKindImage), kFileKindAvi);
  EXPECT_EQ(FileKindOf("notes.txt", kFileKindAvi), kFileKindAvi);
  EXPECT_EQ(FileKindOf("notes.txt", kFileKindImage), kFileKindImage);
  // Three JPEGs chosen in any order play in file-name order.
  EXPECT_EQ(SortedFileList({"/n/m42_3.jpg", "/n/M42_1.jpg", "/n/m42_2.jpg"}),
            (std::vector<std::string>{"/n/M42_1.jpg", "/n/m42_2.jpg", "/n/m42_3.jpg"}));
}

}  // namespace
}  // namespace orniva
