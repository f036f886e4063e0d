#pragma once

#include <atomic>
#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace orniva {

// An LX200-type mount on a pseudo-terminal, run by its own thread: the
// program opens SlavePath() like a real serial port. It answers position
// (":GR#", ":GD#"), target (":Sr …#", ":Sd …#"), GOTO (":MS#", ":D#",
// ":Q#"), directional motions (":Me#" … ":Qs#") at the rate chosen with
// ":RG#", ":RC#", ":RM#", ":RS#", the library object (":L…#", ":CM#") and the
// focuser (":F+#", ":F-#", ":FQ#"). The position moves with real time; a
// GOTO slews at SlewRate degrees per second on each axis. It can be told to
// misbehave: stay silent, answer late, answer garbage or half a reply, use
// the low-precision formats, the 0xDF degree sign, or be unplugged.
class Lx200Simulator {
 public:
  struct Received {
    double ms;            // real time since the start of the simulator
    std::string command;  // without the framing ':' and '#'
  };
  enum class Fault { None, Silent, Garbage, Partial };

  Lx200Simulator();
  ~Lx200Simulator();
  Lx200Simulator(const Lx200Simulator&) = delete;
  Lx200Simulator& operator=(const Lx200Simulator&) = delete;

  const std::string& SlavePath() const { return slavePath_; }

  // Position in arcseconds (RA as an angle, 0 .. 1296000).
  void SetPosition(double ra, double dec);
  double Ra();
  double Dec();
  bool Slewing();
  int FocusDirection();  // -1 in, +1 out, 0 stopped
  std::vector<Received> Commands();
  void ClearCommands();
  // Waits (real time, bounded) until a command has been received n times.
  bool WaitForCommand(const std::string& command, int n, int timeoutMs);

  void SetFault(Fault f);
  void SetReplyDelayMs(int ms);
  void SetLowPrecision(bool on);
  void SetDegreeSign(char c);  // '*' by default; 0xDF as many hand pads send
  void SetSlewRate(double degPerSec);
  // Closes the master side: the program's next read or write fails (EIO).
  void Unplug();
  // Opens a new pseudo-terminal (new SlavePath) as if plugged in again.
  void Replug();

 private:
  void Open();
  void Run();
  void Handle(const std::string& cmd, double nowMs);
  void Advance(double nowMs);
  void Reply(const std::string& text);
  void SendLateReplies();
  double NowMs() const;

  std::mutex mutex_;
  std::thread thread_;
  std::atomic<bool> stop_{false};
  std::atomic<bool> unplug_{false};
  int master_ = -1;
  int slaveKeep_ = -1;  // keeps the line up between the program's opens
  std::string slavePath_;
  std::chrono::steady_clock::time_point start_;
  std::vector<Received> received_;
  std::string pending_;
  std::vector<std::pair<double, std::string>> late_;  // due time, reply

  double ra_ = 0, dec_ = 0;  // arcseconds
  double targetRa_ = 0, targetDec_ = 0;
  bool slewing_ = false;
  double lastMs_ = 0;
  int moving_[4] = {0, 0, 0, 0};  // e, w, n, s
  double rate_ = 7.5;             // arcsec/s of directional motions
  double slewRate_ = 60.0;        // deg/s
  int focus_ = 0;
  Fault fault_ = Fault::None;
  int delayMs_ = 0;
  bool lowPrecision_ = false;
  char degreeSign_ = '*';
};

}  // namespace orniva
