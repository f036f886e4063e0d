#pragma once

// A capture device behind the V4L2 calls: formats, frame sizes, controls,
// memory-mapped buffers and a frame producer, answering the ioctls a webcam
// driver answers. Frames "arrive" as soon as a buffer is queued, up to a
// limit the test raises; unplugging makes every call fail like a removed
// USB camera.
#include <linux/version.h>
#include <linux/videodev2.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "platform/v4l2_io.h"

namespace orniva {

class FakeV4l2Device : public V4l2Io {
 public:
  struct Size {
    uint32_t pixelFormat, width, height;
  };
  struct Control {
    v4l2_queryctrl query;
    int value;
    std::vector<std::string> menu;
  };
  using Producer = std::function<std::vector<uint8_t>(const v4l2_format&, int frameNumber)>;

  std::string card = "Fake Cam";
  uint32_t caps = V4L2_CAP_VIDEO_CAPTURE | V4L2_CAP_STREAMING;
  std::vector<Size> sizes;
  std::vector<Control> controls;
  Producer produce;

  FakeV4l2Device() { current_.type = V4L2_BUF_TYPE_VIDEO_CAPTURE; }
  void SetCurrent(uint32_t pixelFormat, uint32_t w, uint32_t h) {
    std::lock_guard lock(m_);
    Fill(current_, pixelFormat, w, h);
  }
  // Lets count more frames arrive.
  void AllowFrames(int count) {
    std::lock_guard lock(m_);
    allowed_ += count;
    cv_.notify_all();
  }
  void Unplug() {
    std::lock_guard lock(m_);
    unplugged_ = true;
    cv_.notify_all();
  }
  int Produced() {
    std::lock_guard lock(m_);
    return produced_;
  }
  int Waiting() {
    std::lock_guard lock(m_);
    return waiting_;
  }
  bool Streaming() {
    std::lock_guard lock(m_);
    return streaming_;
  }
  uint32_t PeriodMs() {
    std::lock_guard lock(m_);
    return periodMs_;
  }

  int Fd() const override { return 1000; }

  int Ioctl(unsigned long request, void* arg) override {
    std::lock_guard lock(m_);
    if (unplugged_) return Err(ENODEV);
    switch (request) {
      case VIDIOC_QUERYCAP: {
        auto* c = static_cast<v4l2_capability*>(arg);
        *c = {};
        std::strncpy(reinterpret_cast<char*>(c->driver), "fake", sizeof c->driver - 1);
        std::strncpy(reinterpret_cast<char*>(c->card), card.c_str(), sizeof c->card - 1);
        std::strncpy(reinterpret_cast<char*>(c->bus_info), "usb-fake", sizeof c->bus_info - 1);
        c->version = KERNEL_VERSION(6, 1, 0);
        c->capabilities = caps | V4L2_CAP_DEVICE_CAPS;
        c->device_caps = caps;
        return 0;
      }
      case VIDIOC_ENUM_FMT: {
        auto* d = static_cast<v4l2_fmtdesc*>(arg);
        std::vector<uint32_t> kinds;
        for (const Size& s : sizes) {
          if (std::find(kinds.begin(), kinds.end(), s.pixelFormat) == kinds.end()) {
            kinds.push_back(s.pixelFormat);
          }
        }
        if (d->type != V4L2_BUF_TYPE_VIDEO_CAPTURE || d->index >= kinds.size()) return Err(EINVAL);
        d->pixelformat = kinds[d->index];
        d->flags = d->pixelformat == V4L2_PIX_FMT_MJPEG ? V4L2_FMT_FLAG_COMPRESSED : 0;
        std::snprintf(reinterpret_cast<char*>(d->description), sizeof d->description, "format %u",
                      d->index);
        return 0;
      }
      case VIDIOC_ENUM_FRAMESIZES: {
        auto* f = static_cast<v4l2_frmsizeenum*>(arg);
        uint32_t n = 0;
        for (const Size& s : sizes) {
          if (s.pixelFormat != f->pixel_format) continue;
          if (n++ == f->index) {
            f->type = V4L2_FRMSIZE_TYPE_DISCRETE;
            f->discrete = {s.width, s.height};
            return 0;
          }
        }
        return Err(EINVAL);
      }
      case VIDIOC_G_FMT:
        *static_cast<v4l2_format*>(arg) = current_;
        return 0;
      case VIDIOC_TRY_FMT:
      case VIDIOC_S_FMT: {
        auto* f = static_cast<v4l2_format*>(arg);
        const Size* match = nullptr;
        for (const Size& s : sizes) {
          if (s.pixelFormat != f->fmt.pix.pixelformat) continue;
          if (!match) match = &s;  // drivers fall back to a size they have
          if (s.width == f->fmt.pix.width && s.height == f->fmt.pix.height) {
            match = &s;
            break;
          }
        }
        if (!match) return Err(EINVAL);
        if (request == VIDIOC_S_FMT && !buffers_.empty()) return Err(EBUSY);
        Fill(*f, match->pixelFormat, match->width, match->height);
        if (request == VIDIOC_S_FMT) current_ = *f;
        return 0;
      }
      case VIDIOC_REQBUFS: {
        auto* r = static_cast<v4l2_requestbuffers*>(arg);
        if (streaming_) return Err(EBUSY);
        buffers_.assign(std::min<uint32_t>(r->count, 4),
                        std::vector<uint8_t>(current_.fmt.pix.sizeimage));
        queued_.clear();
        r->count = static_cast<uint32_t>(buffers_.size());
        return 0;
      }
      case VIDIOC_QUERYBUF: {
        auto* b = static_cast<v4l2_buffer*>(arg);
        if (b->index >= buffers_.size()) return Err(EINVAL);
        b->length = static_cast<uint32_t>(buffers_[b->index].size());
        b->m.offset = b->index * kOffsetStep;
        return 0;
      }
      case VIDIOC_QBUF: {
        auto* b = static_cast<v4l2_buffer*>(arg);
        if (b->index >= buffers_.size()) return Err(EINVAL);
        queued_.push_back(b->index);
        cv_.notify_all();
        return 0;
      }
      case VIDIOC_DQBUF: {
        auto* b = static_cast<v4l2_buffer*>(arg);
        if (!streaming_ || queued_.empty() || produced_ >= allowed_) return Err(EAGAIN);
        const uint32_t index = queued_.front();
        queued_.pop_front();
        std::vector<uint8_t> data = produce(current_, produced_++);
        std::vector<uint8_t>& buf = buffers_[index];
        const size_t n = std::min(data.size(), buf.size());
        std::memcpy(buf.data(), data.data(), n);
        b->index = index;
        b->bytesused = static_cast<uint32_t>(n);
        b->flags = 0;
        return 0;
      }
      case VIDIOC_STREAMON:
        streaming_ = true;
        cv_.notify_all();
        return 0;
      case VIDIOC_STREAMOFF:
        streaming_ = false;
        queued_.clear();
        return 0;
      case VIDIOC_S_PARM: {
        auto* p = static_cast<v4l2_streamparm*>(arg);
        const v4l2_fract t = p->parm.capture.timeperframe;
        periodMs_ = t.denominator ? t.numerator * 1000 / t.denominator : 0;
        return 0;
      }
      case VIDIOC_QUERYCTRL: {
        auto* q = static_cast<v4l2_queryctrl*>(arg);
        const bool next = q->id & V4L2_CTRL_FLAG_NEXT_CTRL;
        const uint32_t id = q->id & ~V4L2_CTRL_FLAG_NEXT_CTRL;
        for (const Control& c : controls) {
          if (next ? c.query.id > id : c.query.id == id) {
            *q = c.query;
            return 0;
          }
        }
        return Err(EINVAL);
      }
      case VIDIOC_QUERYMENU: {
        auto* q = static_cast<v4l2_querymenu*>(arg);
        for (const Control& c : controls) {
          if (c.query.id != q->id) continue;
          const int i = static_cast<int>(q->index) - c.query.minimum;
          if (i < 0 || i >= static_cast<int>(c.menu.size())) return Err(EINVAL);
          std::strncpy(reinterpret_cast<char*>(q->name), c.menu[i].c_str(), sizeof q->name - 1);
          return 0;
        }
        return Err(EINVAL);
      }
      case VIDIOC_G_CTRL:
      case VIDIOC_S_CTRL: {
        auto* v = static_cast<v4l2_control*>(arg);
        for (Control& c : controls) {
          if (c.query.id != v->id) continue;
          if (request == VIDIOC_G_CTRL) {
            v->value = c.value;
            return 0;
          }
          if (v->value < c.query.minimum || v->value > c.query.maximum) return Err(ERANGE);
          c.value = v->value;
          return 0;
        }
        return Err(EINVAL);
      }
      default:
        return Err(ENOTTY);
    }
  }

