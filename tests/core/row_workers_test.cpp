#include "core/row_workers.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace orniva {
namespace {

// Runs one shared loop and checks that every row was visited exactly once,
// by ranges no longer than the chunk, and returns how many rows each part did.
std::array<int, 2> RunOnce(RowWorkers& workers, int rows, int chunk) {
  std::vector<std::atomic<int>> visits(rows);
  std::array<std::atomic<int>, 2> byPart{0, 0};
  std::atomic<bool> badRange{false};
  workers.ForRows(rows, chunk, [&](int begin, int end, int part) {
    if (begin < 0 || end > rows || begin >= end || end - begin > std::max(chunk, 1)) {
      // Only the caller may run the whole loop at once (too short to share).
      if (!(begin == 0 && end == rows && part == 0)) badRange = true;
    }
    for (int j = begin; j < end; ++j) visits[j]++;
    byPart[part] += end - begin;
  });
  EXPECT_FALSE(badRange);
  for (int j = 0; j < rows; ++j) EXPECT_EQ(visits[j].load(), 1) << "row " << j;
  return {byPart[0].load(), byPart[1].load()};
}

TEST(RowWorkers, EveryRowOnceWhateverTheShape) {
  RowWorkers workers(true);
  for (auto [rows, chunk] :
       {std::pair{0, 16}, {1, 16}, {16, 16}, {17, 16}, {769, 16}, {100, 1}, {5, 0}}) {
    const auto parts = RunOnce(workers, rows, chunk);
    EXPECT_EQ(parts[0] + parts[1], rows);
  }
  // Many loops in a row: no loop is lost or run twice when the helper comes
  // late, early or not at all.
  int shared = 0;
  for (int k = 0; k < 2000; ++k) shared += RunOnce(workers, 64, 4)[1] > 0;
  RecordProperty("loops_shared", shared);
}

TEST(RowWorkers, WithoutHelperTheCallerDoesEverything) {
  RowWorkers workers(false);
  EXPECT_EQ(RunOnce(workers, 300, 8)[1], 0);
}

TEST(RowWorkers, TwoCallersAtOnceBothComplete) {
  RowWorkers workers(true);
  std::thread other([&] {
    for (int k = 0; k < 300; ++k) RunOnce(workers, 200, 8);
  });
  for (int k = 0; k < 300; ++k) RunOnce(workers, 200, 8);
  other.join();
}

}  // namespace
}  // namespace orniva
