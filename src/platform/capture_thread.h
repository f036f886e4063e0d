#pragma once

#include <memory>
#include <string>
#include <thread>

#include "acquisition/frame_source.h"
#include "core/event_loop.h"
#include "core/image.h"

namespace orniva {

// What a capture thread reads frames from: a device that blocks until its
// next frame.
class FrameReader {
 public:
  enum class Result { Frame, Stopped, Failed };
  virtual ~FrameReader() = default;
  // Waits for the next frame and converts it into frame (Frame); returns
  // Stopped once Wake has been called, Failed with error set when the device
  // fails or disappears. Called on the capture thread only.
  virtual Result ReadFrame(Image& frame, std::string& error) = 0;
  // Makes the ReadFrame in progress, or the next one, return Stopped. Safe
  // from any thread.
  virtual void Wake() = 0;
};

// One thread per streaming camera: it reads frames and hands them to the
// event loop, where the sink runs. At most one frame waits for the loop: a
// newer frame replaces it and the replaced one is counted as dropped, so a
// slow loop never makes frames pile up. Three images are reused for the life
// of the stream (being read, waiting, being shown).
class CaptureThread {
 public:
  CaptureThread(EventLoop& loop, FrameReader& reader, StreamSink sink);
  ~CaptureThread();
  CaptureThread(const CaptureThread&) = delete;
  CaptureThread& operator=(const CaptureThread&) = delete;

  // Ends the thread and waits for it; no sink call happens afterwards. Loop
  // thread only (also from within a sink call).
  void Stop();
  StreamStats Stats() const;

 private:
  struct Shared;
  std::shared_ptr<Shared> shared_;
  FrameReader& reader_;
  std::thread thread_;
};

}  // namespace orniva
