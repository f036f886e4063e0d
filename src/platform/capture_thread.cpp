#include "platform/capture_thread.h"

#include <mutex>
#include <utility>

namespace orniva {

struct CaptureThread::Shared {
  StreamSink sink;
  std::mutex mutex;
  Image pending;              // guarded by mutex
  bool pendingValid = false;  // guarded by mutex
  int64_t dropped = 0;        // guarded by mutex
  Image shown;                // loop thread only
  bool active = true;         // loop thread only
  int64_t delivered = 0;      // loop thread only

  void Deliver() {
    {
      std::lock_guard lock(mutex);
      if (!pendingValid) return;
      std::swap(pending, shown);
      pendingValid = false;
    }
    if (!active) return;
    ++delivered;
    if (sink.frame) sink.frame(shown);
  }
  void Fail(const std::string& message) {
    if (!active) return;
    active = false;
    if (sink.failed) sink.failed(message);
  }
};

CaptureThread::CaptureThread(EventLoop& loop, FrameReader& reader, StreamSink sink)
    : shared_(std::make_shared<Shared>()), reader_(reader) {
  shared_->sink = std::move(sink);
  thread_ = std::thread([&loop, &reader, s = shared_] {
    Image reading;
    std::string error;
    for (;;) {
      const FrameReader::Result r = reader.ReadFrame(reading, error);
      if (r == FrameReader::Result::Stopped) return;
      if (r == FrameReader::Result::Failed) {
        loop.Post([s, error] { s->Fail(error); });
        return;
      }
      bool post = false;
      {
        std::lock_guard lock(s->mutex);
        std::swap(reading, s->pending);
        if (s->pendingValid) ++s->dropped;
        post = !s->pendingValid;
        s->pendingValid = true;
      }
      if (post) loop.Post([s] { s->Deliver(); });
    }
  });
}

CaptureThread::~CaptureThread() {
  Stop();
}

void CaptureThread::Stop() {
  shared_->active = false;
  if (!thread_.joinable()) return;
  reader_.Wake();
  thread_.join();
}

StreamStats CaptureThread::Stats() const {
  std::lock_guard lock(shared_->mutex);
  return {shared_->delivered, shared_->dropped};
}

}  // namespace orniva
