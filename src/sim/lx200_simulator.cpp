#include "sim/lx200_simulator.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>

namespace orniva {

namespace {
constexpr double kFullTurn = 1296000.0;

double Wrap(double ra) {
  ra = std::fmod(ra, kFullTurn);
  return ra < 0 ? ra + kFullTurn : ra;
}

std::string Two(int v) {
  char b[8];
  std::snprintf(b, sizeof b, "%02d", v);
  return b;
}

// "HH:MM:SS", or "HH:MM.T" in low precision.
std::string FormatRaReply(double ra, bool low) {
  double t = ra / 15.0;  // seconds of time
  if (low) {
    int tenths = static_cast<int>(std::lround(t / 6.0)) % 14400;
    return Two(tenths / 600) + ":" + Two(tenths / 10 % 60) + "." + std::to_string(tenths % 10);
  }
  int s = static_cast<int>(std::lround(t)) % 86400;
  return Two(s / 3600) + ":" + Two(s / 60 % 60) + ":" + Two(s % 60);
}

// "sDD*MM:SS" (sign, degrees, the degree sign, minutes, seconds), or
// "sDD*MM" in low precision.
std::string FormatDecReply(double dec, bool low, char sign) {
  long a = std::lround(std::fabs(dec));
  if (low) a = (a + 30) / 60 * 60;
  std::string text = (dec < 0 ? "-" : "+") + Two(static_cast<int>(a / 3600)) + sign +
                     Two(static_cast<int>(a / 60 % 60));
  if (!low) text += ":" + Two(static_cast<int>(a % 60));
  return text;
}

// Parses "HH:MM:SS[.S]" or "HH:MM.T" into seconds of time; -1 when invalid.
double ParseHms(const std::string& s) {
  int h = 0, m = 0;
  double sec = 0;
  if (std::sscanf(s.c_str(), "%d:%d:%lf", &h, &m, &sec) == 3 && h >= 0 && h < 24 && m >= 0 &&
      m < 60 && sec >= 0 && sec < 60)
    return h * 3600 + m * 60 + sec;
  return -1;
}

// Parses "sDD:MM:SS" (or with '*' or 0xDF after the degrees) into
// arcseconds; NAN when invalid.
double ParseDms(std::string s) {
  for (char& c : s)
    if (c == '*' || c == '\xDF' || c == '\'') c = ':';
  int d = 0, m = 0, sec = 0;
  bool neg = !s.empty() && s[0] == '-';
  if (std::sscanf(s.c_str() + ((s[0] == '-' || s[0] == '+') ? 1 : 0), "%d:%d:%d", &d, &m, &sec) < 2)
    return NAN;
  if (d > 90 || m >= 60 || sec >= 60) return NAN;
  double v = d * 3600.0 + m * 60 + sec;
  return neg ? -v : v;
}
}  // namespace

Lx200Simulator::Lx200Simulator() : start_(std::chrono::steady_clock::now()) {
  Open();
  thread_ = std::thread([this] { Run(); });
}

Lx200Simulator::~Lx200Simulator() {
  stop_ = true;
  thread_.join();
  if (master_ >= 0) ::close(master_);
  if (slaveKeep_ >= 0) ::close(slaveKeep_);
}

void Lx200Simulator::Open() {
  int m = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (m < 0 || ::grantpt(m) != 0 || ::unlockpt(m) != 0)
    throw std::runtime_error("Lx200Simulator: no pseudo-terminal");
  slavePath_ = ::ptsname(m);
  // Our own opening of the slave keeps the line from hanging up between
  // the program's opens, and sets it raw so that nothing is echoed.
  slaveKeep_ = ::open(slavePath_.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
  termios tio{};
  ::tcgetattr(slaveKeep_, &tio);
  ::cfmakeraw(&tio);
  ::tcsetattr(slaveKeep_, TCSANOW, &tio);
  master_ = m;
}

double Lx200Simulator::NowMs() const {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start_)
      .count();
}

void Lx200Simulator::Run() {
  while (!stop_) {
    if (unplug_) {
      std::lock_guard<std::mutex> lock(mutex_);
      if (master_ >= 0) ::close(master_);
      if (slaveKeep_ >= 0) ::close(slaveKeep_);
      master_ = slaveKeep_ = -1;
      unplug_ = false;
    }
    int fd;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      fd = master_;
    }
    if (fd < 0) {
      ::usleep(5000);
      continue;
    }
    SendLateReplies();
    pollfd p{fd, POLLIN, 0};
    if (::poll(&p, 1, 5) <= 0 || !(p.revents & POLLIN)) continue;
    char buf[256];
    ssize_t n = ::read(fd, buf, sizeof buf);
    if (n <= 0) {
      ::usleep(5000);
      continue;
    }
    std::lock_guard<std::mutex> lock(mutex_);
    for (ssize_t i = 0; i < n; ++i) {
      char c = buf[i];
      if (c == '#') {
        // A command is what follows its ':' (a leading "#" of the
        // program's "#:GR#" only closes an empty command).
        auto colon = pending_.find(':');
        if (colon != std::string::npos) {
          std::string cmd = pending_.substr(colon + 1);
          double now = NowMs();
          received_.push_back({now, cmd});
          Handle(cmd, now);
        }
        pending_.clear();
      } else if (c != '\r' && c != '\n') {
        pending_ += c;
      }
    }
  }
}

