#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "core/event_loop.h"

namespace orniva {

// The system variables of the script language ("%date", "%trackx"...), read
// as text. Date and time come from the given local time; every other value
// comes from a provider: the program installs those of the cameras, zones
// and folders. An interpreter on its own (tests, tools) has defaults:
// "%appdir" the folder of the running program, "%scriptdir" and
// "%bitmapdir" the current folder, "%videowidth" 640, "%videoheight" 480,
// "%trackx"/"%displayx" 320, "%tracky"/"%displayy" 240,
// "%cam1_online"/"%cam2_online" "0". "%object_in_field" is a flag nothing
// sets: always "0". Directories end with a path separator.
class SystemVariables {
 public:
  using Provider = std::function<std::string()>;
  SystemVariables();

  // Replaces the provider of a name ("%trackx", any case).
  void Set(std::string_view name, Provider provider);
  // The text of a system variable at local time now, or nothing when the
  // name (with its "%", any case) is unknown.
  std::optional<std::string> Value(std::string_view name, const LocalDateTime& now) const;

 private:
  std::map<std::string, Provider, std::less<>> providers_;
};

// "yyyymmdd", "hhnnss" + milliseconds on three digits, and the day number
// counted from 1 January of year 1 (that day is 1).
std::string FormatDate(const LocalDateTime& t);
std::string FormatTime(const LocalDateTime& t);
int64_t DayNumber(const LocalDateTime& t);

// The folder of the running program, ending with "/".
std::string ProgramDirectory();

}  // namespace orniva
