#include "telescope/lx200_link.h"

#include "telescope/serial_port_slots.h"

namespace orniva {

Lx200Link::Lx200Link(EventLoop& loop, SerialPortSlots& ports, int slot)
    : loop_(loop), ports_(ports), slot_(slot) {}

Lx200Link::~Lx200Link() {
  StopWaiting();
}

void Lx200Link::Send(const std::string& command, Reply reply, Done done) {
  Step step{command, reply, std::move(done), 0};
  // A command without a reply disturbs no exchange in flight; it only has
  // to keep its place behind what is queued or a running pause.
  if (reply == Reply::None && queue_.empty() && !pausing_) return Begin(std::move(step));
  queue_.push_back(std::move(step));
  Next();
}

void Lx200Link::Pause(int ms) {
  queue_.push_back(Step{{}, Reply::None, {}, ms});
  Next();
}

void Lx200Link::Clear() {
  ++generation_;
  StopWaiting();
  queue_.clear();
  inFlight_ = pausing_ = false;
  reply_.clear();
}

void Lx200Link::Next() {
  while (!inFlight_ && !queue_.empty()) {
    Step step = std::move(queue_.front());
    queue_.pop_front();
    const uint64_t generation = generation_;
    Begin(std::move(step));
    if (generation != generation_) return;  // failed and cleared
  }
}

void Lx200Link::Begin(Step step) {
  const uint64_t generation = generation_;
  if (step.command.empty()) {
    inFlight_ = pausing_ = true;
    timer_ = loop_.AddTimer(step.pauseMs, false, [this, generation] {
      if (generation != generation_) return;
      timer_ = 0;
      inFlight_ = pausing_ = false;
      Next();
    });
    return;
  }
  try {
    if (step.reply != Reply::None) ports_.DiscardInput(slot_);
    if (Write) Write(step.command);
  } catch (const ExCom& e) {
    return Fail(e.what());
  }
  if (step.reply == Reply::None) {
    if (step.done) step.done({}, true);
    return;
  }
  inFlight_ = true;
  current_ = std::move(step);
  reply_.clear();
  sentAt_ = loop_.NowMs();
  watch_ = loop_.WatchFd(ports_.Fd(slot_), EventLoop::kReadable, [this, generation](unsigned) {
    if (generation != generation_) return;
    Collect();
    if (generation != generation_ || !inFlight_) return;
    // A whole reply is taken once the read pause is over.
    if (current_.reply == Reply::Hash && reply_.find('#') != std::string::npos &&
        loop_.NowMs() - sentAt_ >= kReadPauseMs)
      Finish(true);
  });
  timer_ = loop_.AddTimer(kReadPauseMs, false, [this, generation] {
    if (generation != generation_) return;
    timer_ = 0;
    ReadTime();
  });
}

void Lx200Link::Collect() {
  try {
    for (;;) {
      std::string more = ports_.ReadQueued(slot_);
      reply_ += more;
      if (more.size() < static_cast<size_t>(SerialPortSlots::kMaxRead)) break;
    }
  } catch (const ExCom& e) {
    Fail(e.what());
  }
}

void Lx200Link::ReadTime() {
  const uint64_t generation = generation_;
  Collect();
  if (generation != generation_) return;
  if (current_.reply == Reply::Fixed || reply_.find('#') != std::string::npos)
    return Finish(!reply_.empty());
  if (loop_.NowMs() - sentAt_ >= kReplyLimitMs) return Finish(!reply_.empty());
  // A reply still under way, or late: wait for its end up to the limit.
  timer_ = loop_.AddTimer(kReplyLimitMs - (loop_.NowMs() - sentAt_), false, [this, generation] {
    if (generation != generation_) return;
    timer_ = 0;
    ReadTime();
  });
}

void Lx200Link::Finish(bool answered) {
  StopWaiting();
  inFlight_ = false;
  Done done = std::move(current_.done);
  std::string reply = std::move(reply_);
  reply_.clear();
  const uint64_t generation = generation_;
  if (done) done(reply, answered);
  if (generation == generation_) Next();
}

void Lx200Link::Fail(const std::string& what) {
  Clear();
  if (OnFailed) OnFailed(what);
}

void Lx200Link::StopWaiting() {
  if (timer_ != 0) loop_.RemoveTimer(timer_);
  if (watch_ != 0) loop_.RemoveWatch(watch_);
  timer_ = watch_ = 0;
}

}  // namespace orniva
