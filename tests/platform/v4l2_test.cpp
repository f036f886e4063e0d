// The V4L2 back end against a fake device behind the ioctl calls: the
// conversion of every webcam format to BGR through libv4lconvert, the driver
// list, formats, controls, grabbing, streaming on a capture thread with
// dropped frames counted, and a camera pulled out mid-stream.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "acquisition/jpeg_file.h"
#include "core/virtual_event_loop.h"
#include "fake_v4l2_device.h"
#include "platform/v4l2_convert.h"
#include "platform/v4l2_source.h"

namespace orniva {
namespace {

using Bytes = std::vector<uint8_t>;

// YUV of pure colours (studio range), as a webcam sends them.
struct Yuv {
  uint8_t y, u, v;
};
constexpr Yuv kRedYuv{81, 90, 240};
constexpr Yuv kBlueYuv{41, 240, 110};

// Left half red, right half blue.
Bytes YuyvFrame(uint32_t w, uint32_t h) {
  Bytes v(2 * w * h);
  for (uint32_t y = 0; y < h; ++y) {
    for (uint32_t x = 0; x < w; x += 2) {
      const Yuv c = x < w / 2 ? kRedYuv : kBlueYuv;
      uint8_t* p = v.data() + 2 * (y * w + x);
      p[0] = c.y;
      p[1] = c.u;
      p[2] = c.y;
      p[3] = c.v;
    }
  }
  return v;
}

// Green-blue / red-green sensor (BGGR) under a uniform light of the given
// red, green and blue levels.
Bytes BayerFrame(uint32_t w, uint32_t h, uint8_t r, uint8_t g, uint8_t b) {
  Bytes v(w * h);
  for (uint32_t y = 0; y < h; ++y) {
    for (uint32_t x = 0; x < w; ++x) {
      v[y * w + x] = (y % 2 == 0) ? (x % 2 == 0 ? b : g) : (x % 2 == 0 ? g : r);
    }
  }
  return v;
}

Bytes Rgb24Frame(uint32_t w, uint32_t h) {
  Bytes v(3 * w * h);
  for (uint32_t y = 0; y < h; ++y) {
    for (uint32_t x = 0; x < w; ++x) {
      uint8_t* p = v.data() + 3 * (y * w + x);
      p[0] = static_cast<uint8_t>(x * 10);  // red
      p[1] = static_cast<uint8_t>(y * 20);  // green
      p[2] = 7;                             // blue
    }
  }
  return v;
}

Image Gradient(int w, int h) {
  Image img(w, h);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      img.SetPixel(x, y, Rgb(static_cast<uint8_t>(x * 2), static_cast<uint8_t>(y * 3), 90));
    }
  }
  return img;
}

Bytes MjpegFrame(uint32_t w, uint32_t h) {
  Bytes jpeg;
  EncodeJpeg(Gradient(static_cast<int>(w), static_cast<int>(h)), 90, jpeg);
  return jpeg;
}

// Frames of whatever the current format is; the first byte of an
// uncompressed frame is marked with the frame number when asked.
Bytes AnyFrame(const v4l2_format& f, int) {
  const uint32_t w = f.fmt.pix.width, h = f.fmt.pix.height;
  switch (f.fmt.pix.pixelformat) {
    case V4L2_PIX_FMT_YUYV:
      return YuyvFrame(w, h);
    case V4L2_PIX_FMT_MJPEG:
      return MjpegFrame(w, h);
    case V4L2_PIX_FMT_SBGGR8:
      return BayerFrame(w, h, 50, 100, 200);
    default:
      return Rgb24Frame(w, h);
  }
}

bool Near(Bgr a, Bgr b, int tolerance) {
  return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance &&
         std::abs(a.b - b.b) <= tolerance;
}

v4l2_format Format(uint32_t pixelFormat, uint32_t w, uint32_t h, uint32_t size) {
  v4l2_format f{};
  f.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
  f.fmt.pix.pixelformat = pixelFormat;
  f.fmt.pix.width = w;
  f.fmt.pix.height = h;
  f.fmt.pix.field = V4L2_FIELD_NONE;
  f.fmt.pix.bytesperline = pixelFormat == V4L2_PIX_FMT_YUYV     ? 2 * w
                           : pixelFormat == V4L2_PIX_FMT_RGB24  ? 3 * w
                           : pixelFormat == V4L2_PIX_FMT_SBGGR8 ? w
                                                                : 0;
  f.fmt.pix.sizeimage = size;
  return f;
}

