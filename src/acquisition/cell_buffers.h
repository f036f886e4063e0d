#pragma once

#include <cstdint>
#include <cstdlib>
#include <memory>

namespace orniva {

// The compositor's five cell buffers (0 integration, 1 dark, 2 flat, 3 not
// used, 4 result): each 1025 columns x 769 rows of cells holding three
// signed 32-bit sums in the order red, green, blue, stored row by row. One
// allocation for the life of the program, zero at start (the pages are
// zeroed by the system as they are first touched, so creating it is cheap).
class CellBuffers {
 public:
  static constexpr int kBuffers = 5;
  static constexpr int kColumns = 1025;
  static constexpr int kRows = 769;
  static constexpr size_t kCellsPerBuffer = static_cast<size_t>(kColumns) * kRows;
  static constexpr size_t kIntsPerBuffer = 3 * kCellsPerBuffer;

  CellBuffers();

  int32_t* Buffer(int index) { return data_.get() + index * kIntsPerBuffer; }
  const int32_t* Buffer(int index) const { return data_.get() + index * kIntsPerBuffer; }
  // The three sums (red, green, blue) of cell (column, row) of a buffer.
  int32_t* Cell(int index, int column, int row) {
    return Buffer(index) + 3 * (static_cast<size_t>(row) * kColumns + column);
  }
  // Sets every sum of one buffer to 0.
  void Clear(int index);

 private:
  struct Free {
    void operator()(int32_t* p) const { std::free(p); }
  };
  std::unique_ptr<int32_t, Free> data_;
};

}  // namespace orniva
