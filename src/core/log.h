#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace orniva {

enum class LogLevel { Debug, Info, Warning, Error };

// The program's diagnostic log: a category ("capture", "serial"…), a level and
// a line. Nothing is written until a sink is installed (the program installs
// one that prints to standard error; tests stay silent unless they ask).
using LogSink = std::function<void(std::string_view category, LogLevel, std::string_view)>;

void SetLogSink(LogSink sink);
void SetLogLevel(LogLevel minimum);
void Log(std::string_view category, LogLevel level, std::string_view message);
// A sink that writes "[level] category: message" lines to standard error.
LogSink StderrLogSink();
const char* LogLevelName(LogLevel level);

}  // namespace orniva