void MakeWebcam(FakeV4l2Device& dev) {
  dev.sizes = {{V4L2_PIX_FMT_YUYV, 640, 480},
               {V4L2_PIX_FMT_YUYV, 320, 240},
               {V4L2_PIX_FMT_MJPEG, 640, 480},
               {V4L2_PIX_FMT_MJPEG, 1280, 720},
               {V4L2_PIX_FMT_SBGGR8, 64, 48},
               {V4L2_PIX_FMT_RGB24, 10, 6},
               {v4l2_fourcc('H', '2', '6', '4'), 640, 480}};
  dev.SetCurrent(V4L2_PIX_FMT_YUYV, 640, 480);
  dev.produce = AnyFrame;
}

TEST(V4l2Converter, EveryWebcamFormatArrivesAsBgr) {
  FakeV4l2Device dev;
  MakeWebcam(dev);
  V4l2Converter conv(dev);
  ASSERT_TRUE(conv.Valid());

  Image img;
  Bytes yuyv = YuyvFrame(64, 48);
  ASSERT_TRUE(
      conv.Convert(Format(V4L2_PIX_FMT_YUYV, 64, 48, yuyv.size()), yuyv.data(), yuyv.size(), img))
      << conv.Error();
  ASSERT_EQ(img.Width(), 64);
  ASSERT_EQ(img.Height(), 48);
  EXPECT_TRUE(Near(img.Pixel(5, 5), Rgb(255, 0, 0), 16)) << int(img.Pixel(5, 5).r);
  EXPECT_TRUE(Near(img.Pixel(60, 40), Rgb(0, 0, 255), 16))
      << int(img.Pixel(60, 40).r) << " " << int(img.Pixel(60, 40).g) << " "
      << int(img.Pixel(60, 40).b);

  Bytes bayer = BayerFrame(64, 48, 50, 100, 200);
  ASSERT_TRUE(conv.Convert(Format(V4L2_PIX_FMT_SBGGR8, 64, 48, bayer.size()), bayer.data(),
                           bayer.size(), img))
      << conv.Error();
  EXPECT_TRUE(Near(img.Pixel(31, 21), Rgb(50, 100, 200), 3));

  // Width 10: rows of the image are padded, the converter's are not.
  Bytes rgb = Rgb24Frame(10, 6);
  ASSERT_TRUE(
      conv.Convert(Format(V4L2_PIX_FMT_RGB24, 10, 6, rgb.size()), rgb.data(), rgb.size(), img))
      << conv.Error();
  for (int y = 0; y < 6; ++y) {
    for (int x = 0; x < 10; ++x) {
      ASSERT_EQ(img.Pixel(x, y), Rgb(x * 10, y * 20, 7)) << x << "," << y;
    }
  }

  Bytes mjpeg = MjpegFrame(80, 64);
  ASSERT_TRUE(conv.Convert(Format(V4L2_PIX_FMT_MJPEG, 80, 64, 80 * 64 * 3), mjpeg.data(),
                           mjpeg.size(), img))
      << conv.Error();
  ASSERT_EQ(img.Width(), 80);
  Image expected = Gradient(80, 64);
  int far = 0;
  for (int y = 0; y < 64; ++y) {
    for (int x = 0; x < 80; ++x) far += !Near(img.Pixel(x, y), expected.Pixel(x, y), 12);
  }
  EXPECT_LT(far, 80 * 64 / 100);
}

TEST(V4l2Converter, UndecodableFrameLeavesTheImageAlone) {
  FakeV4l2Device dev;
  MakeWebcam(dev);
  V4l2Converter conv(dev);
  Image img(7, 5);
  img.Fill(Rgb(1, 2, 3));
  Bytes garbage(500, 0x5A);
  EXPECT_FALSE(conv.Convert(Format(V4L2_PIX_FMT_MJPEG, 64, 48, 64 * 48 * 3), garbage.data(),
                            garbage.size(), img));
  EXPECT_FALSE(conv.Error().empty());
  EXPECT_EQ(img.Width(), 7);
  EXPECT_EQ(img.Pixel(3, 3), Rgb(1, 2, 3));
}

