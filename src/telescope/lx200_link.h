#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <string>

#include "core/event_loop.h"

namespace orniva {

class SerialPortSlots;

// The LX200 conversation on one serial slot, run on the event loop so that
// the loop never waits for the mount. Commands go out one after another in
// the order given; a command whose reply is read keeps the link until the
// reply is in (one request in flight), the others are written at once when
// nothing waits before them. Before a command whose reply is read, what
// still waits in the input queue (a reply that came too late for its own
// command) is thrown away, so it can never pass for the next reply.
//
// A reply is read at kReadPauseMs after its command, as the protocol's fixed
// pause has it. A reply that ends with '#' and has not ended by then is
// waited for up to kReplyLimitMs; a mount that sends nothing by then has not
// answered.
class Lx200Link {
 public:
  enum class Reply {
    None,   // nothing is read
    Fixed,  // what came within the read pause ("0" of ":MS#")
    Hash,   // up to its '#', within the reply limit
  };
  using Done = std::function<void(const std::string& reply, bool answered)>;
  static constexpr int kReadPauseMs = 200;
  static constexpr int kReplyLimitMs = 1000;

  Lx200Link(EventLoop& loop, SerialPortSlots& ports, int slot);
  ~Lx200Link();
  Lx200Link(const Lx200Link&) = delete;
  Lx200Link& operator=(const Lx200Link&) = delete;

  // Writes a command as the mount link sends it (CR/LF, traffic log); may
  // throw ExCom.
  std::function<void(const std::string&)> Write;
  // The link failed during an exchange (ExCom text); everything queued is
  // dropped before it is called.
  std::function<void(const std::string&)> OnFailed;

  // Sends command; done hears the reply (for Reply::None, "" once written).
  // Never throws: a failure goes to OnFailed.
  void Send(const std::string& command, Reply reply = Reply::None, Done done = {});
  // Waits ms before what is sent next.
  void Pause(int ms);
  // True while an exchange, a pause or queued commands are under way.
  bool Busy() const { return inFlight_ || !queue_.empty(); }
  // Drops everything queued and the exchange in flight (their done is not
  // called).
  void Clear();

 private:
  struct Step {
    std::string command;  // empty: a pause
    Reply reply = Reply::None;
    Done done;
    int pauseMs = 0;
  };
  void Next();
  void Begin(Step step);
  void Collect();
  void ReadTime();
  void Finish(bool answered);
  void Fail(const std::string& what);
  void StopWaiting();

  EventLoop& loop_;
  SerialPortSlots& ports_;
  const int slot_;
  std::deque<Step> queue_;
  bool inFlight_ = false;  // a reply is awaited, or a pause runs
  bool pausing_ = false;
  Step current_;
  std::string reply_;
  int64_t sentAt_ = 0;
  EventLoop::TimerId timer_ = 0;
  EventLoop::WatchId watch_ = 0;
  uint64_t generation_ = 0;  // bumped by Clear: callbacks of dropped steps are ignored
};

}  // namespace orniva
