#pragma once

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace orniva {

// Shares a loop over the rows of an image between the calling thread and one
// helper thread, for the per-frame kernels whose rows are independent. The
// rows are handed out in chunks to whichever thread is free, so a helper
// that is late (its core busy elsewhere) only means the caller does more of
// the work: the caller never waits for the helper to start, only for the
// chunk the helper is working on. Each call says which of the two threads
// runs it (part 0 the caller, part 1 the helper) so that the kernel can give
// each its own scratch rows. One loop at a time: a call made while another
// is running (from another thread) runs wholly on its caller.
class RowWorkers {
 public:
  // The process's helper; none on a single-processor machine.
  static RowWorkers& Shared();

  explicit RowWorkers(bool helper);
  ~RowWorkers();
  RowWorkers(const RowWorkers&) = delete;
  RowWorkers& operator=(const RowWorkers&) = delete;

  // Without the helper every loop runs wholly on its caller.
  void SetHelperEnabled(bool on) { enabled_.store(on, std::memory_order_relaxed); }

  // Calls fn(begin, end, part) over consecutive ranges covering [0, rows),
  // each at most chunk rows long (the last may be shorter).
  template <typename Fn>
  void ForRows(int rows, int chunk, Fn&& fn) {
    Run(rows, chunk, &Trampoline<Fn>, &fn);
  }

 private:
  using RangeFn = void (*)(void* context, int begin, int end, int part);
  template <typename Fn>
  static void Trampoline(void* context, int begin, int end, int part) {
    (*static_cast<Fn*>(context))(begin, end, part);
  }
  void Run(int rows, int chunk, RangeFn fn, void* context);
  void Work(int part);
  void HelperLoop();

  // The loop being shared.
  RangeFn fn_ = nullptr;
  void* context_ = nullptr;
  int rows_ = 0, chunk_ = 1, chunks_ = 0;
  std::atomic<int> next_{0};
  // 0 open, 1 the helper took part, -1 closed by the caller before the
  // helper came.
  std::atomic<int> joined_{0};

  std::atomic<bool> enabled_{true};
  std::mutex busy_;  // held by the caller for a whole loop
  std::mutex mutex_;
  std::condition_variable wake_, done_;
  unsigned generation_ = 0;
  bool helperDone_ = true;
  bool stop_ = false;
  std::thread helper_;
};

}  // namespace orniva
