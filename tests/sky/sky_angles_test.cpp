#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <numbers>
#include <string>

#include "sky/object_types.h"
#include "sky/sky_angles.h"

namespace orniva {
namespace {

TEST(SkyAngles, SexagesimalToArcseconds) {
  EXPECT_DOUBLE_EQ(HmsToArcsec(12, 30, 45.5), 675682.5);
  EXPECT_DOUBLE_EQ(HmsToArcsec(0, 30, 0), 27000);  // h = 0 counts as positive
  EXPECT_DOUBLE_EQ(HmsToArcsec(-1, 30, 0), -81000);
  EXPECT_DOUBLE_EQ(DmsToArcsec(-16, 42, 58), -60178);
  EXPECT_DOUBLE_EQ(DmsToArcsec(0, 30, 15), 1815);
  EXPECT_DOUBLE_EQ(DmsToArcsec(45, 0, 0), 162000);
}

TEST(SkyAngles, SplitShowsTheSignOnTheFirstNonZeroPart) {
  struct Case {
    double arcsec;
    Sexagesimal dms;
  };
  const Case cases[] = {
      {-1815, {0, -30, 15}}, {-3661, {-1, 1, 1}},     {3661, {1, 1, 1}}, {-15.5, {0, 0, -15.5}},
      {162000, {45, 0, 0}},  {-60178, {-16, 42, 58}}, {0, {0, 0, 0}},
  };
  for (const Case& c : cases) {
    Sexagesimal got = SplitDms(c.arcsec);
    EXPECT_EQ(got.Whole, c.dms.Whole) << c.arcsec;
    EXPECT_EQ(got.Minutes, c.dms.Minutes) << c.arcsec;
    EXPECT_NEAR(got.Seconds, c.dms.Seconds, 1e-9) << c.arcsec;
  }
  Sexagesimal ra = SplitHms(675682.5);
  EXPECT_EQ(ra, (Sexagesimal{12, 30, 45.5}));
  Sexagesimal dec = SplitDmsRadians(std::numbers::pi / 4);
  EXPECT_EQ(dec.Whole, 45);
  EXPECT_EQ(dec.Minutes, 0);
  EXPECT_NEAR(dec.Seconds, 0, 1e-6);
  Sexagesimal half = SplitHmsRadians(-HmsToArcsec(0, 30, 30) * kRadianPerArcsec);
  EXPECT_EQ(half.Whole, 0);
  EXPECT_EQ(half.Minutes, -30);
  EXPECT_NEAR(half.Seconds, 30, 1e-6);
}

TEST(SkyAngles, RightAscensionAndDeclinationTexts) {
  struct Case {
    std::string got, expected;
  };
  const Case cases[] = {
      {FormatRa(675682.5), " 12h 30m 45.50s"},
      {FormatRa(HmsToArcsec(12, 5, 3.2)), " 12h  5m  3.20s"},
      {FormatRa(0), "  0h  0m  0.00s"},
      {FormatDec(162000), " 45°  0'  0.00\""},
      {FormatDec(DmsToArcsec(45, 30, 15.2)), " 45° 30' 15.20\""},
      {FormatDec(57.75), "  0°  0' 57.75\""},
      {FormatDec(-60178), "-16° 42' 58.00\""},
      {FormatDec(-324000), "-90°  0'  0.00\""},
      // Under one degree the sign would be lost with the minutes and seconds
      // written as absolute values: it shows on the degrees.
      {FormatDec(-1815), " -0° 30' 15.00\""},
      {FormatDec(-15), " -0°  0' 15.00\""},
      {FormatRa(-27000), " -0h 30m  0.00s"},
      // Seconds that round up to 60 carry into the minutes and degrees.
      {FormatDec(59.999), "  0°  1'  0.00\""},
      {FormatDec(DmsToArcsec(45, 59, 59.996)), " 46°  0'  0.00\""},
      {FormatRa(HmsToArcsec(23, 59, 59.999)), " 24h  0m  0.00s"},
      {FormatDec(-0.001), "  0°  0'  0.00\""},  // rounds to zero: no sign
  };
  for (const Case& c : cases) EXPECT_EQ(c.got, c.expected);
}

// Switches the C library's numbers to a locale whose decimal separator is a
// comma. When none is installed, one is built from the system's locale
// sources into a private folder, then moved in place whole, so that test
// runs of several trees at once only ever see a complete one. False when
// neither works.
bool UseCommaLocale() {
  if (std::setlocale(LC_NUMERIC, "fr_FR.UTF-8")) return true;
  // The C library remembers a failed lookup: LOCPATH is set only once the
  // folder is complete.
  const std::string dir = ::testing::TempDir() + "orniva-locales";
  if (!std::filesystem::exists(dir + "/fr_FR.UTF-8")) {
    std::string work = dir + "-XXXXXX";
    if (!mkdtemp(work.data())) return false;
    const std::string build =
        "localedef -i fr_FR -f UTF-8 '" + work + "/fr_FR.UTF-8' >/dev/null 2>&1";
    bool built = std::system(build.c_str()) == 0;
    if (!built || std::rename(work.c_str(), dir.c_str()) != 0) {
      std::filesystem::remove_all(work);  // failed, or another run placed it first
    }
  }
  setenv("LOCPATH", dir.c_str(), 1);
  return std::setlocale(LC_NUMERIC, "fr_FR.UTF-8") != nullptr;
}

// The desktop view switches the C library to the user's locale, where the
// decimal separator may be a comma; the texts keep the point.
TEST(SkyAngles, TextsKeepThePointInACommaLocale) {
  std::string saved = std::setlocale(LC_NUMERIC, nullptr);
  if (!UseCommaLocale()) GTEST_SKIP() << "no locale with a decimal comma available";
  std::string ra = FormatRa(675682.5);
  std::string dec = FormatDec(57.75);
  std::setlocale(LC_NUMERIC, saved.c_str());
  EXPECT_EQ(ra, " 12h 30m 45.50s");
  EXPECT_EQ(dec, "  0°  0' 57.75\"");
}

TEST(SkyAngles, AngularDistance) {
  struct Case {
    double ra1, dec1, ra2, dec2, expected, tolerance;
  };
  const Case cases[] = {
      {0, 0, 54000, 0, 54000, 1e-6},                  // 15° along the equator
      {1295000, 0, 1000, 0, 2000, 1e-6},              // across 0 h
      {1000, 0, 1295000, 0, 2000, 1e-6},              // and back
      {0, 0, 648000, 0, 648000, 1e-6},                // opposite points
      {0, 324000, 500000, 0, 324000, 1e-6},           // pole to equator
      {0, 162000, 0, 165600, 3600, 1e-6},             // along a meridian
      {10000, 300000, 10000, 300000, 0, 0},           // the same point
      {54000, -200000, 54000, -200000.5, 0.5, 1e-3},  // half an arcsecond apart
  };
  for (const Case& c : cases) {
    double d = AngularDistance(c.ra1, c.dec1, c.ra2, c.dec2);
    EXPECT_NEAR(d, c.expected, c.tolerance) << c.ra1 << " " << c.dec1 << " " << c.ra2;
    EXPECT_NEAR(AngularDistance(c.ra2, c.dec2, c.ra1, c.dec1), d, 1e-6);
  }
  // At declination 60° an hour of right ascension is about half as long.
  EXPECT_NEAR(AngularDistance(0, 216000, 54000, 216000), 26942.11, 0.01);
}

TEST(ObjectTypes, EveryCodeOfTheTableAndNothingElse) {
  struct Case {
    const char* code;
    ObjectGroup group;
  };
  const Case cases[] = {
      {"gx", ObjectGroup::Galaxies},
      {"galxy", ObjectGroup::Galaxies},
      {"pl", ObjectGroup::PlanetaryNebulae},
      {"plnnb", ObjectGroup::PlanetaryNebulae},
      {"cl+nb", ObjectGroup::ClustersWithNebulosity},
      {"lmccn", ObjectGroup::ClustersWithNebulosity},
      {"drknb", ObjectGroup::Nebulae},
      {"gx+dn", ObjectGroup::Nebulae},
      {"opncl", ObjectGroup::OpenClusters},
      {"smcoc", ObjectGroup::OpenClusters},
      {"galcl", ObjectGroup::GalaxyClusters},
      {"glocl", ObjectGroup::GlobularClusters},
      {"gx+gc", ObjectGroup::GlobularClusters},
      {"nonex", ObjectGroup::Others},
      {"***", ObjectGroup::Others},
      {"?", ObjectGroup::Others},
      {"-", ObjectGroup::Others},
      {"1star", ObjectGroup::None},
      {"g+c+n", ObjectGroup::None},
      {"GALXY", ObjectGroup::None},  // the reader lowers the codes
      {"", ObjectGroup::None},
  };
  for (const Case& c : cases) EXPECT_EQ(GroupOfType(c.code), c.group) << c.code;
  EXPECT_EQ(GroupCaption(ObjectGroup::PlanetaryNebulae), "Nébul.Planétaires");
  EXPECT_EQ(GroupCaption(ObjectGroup::ClustersWithNebulosity), "Amas+Nebulosités");
  EXPECT_EQ(GroupCaption(ObjectGroup::Others), "Autres objets");
  EXPECT_EQ(GroupCaption(ObjectGroup::None), "");
}

}  // namespace
}  // namespace orniva