void Lx200Simulator::Reply(const std::string& text) {
  if (fault_ == Fault::Silent || master_ < 0) return;
  std::string out = text;
  if (fault_ == Fault::Garbage) out = "\x01?%\xFE\x7F!";
  if (fault_ == Fault::Partial) out = text.substr(0, text.size() / 2);
  if (delayMs_ > 0) {
    late_.push_back({NowMs() + delayMs_, out});  // sent by Run when due
    return;
  }
  (void)!::write(master_, out.data(), out.size());
}

void Lx200Simulator::SendLateReplies() {
  std::lock_guard<std::mutex> lock(mutex_);
  double now = NowMs();
  while (!late_.empty() && late_.front().first <= now) {
    if (master_ >= 0)
      (void)!::write(master_, late_.front().second.data(), late_.front().second.size());
    late_.erase(late_.begin());
  }
}

void Lx200Simulator::Advance(double nowMs) {
  double dt = (nowMs - lastMs_) / 1000.0;
  lastMs_ = nowMs;
  if (dt <= 0) return;
  if (slewing_) {
    double step = slewRate_ * 3600.0 * dt;
    double dra = targetRa_ - ra_;
    if (dra > kFullTurn / 2) dra -= kFullTurn;
    if (dra < -kFullTurn / 2) dra += kFullTurn;
    double ddec = targetDec_ - dec_;
    ra_ = Wrap(ra_ + std::clamp(dra, -step, step));
    dec_ += std::clamp(ddec, -step, step);
    if (std::fabs(dra) <= step && std::fabs(ddec) <= step) {
      ra_ = targetRa_;
      dec_ = targetDec_;
      slewing_ = false;
    }
  }
  ra_ = Wrap(ra_ + (moving_[1] - moving_[0]) * rate_ * dt);
  dec_ = std::clamp(dec_ + (moving_[2] - moving_[3]) * rate_ * dt, -324000.0, 324000.0);
}