// A source whose device nodes are fake devices; "broken" paths cannot be
// opened and "meta" paths are metadata nodes without capture.
struct FakeBench {
  std::map<std::string, FakeV4l2Device*> devices;
  std::vector<std::unique_ptr<FakeV4l2Device>> owned;

  FakeV4l2Device& Add(const std::string& path,
                      const std::function<void(FakeV4l2Device&)>& setup = MakeWebcam) {
    owned.push_back(std::make_unique<FakeV4l2Device>());
    setup(*owned.back());
    devices[path] = owned.back().get();
    return *owned.back();
  }
  V4l2FrameSource::Opener Opener() {
    return [this](const std::string& path, std::string& error) -> std::unique_ptr<V4l2Io> {
      auto it = devices.find(path);
      if (it == devices.end()) {
        error = path + " : introuvable";
        return nullptr;
      }
      return std::make_unique<Handle>(*it->second);
    };
  }
  // Each open is a handle on the same device, as with a real node.
  struct Handle : V4l2Io {
    explicit Handle(FakeV4l2Device& d) : dev(d) {}
    FakeV4l2Device& dev;
    int Fd() const override { return dev.Fd(); }
    int Ioctl(unsigned long r, void* a) override { return dev.Ioctl(r, a); }
    void* Map(size_t l, off_t o) override { return dev.Map(l, o); }
    void Unmap(void* a, size_t l) override { dev.Unmap(a, l); }
    Wait WaitFrame(int t) override { return dev.WaitFrame(t); }
    void Wake() override { dev.Wake(); }
  };
};

TEST(V4l2Source, DriverListHoldsCaptureDevicesInOrderAtMostTen) {
  for (int count : {4, 12}) {
    FakeBench bench;
    std::vector<std::string> nodes;
    for (int i = 0; i < count; ++i) {
      nodes.push_back("/dev/video" + std::to_string(2 * i));
      bench.Add(nodes.back()).card = "Cam " + std::to_string(i);
      // The metadata node every UVC camera has beside its capture node.
      nodes.push_back("/dev/video" + std::to_string(2 * i + 1));
      bench.Add(nodes.back()).caps = V4L2_CAP_META_CAPTURE | V4L2_CAP_STREAMING;
    }
    nodes.insert(nodes.begin() + 2, "/dev/video99");  // cannot be opened
    V4l2FrameSource source(nodes, bench.Opener());
    const std::vector<DriverDescription> list = source.ListDrivers();
    ASSERT_EQ(static_cast<int>(list.size()), std::min(count, 10));
    for (size_t i = 0; i < list.size(); ++i) {
      EXPECT_EQ(list[i].Text(), "Cam " + std::to_string(i) + " 6.1.0");
    }
    // Index 1 of the list is the second capture device, not a metadata node.
    ASSERT_TRUE(source.Connect(1)) << source.LastError();
    EXPECT_TRUE(bench.devices["/dev/video2"]->Streaming());
  }
}

TEST(V4l2Source, NoDeviceMeansNoDriverAndAClearMessage) {
  // A node that opens but is no capture device is not listed either.
  V4l2FrameSource source({"/nonexistent/video0", "/dev/null"});
  EXPECT_TRUE(source.ListDrivers().empty());
  EXPECT_FALSE(source.Connect(0));
  EXPECT_NE(source.LastError().find("introuvable"), std::string::npos);
  std::string error;
  EXPECT_EQ(OpenV4l2Device("/nonexistent/video0", error), nullptr);
  EXPECT_NE(error.find("/nonexistent/video0"), std::string::npos);
}

