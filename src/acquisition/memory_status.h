#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace orniva {

// The memory figures of the resources window, in bytes (load in percent).
// On Linux: physical memory is MemTotal / MemAvailable, the paging file is
// the swap space, and the virtual memory is the process's address space
// (its limit, or the user address space) less what it has mapped.
struct MemoryStatus {
  int loadPercent = 0;
  uint64_t totalPhys = 0, availPhys = 0;
  uint64_t totalPageFile = 0, availPageFile = 0;
  uint64_t totalVirtual = 0, availVirtual = 0;
};

// Builds the figures from the text of /proc/meminfo, the text of
// /proc/self/status and the size of the address space; nothing when the
// physical memory figures are missing.
std::optional<MemoryStatus> ParseMemoryStatus(std::string_view meminfo, std::string_view selfStatus,
                                              uint64_t addressSpace);
// Reads them from the running system.
std::optional<MemoryStatus> ReadMemoryStatus();

}  // namespace orniva
