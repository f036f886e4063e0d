#include "telescope/mount_kernels.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "core/rounding.h"

namespace orniva {

const char* DirectionWord(int direction) {
  switch (direction) {
    case kEast:
      return "Est";
    case kWest:
      return "Ouest";
    case kNorth:
      return "Nord";
    case kSouth:
      return "Sud";
    default:
      return "";
  }
}

int OppositeDirection(int direction) {
  switch (direction) {
    case kEast:
      return kWest;
    case kWest:
      return kEast;
    case kNorth:
      return kSouth;
    case kSouth:
      return kNorth;
    default:
      return 0;
  }
}

bool IsRaAxis(int direction) {
  return direction == kEast || direction == kWest;
}

int InvertDirection(int direction, bool invertRa, bool invertDec) {
  if ((invertRa && IsRaAxis(direction)) || (invertDec && !IsRaAxis(direction)))
    return OppositeDirection(direction);
  return direction;
}

int64_t MotionDurationMs(int direction, bool durationGiven, bool applyGuideSettings, double amount,
                         const MotionSettings& s, int lastDirection) {
  if (!durationGiven && amount == kContinuous) return static_cast<int64_t>(kContinuous);
  int64_t d;
  if (durationGiven) {
    d = static_cast<int64_t>(Trunc(amount));
  } else {
    d = std::max<int64_t>(0, static_cast<int64_t>(Trunc(amount / std::max(s.speed, 0.1) * 1000)));
    if (lastDirection != 0 && lastDirection == OppositeDirection(direction))
      d += static_cast<int64_t>(Trunc(s.backlash));
  }
  if (amount != kContinuous && applyGuideSettings) {
    if (s.inertiaPercent)
      d = static_cast<int64_t>(
          Trunc((100 - s.inertiaPercentValue) * 0.01 * static_cast<double>(d)));
    else
      d = std::max<int64_t>(0, d - static_cast<int64_t>(Trunc(s.inertiaMs)));
  }
  return d;
}

uint8_t RuvenaByte(int direction, int64_t ms) {
  int code = static_cast<int>(
      std::min<double>(63, Trunc(static_cast<double>(ms) * 0.001 * 66.666666666666667)));
  if (code < 0) code = 0;
  int d = direction == kEast ? 1 : direction == kWest ? 0 : direction == kNorth ? 2 : 3;
  return static_cast<uint8_t>(code * 4 + d);
}

namespace {
std::string Two(long v) {
  char b[24];
  std::snprintf(b, sizeof b, "%02ld", v);
  return b;
}

bool Digit(char c) {
  return c >= '0' && c <= '9';
}
}  // namespace

std::string Lx200TargetRa(double ra) {
  ra = std::fmod(ra, 1296000.0);
  if (ra < 0) ra += 1296000.0;
  // Tenths of a second of time, rounded once so that 59.96 s carries over.
  long tenths = std::lround(ra / 15.0 * 10.0) % 864000;
  long h = tenths / 36000, m = tenths / 600 % 60, s10 = tenths % 600;
  char sec[48];
  std::snprintf(sec, sizeof sec, "%02ld.%ld", s10 / 10, s10 % 10);
  return ":Sr " + Two(h) + ":" + Two(m) + ":" + sec + "#";
}

std::string Lx200TargetDec(double dec) {
  long a = std::lround(std::fabs(dec));
  // The sign is written whenever the declination is negative, also between
  // 0 and -1 degree where the degrees alone would read as positive.
  return std::string("#:Sd ") + (dec < 0 && a > 0 ? "-" : "") + Two(a / 3600) + ":" +
         Two(a / 60 % 60) + ":" + Two(a % 60) + "#";
}

std::optional<double> ParseLx200Ra(const std::string& reply) {
  if (reply.size() < 5 || !Digit(reply[0]) || !Digit(reply[1]) || !Digit(reply[3]) ||
      !Digit(reply[4]))
    return std::nullopt;
  int h = (reply[0] - '0') * 10 + (reply[1] - '0');
  int m = (reply[3] - '0') * 10 + (reply[4] - '0');
  if (h > 23 || m > 59) return std::nullopt;
  return h * 54000.0 + m * 900.0;
}

std::optional<double> ParseLx200Dec(const std::string& reply) {
  // Sign, two degree digits, one separator byte ('*', 0xDF, ':'), minutes.
  if (reply.size() < 6 || (reply[0] != '+' && reply[0] != '-' && !Digit(reply[0])) ||
      !Digit(reply[1]) || !Digit(reply[2]) || Digit(reply[3]) || !Digit(reply[4]) ||
      !Digit(reply[5]))
    return std::nullopt;
  int d = (reply[1] - '0') * 10 + (reply[2] - '0');
  if (Digit(reply[0])) d += (reply[0] - '0') * 100;
  int m = (reply[4] - '0') * 10 + (reply[5] - '0');
  // Nothing lies beyond the poles: "+90*30" is a garbled reply, not 90.5 degrees.
  if (d > 90 || m > 59 || (d == 90 && m > 0)) return std::nullopt;
  double v = d * 3600.0 + m * 60.0;
  return reply[0] == '-' ? -v : v;
}

std::string SerialItemDevice(const std::string& item) {
  if (item.size() < 8) return {};
  std::string name = item.substr(7);
  auto close = name.find(')');
  if (close != std::string::npos) name.erase(close);
  while (!name.empty() && name.back() == ' ') name.pop_back();
  return name;
}

namespace {
int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

uint16_t ReadHex(const std::string& text) {
  unsigned v = 0;
  bool any = false;
  for (char c : text) {
    int h = HexValue(c);
    if (h < 0) {
      if (c == ' ' && any) break;
      return 0;
    }
    v = v * 16 + static_cast<unsigned>(h);
    any = true;
  }
  return any ? static_cast<uint16_t>(v) : 0;
}
}  // namespace

uint16_t SerialItemAddress(const std::string& item) {
  if (item.size() < 5) return 0;
  return ReadHex(item.substr(1, 4));
}

uint16_t ParallelItemAddress(const std::string& item) {
  std::string head = item.substr(0, 4);
  if (!head.empty() && head[0] == '$') head.erase(0, 1);
  return ReadHex(head);
}

int ParityCode(const std::string& text) {
  if (text == "Paire") return 2;
  if (text == "Impaire") return 1;
  if (text == "Marque") return 3;
  return 0;
}

int StopBitsCode(const std::string& text) {
  if (text == "1.5") return 1;
  if (text == "2") return 2;
  return 0;
}

std::vector<std::string> SerialPortItems() {
  std::vector<std::string> items{"$03F8 (COM1)", "$02F8 (COM2)"};
  for (int n = 3; n <= 20; ++n) items.push_back("       COM" + std::to_string(n));
  return items;
}

std::vector<std::string> BaudItems() {
  return {"150",   "300",   "600",   "1200",  "2400",   "4800",   "9600",  "14400",
          "19200", "38400", "56000", "57600", "115200", "128000", "256000"};
}

std::vector<std::string> ParallelPortItems() {
  return {"$378 (LPT1)", "$278 (LPT2)", "$3BC (LPT3)", "$2BC (LPT4)", "$368",
          "$36C",        "$358",        "$278",        "$26C",        "$268",
          "$258",        "$379",        "$37A",        "$279",        "$27A"};
}

std::string TrafficLine(bool hex, const std::string& label, const std::string& text) {
  std::string line = label + " : ";
  if (hex) {
    static const char* kDigits = "0123456789ABCDEF";
    for (unsigned char c : text) {
      line += kDigits[c >> 4];
      line += kDigits[c & 15];
    }
  }
  return line + " \"" + text + "\"";
}

std::string PortTrafficLine(uint16_t address, uint8_t value) {
  char addr[8];
  std::snprintf(addr, sizeof addr, "%04X", address);
  std::string bits;
  for (int b = 7; b >= 0; --b) bits += ((value >> b) & 1) ? '1' : '0';
  return std::string(addr) + " : " + bits;
}

}  // namespace orniva
