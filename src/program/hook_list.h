#pragma once

#include <string>
#include <vector>

namespace orniva {

class Program;

// One hook of the program's windows and commands: "Struct.Field" and whether
// the program has bound it.
struct HookState {
  std::string name;
  bool bound = false;
};

// Every hook field of the program's hook structs and windows, in a fixed
// order. A hook struct that gains a field fails to compile here until the
// field is listed.
std::vector<HookState> ListHooks(Program& program);

}  // namespace orniva
