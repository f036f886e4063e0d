#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "sim/mount_model.h"

namespace orniva {

// The pulse of a pulse-coded guide box: one byte, code × 4 + d (d: West 0,
// East 1, North 2, South 3), the code being the length in units of 15 ms.
struct GuidePulse {
  MountDirection direction = MountDirection::West;
  int64_t durationMs = 0;
};
GuidePulse DecodeRuvenaByte(uint8_t byte);

// The LX200 command set of the simulated mount, answered from the mount
// model at the time given. A command is given without its ':' and '#'; the
// answer is what the mount sends back (empty for commands without one).
// Position ":GR#" "HH:MM:SS#" (low precision "HH:MM.T#"), ":GD#"
// "sDD*MM:SS#" (low precision "sDD*MM#", '*' or the 0xDF degree sign of many
// hand pads); target ":Sr HH:MM:SS#", ":Sd sDD*MM:SS#" ("1" or "0"); ":MS#"
// slews ("0"); ":D#" answers a bar string while slewing and six blanks once
// arrived; ":Q#" stops everything; ":Mn#" … ":Qw#" move at the rate of
// ":RG#", ":RC#", ":RM#", ":RS#"; ":Mgn1000#" guides north for 1000 ms at the
// guide rate; ":L" + object ("M 31", "M031", "C 224", "S 214") makes an
// object of the mount's library the target; ":CM#" synchronises on the
// target and answers the library object's description (or "Coordinates
// matched."); the focuser ":F+#", ":F-#" moves out or in, ":FQ#" stops it.
// The queries real clients make on connecting are answered too: the target
// ":Gr#" ":Gd#", the date ":GC#" "MM/DD/YY#" and time ":GL#" "HH:MM:SS#" of
// the mount's clock (UTC, ":GG#" "+00#"), the site ":Gt#" "sDD*MM#" and
// ":Gg#" "sDDD*MM#" (west positive), its name ":GM#", the tracking rate
// ":GT#" "60.1#", the clock format ":Gc#" "24#", the product ":GVP#" and
// version ":GVN#"; ":U#" toggles the precision.
// Not thread-safe: its owner serialises the calls.
class Lx200Protocol {
 public:
  explicit Lx200Protocol(MountModel& mount) : mount_(mount) {}
  std::string Answer(std::string_view command, int64_t nowMs);
  // A pulse byte of a pulse-coded guide box: moves at the guide rate.
  void PulseByte(uint8_t byte, int64_t nowMs);

  void SetLowPrecision(bool on) { lowPrecision_ = on; }
  void SetDegreeSign(char sign) { degreeSign_ = sign; }
  // -1 moving in, +1 out, 0 stopped.
  int FocusDirection() const { return focus_; }

 private:
  MountModel& mount_;
  double targetRa_ = 0;
  double targetDec_ = 0;
  std::string libraryObject_;  // description of the library target, "" when none
  bool lowPrecision_ = false;
  char degreeSign_ = '*';
  int focus_ = 0;
};

}  // namespace orniva
