#include "telescope/long_exposure_lines.h"

#include <algorithm>

namespace orniva {

namespace {

// The data bit of a line; pins outside 2..9 are taken as the nearest one.
int Shift(const ExposureLine& line) {
  return std::clamp(line.pin, 2, 9) - 2;
}

uint8_t Fields(uint8_t shadow, const LongExposureLines& lines, ExposureFields fields,
               uint8_t (*change)(uint8_t, const ExposureLine&)) {
  if (fields != ExposureFields::Even) shadow = change(shadow, lines.odd);
  if (fields != ExposureFields::Odd) shadow = change(shadow, lines.even);
  return shadow;
}

}  // namespace

uint8_t EngageLine(uint8_t shadow, const ExposureLine& line) {
  return static_cast<uint8_t>(shadow & ~((line.activeValue & 1) << Shift(line)));
}

uint8_t ReleaseLine(uint8_t shadow, const ExposureLine& line) {
  return static_cast<uint8_t>(shadow | ((line.activeValue & 1) << Shift(line)));
}

bool LineEngaged(uint8_t value, const ExposureLine& line) {
  return ((value >> Shift(line)) & 1) != (line.activeValue & 1);
}

uint8_t LongExposureModeOn(uint8_t shadow, const LongExposureLines& lines) {
  shadow = Fields(shadow, lines, ExposureFields::Both, EngageLine);
  shadow = EngageLine(shadow, lines.amplifier);
  return EngageLine(shadow, lines.longExposure);
}

uint8_t LongExposureModeOff(uint8_t shadow, const LongExposureLines& lines, bool permanent) {
  shadow = Fields(shadow, lines, ExposureFields::Both, ReleaseLine);
  shadow = ReleaseLine(shadow, lines.amplifier);
  return permanent ? shadow : ReleaseLine(shadow, lines.longExposure);
}

uint8_t ExposureStartLines(uint8_t shadow, const LongExposureLines& lines, ExposureFields fields) {
  return EngageLine(Fields(shadow, lines, fields, EngageLine), lines.amplifier);
}

uint8_t ExposureEndLines(uint8_t shadow, const LongExposureLines& lines, ExposureFields fields) {
  return ReleaseLine(Fields(shadow, lines, fields, ReleaseLine), lines.amplifier);
}

}  // namespace orniva
