#include <gtest/gtest.h>

#include <cstring>

#include "acquisition/demosaic.h"
#include "acquisition/tfrm_alv.h"
#include "core/virtual_event_loop.h"

namespace orniva {
namespace {

using Trace = std::vector<std::string>;

class TFRM_Small : public Window {
 public:
  explicit TFRM_Small(Application& app) : Window(app, "TFRM_Small") {}
  Picture Img_Small{*this, "Img_Small", 16, 12};
};

Image Frame(int w, int h, Bgr c) {
  Image img(w, h);
  img.Fill(c);
  return img;
}

struct PipelineFixture : ::testing::Test {
  VirtualEventLoop loop;
  HeadlessDialogs dialogs;
  Application app{loop, dialogs};
  TFRM_Alv alv{app};
  TFRM_Small small{app};
  Trace trace;
  std::vector<bool> verdicts;
  int tracked = 0;
  bool miniVisible = false;
  int miniCamera = 1;

  PipelineFixture() {
    alv.FormActivate();
    alv.SetCameraFormat(1, 64, 48, 24, true);
    alv.SetCameraFormat(2, 32, 24, 24, true);
    alv.Hooks.Trace = [this](std::string_view s) { trace.emplace_back(s); };
    alv.Hooks.TrackGuideFrame = [this](int, int) { return ++tracked, true; };
    alv.Hooks.SelectionVerdict = [this](bool accepted) { verdicts.push_back(accepted); };
    alv.Inputs.MiniSource = [this] { return miniVisible ? &small.Img_Small : nullptr; };
    alv.Inputs.MiniSourceCamera = [this] { return miniCamera; };
    alv.Image3.Bitmap().Fill({1, 2, 3});
    alv.State.processing = true;
  }
  // A frame delivered for a camera and run through the pipeline.
  bool Deliver(int camera, Bgr colour, bool updateResult = true) {
    const CameraState& c = alv.Camera(camera);
    alv.StoreFrame(camera, Frame(c.width, c.height, colour));
    trace.clear();
    return alv.ProcessFrame(updateResult, camera);
  }
};

TEST_F(PipelineFixture, AnAcceptedFrameRunsEveryStageInOrder) {
  EXPECT_TRUE(Deliver(1, {50, 60, 70}));
  EXPECT_EQ(trace, (Trace{"visibility", "live frame", "tracking", "intensity labels",
                          "detection marker", "zone overlay", "accepted", "copy to result",
                          "fish-eye", "full screen", "guided operation"}));
  EXPECT_EQ(alv.Image1.Bitmap().Pixel(63, 47), (Bgr{50, 60, 70}));
  EXPECT_EQ(alv.Image3.Bitmap().Pixel(10, 10), (Bgr{50, 60, 70}));  // display zone copied
  EXPECT_EQ(alv.Image3.Bitmap().Pixel(100, 100), (Bgr{1, 2, 3}));   // outside the frame
  EXPECT_EQ(verdicts, std::vector<bool>{true});
}

TEST_F(PipelineFixture, WithProcessingClearFramesAreOnlyShownWithTheirTime) {
  alv.State.processing = false;
  alv.Inputs.DateTime = [] { return true; };
  std::string drawn;
  alv.Hooks.DrawFrameTime = [&](Image&, const std::string& text) { drawn = text; };
  EXPECT_FALSE(Deliver(1, {9, 9, 9}));
  EXPECT_EQ(trace, (Trace{"visibility", "live frame", "time text"}));
  EXPECT_EQ(alv.Image1.Bitmap().Pixel(0, 0), (Bgr{9, 9, 9}));
  EXPECT_EQ(alv.Image3.Bitmap().Pixel(0, 0), (Bgr{1, 2, 3}));
  EXPECT_EQ(tracked, 0);
  EXPECT_EQ(drawn, "01/01/2026 21:00:00.000");
  EXPECT_EQ(drawn, alv.State.frameTimeText);
}

TEST_F(PipelineFixture, AFrameMotionDetectionRejectsLeavesTheResultPageAlone) {
  struct Case {
    bool armed;
    int level, count;
    bool motion, accepted;
  };
  const Case cases[] = {{true, 10, 5, false, false},
                        {true, 10, 5, true, true},
                        {true, 0, 5, false, true},  // a threshold at 0: no detection
                        {false, 10, 5, false, true}};
  for (const Case& c : cases) {
    alv.Image3.Bitmap().Fill({1, 2, 3});
    verdicts.clear();
    std::vector<std::pair<int, int>> asked;
    alv.Inputs.Motion = [&] { return MotionSetup{c.armed, c.level, c.count}; };
    alv.Hooks.DetectMotion = [&](int level, int count) {
      asked.emplace_back(level, count);
      return c.motion;
    };
    EXPECT_EQ(Deliver(1, {80, 80, 80}), c.accepted);
    EXPECT_EQ(verdicts, std::vector<bool>{c.accepted});
    EXPECT_EQ(alv.Image3.Bitmap().Pixel(0, 0), (c.accepted ? Bgr{80, 80, 80} : Bgr{1, 2, 3}));
    EXPECT_EQ(asked.size(), c.armed && c.level > 0 ? 1u : 0u);
  }
}

TEST_F(PipelineFixture, SourcePagesAreRedrawnOnlyWhenSeen) {
  alv.SetImageCamera(1);
  alv.SetGuideCamera(2);
  struct Case {
    int camera, activePage;
    bool mini;
    int miniCamera;
    bool redrawn;
  };
  const Case cases[] = {
      {1, 0, false, 1, true},  {1, 1, false, 1, false}, {1, 2, true, 1, false},
      {2, 1, false, 2, true},  {2, 0, true, 2, true},   {2, 0, true, 1, false},
      {2, 2, false, 2, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "camera " << c.camera << " page " << c.activePage);
    alv.PGC_Main.SetActivePageIndex(c.activePage);
    miniVisible = c.mini;
    miniCamera = c.miniCamera;
    alv.SourcePage(c.camera).Bitmap().Fill({1, 1, 1});
    small.Img_Small.Bitmap().Fill({1, 1, 1});
    Deliver(c.camera, {90, 90, 90});
    EXPECT_EQ(alv.State.pageVisible, c.redrawn);
    EXPECT_EQ(alv.SourcePage(c.camera).Bitmap().Pixel(0, 0),
              (c.redrawn ? Bgr{90, 90, 90} : Bgr{1, 1, 1}));
    const bool miniShows = c.mini && c.miniCamera == c.camera;
    EXPECT_EQ(small.Img_Small.Bitmap().Pixel(15, 11), (miniShows ? Bgr{90, 90, 90} : Bgr{1, 1, 1}));
  }
}

TEST_F(PipelineFixture, AZoneMoveSeenByOneCameraIsNotSeenAgainByTheOther) {
  alv.SetImageCamera(1);
  alv.SetGuideCamera(2);
  int computed = 0;
  alv.Hooks.ComputeDisplayZone = [&](int camera) {
    EXPECT_EQ(camera, 1);
    ++computed;
  };
  alv.Zones.centreX = 12;
  Deliver(2, kWhite);  // the guide camera sees the move
  EXPECT_TRUE(alv.State.zonesChanged);
  Deliver(1, kWhite);
  EXPECT_FALSE(alv.State.zonesChanged);
  EXPECT_EQ(computed, 0);
  alv.Zones.offsetY = 3;
  Deliver(1, kWhite);
  EXPECT_EQ(computed, 1);
  // Recording a dark: the zone becomes the whole page instead.
  alv.Inputs.IntegrationActive = [] { return true; };
  alv.State.targetBuffer = 1;
  alv.Zones.offsetY = 4;
  Deliver(1, kWhite);
  EXPECT_EQ(computed, 1);
  EXPECT_EQ(alv.Zones.zone, (Rect{0, 0, 64, 48}));
  EXPECT_EQ(alv.Zones.frameZone, (Rect{0, 0, 64, 48}));
}

TEST_F(PipelineFixture, TheIntegerPathComposesTheResult) {
  struct Compose {
    int target;
    bool add, single, permanent;
    bool operator==(const Compose&) const = default;
  };
  std::vector<Compose> composed;
  alv.Hooks.ComposeResult = [&](int t, bool a, bool s, bool p) {
    composed.push_back({t, a, s, p});
  };
  int binning = 2;
  alv.Inputs.Binning = [&](int) { return binning; };
  std::vector<int> cleared;
  alv.Hooks.ClearCells = [&](int t) { cleared.push_back(t); };
  alv.State.targetBuffer = 2;
  Deliver(1, kWhite);
  EXPECT_EQ(composed, (std::vector<Compose>{{2, true, true, false}}));
  EXPECT_EQ(cleared, std::vector<int>{2});  // cleared before the single frame
  EXPECT_EQ(alv.Image3.Bitmap().Pixel(0, 0), (Bgr{1, 2, 3}));
  EXPECT_EQ(alv.ZoneImage().Pixel(0, 0), kWhite);  // zone image refreshed for the compositor

  // Integration composes into its buffer only while it runs and a result is wanted.
  binning = 1;
  bool running = false;
  alv.Inputs.IntegrationActive = [] { return true; };
  alv.Inputs.IntegrationRunning = [&] { return running; };
  alv.State.permanentView = true;
  composed.clear();
  Deliver(1, kWhite);
  running = true;
  Deliver(1, kWhite, false);
  EXPECT_TRUE(composed.empty());
  cleared.clear();
  Deliver(1, kWhite);
  EXPECT_EQ(composed, (std::vector<Compose>{{2, true, false, true}}));
  EXPECT_TRUE(cleared.empty());  // sums kept
}

TEST_F(PipelineFixture, SelectionMeasuresTheZoneAndGivesTheVerdict) {
  alv.Inputs.Selection = [] { return true; };
  bool verdict = false;
  Bgr seen{};
  alv.Hooks.MeasureQuality = [&](const Image& zone) {
    seen = zone.Pixel(0, 0);
    return verdict;
  };
  EXPECT_FALSE(Deliver(1, {4, 5, 6}));
  EXPECT_EQ(seen, (Bgr{4, 5, 6}));
  EXPECT_EQ(trace, (Trace{"visibility", "live frame", "tracking", "intensity labels",
                          "detection marker", "zone overlay", "zone image", "quality measure",
                          "quality feedback", "refused", "guided operation"}));
  verdict = true;
  EXPECT_TRUE(Deliver(1, {4, 5, 6}));
  EXPECT_EQ(alv.Image3.Bitmap().Pixel(0, 0), (Bgr{4, 5, 6}));
}

TEST_F(PipelineFixture, SaturationViewAndReticleDrawOnThePage) {
  alv.Inputs.SaturationView = [] { return true; };
  alv.Inputs.SaturationThreshold = [] { return 200.9; };
  alv.Inputs.Reticle = [] { return true; };
  alv.ReticleOverlay().SetPixel(3, 3, kBlack);
  Image frame = Frame(64, 48, {10, 10, 10});
  frame.SetPixel(1, 1, {0, 200, 0});
  frame.SetPixel(2, 1, {0, 199, 0});
  alv.StoreFrame(1, frame);
  alv.ProcessFrame(true, 1);
  EXPECT_EQ(alv.Image1.Bitmap().Pixel(1, 1), Rgb(255, 0, 0));
  EXPECT_EQ(alv.Image1.Bitmap().Pixel(2, 1), kBlack);
  EXPECT_EQ(alv.Image1.Bitmap().Pixel(3, 3), kWhite);            // the reticle's black merged
  EXPECT_EQ(alv.Image3.Bitmap().Pixel(1, 1), (Bgr{0, 200, 0}));  // the result is the frame
}

TEST_F(PipelineFixture, RawFramesAreDemosaicedUnlessTakenFromTheClipboard) {
  alv.Inputs.RawMode = [] { return true; };
  alv.Inputs.RawPattern = [] { return int{kBayerRG}; };
  Image raw(64, 48);
  for (int y = 0; y < 48; ++y)
    for (int x = 0; x < 64; ++x)
      raw.SetPixel(x, y, {uint8_t(x * 3), uint8_t(y * 5), uint8_t(x + y)});
  Image expected;
  DemosaicRaw(raw, expected, kBayerRG);
  alv.StoreFrame(1, raw);
  for (int y = 0; y < 48; ++y)
    ASSERT_EQ(0, std::memcmp(alv.Slot(1, 0).ScanLine(y), expected.ScanLine(y), 64 * 3));
  alv.StoreFrame(1, raw, false);
  EXPECT_EQ(alv.Slot(1, 0).Pixel(5, 5), raw.Pixel(5, 5));
}

TEST_F(PipelineFixture, RefreshTimersGrabAndFeedTheSequencer) {
  int grabs = 0, saves = 0;
  alv.Hooks.GrabFrame = [&](int camera) {
    ++grabs;
    alv.StoreFrame(camera, Frame(64, 48, kWhite));
  };
  alv.Hooks.SaveFlashImage = [&] { ++saves; };
  alv.Inputs.SaveEvery = [] { return 3; };
  alv.State.sequencerRunning = true;
  alv.Timer_Cam1.SetInterval(100);
  alv.Timer_Cam1.Start();
  loop.RunFor(1000);
  EXPECT_EQ(grabs, 10);
  EXPECT_EQ(alv.State.flashCount, 10);
  EXPECT_EQ(saves, 3);
  EXPECT_EQ(alv.Image3.Bitmap().Pixel(0, 0), kWhite);

  // "Poses longues" chosen: the image camera's timer grabs nothing.
  alv.State.longExposureMode = true;
  loop.RunFor(500);
  EXPECT_EQ(grabs, 10);
  // The modified camera in long exposure: countdown, the frame shown but not composed.
  int countdowns = 0;
  alv.Hooks.LongExposureCountdown = [&] { ++countdowns; };
  alv.Inputs.LongExposureActive = [] { return true; };
  alv.Inputs.ModifiedCamera = [] { return true; };
  alv.Image3.Bitmap().Fill({1, 2, 3});
  loop.RunFor(300);
  EXPECT_EQ(countdowns, 3);
  EXPECT_EQ(alv.Image3.Bitmap().Pixel(0, 0), (Bgr{1, 2, 3}));
  EXPECT_EQ(saves, 3);  // nothing saved during a long exposure
  // A file source is played by the timer instead.
  int steps = 0;
  alv.Hooks.StepPlayer = [&](int camera) { steps += camera; };
  alv.State.fileMode = true;
  loop.RunFor(200);
  EXPECT_EQ(steps, 2);
  EXPECT_EQ(countdowns, 3);
}

TEST_F(PipelineFixture, FrameRateIsWrittenEveryFifthCallbackOfEitherCamera) {
  std::vector<std::pair<int, std::string>> shown;
  alv.Hooks.ShowFrameRate = [&](int camera, const std::string& rate, bool) {
    shown.emplace_back(camera, rate);
  };
  for (int i = 1; i <= 10; ++i) {
    loop.AdvanceClock(40);
    alv.MeasureFrameRate(i % 2 ? 1 : 2, false);
    EXPECT_EQ(shown.size(), static_cast<size_t>(i / 5)) << i;
  }
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[0].first, 1);  // the fifth callback came from camera 1
  EXPECT_EQ(shown[1], (std::pair<int, std::string>{2, "25"}));  // 5 frames in 200 ms
  // A camera start restarts the count.
  alv.MeasureFrameRate(1, false);
  alv.SetCameraFormat(1, 64, 48, 24, true);
  for (int i = 0; i < 4; ++i) alv.MeasureFrameRate(1, false);
  EXPECT_EQ(shown.size(), 2u);
}

TEST(FrameRate, AMeasureAcrossMidnightStaysPositive) {
  VirtualEventLoop loop(MsFromCivil(2026, 1, 1, 23, 59, 59, 900));
  HeadlessDialogs dialogs;
  Application app(loop, dialogs);
  TFRM_Alv alv(app);
  std::string rate;
  alv.Hooks.ShowFrameRate = [&](int, const std::string& r, bool) { rate = r; };
  for (int i = 0; i < 5; ++i) alv.MeasureFrameRate(1, false);
  loop.AdvanceClock(200);  // 00:00:00.100
  for (int i = 0; i < 5; ++i) alv.MeasureFrameRate(1, false);
  EXPECT_EQ(rate, "25");
}

TEST_F(PipelineFixture, ResultPageFollowsZoneSizeBinningAndLoopAspect) {
  int64_t saved = 0;
  alv.Hooks.ShowSavedImageSize = [&](int64_t bytes) { saved = bytes; };
  int binning = 2;
  double s = 101;
  bool loopMode = false;
  alv.Inputs.DisplayZoneSize = [&] { return s; };
  alv.Inputs.Binning = [&](int) { return binning; };
  alv.Inputs.IntegrationActive = [&] { return loopMode; };
  alv.Inputs.IntegrationLoop = [&] { return loopMode; };
  alv.SetCameraFormat(1, 1024, 768, 24, true);
  alv.ResizeResultPage();
  EXPECT_EQ(alv.Image3.Bitmap().Width(), 50);
  EXPECT_EQ(saved, 50 * 38 * 3 + 368);
  EXPECT_EQ(alv.RenderImage().Width(), 50);
  binning = 1;
  s = 320;
  alv.SetCameraFormat(1, 640, 360, 24, true);  // a 16:9 camera
  alv.SetCameraFormat(2, 320, 240, 24, true);  // the other camera leaves the aspect
  alv.ResizeResultPage();
  EXPECT_EQ(alv.Image3.Bitmap().Height(), 180);
  loopMode = true;
  alv.ResizeResultPage();
  EXPECT_EQ(alv.Image3.Bitmap().Height(), 240);
  EXPECT_EQ(alv.RenderImage().Height(), 240);
}

TEST_F(PipelineFixture, VideoFormatsOutsideTheLimitsAreRefusedWithAMessage) {
  std::vector<std::string> lines;
  alv.ShowMessageLine = [&](bool, const std::string& text) { lines.push_back(text); };
  EXPECT_TRUE(alv.AcceptVideoFormat(1024, 768));
  EXPECT_FALSE(alv.AcceptVideoFormat(1025, 768));
  EXPECT_FALSE(alv.AcceptVideoFormat(0, 480));
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_NE(lines[0].find("La taille actuelle est 1025x768, veuillez"), std::string::npos);
  EXPECT_EQ(lines[1], alv.MSG_Cannot_Set_Format);
  // A larger image (from a file) is refused the same way and leaves the slot as it was.
  alv.StoreFrame(1, Frame(64, 48, kWhite));
  EXPECT_FALSE(alv.StoreFrame(1, Frame(1100, 800, kBlack)));
  EXPECT_FALSE(alv.FrameArrived(1, Frame(1100, 800, kBlack)));
  EXPECT_EQ(alv.Slot(1, 0).Width(), 64);
  EXPECT_EQ(alv.Slot(1, 0).Pixel(0, 0), kWhite);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_NE(lines[3].find("La taille actuelle est 1100x800"), std::string::npos);
}

TEST(MainWindow, ImagesAreCreatedOnce) {
  VirtualEventLoop loop;
  HeadlessDialogs dialogs;
  Application app(loop, dialogs);
  for (int i = 0; i < 8; ++i) {
    TFRM_Alv alv(app);
    EXPECT_FALSE(alv.ImagesCreated());
    EXPECT_FALSE(alv.ProcessFrame(true, 1));  // nothing to work on yet
  }
  TFRM_Alv alv(app);
  alv.FormActivate();
  ASSERT_TRUE(alv.ImagesCreated());
  EXPECT_EQ(alv.Slot(2, 2).Width(), 1024);
  EXPECT_EQ(alv.ReticleOverlay().Width(), 800);
  EXPECT_EQ(alv.ReticleOverlay().Pixel(799, 599), kWhite);
  alv.Slot(1, 0).Resize(10, 10);
  alv.FormActivate();  // a later activation keeps what exists
  EXPECT_EQ(alv.Slot(1, 0).Width(), 10);
  alv.FormDestroy();
  EXPECT_FALSE(alv.ImagesCreated());
}

}  // namespace
}  // namespace orniva