  void* Map(size_t length, off_t offset) override {
    std::lock_guard lock(m_);
    const size_t index = static_cast<size_t>(offset) / kOffsetStep;
    if (index >= buffers_.size() || length > buffers_[index].size()) return nullptr;
    return buffers_[index].data();
  }
  void Unmap(void*, size_t) override {}

  Wait WaitFrame(int timeoutMs) override {
    std::unique_lock lock(m_);
    ++waiting_;
    const bool ready = cv_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] {
      return woken_ || unplugged_ || (streaming_ && !queued_.empty() && produced_ < allowed_);
    });
    --waiting_;
    if (woken_) {
      woken_ = false;
      return Wait::Woken;
    }
    if (unplugged_) return Wait::Gone;
    return ready ? Wait::Ready : Wait::Timeout;
  }
  void Wake() override {
    std::lock_guard lock(m_);
    woken_ = true;
    cv_.notify_all();
  }

 private:
  static constexpr size_t kOffsetStep = 0x100000;

  static int Err(int e) {
    errno = e;
    return -1;
  }
  static void Fill(v4l2_format& f, uint32_t pixelFormat, uint32_t w, uint32_t h) {
    f.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    f.fmt.pix.pixelformat = pixelFormat;
    f.fmt.pix.width = w;
    f.fmt.pix.height = h;
    f.fmt.pix.field = V4L2_FIELD_NONE;
    uint32_t bpl = w, size = w * h;
    switch (pixelFormat) {
      case V4L2_PIX_FMT_YUYV:
        bpl = 2 * w;
        size = 2 * w * h;
        break;
      case V4L2_PIX_FMT_RGB24:
      case V4L2_PIX_FMT_BGR24:
        bpl = 3 * w;
        size = 3 * w * h;
        break;
      case V4L2_PIX_FMT_MJPEG:
        bpl = 0;
        size = 3 * w * h + 4096;
        break;
      default:
        break;
    }
    f.fmt.pix.bytesperline = bpl;
    f.fmt.pix.sizeimage = size;
  }

  std::mutex m_;
  std::condition_variable cv_;
  v4l2_format current_{};
  std::vector<std::vector<uint8_t>> buffers_;
  std::deque<uint32_t> queued_;
  bool streaming_ = false;
  bool woken_ = false;
  bool unplugged_ = false;
  int produced_ = 0;
  int allowed_ = 1 << 30;
  int waiting_ = 0;
  uint32_t periodMs_ = 0;
};

}  // namespace orniva
