#include <gtest/gtest.h>

#include "core/paths.h"
#include "core/screen_geometry.h"

namespace orniva {

TEST(JoinPath, OneSeparatorBetweenDirectoryAndName) {
  struct Case {
    const char *dir, *name, *expected;
  };
  const Case cases[] = {
      {"/home/obs/orniva", "Catalog.dat", "/home/obs/orniva/Catalog.dat"},
      {"/home/obs/orniva/", "Catalog.dat", "/home/obs/orniva/Catalog.dat"},
      {"/", "Catalog.dat", "/Catalog.dat"},
      {"/opt", "/SAC72.dat", "/opt/SAC72.dat"},
      {"/ab", "x", "/ab/x"},
      {"", "Orniva.ini", "Orniva.ini"},
  };
  for (const Case& c : cases) EXPECT_EQ(JoinPath(c.dir, c.name), c.expected) << c.dir;
}

TEST(ShowOnScreen, WindowsOffTheScreenComeBack) {
  struct Case {
    Bounds in, out;
  };
  const int sw = 1280, sh = 1024;
  const Case cases[] = {
      {{3000, 100, 300, 200}, {979, 100, 300, 200}},     // far right: 1280 - 300 - 1
      {{1271, 100, 300, 200}, {979, 100, 300, 200}},     // just past screen width - 10
      {{1270, 100, 300, 200}, {1270, 100, 300, 200}},    // exactly at the limit: stays
      {{100, 5000, 300, 200}, {100, 823, 300, 200}},     // far down
      {{3000, 100, 2000, 200}, {0, 100, 2000, 200}},     // wider than the screen
      {{-400, 100, 300, 200}, {0, 100, 300, 200}},       // right edge left of 11
      {{-290, -190, 300, 200}, {0, 0, 300, 200}},        // right edge at 10, bottom at 10
      {{-289, -189, 300, 200}, {-289, -189, 300, 200}},  // 11 pixels show: stays
  };
  for (const Case& c : cases) {
    EXPECT_EQ(BoundsOnScreen(c.in, sw, sh), c.out) << c.in.left << "," << c.in.top;
  }
}

}  // namespace orniva
