#include "acquisition/cell_buffers.h"

#include <cstring>
#include <new>

namespace orniva {

CellBuffers::CellBuffers()
    : data_(static_cast<int32_t*>(std::calloc(kBuffers * kIntsPerBuffer, sizeof(int32_t)))) {
  if (!data_) throw std::bad_alloc();
}

void CellBuffers::Clear(int index) {
  std::memset(Buffer(index), 0, kIntsPerBuffer * sizeof(int32_t));
}

}  // namespace orniva
