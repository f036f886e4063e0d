#include "sim/lx200_mount.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "sky/sky_angles.h"

namespace orniva {

namespace {

std::string RaText(double ra) {
  long s = std::lround(ra / 15.0) % 86400;
  char b[48];
  std::snprintf(b, sizeof b, "%02ld:%02ld:%02ld#", s / 3600, s / 60 % 60, s % 60);
  return b;
}

std::string DecText(double dec) {
  const long a = std::lround(std::fabs(dec));
  char b[48];
  std::snprintf(b, sizeof b, "%c%02ld*%02ld:%02ld#", dec < 0 ? '-' : '+', a / 3600, a / 60 % 60,
                a % 60);
  return b;
}

// "HH:MM:SS" or "HH:MM.T" into arcseconds; false when unreadable.
bool ParseRa(std::string_view text, double& ra) {
  const std::string s(text);
  int h = 0, m = 0;
  double sec = 0, minutes = 0;
  if (std::sscanf(s.c_str(), " %d:%d:%lf", &h, &m, &sec) == 3) {
    minutes = m + sec / 60;
    if (m < 0 || m > 59 || sec < 0 || sec >= 60) return false;
  } else if (std::sscanf(s.c_str(), " %d:%lf", &h, &minutes) != 2 || minutes < 0 || minutes >= 60) {
    return false;
  }
  if (h < 0 || h > 23) return false;
  ra = (h * 60.0 + minutes) * 60 * 15.0;
  return true;
}

// "sDD*MM:SS", "sDD*MM", with '*', ':' or the 0xDF degree sign.
bool ParseDec(std::string_view text, double& dec) {
  std::string s(text);
  for (char& c : s)
    if (c == '*' || c == '\xDF' || c == '\'') c = ':';
  size_t i = s.find_first_not_of(' ');
  if (i == std::string::npos) return false;
  const bool negative = s[i] == '-';
  if (s[i] == '-' || s[i] == '+') ++i;
  int d = 0, m = 0, sec = 0;
  const int read = std::sscanf(s.c_str() + i, "%d:%d:%d", &d, &m, &sec);
  if (read < 2 || d > 90 || m < 0 || m > 59 || sec < 0 || sec > 59) return false;
  dec = (negative ? -1 : 1) * (d * 3600.0 + m * 60 + sec);
  return std::fabs(dec) <= 90 * 3600.0;
}

bool Direction(char c, MountDirection& d) {
  switch (c) {
    case 'n':
      d = MountDirection::North;
      return true;
    case 's':
      d = MountDirection::South;
      return true;
    case 'e':
      d = MountDirection::East;
      return true;
    case 'w':
      d = MountDirection::West;
      return true;
  }
  return false;
}

}  // namespace

std::string Lx200Protocol::Answer(std::string_view c, int64_t now) {
  MountDirection d;
  if (c == "GR") return RaText(mount_.ReportedRa(now));
  if (c == "GD") return DecText(mount_.ReportedDec(now));
  if (c.starts_with("Sr")) return ParseRa(c.substr(2), targetRa_) ? "1" : "0";
  if (c.starts_with("Sd")) return ParseDec(c.substr(2), targetDec_) ? "1" : "0";
  if (c == "MS") {
    mount_.Goto(targetRa_, targetDec_, now);
    return "0";
  }
  if (c == "D") return mount_.Slewing(now) ? "||||||#" : "      #";
  if (c == "Q") {
    mount_.StopAll(now);
    return "";
  }
  if (c == "CM") {
    mount_.Sync(targetRa_, targetDec_, now);
    return "Coordinates     matched.        #";
  }
  if (c.size() == 2 && c[0] == 'R') {
    const std::string_view rates = "GCMS";
    const size_t i = rates.find(c[1]);
    if (i != std::string_view::npos) mount_.SetRate(static_cast<int>(i));
    return "";
  }
  if (c.size() > 3 && c.starts_with("Mg") && Direction(c[2], d)) {
    const long ms = std::strtol(std::string(c.substr(3)).c_str(), nullptr, 10);
    mount_.Pulse(d, ms, mount_.Parameters().rates[0], now);
    return "";
  }
  if (c.size() == 2 && c[0] == 'M' && Direction(c[1], d)) mount_.StartMove(d, now);
  if (c.size() == 2 && c[0] == 'Q' && Direction(c[1], d)) mount_.StopMove(d, now);
  return "";
}

namespace {
// How often the loop hands its time to the link's thread.
constexpr int64_t kClockMs = 10;
// How long the thread leaves a command to the loop before answering it.
constexpr int kLoopFirstMs = 3;
}  // namespace

Lx200PtyMount::Lx200PtyMount(EventLoop& loop, MountModel& mount) : loop_(loop), protocol_(mount) {
  const int m = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (m < 0 || ::grantpt(m) != 0 || ::unlockpt(m) != 0) {
    error_ =
        std::string("Pas de pseudo-terminal pour le telescope simule : ") + std::strerror(errno);
    if (m >= 0) ::close(m);
    return;
  }
  slavePath_ = ::ptsname(m);
  // Our own opening of the slave keeps the line from hanging up between the
  // program's opens, and makes it raw so nothing is echoed.
  slaveKeep_ = ::open(slavePath_.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (slaveKeep_ >= 0) {
    termios tio{};
    ::tcgetattr(slaveKeep_, &tio);
    ::cfmakeraw(&tio);
    ::tcsetattr(slaveKeep_, TCSANOW, &tio);
  }
  master_ = m;
  nowMs_ = loop_.NowMs();
  clock_ = loop_.AddTimer(kClockMs, true, [this] { nowMs_ = loop_.NowMs(); });
  watch_ = loop_.WatchFd(master_, EventLoop::kReadable, [this](unsigned) {
    nowMs_ = loop_.NowMs();
    Serve(loop_.NowMs());
  });
  thread_ = std::thread([this] { Run(); });
}

Lx200PtyMount::~Lx200PtyMount() {
  if (thread_.joinable()) {
    stop_ = true;
    thread_.join();
    loop_.RemoveTimer(clock_);
    loop_.RemoveWatch(watch_);
  }
  if (master_ >= 0) ::close(master_);
  if (slaveKeep_ >= 0) ::close(slaveKeep_);
}

void Lx200PtyMount::Run() {
  while (!stop_) {
    pollfd p{master_, POLLIN, 0};
    if (::poll(&p, 1, 20) <= 0 || !(p.revents & POLLIN)) continue;
    // The loop serves commands at its own time; answer only what it leaves
    // waiting (it is held by the program's wait for this reply).
    ::usleep(kLoopFirstMs * 1000);
    if (!Serve(nowMs_)) ::usleep(1000);
  }
}

bool Lx200PtyMount::Serve(int64_t nowMs) {
  std::lock_guard lock(serving_);
  pollfd p{master_, POLLIN, 0};
  if (::poll(&p, 1, 0) <= 0 || !(p.revents & POLLIN)) return false;
  char buffer[256];
  const ssize_t n = ::read(master_, buffer, sizeof buffer);
  if (n <= 0) return false;
  std::string out;
  for (ssize_t i = 0; i < n; ++i) {
    const char c = buffer[i];
    if (c == '#') {
      // A command is what follows its ':' (the leading '#' of "#:GR#" only
      // closes an empty command).
      const size_t colon = pending_.find(':');
      if (colon != std::string::npos) {
        ++commands_;
        out += protocol_.Answer(std::string_view(pending_).substr(colon + 1), nowMs);
      }
      pending_.clear();
    } else if (c != '\r' && c != '\n' && pending_.size() < 64) {
      pending_ += c;
    }
  }
  if (!out.empty()) (void)!::write(master_, out.data(), out.size());
  return true;
}

}  // namespace orniva