TEST(V4l2Source, FormatsGrabAndFormatChange) {
  FakeBench bench;
  bench.Add("/dev/video0");
  V4l2FrameSource source({"/dev/video0"}, bench.Opener());
  ASSERT_TRUE(source.Connect(0)) << source.LastError();
  const VideoFormat current = source.GetVideoFormat();
  EXPECT_EQ(current.Text(), "YUYV 640x480");
  EXPECT_EQ(current.bitCount, 16);
  EXPECT_EQ(current.imageSize, 640u * 480 * 2);

  std::vector<std::string> offered;
  for (const VideoFormat& f : source.Formats()) offered.push_back(f.Text());
  // The H.264 stream is not offered: it cannot be turned into frames here.
  EXPECT_EQ(offered, (std::vector<std::string>{"YUYV 640x480", "YUYV 320x240", "MJPG 640x480",
                                               "MJPG 1280x720", "BA81 64x48", "RGB3 10x6"}));

  Image frame;
  ASSERT_TRUE(source.GrabFrame(frame)) << source.LastError();
  EXPECT_EQ(frame.Width(), 640);
  EXPECT_TRUE(Near(frame.Pixel(10, 10), Rgb(255, 0, 0), 12));

  ASSERT_TRUE(source.SetVideoFormat(source.Formats()[2])) << source.LastError();
  EXPECT_EQ(source.GetVideoFormat().Text(), "MJPG 640x480");
  ASSERT_TRUE(source.GrabFrame(frame)) << source.LastError();
  EXPECT_TRUE(Near(frame.Pixel(100, 100), Rgb(200, 44, 90), 12));

  ASSERT_TRUE(source.SetVideoFormat(source.Formats()[5]));
  ASSERT_TRUE(source.GrabFrame(frame));
  EXPECT_EQ(frame.Width(), 10);
  EXPECT_EQ(frame.Pixel(9, 5), Rgb(90, 100, 7));
}

TEST(V4l2Source, ControlsOfTheSourceDialog) {
  FakeBench bench;
  FakeV4l2Device& dev = bench.Add("/dev/video0");
  auto query = [](uint32_t id, const char* name, v4l2_ctrl_type type, int min, int max, int def,
                  uint32_t flags = 0) {
    v4l2_queryctrl q{};
    q.id = id;
    std::strncpy(reinterpret_cast<char*>(q.name), name, sizeof q.name - 1);
    q.type = type;
    q.minimum = min;
    q.maximum = max;
    q.step = 1;
    q.default_value = def;
    q.flags = flags;
    return q;
  };
  dev.controls = {
      {query(V4L2_CID_BRIGHTNESS, "Brightness", V4L2_CTRL_TYPE_INTEGER, 0, 255, 128), 140, {}},
      {query(V4L2_CID_AUTOGAIN, "Gain, Automatic", V4L2_CTRL_TYPE_BOOLEAN, 0, 1, 1), 1, {}},
      {query(V4L2_CID_POWER_LINE_FREQUENCY, "Power Line Frequency", V4L2_CTRL_TYPE_MENU, 0, 2, 1),
       2,
       {"Disabled", "50 Hz", "60 Hz"}},
      {query(V4L2_CID_GAIN, "Gain", V4L2_CTRL_TYPE_INTEGER, 0, 100, 0,
             V4L2_CTRL_FLAG_INACTIVE | V4L2_CTRL_FLAG_DISABLED),
       0,
       {}},
  };
  V4l2FrameSource source({"/dev/video0"}, bench.Opener());
  ASSERT_TRUE(source.Connect(0));
  std::vector<SourceControl> controls = source.Controls();
  ASSERT_EQ(controls.size(), 3u);
  EXPECT_EQ(controls[0].name, "Brightness");
  EXPECT_EQ(controls[0].value, 140);
  EXPECT_EQ(controls[0].maximum, 255);
  EXPECT_EQ(controls[1].kind, SourceControl::Kind::Boolean);
  EXPECT_EQ(controls[2].kind, SourceControl::Kind::Menu);
  EXPECT_EQ(controls[2].menuItems, (std::vector<std::string>{"Disabled", "50 Hz", "60 Hz"}));

  EXPECT_TRUE(source.SetControl(V4L2_CID_BRIGHTNESS, 30));
  EXPECT_EQ(source.Controls()[0].value, 30);
  EXPECT_FALSE(source.SetControl(V4L2_CID_BRIGHTNESS, 999));
  EXPECT_NE(source.LastError().find("Fake Cam"), std::string::npos);
}

