#include "core/log.h"

#include <cstdio>
#include <mutex>

namespace orniva {
namespace {
std::mutex gMutex;
LogSink gSink;
LogLevel gMinimum = LogLevel::Info;
}  // namespace

void SetLogSink(LogSink sink) {
  std::lock_guard<std::mutex> lock(gMutex);
  gSink = std::move(sink);
}

void SetLogLevel(LogLevel minimum) {
  std::lock_guard<std::mutex> lock(gMutex);
  gMinimum = minimum;
}

void Log(std::string_view category, LogLevel level, std::string_view message) {
  std::lock_guard<std::mutex> lock(gMutex);
  if (!gSink || level < gMinimum) return;
  gSink(category, level, message);
}

const char* LogLevelName(LogLevel level) {
  switch (level) {
    case LogLevel::Debug:
      return "debug";
    case LogLevel::Info:
      return "info";
    case LogLevel::Warning:
      return "warning";
    case LogLevel::Error:
      return "error";
  }
  return "?";
}

LogSink StderrLogSink() {
  return [](std::string_view category, LogLevel level, std::string_view message) {
    std::fprintf(stderr, "[%s] %.*s: %.*s\n", LogLevelName(level),
                 static_cast<int>(category.size()), category.data(),
                 static_cast<int>(message.size()), message.data());
  };
}

}  // namespace orniva
