#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "core/event_loop.h"
#include "sim/lx200_protocol.h"
#include "sim/mount_model.h"

namespace orniva {

// The simulated mount on a pseudo-terminal: the program opens SlavePath()
// as its serial port and the real serial code talks to the mount model,
// either in LX200 commands or, in the pulse-byte mode, one byte per guide
// pulse (a pulse-coded guide box).
//
// Commands are served by the event loop at the loop's time (virtual time in
// tests). While the program's serial code holds the loop's thread to wait
// for a reply, a thread of the link answers instead, at the time the loop
// last handed over.
//
// The link can be told to misbehave like real hardware: stay silent, answer
// garbage or half a reply, answer late, use the low-precision formats or the
// 0xDF degree sign, or be unplugged. A late reply is due a delay after its
// command on the loop's clock; while the loop is held the link counts that
// delay in real time from the moment it began answering for the loop.
//
// The last kLogLimit commands received are logged with their time, for
// tests; the acknowledge byte (0x06) is logged as "ACK".
class Lx200PtyMount {
 public:
  enum class Fault { None, Silent, Garbage, Partial };
  static constexpr size_t kLogLimit = 1000;
  enum class Protocol { Lx200, PulseBytes };
  struct Received {
    int64_t ms;           // the loop's time it was served at
    std::string command;  // LX200: without the framing ':' and '#'; a pulse: its byte
  };

  // Opens the pseudo-terminal; Ok() is false (and Error() says why) when the
  // system has none to give.
  Lx200PtyMount(EventLoop& loop, MountModel& mount);
  ~Lx200PtyMount();
  Lx200PtyMount(const Lx200PtyMount&) = delete;
  Lx200PtyMount& operator=(const Lx200PtyMount&) = delete;

  bool Ok() const { return master_ >= 0; }
  const std::string& Error() const { return error_; }
  const std::string& SlavePath() const { return slavePath_; }
  int64_t CommandsReceived() const { return commands_; }

  void SetProtocol(Protocol protocol);
  void SetFault(Fault fault);
  void SetReplyDelayMs(int ms);
  void SetLowPrecision(bool on);
  void SetDegreeSign(char sign);  // '*' by default
  int FocusDirection();           // -1 in, +1 out, 0 stopped

  std::vector<Received> Commands();
  void ClearCommands();
  // Waits, in real time and at most timeoutMs, until `command` has been
  // received n times (the link's thread serves what the loop leaves).
  bool WaitForCommand(const std::string& command, int n, int timeoutMs);

  // Closes the link's side: the program's next write or read fails (EIO).
  // On the loop's thread.
  void Unplug();
  // A new pseudo-terminal (a new SlavePath), as if plugged in again.
  void Replug();

 private:
  using RealClock = std::chrono::steady_clock;
  bool Open();
  void StartServing();
  void StopServing();
  void Run();
  // The loop hands over its time (and ends a hold).
  void LoopTick();
  // Reads what is waiting and answers it; false when nothing was there.
  bool Serve(int64_t nowMs, bool forLoop);
  // Sends a reply as the link's fault and delay make it.
  void Send(std::string reply);
  void SendDue(int64_t nowMs);
  void Write(const std::string& bytes);
  int CountLocked(const std::string& command) const;
  void Log(Received received);

  EventLoop& loop_;
  std::mutex serving_;  // one server at a time (the loop or the thread), and the state below
  std::condition_variable received_;
  Lx200Protocol protocol_;
  Protocol mode_ = Protocol::Lx200;
  Fault fault_ = Fault::None;
  int delayMs_ = 0;
  std::vector<std::pair<int64_t, std::string>> late_;  // due time, reply
  std::deque<Received> log_;
  bool held_ = false;  // the thread answers for a held loop since heldAt_
  RealClock::time_point heldAt_;
  int64_t heldFromMs_ = 0;

  int master_ = -1;
  int slaveKeep_ = -1;  // keeps the line up between the program's opens
  std::string slavePath_;
  std::string error_;
  std::string pending_;
  std::atomic<int64_t> nowMs_{0};
  std::atomic<int64_t> commands_{0};
  std::atomic<bool> stop_{false};
  EventLoop::TimerId clock_ = 0;
  EventLoop::WatchId watch_ = 0;
  std::thread thread_;
};

}  // namespace orniva
