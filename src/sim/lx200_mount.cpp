#include "sim/lx200_mount.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace orniva {

namespace {
// How often the loop hands its time to the link's thread.
constexpr int64_t kClockMs = 10;
// How long the thread leaves a command to the loop before answering it.
constexpr int kLoopFirstMs = 3;
// What a mount sends when its line is disturbed.
constexpr char kGarbage[] = "\x01?%\xFE\x7F!";
}  // namespace

Lx200PtyMount::Lx200PtyMount(EventLoop& loop, MountModel& mount) : loop_(loop), protocol_(mount) {
  if (Open()) StartServing();
}

Lx200PtyMount::~Lx200PtyMount() {
  StopServing();
  if (master_ >= 0) ::close(master_);
  if (slaveKeep_ >= 0) ::close(slaveKeep_);
}

bool Lx200PtyMount::Open() {
  const int m = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (m < 0 || ::grantpt(m) != 0 || ::unlockpt(m) != 0) {
    error_ =
        std::string("Pas de pseudo-terminal pour le telescope simule : ") + std::strerror(errno);
    if (m >= 0) ::close(m);
    return false;
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
  error_.clear();
  return true;
}

void Lx200PtyMount::StartServing() {
  nowMs_ = loop_.NowMs();
  stop_ = false;
  clock_ = loop_.AddTimer(kClockMs, true, [this] { LoopTick(); });
  watch_ = loop_.WatchFd(master_, EventLoop::kReadable, [this](unsigned) {
    LoopTick();
    Serve(loop_.NowMs(), true);
  });
  thread_ = std::thread([this] { Run(); });
}

void Lx200PtyMount::StopServing() {
  if (!thread_.joinable()) return;
  stop_ = true;
  thread_.join();
  loop_.RemoveTimer(clock_);
  loop_.RemoveWatch(watch_);
}

void Lx200PtyMount::LoopTick() {
  std::lock_guard lock(serving_);
  held_ = false;
  nowMs_ = loop_.NowMs();
  SendDue(nowMs_);
}

void Lx200PtyMount::Run() {
  while (!stop_) {
    int waitMs = 20;
    {
      std::lock_guard lock(serving_);
      if (held_ && !late_.empty()) {
        const auto real =
            std::chrono::duration_cast<std::chrono::milliseconds>(RealClock::now() - heldAt_);
        SendDue(heldFromMs_ + real.count());
        waitMs = 2;
      }
    }
    pollfd p{master_, POLLIN, 0};
    if (::poll(&p, 1, waitMs) <= 0 || !(p.revents & POLLIN)) continue;
    // The loop serves commands at its own time; answer only what it leaves
    // waiting (it is held by the program's wait for this reply).
    ::usleep(kLoopFirstMs * 1000);
    if (!Serve(nowMs_, false)) ::usleep(1000);
  }
}

bool Lx200PtyMount::Serve(int64_t nowMs, bool forLoop) {
  std::unique_lock lock(serving_);
  if (master_ < 0) return false;
  pollfd p{master_, POLLIN, 0};
  if (::poll(&p, 1, 0) <= 0 || !(p.revents & POLLIN)) return false;
  char buffer[256];
  const ssize_t n = ::read(master_, buffer, sizeof buffer);
  if (n <= 0) return false;
  if (!forLoop && !held_) {
    held_ = true;
    heldAt_ = RealClock::now();
    heldFromMs_ = nowMs;
  }
  for (ssize_t i = 0; i < n; ++i) {
    const char c = buffer[i];
    if (mode_ == Protocol::PulseBytes) {
      ++commands_;
      Log({nowMs, std::string(1, c)});
      protocol_.PulseByte(static_cast<uint8_t>(c), nowMs);
    } else if (c == '\x06') {
      // The acknowledge byte asks for the mount's alignment: polar.
      ++commands_;
      Log({nowMs, "ACK"});
      Send("P");
    } else if (c == '#') {
      // A command is what follows its ':' (the leading '#' of "#:GR#" only
      // closes an empty command).
      const size_t colon = pending_.find(':');
      if (colon != std::string::npos) {
        ++commands_;
        const std::string command = pending_.substr(colon + 1);
        Log({nowMs, command});
        Send(protocol_.Answer(command, nowMs));
      }
      pending_.clear();
    } else if (c != '\r' && c != '\n' && pending_.size() < 64) {
      pending_ += c;
    }
  }
  lock.unlock();
  received_.notify_all();
  return true;
}

void Lx200PtyMount::Send(std::string reply) {
  if (reply.empty() || fault_ == Fault::Silent) return;
  if (fault_ == Fault::Garbage) reply = kGarbage;
  if (fault_ == Fault::Partial) reply.resize(reply.size() / 2);
  if (delayMs_ <= 0) return Write(reply);
  int64_t now = nowMs_;
  if (held_)
    now = heldFromMs_ +
          std::chrono::duration_cast<std::chrono::milliseconds>(RealClock::now() - heldAt_).count();
  late_.push_back({now + delayMs_, std::move(reply)});
}

void Lx200PtyMount::SendDue(int64_t nowMs) {
  size_t sent = 0;
  while (sent < late_.size() && late_[sent].first <= nowMs) Write(late_[sent++].second);
  late_.erase(late_.begin(), late_.begin() + static_cast<std::ptrdiff_t>(sent));
}

void Lx200PtyMount::Write(const std::string& bytes) {
  if (master_ >= 0 && !bytes.empty()) (void)!::write(master_, bytes.data(), bytes.size());
}

void Lx200PtyMount::SetProtocol(Protocol protocol) {
  std::lock_guard lock(serving_);
  mode_ = protocol;
  pending_.clear();
}

void Lx200PtyMount::SetFault(Fault fault) {
  std::lock_guard lock(serving_);
  fault_ = fault;
}

void Lx200PtyMount::SetReplyDelayMs(int ms) {
  std::lock_guard lock(serving_);
  delayMs_ = ms;
}

void Lx200PtyMount::SetLowPrecision(bool on) {
  std::lock_guard lock(serving_);
  protocol_.SetLowPrecision(on);
}

void Lx200PtyMount::SetDegreeSign(char sign) {
  std::lock_guard lock(serving_);
  protocol_.SetDegreeSign(sign);
}

int Lx200PtyMount::FocusDirection() {
  std::lock_guard lock(serving_);
  return protocol_.FocusDirection();
}

void Lx200PtyMount::Log(Received received) {
  log_.push_back(std::move(received));
  if (log_.size() > kLogLimit) log_.pop_front();
}

std::vector<Lx200PtyMount::Received> Lx200PtyMount::Commands() {
  std::lock_guard lock(serving_);
  return {log_.begin(), log_.end()};
}

void Lx200PtyMount::ClearCommands() {
  std::lock_guard lock(serving_);
  log_.clear();
}

int Lx200PtyMount::CountLocked(const std::string& command) const {
  int n = 0;
  for (const Received& r : log_) n += r.command == command;
  return n;
}

bool Lx200PtyMount::WaitForCommand(const std::string& command, int n, int timeoutMs) {
  std::unique_lock lock(serving_);
  return received_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                            [&] { return CountLocked(command) >= n; });
}

void Lx200PtyMount::Unplug() {
  StopServing();
  std::lock_guard lock(serving_);
  if (master_ >= 0) ::close(master_);
  if (slaveKeep_ >= 0) ::close(slaveKeep_);
  master_ = slaveKeep_ = -1;
  late_.clear();
  pending_.clear();
  held_ = false;
}

void Lx200PtyMount::Replug() {
  if (master_ >= 0) return;
  if (Open()) StartServing();
}

}  // namespace orniva