void Lx200Simulator::Handle(const std::string& cmd, double nowMs) {
  Advance(nowMs);
  if (cmd == "GR") return Reply(FormatRaReply(ra_, lowPrecision_) + "#");
  if (cmd == "GD") return Reply(FormatDecReply(dec_, lowPrecision_, degreeSign_) + "#");
  if (cmd.rfind("Sr", 0) == 0) {
    double t = ParseHms(cmd.substr(cmd.find_first_not_of(' ', 2)));
    if (t >= 0) targetRa_ = Wrap(t * 15.0);
    return Reply(t >= 0 ? "1" : "0");
  }
  if (cmd.rfind("Sd", 0) == 0) {
    double d = ParseDms(cmd.substr(cmd.find_first_not_of(' ', 2)));
    if (!std::isnan(d)) targetDec_ = d;
    return Reply(std::isnan(d) ? "0" : "1");
  }
  if (cmd == "MS") {
    slewing_ = true;
    return Reply("0");
  }
  if (cmd == "D") return Reply(slewing_ ? "||||||#" : "      #");
  if (cmd == "Q") {
    slewing_ = false;
    for (int& m : moving_) m = 0;
    return;
  }
  static const char* kDirs = "ewns";
  if (cmd.size() == 2 && (cmd[0] == 'M' || cmd[0] == 'Q')) {
    for (int i = 0; i < 4; ++i)
      if (cmd[1] == kDirs[i]) moving_[i] = cmd[0] == 'M' ? 1 : 0;
    return;
  }
  if (cmd == "RG") rate_ = 7.5;
  if (cmd == "RC") rate_ = 120;
  if (cmd == "RM") rate_ = 960;
  if (cmd == "RS") rate_ = slewRate_ * 3600;
  if (cmd == "F+") focus_ = 1;
  if (cmd == "F-") focus_ = -1;
  if (cmd == "FQ") focus_ = 0;
  if (cmd == "CM") {
    // Synchronises on the library object or the last target given.
    ra_ = targetRa_;
    dec_ = targetDec_;
    return Reply(" M31 EX GAL MAG 3.5 SZ178.0'#");
  }
}

void Lx200Simulator::SetPosition(double ra, double dec) {
  std::lock_guard<std::mutex> lock(mutex_);
  Advance(NowMs());
  ra_ = Wrap(ra);
  dec_ = dec;
  targetRa_ = ra_;
  targetDec_ = dec;
}

double Lx200Simulator::Ra() {
  std::lock_guard<std::mutex> lock(mutex_);
  Advance(NowMs());
  return ra_;
}

double Lx200Simulator::Dec() {
  std::lock_guard<std::mutex> lock(mutex_);
  Advance(NowMs());
  return dec_;
}

bool Lx200Simulator::Slewing() {
  std::lock_guard<std::mutex> lock(mutex_);
  Advance(NowMs());
  return slewing_;
}

int Lx200Simulator::FocusDirection() {
  std::lock_guard<std::mutex> lock(mutex_);
  return focus_;
}

std::vector<Lx200Simulator::Received> Lx200Simulator::Commands() {
  std::lock_guard<std::mutex> lock(mutex_);
  return received_;
}

void Lx200Simulator::ClearCommands() {
  std::lock_guard<std::mutex> lock(mutex_);
  received_.clear();
}

bool Lx200Simulator::WaitForCommand(const std::string& command, int n, int timeoutMs) {
  auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    int count = 0;
    for (const auto& r : Commands())
      if (r.command == command) ++count;
    if (count >= n) return true;
    if (std::chrono::steady_clock::now() > end) return false;
    ::usleep(2000);
  }
}

void Lx200Simulator::SetFault(Fault f) {
  std::lock_guard<std::mutex> lock(mutex_);
  fault_ = f;
}
void Lx200Simulator::SetReplyDelayMs(int ms) {
  std::lock_guard<std::mutex> lock(mutex_);
  delayMs_ = ms;
}
void Lx200Simulator::SetLowPrecision(bool on) {
  std::lock_guard<std::mutex> lock(mutex_);
  lowPrecision_ = on;
}
void Lx200Simulator::SetDegreeSign(char c) {
  std::lock_guard<std::mutex> lock(mutex_);
  degreeSign_ = c;
}
void Lx200Simulator::SetSlewRate(double degPerSec) {
  std::lock_guard<std::mutex> lock(mutex_);
  slewRate_ = degPerSec;
}

void Lx200Simulator::Unplug() {
  // The thread closes the master itself: a descriptor closed while another
  // thread polls it stays alive until that poll returns, and the line would
  // not hang up at once.
  unplug_ = true;
  auto end = std::chrono::steady_clock::now() + std::chrono::seconds(2);
  while (unplug_ && std::chrono::steady_clock::now() < end) ::usleep(1000);
}

void Lx200Simulator::Replug() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (master_ >= 0) return;
  Open();
}

}  // namespace orniva
