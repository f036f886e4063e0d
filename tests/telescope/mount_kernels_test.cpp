#include "telescope/mount_kernels.h"

#include <gtest/gtest.h>

namespace orniva {
namespace {

TEST(MotionDuration, SpeedBacklashAndInertia) {
  MotionSettings s;
  s.speed = 15;
  s.backlash = 40;
  s.inertiaMs = 100;
  struct Case {
    int dir;
    bool given, guide;
    double amount;
    bool percent;
    int pct;
    int last;
    int64_t want;
  } cases[] = {
      {kWest, false, false, 3, false, 0, 0, 200},        // 3" at 15"/s
      {kWest, false, false, 3, false, 0, kEast, 240},    // after East: + backlash
      {kWest, false, false, 3, false, 0, kWest, 200},    // same direction: none
      {kNorth, false, false, 3, false, 0, kSouth, 240},  // Dec reverses too
      {kWest, true, true, 200, true, 20, 0, 160},        // 20 % inertia
      {kWest, true, true, 200, false, 0, 0, 100},        // 100 ms inertia
      {kWest, true, true, 80, false, 0, 0, 0},           // not below 0
      {kWest, true, false, 200.9, false, 0, 0, 200},     // Trunc
      {kEast, false, true, kContinuous, false, 0, 0, 999999},
  };
  for (const auto& c : cases) {
    s.inertiaPercent = c.percent;
    s.inertiaPercentValue = c.pct;
    EXPECT_EQ(MotionDurationMs(c.dir, c.given, c.guide, c.amount, s, c.last), c.want)
        << c.dir << " " << c.amount;
  }
  s.speed = 0;  // a speed of 0 counts as 0.1"/s
  EXPECT_EQ(MotionDurationMs(kEast, false, false, 1, s, 0), 10000);
}

TEST(Directions, InversionsAndWords) {
  EXPECT_EQ(InvertDirection(kEast, true, false), kWest);
  EXPECT_EQ(InvertDirection(kNorth, true, false), kNorth);
  EXPECT_EQ(InvertDirection(kSouth, false, true), kNorth);
  EXPECT_STREQ(DirectionWord(kWest), "Ouest");
  EXPECT_STREQ(DirectionWord(kSouth), "Sud");
}

TEST(RuvenaByte, LengthInFifteenMsUnitsAndDirection) {
  EXPECT_EQ(RuvenaByte(kEast, 200), 13 * 4 + 1);
  EXPECT_EQ(RuvenaByte(kWest, 200), 13 * 4 + 0);
  EXPECT_EQ(RuvenaByte(kNorth, 200), 13 * 4 + 2);
  EXPECT_EQ(RuvenaByte(kSouth, 200), 13 * 4 + 3);
  EXPECT_EQ(RuvenaByte(kEast, 945), 63 * 4 + 1);
  EXPECT_EQ(RuvenaByte(kSouth, 99000), 63 * 4 + 3);
  EXPECT_EQ(RuvenaByte(kWest, 14), 0);
}

TEST(Lx200Codec, TargetCommands) {
  // 5h34m31.94s, +22°00'52"
  EXPECT_EQ(Lx200TargetRa((5 * 3600 + 34 * 60 + 31.94) * 15), ":Sr 05:34:31.9#");
  EXPECT_EQ(Lx200TargetRa(59.96 * 15), ":Sr 00:01:00.0#");  // carries, never "60.0"
  EXPECT_EQ(Lx200TargetRa(1296000 - 0.1), ":Sr 00:00:00.0#");
  EXPECT_EQ(Lx200TargetDec(22 * 3600 + 52), "#:Sd 22:00:52#");
  EXPECT_EQ(Lx200TargetDec(-(5 * 3600 + 30 * 60)), "#:Sd -05:30:00#");
  // Between 0 and -1 degree the sign must not be lost.
  EXPECT_EQ(Lx200TargetDec(-(30 * 60 + 5)), "#:Sd -00:30:05#");
}

TEST(Lx200Codec, PositionReplies) {
  EXPECT_EQ(ParseLx200Ra("05:34:31#"), 5 * 54000.0 + 34 * 900.0);
  EXPECT_EQ(ParseLx200Ra("05:34.5#"), 5 * 54000.0 + 34 * 900.0);  // low precision
  EXPECT_EQ(ParseLx200Dec("+22*00'5"), 22 * 3600.0);
  EXPECT_EQ(ParseLx200Dec("-05\xDF"
                          "30:00"),
            -(5 * 3600.0 + 30 * 60));
  EXPECT_EQ(ParseLx200Dec("-00*30"), -1800.0);  // low precision, just below 0
  for (const char* bad : {"", "05:3", "\x01?%\xFE", "25:00:00#", "ab:cd:ef", "05:61:00"})
    EXPECT_FALSE(ParseLx200Ra(bad)) << bad;
  EXPECT_EQ(ParseLx200Dec("-90*00:00"), -324000.0);
  for (const char* bad : {"", "+22", "+2a*00", "+91*00:00", "+90*30:00", "-90*01",
                          "+22\xC2\xB0"
                          "00"})
    EXPECT_FALSE(ParseLx200Dec(bad)) << bad;
}

TEST(PortItems, DevicesAddressesAndCodes) {
  EXPECT_EQ(SerialItemDevice("       COM12"), "COM12");
  EXPECT_EQ(SerialItemDevice("$02F8 (COM2)"), "COM2");
  EXPECT_EQ(SerialItemAddress("$02F8 (COM2)"), 0x2F8);
  EXPECT_EQ(SerialItemAddress("       COM12"), 0);
  EXPECT_EQ(ParallelItemAddress("$378 (LPT1)"), 0x378);
  EXPECT_EQ(ParallelItemAddress("$3BC (LPT3)"), 0x3BC);
  EXPECT_EQ(ParallelItemAddress("$37A"), 0x37A);
  EXPECT_EQ(ParallelItemAddress("nope"), 0);
  EXPECT_EQ(ParityCode("Paire"), 2);
  EXPECT_EQ(ParityCode("Impaire"), 1);
  EXPECT_EQ(ParityCode("Marque"), 3);
  EXPECT_EQ(ParityCode("Aucune"), 0);
  EXPECT_EQ(StopBitsCode("1.5"), 1);
  EXPECT_EQ(StopBitsCode("2"), 2);
  EXPECT_EQ(SerialPortItems()[11], "       COM12");
}

TEST(TrafficLines, PlainHexAndPortForms) {
  EXPECT_EQ(TrafficLine(true, "$03F8 (COM1)", "#:Me#\r\n"),
            "$03F8 (COM1) : 233A4D65230D0A \"#:Me#\r\n\"");
  EXPECT_EQ(TrafficLine(false, "L", "x"), "L :  \"x\"");
  EXPECT_EQ(PortTrafficLine(0x378, 11), "0378 : 00001011");
  EXPECT_EQ(PortTrafficLine(0x2F8 + 4, 0xFF), "02FC : 11111111");
}

}  // namespace
}  // namespace orniva
