#include "telescope/long_exposure_lines.h"

#include <gtest/gtest.h>

namespace orniva {
namespace {

TEST(LongExposureLines, EachStepOfASeriesOnTheDataByte) {
  const LongExposureLines d;  // pins 2, 3, 4, 5: bits 0 to 3, active values 1
  LongExposureLines odd9 = d;
  odd9.odd.pin = 9;
  LongExposureLines low = d;
  low.odd.activeValue = low.even.activeValue = low.amplifier.activeValue =
      low.longExposure.activeValue = 0;
  struct Case {
    const char* what;
    uint8_t got, want;
  } cases[] = {
      {"mode on engages all four lines", LongExposureModeOn(0xFF, d), 0xF0},
      {"mode off releases them", LongExposureModeOff(0xF0, d, false), 0xFF},
      {"Permanent keeps the mode line", LongExposureModeOff(0xF0, d, true), 0xF7},
      {"read-out releases fields and amplifier", ExposureEndLines(0xF0, d, ExposureFields::Both),
       0xF7},
      {"next exposure engages them", ExposureStartLines(0xF7, d, ExposureFields::Both), 0xF0},
      {"self-guiding on the even field", ExposureStartLines(0xF7, d, ExposureFields::Odd), 0xF2},
      {"odd field only released", ExposureEndLines(0xF0, d, ExposureFields::Odd), 0xF5},
      {"other pin", LongExposureModeOn(0xFF, odd9), 0x71},
      {"mount bits kept", LongExposureModeOn(0xA5, d), 0xA0},
      {"active value 0 changes nothing", LongExposureModeOn(0x5A, low), 0x5A},
      {"not even on release", LongExposureModeOff(0x5A, low, false), 0x5A},
  };
  for (const Case& c : cases) EXPECT_EQ(c.got, c.want) << c.what;
  EXPECT_TRUE(LineEngaged(0xF7, d.longExposure));
  EXPECT_FALSE(LineEngaged(0xF7, d.odd));
  EXPECT_FALSE(LineEngaged(0x00, low.odd));  // never engaged at active value 0
}

}  // namespace
}  // namespace orniva
