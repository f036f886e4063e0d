#include "automation/system_variables.h"

#include <unistd.h>

#include <array>
#include <cstdio>

#include "ui/window.h"

namespace orniva {

namespace {

std::string Digits(int value, int width) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%0*d", width, value);
  return buf;
}

std::string CurrentDirectory() {
  std::array<char, 4096> buf{};
  if (!getcwd(buf.data(), buf.size())) return "./";
  std::string dir(buf.data());
  if (dir.empty() || dir.back() != '/') dir += '/';
  return dir;
}

}  // namespace

std::string FormatDate(const LocalDateTime& t) {
  return Digits(t.year, 4) + Digits(t.month, 2) + Digits(t.day, 2);
}

std::string FormatTime(const LocalDateTime& t) {
  return Digits(t.hour, 2) + Digits(t.minute, 2) + Digits(t.second, 2) + Digits(t.millisecond, 3);
}

int64_t DayNumber(const LocalDateTime& t) {
  // 1 January 1970 is day 719163 counted from 1 January of year 1 as day 1.
  return MsFromCivil(t.year, t.month, t.day) / 86400000LL + 719163;
}

std::string ProgramDirectory() {
  std::array<char, 4096> buf{};
  const ssize_t n = readlink("/proc/self/exe", buf.data(), buf.size() - 1);
  if (n <= 0) return CurrentDirectory();
  std::string path(buf.data(), static_cast<size_t>(n));
  return path.substr(0, path.rfind('/') + 1);
}

SystemVariables::SystemVariables() {
  Set("%appdir", [] { return ProgramDirectory(); });
  Set("%scriptdir", [] { return CurrentDirectory(); });
  Set("%bitmapdir", [] { return CurrentDirectory(); });
  Set("%videowidth", [] { return std::string("640"); });
  Set("%videoheight", [] { return std::string("480"); });
  Set("%trackx", [] { return std::string("320"); });
  Set("%tracky", [] { return std::string("240"); });
  Set("%displayx", [] { return std::string("320"); });
  Set("%displayy", [] { return std::string("240"); });
  Set("%cam1_online", [] { return std::string("0"); });
  Set("%cam2_online", [] { return std::string("0"); });
  Set("%object_in_field", [] { return std::string("0"); });
}

void SystemVariables::Set(std::string_view name, Provider provider) {
  providers_[LowerAscii(name)] = std::move(provider);
}

std::optional<std::string> SystemVariables::Value(std::string_view name,
                                                  const LocalDateTime& now) const {
  const std::string key = LowerAscii(name);
  if (key == "%date") return FormatDate(now);
  if (key == "%dateraw") return std::to_string(DayNumber(now));
  if (key == "%year") return Digits(now.year, 4);
  if (key == "%month") return Digits(now.month, 2);
  if (key == "%day") return Digits(now.day, 2);
  if (key == "%time") return FormatTime(now);
  if (key == "%timeraw") return std::to_string(now.MsOfDay());
  if (key == "%hour") return Digits(now.hour, 2);
  if (key == "%minute") return Digits(now.minute, 2);
  if (key == "%second") return Digits(now.second, 2);
  auto it = providers_.find(key);
  if (it == providers_.end() || !it->second) return std::nullopt;
  return it->second();
}

}  // namespace orniva
