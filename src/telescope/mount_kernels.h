#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "sky/sky_angles.h"  // kSiderealRate

namespace orniva {

// Mount directions: 1 East, 2 West, 3 North, 4 South.
enum Direction { kEast = 1, kWest = 2, kNorth = 3, kSouth = 4 };
constexpr double kContinuous = 999999;

// "Est", "Ouest", "Nord", "Sud".
const char* DirectionWord(int direction);
// The other direction of the same axis.
int OppositeDirection(int direction);
bool IsRaAxis(int direction);
// Swaps 1<->2 when invertRa, 3<->4 when invertDec.
int InvertDirection(int direction, bool invertRa, bool invertDec);

// What the duration of a motion depends on (the settings of its axis).
struct MotionSettings {
  double speed = 15;    // arcsec/s of the direction
  double backlash = 0;  // ms added when the axis reverses
  bool inertiaPercent = false;
  double inertiaMs = 100;  // time choice
  int inertiaPercentValue = 0;
};

// The duration in ms of a motion (amount: ms when durationGiven, otherwise
// arcseconds; kContinuous gives kContinuous). lastDirection is the last
// stopped direction of the axis (0 when none).
int64_t MotionDurationMs(int direction, bool durationGiven, bool applyGuideSettings, double amount,
                         const MotionSettings& s, int lastDirection);

// The pulse byte of the pulse-coded interface: code × 4 + d (d: East 1,
// West 0, North 2, South 3; code: the length in 15 ms units, at most 63).
uint8_t RuvenaByte(int direction, int64_t ms);

// ":Sr HH:MM:SS.S#" for a right ascension in arcseconds (as an angle).
std::string Lx200TargetRa(double ra);
// "#:Sd sDD:MM:SS#" for a declination in arcseconds (sign only when negative).
std::string Lx200TargetDec(double dec);
// The position replies: RA from hours (characters 1-2) and minutes (4-5),
// Dec from signed degrees (1-3) and minutes (5-6); nothing when the reply
// cannot be read. Both also read the low-precision forms.
std::optional<double> ParseLx200Ra(const std::string& reply);
std::optional<double> ParseLx200Dec(const std::string& reply);

// The device name in a serial-port item: "$02F8 (COM2)" -> "COM2",
// "       COM12" -> "COM12".
std::string SerialItemDevice(const std::string& item);
// The UART address in characters 2 to 5 of the item (0 when none).
uint16_t SerialItemAddress(const std::string& item);
// The first four characters of a parallel-port item read as hexadecimal
// ("$378 (LPT1)" -> 0x378); 0 when unreadable.
uint16_t ParallelItemAddress(const std::string& item);
// "Paire" 2, "Impaire" 1, "Marque" 3, anything else 0.
int ParityCode(const std::string& text);
// "1" 0, "1.5" 1, "2" 2.
int StopBitsCode(const std::string& text);

// The serial-port items of the preferences and the other lists.
std::vector<std::string> SerialPortItems();
std::vector<std::string> BaudItems();
std::vector<std::string> ParallelPortItems();

// Traffic lines: "label : text", or with hex "label : 0D0A \"text\"".
std::string TrafficLine(bool hex, const std::string& label, const std::string& text);
// "0378 : 00001011".
std::string PortTrafficLine(uint16_t address, uint8_t value);

}  // namespace orniva
