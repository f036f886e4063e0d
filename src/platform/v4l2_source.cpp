#include "platform/v4l2_source.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>

namespace orniva {

namespace {

constexpr int kBufferCount = 4;

std::string CString(const uint8_t* s, size_t max) {
  const size_t n = strnlen(reinterpret_cast<const char*>(s), max);
  return std::string(reinterpret_cast<const char*>(s), n);
}

std::string VersionText(uint32_t v) {
  return std::to_string((v >> 16) & 0xFF) + "." + std::to_string((v >> 8) & 0xFF) + "." +
         std::to_string(v & 0xFF);
}

bool Gone(int err) {
  return err == ENODEV || err == ENXIO || err == EIO || err == EBADF;
}

}  // namespace

V4l2FrameSource::V4l2FrameSource() : scanNodes_(true), opener_(OpenV4l2Device) {}

V4l2FrameSource::V4l2FrameSource(std::vector<std::string> nodes, Opener opener)
    : nodes_(std::move(nodes)), opener_(std::move(opener)) {}

V4l2FrameSource::~V4l2FrameSource() {
  Disconnect();
}

std::vector<std::string> V4l2FrameSource::DeviceNodes() {
  std::vector<std::string> nodes;
  for (int i = 0; i < 64; ++i) {
    const std::string path = "/dev/video" + std::to_string(i);
    std::error_code ec;
    if (std::filesystem::exists(path, ec)) nodes.push_back(path);
  }
  return nodes;
}

std::vector<DriverDescription> V4l2FrameSource::ListDrivers() {
  if (scanNodes_) nodes_ = DeviceNodes();
  devices_.clear();
  std::vector<DriverDescription> list;
  for (const std::string& path : nodes_) {
    if (static_cast<int>(list.size()) == kMaxDrivers) break;
    std::string error;
    std::unique_ptr<V4l2Io> io = opener_(path, error);
    if (!io) continue;
    v4l2_capability cap{};
    if (io->Ioctl(VIDIOC_QUERYCAP, &cap) < 0) continue;
    const uint32_t caps =
        (cap.capabilities & V4L2_CAP_DEVICE_CAPS) ? cap.device_caps : cap.capabilities;
    // Metadata nodes of the same camera have no capture capability.
    if (!(caps & V4L2_CAP_VIDEO_CAPTURE) || !(caps & V4L2_CAP_STREAMING)) continue;
    const std::string name = CString(cap.card, sizeof cap.card);
    devices_.push_back({path, name});
    list.push_back({name, VersionText(cap.version)});
  }
  return list;
}

bool V4l2FrameSource::Fail(const std::string& what, int err) {
  error_ = "Camera " + name_ + " : " + what;
  if (err) error_.append(" (").append(std::strerror(err)).append(")");
  return false;
}

bool V4l2FrameSource::Connect(int driverIndex) {
  Disconnect();
  if (devices_.empty()) ListDrivers();
  if (driverIndex < 0 || driverIndex >= static_cast<int>(devices_.size())) {
    name_ = std::to_string(driverIndex);
    return Fail("pilote introuvable", 0);
  }
  const Device& device = devices_[driverIndex];
  name_ = device.name + " (" + device.path + ")";
  std::string error;
  io_ = opener_(device.path, error);
  if (!io_) return Fail(error, 0);
  converter_ = std::make_unique<V4l2Converter>(*io_);
  format_ = {};
  format_.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
  if (!converter_->Valid() || io_->Ioctl(VIDIOC_G_FMT, &format_) < 0) {
    const int err = errno;
    Disconnect();
    return Fail("format illisible", err);
  }
  if (!V4l2Converter::Convertible(format_.fmt.pix.pixelformat)) {
    // Start in the first format the program can convert.
    const std::vector<VideoFormat> formats = Formats();
    if (formats.empty()) {
      Disconnect();
      return Fail("aucun format utilisable", 0);
    }
    format_.fmt.pix.pixelformat = formats.front().compression;
    format_.fmt.pix.width = formats.front().width;
    format_.fmt.pix.height = formats.front().height;
    format_.fmt.pix.field = V4L2_FIELD_ANY;
    if (io_->Ioctl(VIDIOC_S_FMT, &format_) < 0) {
      const int err = errno;
      Disconnect();
      return Fail("format refuse", err);
    }
  }
  if (!StartCapture()) {
    const std::string reason = error_;
    Disconnect();
    error_ = reason;
    return false;
  }
  return true;
}

void V4l2FrameSource::Disconnect() {
  StopStream();
  if (io_) StopCapture();
  converter_.reset();
  io_.reset();
}

bool V4l2FrameSource::StartCapture() {
  v4l2_requestbuffers req{};
  req.count = kBufferCount;
  req.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
  req.memory = V4L2_MEMORY_MMAP;
  if (io_->Ioctl(VIDIOC_REQBUFS, &req) < 0 || req.count == 0) {
    return Fail("tampons de capture refuses", errno);
  }
  buffers_.clear();
  for (uint32_t i = 0; i < req.count; ++i) {
    v4l2_buffer buf{};
    buf.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    buf.memory = V4L2_MEMORY_MMAP;
    buf.index = i;
    if (io_->Ioctl(VIDIOC_QUERYBUF, &buf) < 0) return Fail("tampon inaccessible", errno);
    void* p = io_->Map(buf.length, buf.m.offset);
    if (!p) return Fail("tampon non projete", errno);
    buffers_.push_back({p, buf.length});
    if (io_->Ioctl(VIDIOC_QBUF, &buf) < 0) return Fail("tampon refuse", errno);
  }
  v4l2_buf_type type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
  if (io_->Ioctl(VIDIOC_STREAMON, &type) < 0) return Fail("capture refusee", errno);
  capturing_ = true;
  return true;
}

void V4l2FrameSource::StopCapture() {
  if (capturing_) {
    v4l2_buf_type type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    io_->Ioctl(VIDIOC_STREAMOFF, &type);
    capturing_ = false;
  }
  for (const Buffer& b : buffers_) io_->Unmap(b.data, b.length);
  buffers_.clear();
  v4l2_requestbuffers req{};
  req.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
  req.memory = V4L2_MEMORY_MMAP;
  io_->Ioctl(VIDIOC_REQBUFS, &req);
}

VideoFormat V4l2FrameSource::GetVideoFormat() {
  if (!io_) return {0, 0, 0, 0, 0, 0};
  const v4l2_pix_format& p = format_.fmt.pix;
  return {40,
          static_cast<int>(p.width),
          static_cast<int>(p.height),
          BitsPerPixel(p.pixelformat),
          p.pixelformat,
          p.sizeimage};
}

std::vector<VideoFormat> V4l2FrameSource::Formats() {
  std::vector<VideoFormat> list;
  if (!io_) return list;
  auto add = [&](uint32_t pixelFormat, uint32_t w, uint32_t h) {
    const int bits = BitsPerPixel(pixelFormat);
    list.push_back({40, static_cast<int>(w), static_cast<int>(h), bits, pixelFormat,
                    static_cast<uint32_t>(static_cast<uint64_t>(w) * h * bits / 8)});
  };
  for (uint32_t i = 0; i < 64; ++i) {
    v4l2_fmtdesc desc{};
    desc.index = i;
    desc.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    if (io_->Ioctl(VIDIOC_ENUM_FMT, &desc) < 0) break;
    if (!V4l2Converter::Convertible(desc.pixelformat)) continue;
    for (uint32_t j = 0; j < 64; ++j) {
      v4l2_frmsizeenum size{};
      size.index = j;
      size.pixel_format = desc.pixelformat;
      if (io_->Ioctl(VIDIOC_ENUM_FRAMESIZES, &size) < 0) {
        // A driver that does not list sizes: offer the current one.
        if (j == 0) add(desc.pixelformat, format_.fmt.pix.width, format_.fmt.pix.height);
        break;
      }
      if (size.type == V4L2_FRMSIZE_TYPE_DISCRETE) {
        add(desc.pixelformat, size.discrete.width, size.discrete.height);
        continue;
      }
      // A range: the usual webcam sizes inside it.
      static constexpr uint32_t usual[][2] = {{160, 120}, {320, 240},  {640, 480},
                                              {800, 600}, {1024, 768}, {1280, 720}};
      for (const auto& u : usual) {
        if (u[0] >= size.stepwise.min_width && u[0] <= size.stepwise.max_width &&
            u[1] >= size.stepwise.min_height && u[1] <= size.stepwise.max_height) {
          add(desc.pixelformat, u[0], u[1]);
        }
      }
      break;
    }
  }
  return list;
}

bool V4l2FrameSource::SetVideoFormat(const VideoFormat& format) {
  if (!io_) return Fail("pas connectee", 0);
  if (Streaming()) return Fail("format inchangeable pendant le flux", 0);
  StopCapture();
  v4l2_format wanted = format_;
  wanted.fmt.pix.width = format.width;
  wanted.fmt.pix.height = format.height;
  wanted.fmt.pix.pixelformat = format.compression;
  wanted.fmt.pix.field = V4L2_FIELD_ANY;
  wanted.fmt.pix.bytesperline = 0;
  wanted.fmt.pix.sizeimage = 0;
  const bool set = io_->Ioctl(VIDIOC_S_FMT, &wanted) >= 0;
  const int err = errno;
  if (set) format_ = wanted;
  if (!StartCapture()) return false;
  return set || Fail("format " + format.Text() + " refuse", err);
}

std::vector<SourceControl> V4l2FrameSource::Controls() {
  std::vector<SourceControl> list;
  if (!io_) return list;
  auto add = [&](const v4l2_queryctrl& q) {
    if (q.flags & (V4L2_CTRL_FLAG_DISABLED | V4L2_CTRL_FLAG_READ_ONLY)) return;
    SourceControl c;
    switch (q.type) {
      case V4L2_CTRL_TYPE_INTEGER:
        c.kind = SourceControl::Kind::Integer;
        break;
      case V4L2_CTRL_TYPE_BOOLEAN:
        c.kind = SourceControl::Kind::Boolean;
        break;
      case V4L2_CTRL_TYPE_MENU:
        c.kind = SourceControl::Kind::Menu;
        break;
      default:
        return;
    }
    c.id = q.id;
    c.name = CString(q.name, sizeof q.name);
    c.minimum = q.minimum;
    c.maximum = q.maximum;
    c.step = q.step > 0 ? q.step : 1;
    c.defaultValue = q.default_value;
    v4l2_control value{q.id, 0};
    c.value = io_->Ioctl(VIDIOC_G_CTRL, &value) >= 0 ? value.value : q.default_value;
    if (c.kind == SourceControl::Kind::Menu) {
      for (int i = q.minimum; i <= q.maximum && i - q.minimum < 64; ++i) {
        v4l2_querymenu m{};
        m.id = q.id;
        m.index = static_cast<uint32_t>(i);
        c.menuItems.push_back(io_->Ioctl(VIDIOC_QUERYMENU, &m) >= 0 ? CString(m.name, sizeof m.name)
                                                                    : std::string());
      }
    }
    list.push_back(std::move(c));
  };
  v4l2_queryctrl q{};
  q.id = V4L2_CTRL_FLAG_NEXT_CTRL;
  if (io_->Ioctl(VIDIOC_QUERYCTRL, &q) >= 0) {
    do {
      add(q);
      q.id |= V4L2_CTRL_FLAG_NEXT_CTRL;
    } while (io_->Ioctl(VIDIOC_QUERYCTRL, &q) >= 0 && list.size() < 256);
    return list;
  }
  // Older drivers: the standard user controls one by one.
  for (uint32_t id = V4L2_CID_BASE; id < V4L2_CID_LASTP1; ++id) {
    q = {};
    q.id = id;
    if (io_->Ioctl(VIDIOC_QUERYCTRL, &q) >= 0) add(q);
  }
  return list;
}

bool V4l2FrameSource::SetControl(uint32_t id, int value) {
  if (!io_) return Fail("pas connectee", 0);
  v4l2_control c{id, value};
  if (io_->Ioctl(VIDIOC_S_CTRL, &c) < 0) return Fail("reglage refuse", errno);
  return true;
}

void V4l2FrameSource::Requeue(uint32_t index) {
  v4l2_buffer buf{};
  buf.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
  buf.memory = V4L2_MEMORY_MMAP;
  buf.index = index;
  io_->Ioctl(VIDIOC_QBUF, &buf);
}

V4l2FrameSource::Dequeue V4l2FrameSource::DequeueInto(Image& frame, std::string& error) {
  v4l2_buffer buf{};
  buf.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
  buf.memory = V4L2_MEMORY_MMAP;
  if (io_->Ioctl(VIDIOC_DQBUF, &buf) < 0) {
    const int err = errno;
    if (err == EAGAIN) return Dequeue::None;
    error = "Camera " + name_ + " : " + (Gone(err) ? "peripherique perdu" : "lecture impossible") +
            " (" + std::strerror(err) + ")";
    return Dequeue::Failed;
  }
  if (buf.index >= buffers_.size()) return Dequeue::None;
  const size_t used = std::min<size_t>(buf.bytesused, buffers_[buf.index].length);
  const bool ok = !(buf.flags & V4L2_BUF_FLAG_ERROR) &&
                  converter_->Convert(
                      format_, static_cast<const uint8_t*>(buffers_[buf.index].data), used, frame);
  Requeue(buf.index);
  if (!ok) error = "Camera " + name_ + " : image illisible (" + converter_->Error() + ")";
  return ok ? Dequeue::Frame : Dequeue::Dropped;
}

bool V4l2FrameSource::GrabFrame(Image& frame) {
  if (!io_) return Fail("pas connectee", 0);
  if (Streaming()) return Fail("capture impossible pendant le flux", 0);
  // Frames queued since the last grab are old: give them back, then wait
  // for a fresh one.
  std::string error;
  for (size_t i = 0; i < buffers_.size(); ++i) {
    v4l2_buffer buf{};
    buf.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    buf.memory = V4L2_MEMORY_MMAP;
    if (io_->Ioctl(VIDIOC_DQBUF, &buf) < 0) {
      if (Gone(errno)) return Fail("peripherique perdu", errno);
      break;
    }
    Requeue(buf.index);
  }
  // A device that says it is ready but has nothing to give is not waited
  // on forever.
  for (int attempt = 0; attempt < 100; ++attempt) {
    switch (io_->WaitFrame(kFrameWaitMs)) {
      case V4l2Io::Wait::Timeout:
        return Fail("aucune image recue", 0);
      case V4l2Io::Wait::Gone:
        return Fail("peripherique perdu", 0);
      case V4l2Io::Wait::Woken:
        continue;
      case V4l2Io::Wait::Ready:
        break;
    }
    switch (DequeueInto(frame, error)) {
      case Dequeue::Frame:
        return true;
      case Dequeue::None:
        continue;
      case Dequeue::Dropped:
      case Dequeue::Failed:
        error_ = error;
        return false;
    }
  }
  return Fail("aucune image recue", 0);
}

bool V4l2FrameSource::StartStream(EventLoop& loop, int framePeriodMs, StreamSink sink) {
  if (!io_) return Fail("pas connectee", 0);
  if (Streaming()) return Fail("flux deja en cours", 0);
  // Ask for the frame period; drivers that fix it keep their own.
  v4l2_streamparm parm{};
  parm.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
  parm.parm.capture.timeperframe = {static_cast<uint32_t>(std::max(1, framePeriodMs)), 1000};
  io_->Ioctl(VIDIOC_S_PARM, &parm);
  stopRequested_ = false;
  thread_ =
      std::make_unique<CaptureThread>(loop, static_cast<FrameReader&>(*this), std::move(sink));
  return true;
}

void V4l2FrameSource::StopStream() {
  if (!thread_) return;
  stopRequested_ = true;
  thread_->Stop();
  lastStats_ = thread_->Stats();
  thread_.reset();
}

FrameReader::Result V4l2FrameSource::ReadFrame(Image& frame, std::string& error) {
  int timeouts = 0;
  while (!stopRequested_) {
    switch (io_->WaitFrame(kFrameWaitMs)) {
      case V4l2Io::Wait::Woken:
        continue;  // a stop is checked by the loop condition
      case V4l2Io::Wait::Timeout:
        if (++timeouts < kStreamTimeouts) continue;
        error = "Camera " + name_ + " : plus aucune image recue";
        return Result::Failed;
      case V4l2Io::Wait::Gone:
        error = "Camera " + name_ + " : peripherique perdu";
        return Result::Failed;
      case V4l2Io::Wait::Ready:
        break;
    }
    timeouts = 0;
    switch (DequeueInto(frame, error)) {
      case Dequeue::Frame:
        return Result::Frame;
      case Dequeue::Failed:
        return Result::Failed;
      case Dequeue::None:
      case Dequeue::Dropped:  // undecodable frames are skipped
        continue;
    }
  }
  return Result::Stopped;
}

void V4l2FrameSource::Wake() {
  io_->Wake();
}

}  // namespace orniva
