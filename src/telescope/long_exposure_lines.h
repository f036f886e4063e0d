#pragma once

#include <cstdint>

namespace orniva {

// One control line of a camera modified for long exposures: its pin on the
// parallel port (2..9, data bit pin − 2) and its active value (0 or 1).
struct ExposureLine {
  int pin = 2;
  int activeValue = 1;
};

// The lines of a modified camera on the data register of a parallel port:
// the charge transfer of the odd and of the even field, the read-out
// amplifier and the long-exposure mode (pins 2, 3, 4 and 5, active values 1
// unless the preferences say otherwise).
struct LongExposureLines {
  uint16_t port = 0x378;
  ExposureLine odd{2, 1};
  ExposureLine even{3, 1};
  ExposureLine amplifier{4, 1};
  ExposureLine longExposure{5, 1};
};

// Which fields integrate during an exposure: both, or only the one that is
// not the self-guiding field.
enum class ExposureFields { Both, Odd, Even };

// A line is engaged by clearing its bit (when its active value is 1) and
// released by setting it to its active value; with the active value 0
// neither changes the byte.
uint8_t EngageLine(uint8_t shadow, const ExposureLine& line);
uint8_t ReleaseLine(uint8_t shadow, const ExposureLine& line);
// Whether a data byte holds a line engaged (its bit differs from the active
// value).
bool LineEngaged(uint8_t value, const ExposureLine& line);

// The data byte for each step of an exposure series, from the byte read
// back from the port:
// long-exposure mode on: all four lines engaged;
uint8_t LongExposureModeOn(uint8_t shadow, const LongExposureLines& lines);
// mode off: the field and amplifier lines released, and the mode line too
// unless it is kept engaged between series ("Permanent");
uint8_t LongExposureModeOff(uint8_t shadow, const LongExposureLines& lines, bool permanent);
// an exposure starts: the integrating fields and the amplifier engaged;
uint8_t ExposureStartLines(uint8_t shadow, const LongExposureLines& lines, ExposureFields fields);
// an exposure ends and is read out: the same lines released.
uint8_t ExposureEndLines(uint8_t shadow, const LongExposureLines& lines, ExposureFields fields);

}  // namespace orniva