// Waits, without running the loop, until the capture thread has done
// something (a few seconds at most).
bool WaitUntil(const std::function<bool()>& pred) {
  for (int i = 0; i < 5000 && !pred(); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  return pred();
}

// Runs what the capture thread posts until pred holds (a few seconds at most).
bool PumpUntil(VirtualEventLoop& loop, const std::function<bool()>& pred) {
  for (int i = 0; i < 5000; ++i) {
    loop.ProcessPending();
    if (pred()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return false;
}

TEST(V4l2Source, StreamDeliversOnTheLoopThreadAndCountsDroppedFrames) {
  FakeBench bench;
  FakeV4l2Device& dev = bench.Add("/dev/video0");
  dev.AllowFrames(-(1 << 30));  // nothing arrives until the test says so
  V4l2FrameSource source({"/dev/video0"}, bench.Opener());
  ASSERT_TRUE(source.Connect(0));
  VirtualEventLoop loop;
  const std::thread::id loopThread = std::this_thread::get_id();
  int frames = 0;
  bool onLoopThread = true;
  Bgr firstPixel;
  ASSERT_TRUE(source.StartStream(loop, 40,
                                 {[&](const Image& f) {
                                    ++frames;
                                    onLoopThread &= std::this_thread::get_id() == loopThread;
                                    firstPixel = f.Pixel(0, 0);
                                  },
                                  nullptr}));
  EXPECT_EQ(dev.PeriodMs(), 40u);
  EXPECT_TRUE(source.Streaming());
  Image grabbed;
  EXPECT_FALSE(source.GrabFrame(grabbed));

  // The loop is busy while ten frames arrive: one waits, nine are dropped.
  dev.AllowFrames(10);
  ASSERT_TRUE(WaitUntil([&] { return dev.Produced() == 10 && dev.Waiting() > 0; }));
  EXPECT_EQ(frames, 0);
  loop.ProcessPending();
  EXPECT_EQ(frames, 1);
  EXPECT_EQ(source.Stats().delivered, 1);
  EXPECT_EQ(source.Stats().dropped, 9);
  EXPECT_TRUE(onLoopThread);
  EXPECT_TRUE(Near(firstPixel, Rgb(255, 0, 0), 12));

  // A loop that keeps up loses nothing.
  const StreamStats before = source.Stats();
  for (int i = 0; i < 5; ++i) {
    dev.AllowFrames(1);
    const int64_t want = before.delivered + i + 1;
    ASSERT_TRUE(PumpUntil(loop, [&] { return source.Stats().delivered == want; }));
  }
  EXPECT_EQ(source.Stats().dropped, before.dropped);

  source.StopStream();
  EXPECT_FALSE(source.Streaming());
  EXPECT_EQ(source.Stats().delivered, frames);
  // No frame reaches the sink after the stop, and grabbing works again.
  dev.AllowFrames(3);
  loop.ProcessPending();
  EXPECT_EQ(source.Stats().delivered, frames);
  dev.AllowFrames(10);
  EXPECT_TRUE(source.GrabFrame(grabbed)) << source.LastError();
}

TEST(V4l2Source, CameraPulledOutMidStreamStopsWithAMessage) {
  FakeBench bench;
  FakeV4l2Device& dev = bench.Add("/dev/video0");
  V4l2FrameSource source({"/dev/video0"}, bench.Opener());
  ASSERT_TRUE(source.Connect(0));
  VirtualEventLoop loop;
  std::string failure;
  int frames = 0;
  ASSERT_TRUE(source.StartStream(loop, 33,
                                 {[&](const Image&) { ++frames; },
                                  [&](const std::string& message) {
                                    failure = message;
                                    source.StopStream();  // what the camera's stop does
                                  }}));
  ASSERT_TRUE(PumpUntil(loop, [&] { return frames > 0; }));
  dev.Unplug();
  ASSERT_TRUE(PumpUntil(loop, [&] { return !failure.empty(); }));
  EXPECT_NE(failure.find("Fake Cam"), std::string::npos) << failure;
  EXPECT_FALSE(source.Streaming());
  Image frame;
  EXPECT_FALSE(source.GrabFrame(frame));
  EXPECT_NE(source.LastError().find("perdu"), std::string::npos) << source.LastError();
  source.Disconnect();
  EXPECT_FALSE(source.Connected());
}

TEST(V4l2Source, StopEndsAThreadWaitingForAFrame) {
  FakeBench bench;
  FakeV4l2Device& dev = bench.Add("/dev/video0");
  dev.AllowFrames(-(1 << 30));
  V4l2FrameSource source({"/dev/video0"}, bench.Opener());
  ASSERT_TRUE(source.Connect(0));
  VirtualEventLoop loop;
  ASSERT_TRUE(source.StartStream(loop, 100, {}));
  ASSERT_TRUE(WaitUntil([&] { return dev.Waiting() > 0; }));
  source.Disconnect();  // stops the stream first
  EXPECT_FALSE(source.Streaming());
  EXPECT_FALSE(dev.Streaming());
}

}  // namespace
}  // namespace orniva
