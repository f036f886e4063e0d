#include "core/paths.h"

namespace orniva {

std::string JoinPath(std::string_view directory, std::string_view name) {
  while (!name.empty() && name.front() == '/') name.remove_prefix(1);
  std::string out(directory);
  if (!out.empty() && out.back() != '/') out += '/';
  out += name;
  return out;
}

}  // namespace orniva
