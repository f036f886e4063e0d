#include "acquisition/memory_status.h"

#include <sys/resource.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace orniva {
namespace {

// The value in bytes of a "Key:   1234 kB" line, if present.
std::optional<uint64_t> Field(std::string_view text, std::string_view key) {
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(pos, end - pos);
    pos = end + 1;
    if (line.size() <= key.size() || line.substr(0, key.size()) != key || line[key.size()] != ':') {
      continue;
    }
    const std::string rest(line.substr(key.size() + 1));
    char* stop = nullptr;
    const unsigned long long v = std::strtoull(rest.c_str(), &stop, 10);
    if (stop == rest.c_str()) return std::nullopt;
    const bool kb = std::string_view(stop).find("kB") != std::string_view::npos;
    return static_cast<uint64_t>(v) * (kb ? 1024 : 1);
  }
  return std::nullopt;
}

std::string ReadText(const char* path) {
  std::ifstream in(path);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

}  // namespace

std::optional<MemoryStatus> ParseMemoryStatus(std::string_view meminfo, std::string_view selfStatus,
                                              uint64_t addressSpace) {
  const auto total = Field(meminfo, "MemTotal");
  auto avail = Field(meminfo, "MemAvailable");
  if (!avail) avail = Field(meminfo, "MemFree");
  if (!total || !avail || *total == 0) return std::nullopt;
  MemoryStatus s;
  s.totalPhys = *total;
  s.availPhys = std::min(*avail, *total);
  s.loadPercent = static_cast<int>((s.totalPhys - s.availPhys) * 100 / s.totalPhys);
  s.totalPageFile = Field(meminfo, "SwapTotal").value_or(0);
  s.availPageFile = std::min(Field(meminfo, "SwapFree").value_or(0), s.totalPageFile);
  s.totalVirtual = addressSpace;
  const uint64_t used = Field(selfStatus, "VmSize").value_or(0);
  s.availVirtual = used < addressSpace ? addressSpace - used : 0;
  return s;
}

std::optional<MemoryStatus> ReadMemoryStatus() {
  uint64_t space = uint64_t{1} << 47;  // user address space of x86-64 and arm64 Linux
  rlimit lim{};
  if (getrlimit(RLIMIT_AS, &lim) == 0 && lim.rlim_cur != RLIM_INFINITY) {
    space = std::min<uint64_t>(space, lim.rlim_cur);
  }
  return ParseMemoryStatus(ReadText("/proc/meminfo"), ReadText("/proc/self/status"), space);
}

}  // namespace orniva
