#include "core/row_workers.h"

namespace orniva {

RowWorkers& RowWorkers::Shared() {
  static RowWorkers workers(std::thread::hardware_concurrency() > 1);
  return workers;
}

RowWorkers::RowWorkers(bool helper) {
  if (helper) helper_ = std::thread([this] { HelperLoop(); });
}

RowWorkers::~RowWorkers() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stop_ = true;
  }
  wake_.notify_all();
  if (helper_.joinable()) helper_.join();
}

void RowWorkers::Work(int part) {
  for (;;) {
    const int c = next_.fetch_add(1, std::memory_order_relaxed);
    if (c >= chunks_) return;
    const int begin = c * chunk_;
    const int end = begin + chunk_ < rows_ ? begin + chunk_ : rows_;
    fn_(context_, begin, end, part);
  }
}

void RowWorkers::Run(int rows, int chunk, RangeFn fn, void* context) {
  if (rows <= 0) return;
  if (chunk < 1) chunk = 1;
  std::unique_lock<std::mutex> mine(busy_, std::try_to_lock);
  if (!helper_.joinable() || !enabled_.load(std::memory_order_relaxed) || !mine.owns_lock() ||
      rows <= chunk) {
    fn(context, 0, rows, 0);
    return;
  }
  {
    // The helper reads the loop under the same lock, so it sees it whole.
    std::lock_guard<std::mutex> lock(mutex_);
    fn_ = fn;
    context_ = context;
    rows_ = rows;
    chunk_ = chunk;
    chunks_ = (rows + chunk - 1) / chunk;
    next_.store(0, std::memory_order_relaxed);
    joined_.store(0, std::memory_order_relaxed);
    ++generation_;
    helperDone_ = false;
  }
  wake_.notify_one();
  Work(0);
  // Close the loop to a helper that has not come yet; otherwise wait for
  // the chunk it is on.
  int expected = 0;
  if (!joined_.compare_exchange_strong(expected, -1, std::memory_order_acq_rel)) {
    std::unique_lock<std::mutex> lock(mutex_);
    done_.wait(lock, [this] { return helperDone_; });
  }
}

void RowWorkers::HelperLoop() {
  unsigned seen = 0;
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    wake_.wait(lock, [&] { return stop_ || generation_ != seen; });
    if (stop_) return;
    seen = generation_;
    // Joining under the lock: the loop cannot be replaced by the next one
    // in between, and one the caller already closed is left alone.
    int expected = 0;
    if (!joined_.compare_exchange_strong(expected, 1, std::memory_order_acq_rel)) continue;
    lock.unlock();
    Work(1);
    lock.lock();
    helperDone_ = true;
    done_.notify_one();
  }
}

}  // namespace orniva
