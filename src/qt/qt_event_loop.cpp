#include "qt/qt_event_loop.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QSocketNotifier>
#include <QTimer>

namespace orniva {

QtEventLoop::QtEventLoop() {
  clock_.start();
}

QtEventLoop::~QtEventLoop() = default;

int64_t QtEventLoop::WallClockMs() const {
  return QDateTime::currentMSecsSinceEpoch();
}

int QtEventLoop::UtcOffsetMinutes() const {
  return QDateTime::currentDateTime().offsetFromUtc() / 60;
}

EventLoop::TimerId QtEventLoop::AddTimer(int64_t intervalMs, bool repeat,
                                         std::function<void()> fn) {
  TimerId id = nextId_++;
  auto timer = std::make_unique<QTimer>();
  timer->setTimerType(Qt::PreciseTimer);
  timer->setSingleShot(!repeat);
  timer->setInterval(static_cast<int>(intervalMs < 0 ? 0 : intervalMs));
  QObject::connect(timer.get(), &QTimer::timeout, [this, id, repeat, fn = std::move(fn)] {
    auto keep = fn;  // the handler may remove this very timer
    if (!repeat) {
      auto it = timers_.find(id);
      if (it != timers_.end()) {
        it->second.release()->deleteLater();
        timers_.erase(it);
      }
    }
    keep();
  });
  timer->start();
  timers_[id] = std::move(timer);
  return id;
}

void QtEventLoop::RemoveTimer(TimerId id) {
  auto it = timers_.find(id);
  if (it == timers_.end()) return;
  it->second->stop();
  it->second.release()->deleteLater();  // we may be inside its own timeout
  timers_.erase(it);
}

void QtEventLoop::Post(std::function<void()> fn) {
  QMetaObject::invokeMethod(QCoreApplication::instance(), std::move(fn), Qt::QueuedConnection);
}

EventLoop::WatchId QtEventLoop::WatchFd(int fd, unsigned events, std::function<void(unsigned)> fn) {
  WatchId id = nextId_++;
  auto shared = std::make_shared<std::function<void(unsigned)>>(std::move(fn));
  std::vector<std::unique_ptr<QSocketNotifier>> notifiers;
  auto add = [&](QSocketNotifier::Type type, unsigned what) {
    auto n = std::make_unique<QSocketNotifier>(fd, type);
    QObject::connect(n.get(), &QSocketNotifier::activated, [shared, what] { (*shared)(what); });
    notifiers.push_back(std::move(n));
  };
  if (events & kReadable) add(QSocketNotifier::Read, kReadable);
  if (events & kWritable) add(QSocketNotifier::Write, kWritable);
  watches_[id] = std::move(notifiers);
  return id;
}

void QtEventLoop::RemoveWatch(WatchId id) {
  auto it = watches_.find(id);
  if (it == watches_.end()) return;
  for (auto& n : it->second) {
    n->setEnabled(false);
    n.release()->deleteLater();
  }
  watches_.erase(it);
}

int QtEventLoop::Run() {
  return QCoreApplication::exec();
}

void QtEventLoop::Quit(int code) {
  QCoreApplication::exit(code);
}

void QtEventLoop::ProcessPending() {
  QCoreApplication::processEvents();
}

}  // namespace orniva
