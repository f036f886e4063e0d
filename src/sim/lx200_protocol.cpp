#include "sim/lx200_protocol.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "core/event_loop.h"

namespace orniva {

namespace {

// "HH:MM:SS#", or "HH:MM.T#" in low precision.
std::string RaText(double ra, bool low) {
  char b[48];
  if (low) {
    const long tenths = std::lround(ra / 15.0 / 6.0) % 14400;  // tenths of a minute of time
    std::snprintf(b, sizeof b, "%02ld:%02ld.%ld#", tenths / 600, tenths / 10 % 60, tenths % 10);
  } else {
    const long s = std::lround(ra / 15.0) % 86400;
    std::snprintf(b, sizeof b, "%02ld:%02ld:%02ld#", s / 3600, s / 60 % 60, s % 60);
  }
  return b;
}

// "sDD*MM:SS#", or "sDD*MM#" in low precision, with the mount's degree sign.
std::string DecText(double dec, bool low, char degreeSign) {
  long a = std::lround(std::fabs(dec));
  if (low) a = (a + 30) / 60 * 60;
  char b[48];
  if (low)
    std::snprintf(b, sizeof b, "%c%02ld%c%02ld#", dec < 0 ? '-' : '+', a / 3600, degreeSign,
                  a / 60 % 60);
  else
    std::snprintf(b, sizeof b, "%c%02ld%c%02ld:%02ld#", dec < 0 ? '-' : '+', a / 3600, degreeSign,
                  a / 60 % 60, a % 60);
  return b;
}

// "HH:MM:SS" or "HH:MM.T" into arcseconds; false when unreadable.
bool ParseRa(std::string_view text, double& ra) {
  const std::string s(text);
  int h = 0, m = 0;
  double sec = 0, minutes = 0;
  if (std::sscanf(s.c_str(), " %d:%d:%lf", &h, &m, &sec) == 3) {
    minutes = m + sec / 60;
    if (m < 0 || m > 59 || sec < 0 || sec >= 60) return false;
  } else if (std::sscanf(s.c_str(), " %d:%lf", &h, &minutes) != 2 || minutes < 0 || minutes >= 60) {
    return false;
  }
  if (h < 0 || h > 23) return false;
  ra = (h * 60.0 + minutes) * 60 * 15.0;
  return true;
}

// "sDD*MM:SS", "sDD*MM", with '*', ':' or the 0xDF degree sign.
bool ParseDec(std::string_view text, double& dec) {
  std::string s(text);
  for (char& c : s)
    if (c == '*' || c == '\xDF' || c == '\'') c = ':';
  size_t i = s.find_first_not_of(' ');
  if (i == std::string::npos) return false;
  const bool negative = s[i] == '-';
  if (s[i] == '-' || s[i] == '+') ++i;
  int d = 0, m = 0, sec = 0;
  const int read = std::sscanf(s.c_str() + i, "%d:%d:%d", &d, &m, &sec);
  if (read < 2 || d > 90 || m < 0 || m > 59 || sec < 0 || sec > 59) return false;
  dec = (negative ? -1 : 1) * (d * 3600.0 + m * 60 + sec);
  return std::fabs(dec) <= 90 * 3600.0;
}

bool Direction(char c, MountDirection& d) {
  switch (c) {
    case 'n':
      d = MountDirection::North;
      return true;
    case 's':
      d = MountDirection::South;
      return true;
    case 'e':
      d = MountDirection::East;
      return true;
    case 'w':
      d = MountDirection::West;
      return true;
  }
  return false;
}

// A few objects of the mount's own library: Messier ('M'), NGC ('C') and
// its star list ('S'), with the description ":CM#" answers.
struct LibraryEntry {
  char kind;
  int number;
  double ra, dec;  // arcseconds
  const char* description;
};
constexpr double Hms(int h, int m, double s) {
  return (h * 3600 + m * 60 + s) * 15.0;
}
constexpr double Dms(int sign, int d, int m, int s) {
  return sign * (d * 3600.0 + m * 60 + s);
}
const LibraryEntry kLibrary[] = {
    {'M', 31, Hms(0, 42, 44.3), Dms(1, 41, 16, 9), " M31 EX GAL MAG 3.5 SZ178.0'#"},
    {'C', 224, Hms(0, 42, 44.3), Dms(1, 41, 16, 9), " M31 EX GAL MAG 3.5 SZ178.0'#"},
    {'M', 42, Hms(5, 35, 17.3), Dms(-1, 5, 23, 28), " M42 DIF NEB MAG 4.0 SZ 85.0'#"},
    {'M', 57, Hms(18, 53, 35.1), Dms(1, 33, 1, 45), " M57 PLN NEB MAG 8.8 SZ  1.4'#"},
    {'S', 214, Hms(18, 36, 56.3), Dms(1, 38, 47, 1), " VEGA MAG 0.0#"},
    {'S', 232, Hms(20, 41, 25.9), Dms(1, 45, 16, 49), " DENEB MAG 1.3#"},
};

const LibraryEntry* FindLibraryObject(std::string_view text) {
  if (text.empty()) return nullptr;
  const char kind = text[0];
  const std::string digits(text.substr(1));
  char* end = nullptr;
  const long number = std::strtol(digits.c_str(), &end, 10);
  if (end == digits.c_str()) return nullptr;
  for (const LibraryEntry& e : kLibrary)
    if (e.kind == kind && e.number == number) return &e;
  return nullptr;
}

}  // namespace

GuidePulse DecodeRuvenaByte(uint8_t byte) {
  static const MountDirection kByCode[] = {MountDirection::West, MountDirection::East,
                                           MountDirection::North, MountDirection::South};
  return {kByCode[byte & 3], (byte >> 2) * 15};
}

void Lx200Protocol::PulseByte(uint8_t byte, int64_t nowMs) {
  const GuidePulse p = DecodeRuvenaByte(byte);
  mount_.Pulse(p.direction, p.durationMs, mount_.Parameters().rates[0], nowMs);
}

namespace {

// Degrees and minutes of a site coordinate: "sDD*MM#", or "sDDD*MM#" for a
// longitude.
std::string SiteText(double arcsec, bool longitude, char degreeSign) {
  const long minutes = std::lround(std::fabs(arcsec) / 60);
  char b[32];
  std::snprintf(b, sizeof b, longitude ? "%c%03ld%c%02ld#" : "%c%02ld%c%02ld#",
                arcsec < 0 ? '-' : '+', minutes / 60, degreeSign, minutes % 60);
  return b;
}

}  // namespace

std::string Lx200Protocol::Answer(std::string_view c, int64_t now) {
  MountDirection d;
  if (c == "GR") return RaText(mount_.ReportedRa(now), lowPrecision_);
  if (c == "GD") return DecText(mount_.ReportedDec(now), lowPrecision_, degreeSign_);
  if (c == "Gr") return RaText(targetRa_, lowPrecision_);
  if (c == "Gd") return DecText(targetDec_, lowPrecision_, degreeSign_);
  if (c == "U") {
    lowPrecision_ = !lowPrecision_;
    return "";
  }
  // The mount's clock and site: its local time is UTC (offset 0), its
  // longitude counted positive westwards as the protocol has it.
  if (c == "GC" || c == "GL") {
    const LocalDateTime t = CivilFromMs(mount_.WallClockMs(now));
    char b[32];
    if (c == "GC")
      std::snprintf(b, sizeof b, "%02d/%02d/%02d#", t.month, t.day, t.year % 100);
    else
      std::snprintf(b, sizeof b, "%02d:%02d:%02d#", t.hour, t.minute, t.second);
    return b;
  }
  if (c == "GG") return "+00#";
  if (c == "Gc") return "24#";
  if (c == "Gt") return SiteText(mount_.Parameters().latitude, false, degreeSign_);
  if (c == "Gg") return SiteText(-mount_.Parameters().longitude, true, degreeSign_);
  if (c == "GM" || c == "GN" || c == "GO" || c == "GP") return "Orniva#";
  if (c == "GT") return mount_.Tracking() ? "60.1#" : "00.0#";
  if (c == "GVP") return "Orniva LX200#";
  if (c == "GVN") return "1.0#";
  if (c.starts_with("Sr") || c.starts_with("Sd")) {
    const bool ok =
        c[1] == 'r' ? ParseRa(c.substr(2), targetRa_) : ParseDec(c.substr(2), targetDec_);
    if (ok) libraryObject_.clear();
    return ok ? "1" : "0";
  }
  if (c == "MS") {
    mount_.Goto(targetRa_, targetDec_, now);
    return "0";
  }
  if (c == "D") return mount_.Slewing(now) ? "||||||#" : "      #";
  if (c == "Q") {
    mount_.StopAll(now);
    return "";
  }
  if (c.starts_with("L") && c.size() > 1 && c[1] != 'o' && c[1] != 's') {
    // An object of the library becomes the target; an unknown one changes
    // nothing.
    if (const LibraryEntry* e = FindLibraryObject(c.substr(1))) {
      targetRa_ = e->ra;
      targetDec_ = e->dec;
      libraryObject_ = e->description;
    }
    return "";
  }
  if (c == "CM") {
    mount_.Sync(targetRa_, targetDec_, now);
    return libraryObject_.empty() ? "Coordinates     matched.        #" : libraryObject_;
  }
  if (c == "F+" || c == "F-" || c == "FQ") {
    focus_ = c[1] == '+' ? 1 : c[1] == '-' ? -1 : 0;
    return "";
  }
  if (c.size() == 2 && c[0] == 'R') {
    const std::string_view rates = "GCMS";
    const size_t i = rates.find(c[1]);
    if (i != std::string_view::npos) mount_.SetRate(static_cast<int>(i));
    return "";
  }
  if (c.size() > 3 && c.starts_with("Mg") && Direction(c[2], d)) {
    const long ms = std::strtol(std::string(c.substr(3)).c_str(), nullptr, 10);
    mount_.Pulse(d, ms, mount_.Parameters().rates[0], now);
    return "";
  }
  if (c.size() == 2 && c[0] == 'M' && Direction(c[1], d)) mount_.StartMove(d, now);
  if (c.size() == 2 && c[0] == 'Q' && Direction(c[1], d)) mount_.StopMove(d, now);
  return "";
}

}  // namespace orniva
