#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

#include "core/event_loop.h"
#include "sim/mount_model.h"

namespace orniva {

// The LX200 command set of the simulated mount, answered from the mount
// model at the loop's time. A command is given without its ':' and '#'; the
// answer is what the mount sends back (empty for commands without one).
// Position ":GR#" "HH:MM:SS#", ":GD#" "sDD*MM:SS#"; target ":Sr HH:MM:SS#",
// ":Sd sDD*MM:SS#" ("1" or "0"); ":MS#" slews ("0"); ":D#" answers a bar
// string while slewing and six blanks once arrived; ":Q#" stops everything;
// ":Mn#" … ":Qw#" move at the rate of ":RG#", ":RC#", ":RM#", ":RS#";
// ":Mgn1000#" guides north for 1000 ms at the guide rate; ":CM#"
// synchronises on the target.
class Lx200Protocol {
 public:
  explicit Lx200Protocol(MountModel& mount) : mount_(mount) {}
  std::string Answer(std::string_view command, int64_t nowMs);

 private:
  MountModel& mount_;
  double targetRa_ = 0;
  double targetDec_ = 0;
};

// The simulated mount on a pseudo-terminal: the program opens SlavePath()
// as its serial port and the real serial and LX200 code talk to the mount
// model. Commands are served by the event loop at the loop's time (virtual
// time in tests); while the program's serial code holds the loop's thread to
// wait for a reply, a thread of the link answers instead, at the time the
// loop last handed over.
class Lx200PtyMount {
 public:
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

 private:
  void Run();
  // Reads what is waiting and answers it; false when nothing was there.
  bool Serve(int64_t nowMs);

  EventLoop& loop_;
  std::mutex serving_;  // one reader at a time: the loop or the thread
  Lx200Protocol protocol_;
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
