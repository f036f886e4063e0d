// Cameras on the main window: start and stop, modes, formats, the source
// dialog, and cameras that fail; image files as the image camera's source.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "acquisition/bmp_file.h"
#include "acquisition/camera_commands.h"
#include "acquisition/file_commands.h"
#include "acquisition/jpeg_file.h"
#include "acquisition/test_pattern.h"
#include "core/virtual_event_loop.h"

namespace orniva {
namespace {

struct Cameras : ::testing::Test {
  VirtualEventLoop loop;
  HeadlessDialogs dialogs;
  Application app{loop, dialogs};
  TFRM_Alv alv{app};
  TestPatternSource pattern1{true};
  TestPatternSource pattern2;
  CameraCommands cams{alv, pattern1, pattern2};
  FileCommands files{alv, cams};
  std::vector<std::string> messages;

  void SetUp() override {
    alv.FormActivate();
    alv.ShowMessageLine = [this](bool, const std::string& text) { messages.push_back(text); };
  }
  bool Start(int camera) {
    dialogs.QueueChoice(0);
    cams.Controls(camera).SPDB_Start.Click();
    return alv.Online(camera);
  }
  const VideoFormat& FormatNamed(TestPatternSource& source, const std::string& text) {
    static std::vector<VideoFormat> list;
    list = source.Formats();
    for (const VideoFormat& f : list) {
      if (f.Text() == text) return f;
    }
    throw std::runtime_error(text);
  }
  int FormatIndex(TestPatternSource& source, const std::string& text) {
    const auto list = source.Formats();
    for (size_t i = 0; i < list.size(); ++i) {
      if (list[i].Text() == text) return static_cast<int>(i);
    }
    return -1;
  }
};

TEST_F(Cameras, StartedCameraGrabsOneFramePerRefreshTick) {
  CameraControls& c = cams.Cam1;
  EXPECT_FALSE(c.SPDB_Stop.Enabled());
  EXPECT_FALSE(c.SPDB_Flux.Enabled());
  EXPECT_FALSE(c.MNU_Pilote.Visible());
  ASSERT_TRUE(Start(1));
  EXPECT_EQ(dialogs.History().back().caption, "Pilote de capture");
  EXPECT_EQ(alv.Camera(1).width, 640);
  EXPECT_EQ(alv.Camera(1).height, 480);
  EXPECT_EQ(alv.Camera(1).bitDepth, 16);
  EXPECT_EQ(alv.Image1.Bitmap().Width(), 640);
  EXPECT_FALSE(c.MNU_Demarrer.Enabled());
  EXPECT_TRUE(c.MNU_Arreter.Enabled());
  EXPECT_TRUE(c.SPDB_Stop.Enabled());
  EXPECT_FALSE(c.SPDB_Start.Down());
  EXPECT_TRUE(c.SPDB_Image.Down());
  EXPECT_TRUE(c.SPDB_Flux.Enabled());
  EXPECT_FALSE(c.MNU_Pilote.Enabled());
  EXPECT_TRUE(alv.MNU_Operations.Enabled());
  ASSERT_TRUE(alv.Timer_Cam1.Running());
  EXPECT_EQ(alv.Timer_Cam1.Interval(), 200);

  loop.RunFor(1000);
  EXPECT_EQ(pattern1.FrameNumber(), 5);
  Image expected(640, 480);
  RenderTestPattern(4, {}, false, expected);
  EXPECT_EQ(alv.Slot(1, 0).Pixel(100, 200), expected.Pixel(100, 200));

  c.SPDB_Stop.Click();
  EXPECT_FALSE(alv.Online(1));
  EXPECT_FALSE(pattern1.Connected());
  EXPECT_FALSE(alv.Timer_Cam1.Running());
  EXPECT_TRUE(c.MNU_Demarrer.Enabled());
  EXPECT_FALSE(c.MNU_Arreter.Enabled());
  EXPECT_FALSE(c.SPDB_Stop.Enabled());
  EXPECT_TRUE(c.MNU_Pilote.Enabled());
  EXPECT_FALSE(alv.MNU_Operations.Enabled());  // camera 1 was the guide camera
}

TEST_F(Cameras, CancelledDriverDialogLeavesTheCameraOffline) {
  cams.Cam1.SPDB_Start.Click();  // no answer queued: "Annuler"
  EXPECT_FALSE(alv.Online(1));
  EXPECT_FALSE(cams.Cam1.SPDB_Start.Down());
  EXPECT_FALSE(pattern1.Connected());
  EXPECT_FALSE(alv.Timer_Cam1.Running());
  EXPECT_TRUE(messages.empty());
}

TEST_F(Cameras, UnreachableOrOversizedCameraIsNotStarted) {
  pattern1.Unplug();
  EXPECT_FALSE(Start(1));
  ASSERT_GE(messages.size(), 2u);
  EXPECT_EQ(messages[0],
            "Impossible de demarrer la camera # 1, verifier le branchement et les pilotes.");
  EXPECT_NE(messages[1].find("Mire de test"), std::string::npos);

  messages.clear();
  ASSERT_TRUE(pattern2.Connect(0));
  ASSERT_TRUE(pattern2.SetVideoFormat(FormatNamed(pattern2, "YUYV 1280x720")));
  pattern2.Disconnect();
  EXPECT_FALSE(Start(2));
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_NE(messages[0].find("La taille actuelle est 1280x720"), std::string::npos);
  EXPECT_FALSE(pattern2.Connected());
  EXPECT_FALSE(alv.Timer_Cam2.Running());
}

TEST_F(Cameras, RefusedFormatFromTheDialogKeepsThePreviousOne) {
  ASSERT_TRUE(Start(2));
  dialogs.QueueChoice(FormatIndex(pattern2, "MJPG 1280x720"));
  cams.Cam2.SPDB_Format.Click();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_NE(messages[0].find("1280x720"), std::string::npos);
  EXPECT_EQ(pattern2.GetVideoFormat().Text(), "YUYV 640x480");
  loop.RunFor(400);
  EXPECT_EQ(alv.Slot(2, 0).Width(), 640);
  EXPECT_TRUE(alv.Online(2));

  dialogs.QueueChoice(FormatIndex(pattern2, "YUYV 320x240"));
  cams.Cam2.MNU_Format.Click();
  EXPECT_EQ(alv.Camera(2).width, 320);
  EXPECT_EQ(alv.Image2.Bitmap().Width(), 320);
  loop.RunFor(400);
  EXPECT_EQ(alv.Slot(2, 0).Width(), 320);
  EXPECT_EQ(alv.Slot(2, 0).Height(), 240);
}

TEST_F(Cameras, ZonesFollowTheFrameWidthAndOnlyCameraOneIsRecentred) {
  std::vector<std::pair<int, ZoneLimits>> limits;
  int centred = 0, referenceDropped = 0;
  cams.Hooks.ApplyZoneLimits = [&](int camera, const ZoneLimits& l) {
    limits.push_back({camera, l});
  };
  cams.Hooks.CentreZones = [&] { ++centred; };
  cams.Hooks.ReferenceNotLoaded = [&] { ++referenceDropped; };
  ASSERT_TRUE(Start(1));
  ASSERT_TRUE(Start(2));
  EXPECT_EQ(centred, 0);
  dialogs.QueueChoice(FormatIndex(pattern2, "YUYV 320x240"));
  cams.Cam2.MNU_Format.Click();
  EXPECT_EQ(centred, 0);
  EXPECT_EQ(referenceDropped, 1);
  dialogs.QueueChoice(FormatIndex(pattern1, "YUYV 320x240"));
  cams.Cam1.MNU_Format.Click();
  EXPECT_EQ(centred, 1);
  EXPECT_EQ(referenceDropped, 2);
  const std::vector<std::pair<int, ZoneLimits>> expected = {
      {1, {480, 640}}, {2, {480, 640}}, {2, {270, 320}}, {1, {270, 320}}};
  EXPECT_EQ(limits, expected);
}

TEST_F(Cameras, StreamModeDeliversEveryFrameAndStopsCleanly) {
  ASSERT_TRUE(Start(1));
  CameraControls& c = cams.Cam1;
  c.SPDB_Flux.Click();
  EXPECT_EQ(alv.Camera(1).streaming, 1);
  EXPECT_TRUE(c.MNU_Stream.Checked());
  EXPECT_TRUE(c.SPDB_Flux.Down());
  EXPECT_FALSE(c.SPDB_Stop.Enabled());
  EXPECT_FALSE(c.SPDB_PoseLongue.Enabled());
  EXPECT_FALSE(alv.Timer_Cam1.Running());
  loop.RunFor(1000);
  EXPECT_EQ(pattern1.Stats().delivered, 5);
  Image expected(640, 480);
  RenderTestPattern(4, {}, false, expected);
  EXPECT_EQ(alv.Slot(1, 0).Pixel(300, 300), expected.Pixel(300, 300));

  c.SPDB_Stop.Click();  // the tool-bar stop does nothing while streaming
  EXPECT_TRUE(alv.Online(1));
  c.MNU_Image.Click();  // back to image mode
  EXPECT_EQ(alv.Camera(1).streaming, 0);
  EXPECT_TRUE(alv.Timer_Cam1.Running());
  EXPECT_TRUE(c.SPDB_Stop.Enabled());
  loop.RunFor(250);
  EXPECT_TRUE(c.SPDB_Image.Down());

  c.MNU_Stream.Click();
  c.MNU_Arreter.Click();  // the menu ends the stream first
  EXPECT_FALSE(pattern1.Streaming());
  EXPECT_FALSE(alv.Online(1));
  loop.RunFor(1000);
  EXPECT_EQ(alv.Camera(1).streaming, 0);
}

TEST_F(Cameras, CameraUnpluggedWhileRunningIsStoppedWithAMessage) {
  ASSERT_TRUE(Start(1));
  cams.Cam1.SPDB_Flux.Click();
  loop.RunFor(400);
  pattern1.Unplug();
  loop.RunFor(400);
  EXPECT_FALSE(alv.Online(1));
  EXPECT_FALSE(pattern1.Connected());
  ASSERT_FALSE(messages.empty());
  EXPECT_NE(messages[0].find("debranche"), std::string::npos);

  // In image mode the grabs fail a few times, then the camera is stopped.
  messages.clear();
  ASSERT_TRUE(Start(2));
  pattern2.Unplug();
  loop.RunFor(5000);
  EXPECT_FALSE(alv.Online(2));
  EXPECT_FALSE(alv.Timer_Cam2.Running());
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_NE(messages[1].find("Camera 2 arretee"), std::string::npos);
}

TEST_F(Cameras, LevelControlsFollowBinningAndLongExposure) {
  std::vector<bool> levels;
  cams.Hooks.EnableLevelControls = [&](bool on) { levels.push_back(on); };
  ASSERT_TRUE(Start(1));
  cams.Cam1.MNU_Binning_2x2.Click();
  cams.Cam1.MNU_Binning_1x1.Click();  // a plain copy again: levels off
  cams.Cam1.SPDB_PoseLongue.Click();
  EXPECT_TRUE(alv.State.longExposureMode);
  EXPECT_TRUE(cams.Cam1.MNU_PoseLongue.Checked());
  cams.Cam1.SPDB_Image.Click();  // leaves long exposure, levels off again
  EXPECT_FALSE(alv.State.longExposureMode);
  bool forced = true;
  alv.Inputs.ForceLevels = [&] { return forced; };
  cams.Cam1.MNU_Image.Click();  // "Forcer" keeps them
  EXPECT_EQ(levels, (std::vector<bool>{true, false, true, false}));
}

TEST_F(Cameras, BinningAndSourceControls) {
  ASSERT_TRUE(Start(1));
  const int full = alv.Image3.Bitmap().Width();
  cams.Cam1.MNU_Binning_2x2.Click();
  EXPECT_TRUE(cams.Cam1.MNU_Binning_2x2.Checked());
  EXPECT_FALSE(cams.Cam1.MNU_Binning_1x1.Checked());
  EXPECT_EQ(alv.Image3.Bitmap().Width(), full / 2);
  cams.Cam1.MNU_Binning_1x1.Click();
  EXPECT_EQ(alv.Image3.Bitmap().Width(), full);

  dialogs.QueueChoice(1);  // "Gain"
  dialogs.QueueText("50");
  dialogs.QueueChoice(0);  // "Luminosite"
  dialogs.QueueText("500");
  cams.Cam1.SPDB_Source.Click();
  EXPECT_EQ(pattern1.Controls()[1].value, 50);
  EXPECT_EQ(pattern1.Controls()[0].value, 0);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_NE(messages[0].find("hors limites"), std::string::npos);
}

struct Files : Cameras {
  std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("orniva_file_source_" + std::to_string(::getpid()));
  void SetUp() override {
    Cameras::SetUp();
    std::filesystem::create_directories(dir);
  }
  void TearDown() override { std::filesystem::remove_all(dir); }
  std::string Write(const std::string& name, const std::vector<uint8_t>& bytes) {
    const std::string path = (dir / name).string();
    EXPECT_TRUE(WriteFileBytes(path, bytes).Ok());
    return path;
  }
  static Image Picture(int w, int h, Bgr c) {
    Image img(w, h);
    img.Fill(c);
    return img;
  }
};

TEST_F(Files, OpenedImageBecomesTheImageCameraFrame) {
  ASSERT_TRUE(Start(1));
  const std::string path = Write("m57.bmp", EncodeBmp(Picture(300, 200, Rgb(10, 200, 30))));
  dialogs.QueueText(path);
  files.SPDB_Ouvrir.Click();
  EXPECT_FALSE(alv.Online(1));  // the camera was stopped
  EXPECT_TRUE(alv.State.fileMode);
  EXPECT_EQ(files.LastDirectory(), dir.string());
  EXPECT_EQ(alv.Camera(1).width, 300);
  EXPECT_EQ(alv.Slot(1, 0).Pixel(5, 5), Rgb(10, 200, 30));
  EXPECT_TRUE(alv.Timer_Cam1.Running());

  // A damaged file keeps the frame and names itself.
  std::vector<uint8_t> cut = EncodeBmp(Picture(40, 30, kWhite));
  cut.resize(cut.size() / 2);
  files.OpenFileSource(kLoadImage, Write("cut.bmp", cut));
  EXPECT_EQ(alv.Slot(1, 0).Pixel(5, 5), Rgb(10, 200, 30));
  ASSERT_FALSE(messages.empty());
  EXPECT_NE(messages.back().find("cut.bmp"), std::string::npos);

  // So does one beyond the frame limit.
  std::vector<uint8_t> jpeg;
  ASSERT_TRUE(EncodeJpeg(Picture(16, 16, kWhite), 80, jpeg));
  for (size_t i = 2; i + 8 < jpeg.size(); ++i) {
    if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xC0) {
      jpeg[i + 5] = jpeg[i + 7] = 0xFD;  // 65000 x 65000
      jpeg[i + 6] = jpeg[i + 8] = 0xE8;
      break;
    }
  }
  files.OpenFileSource(kLoadImage, Write("huge.jpg", jpeg));
  EXPECT_NE(messages.back().find("huge.jpg"), std::string::npos);
  EXPECT_NE(messages.back().find("65000x65000"), std::string::npos);
  EXPECT_EQ(alv.Slot(1, 0).Width(), 300);
}

TEST_F(Files, JpegsChosenTogetherPlayInFileNameOrder) {
  std::vector<std::string> chosen;
  for (const char* name : {"m42_3.jpg", "m42_1.jpg", "m42_2.jpg"}) {
    std::vector<uint8_t> jpeg;
    const uint8_t level = static_cast<uint8_t>(40 * (name[4] - '0'));
    ASSERT_TRUE(EncodeJpeg(Picture(32, 24, Rgb(level, level, level)), 95, jpeg));
    chosen.push_back(Write(name, jpeg));
  }
  dialogs.QueueFiles(chosen);
  files.MNU_Ouvrir_Image.Click();
  ASSERT_EQ(files.FileList().size(), 3u);
  EXPECT_EQ(files.FileList()[0], (dir / "m42_1.jpg").string());
  EXPECT_EQ(files.FileList()[2], (dir / "m42_3.jpg").string());
  for (int p = 0; p < 3; ++p) {
    files.SetPosition(p);
    ASSERT_TRUE(files.LoadImage());
    EXPECT_NEAR(alv.Slot(1, 0).Pixel(10, 10).g, 40 * (p + 1), 3) << p;
  }
}

TEST_F(Files, CancelledOpenDialogStopsARunningScript) {
  int stopped = 0;
  files.Hooks.OnOpenCancelled = [&] { ++stopped; };
  files.MNU_Ouvrir_Dark.Click();
  EXPECT_EQ(stopped, 1);
  EXPECT_FALSE(alv.State.fileMode);
}

TEST_F(Files, SavedPageIsAJpegOnlyUnderALowerCaseJpgName) {
  alv.Image3.Bitmap().Resize(40, 30);
  alv.Image3.Bitmap().Fill(Rgb(200, 10, 10));
  alv.PGC_Main.SetActivePageIndex(2);
  for (const char* name : {"result.JPG", "result.jpg", "result"}) {
    dialogs.QueueText((dir / name).string());
    files.SPDB_Enregistrer.Click();
  }
  std::vector<uint8_t> bytes;
  ASSERT_TRUE(ReadFileBytes((dir / "result.JPG").string(), bytes).Ok());
  EXPECT_EQ(bytes[0], 'B');
  ASSERT_TRUE(ReadFileBytes((dir / "result.jpg").string(), bytes).Ok());
  EXPECT_EQ(bytes[0], 0xFF);
  ASSERT_TRUE(ReadFileBytes((dir / "result.bmp").string(), bytes).Ok());
  Image back;
  ASSERT_TRUE(DecodeBmp(bytes, back).Ok());
  EXPECT_EQ(back.Width(), 40);
  EXPECT_EQ(back.Pixel(3, 3), Rgb(200, 10, 10));
}

}  // namespace
}  // namespace orniva
