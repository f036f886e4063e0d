#pragma once

#include <string>
#include <string_view>

namespace orniva {

// Names a data file beside the program: the directory, one separator, then
// the name without leading separators. A directory that already ends with a
// separator (the root "/") gets no second one; an empty directory gives the
// name alone.
std::string JoinPath(std::string_view directory, std::string_view name);

}  // namespace orniva
