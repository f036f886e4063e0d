#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "sky/catalogues.h"
#include "sky/sky_angles.h"

namespace orniva {
namespace {

namespace fs = std::filesystem;

// Writes text at a column (counted from 1) of a line, padding with blanks.
void Put(std::string& line, size_t column, std::string_view text) {
  if (line.size() < column - 1 + text.size()) line.resize(column - 1 + text.size(), ' ');
  line.replace(column - 1, text.size(), text);
}

// A bright-star line: position "hhmmss.s±ddmmss" at column 76, magnitude at 103.
std::string StarLine(std::string_view name, std::string_view sao, std::string_view position,
                     std::string_view magnitude) {
  std::string line;
  Put(line, 1, "9999");
  Put(line, 5, name);
  Put(line, 32, sao);
  Put(line, 76, position);
  Put(line, 103, magnitude);
  Put(line, 110, "+0.00 +0.00");
  return line;
}

// A deep-sky line in the quote-comma layout, each field at its columns.
struct DeepSkyLine {
  std::string name = "NGC  224", other = "M 31", type = "GALXY", ra = "00 42.7", dec = "+41 16";
  std::string magnitude = " 3.4", major = " 177.8", majorUnit = "m", minor = "  69.7",
              minorUnit = "m", angle = " 35", objectClass = "Sb";
  std::string Text() const {
    std::string line(140, ' ');
    for (size_t c : {1, 18, 20, 39, 41, 47}) line[c - 1] = '"';
    Put(line, 2, name);
    Put(line, 21, other);
    Put(line, 42, type);
    Put(line, 56, ra);
    Put(line, 66, dec);
    Put(line, 75, magnitude);
    Put(line, 102, major);
    Put(line, 108, majorUnit);
    Put(line, 113, minor);
    Put(line, 119, minorUnit);
    Put(line, 123, angle);
    Put(line, 129, objectClass);
    return line;
  }
};

TEST(StarReader, FieldsAndSkippedLines) {
  std::string text = StarLine("9Alp CMa", "151881", "064508.9-164258", "-1.46") + "\n" +
                     // A non-stellar entry: no magnitude, no star (not one at 0, 0).
                     StarLine("NOVA 1572", "", "", "     ") + "\n" +
                     // Too short to reach the magnitude columns.
                     std::string("  92 NOVA 1572") + "\r\n" +
                     // "-00" degrees: a negative declination.
                     StarLine("", " 12345", "000000.0-003000", " 7.0 ") + "\r\n";
  std::vector<StarRecord> stars;
  EXPECT_FALSE(ReadStars(text, "Catalog.dat", stars));
  ASSERT_EQ(stars.size(), 2u);
  EXPECT_EQ(stars[0].StarName, "9Alp CMa  ");
  EXPECT_EQ(stars[0].SaoNumber, "151881");
  EXPECT_DOUBLE_EQ(stars[0].Magnitude, -1.46);
  EXPECT_DOUBLE_EQ(stars[0].RightAscension, HmsToArcsec(6, 45, 8.9));
  EXPECT_DOUBLE_EQ(stars[0].Declination, -(16 * 3600 + 42 * 60 + 58));
  EXPECT_EQ(stars[1].StarName, "          ");
  EXPECT_EQ(stars[1].SaoNumber, " 12345");
  EXPECT_DOUBLE_EQ(stars[1].Magnitude, 7.0);
  EXPECT_DOUBLE_EQ(stars[1].Declination, -1800);
}

TEST(StarReader, UnreadableLineNamesFileLineAndColumns) {
  struct Case {
    std::string badLine, expected;
  };
  const Case cases[] = {
      {StarLine("", "", "064508.9-164258", " 1.x "),
       "Catalog.dat, ligne 2 : magnitude illisible \" 1.x \" (colonnes 103-107)"},
      {StarLine("", "", "        -164258", " 1.0 "),
       "Catalog.dat, ligne 2 : heures illisible \"  \" (colonnes 76-77)"},
      {StarLine("", "", "064508.9-16x258", " 1.0 "),
       "Catalog.dat, ligne 2 : minutes de déclinaison illisible \"x2\" (colonnes 87-88)"},
      {StarLine("", "", "0645nan -164258", " 1.0 "),
       "Catalog.dat, ligne 2 : secondes d'ascension droite illisible \"nan \" (colonnes 80-83)"},
  };
  for (const Case& c : cases) {
    std::string text = StarLine("", "", "000000.0+000000", " 1.0 ") + "\n" + c.badLine + "\n";
    std::vector<StarRecord> stars;
    auto error = ReadStars(text, "Catalog.dat", stars);
    ASSERT_TRUE(error);
    EXPECT_EQ(error->Line, 2);
    EXPECT_EQ(error->Text(), c.expected);
  }
}

TEST(DeepSkyReader, FieldsBlanksAndUnits) {
  DeepSkyLine m31;
  DeepSkyLine blank;
  blank.name = "IC 1234";
  blank.other = "ESO 123-45 PGC 99999";  // longer than its 18 columns: cut by the layout
  blank.type = "Nb   ";
  blank.ra = "23 59.5";
  blank.dec = "-00 30";
  blank.magnitude = "    ";
  blank.major = "      ";
  blank.minor = "      ";
  blank.angle = "   ";
  blank.objectClass = "";
  DeepSkyLine arcsec;
  arcsec.major = "  30.0";
  arcsec.majorUnit = "s";
  arcsec.minor = "      ";
  arcsec.angle = "1.5";
  DeepSkyLine minorOnly;
  minorOnly.minor = "  30.0";
  minorOnly.minorUnit = "s";
  std::string text = m31.Text() + "\r\n" + blank.Text() + "\r\n" + "   \r\n" + arcsec.Text() +
                     "\r\n" + minorOnly.Text();  // no line end after the last line

  std::vector<DeepSkyRecord> objects;
  ASSERT_FALSE(ReadDeepSkyObjects(text, "SAC72.dat", objects));
  ASSERT_EQ(objects.size(), 4u);
  const DeepSkyRecord& a = objects[0];
  EXPECT_EQ(a.Name, "NGC224");
  EXPECT_EQ(a.OtherName, "M31");
  EXPECT_EQ(a.ObjectType, "galxy");
  EXPECT_DOUBLE_EQ(a.Magnitude, 3.4);
  EXPECT_DOUBLE_EQ(a.SizeMajor, 177.8);
  EXPECT_DOUBLE_EQ(a.SizeMinor, 69.7);
  EXPECT_EQ(a.PositionAngle, 35);
  EXPECT_EQ(a.ObjectClass, "Sb         ");
  EXPECT_NEAR(a.RightAscension, (42 * 60 + 42) * 15, 1e-6);  // 42.7 minutes: 42 min 42 s
  EXPECT_DOUBLE_EQ(a.Declination, 41 * 3600 + 16 * 60);

  const DeepSkyRecord& b = objects[1];
  EXPECT_EQ(b.Name, "IC1234");
  EXPECT_EQ(b.OtherName, "ESO123-4");
  EXPECT_EQ(b.ObjectType, "nb");
  EXPECT_DOUBLE_EQ(b.Magnitude, 99.0);
  EXPECT_DOUBLE_EQ(b.SizeMajor, 6.0);
  EXPECT_DOUBLE_EQ(b.SizeMinor, 6.0);
  EXPECT_EQ(b.PositionAngle, 0);
  EXPECT_DOUBLE_EQ(b.Declination, -1800);
  EXPECT_NEAR(b.RightAscension, HmsToArcsec(23, 59, 30), 1e-6);

  EXPECT_DOUBLE_EQ(objects[2].SizeMajor, 0.5);  // 30.0 s
  EXPECT_DOUBLE_EQ(objects[2].SizeMinor, 0.5);  // blank: the major size
  EXPECT_EQ(objects[2].PositionAngle, 0);       // not a whole number
  EXPECT_DOUBLE_EQ(objects[3].SizeMajor, 177.8);
  EXPECT_DOUBLE_EQ(objects[3].SizeMinor, 0.5);
}

TEST(DeepSkyReader, UnreadableNumbersStopTheFile) {
  struct Case {
    std::string DeepSkyLine::*field;
    std::string value, expected;
  };
  const Case cases[] = {
      {&DeepSkyLine::ra, "  42.7", "SAC72.dat, ligne 3 : heures illisible \"  \" (colonnes 56-57)"},
      {&DeepSkyLine::dec, "+41 1a",
       "SAC72.dat, ligne 3 : minutes de déclinaison illisible "
       "\"1a\" (colonnes 70-71)"},
      {&DeepSkyLine::magnitude, "3,4 ",
       "SAC72.dat, ligne 3 : magnitude illisible \"3,4 \" (colonnes 75-78)"},
      {&DeepSkyLine::minor, "  1e99", ""},  // a number, if a strange one: read
      {&DeepSkyLine::major, "   inf",
       "SAC72.dat, ligne 3 : taille illisible \"   inf\" (colonnes 102-107)"},
  };
  for (const Case& c : cases) {
    DeepSkyLine bad;
    bad.*c.field = c.value;
    std::string text = DeepSkyLine().Text() + "\n\n" + bad.Text() + "\n" + DeepSkyLine().Text();
    std::vector<DeepSkyRecord> objects;
    auto error = ReadDeepSkyObjects(text, "SAC72.dat", objects);
    if (c.expected.empty()) {
      EXPECT_FALSE(error);
      EXPECT_EQ(objects.size(), 3u);
    } else {
      ASSERT_TRUE(error) << c.value;
      EXPECT_EQ(error->Text(), c.expected);
      EXPECT_EQ(objects.size(), 1u);
    }
  }
}

TEST(ConstellationReader, RadiansAndErrors) {
  std::vector<ConstellationLine> lines;
  ASSERT_FALSE(ReadConstellationLines("And,2065,4233,1162,3562\nOct, 21000 ,-8000,0,-8875\n",
                                      "Conlines.dat", lines));
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_NEAR(lines[0].RightAscension1, 2.065 * 15 * kRadianPerDegree, 1e-12);
  EXPECT_NEAR(lines[0].Declination1, 42.33 * kRadianPerDegree, 1e-12);
  EXPECT_NEAR(lines[0].RightAscension2, 1.162 * 15 * kRadianPerDegree, 1e-12);
  EXPECT_NEAR(lines[0].Declination2, 35.62 * kRadianPerDegree, 1e-12);
  EXPECT_NEAR(lines[1].RightAscension1, 21 * 15 * kRadianPerDegree, 1e-12);
  EXPECT_NEAR(lines[1].Declination2, -88.75 * kRadianPerDegree, 1e-12);

  struct Case {
    const char* text;
    const char* expected;
  };
  const Case cases[] = {
      {"And,1,2,3,4\nAnd,1,2,3\n",
       "Conlines.dat, ligne 2 : 5 champs séparés par des virgules attendus"},
      {"And,1,2,3,4\r\nAnd,1,2,,4\r\n", "Conlines.dat, ligne 2 : nombre illisible \"\" (champ 4)"},
      {"And,1,2,3,4x\n", "Conlines.dat, ligne 1 : nombre illisible \"4x\" (champ 5)"},
  };
  for (const Case& c : cases) {
    std::vector<ConstellationLine> got;
    auto error = ReadConstellationLines(c.text, "Conlines.dat", got);
    ASSERT_TRUE(error) << c.text;
    EXPECT_EQ(error->Text(), c.expected);
  }
}

TEST(CatalogueReaders, LinesBeyondTheTablesAreIgnored) {
  std::string stars, objects, segments;
  for (int i = 0; i < kMaxStars + 5; ++i) {
    stars += StarLine("", "", "010000.0+100000", i < kMaxStars ? " 5.0 " : " 9.0 ") + "\n";
  }
  for (int i = 0; i < kMaxDeepSkyObjects + 5; ++i) {
    DeepSkyLine l;
    if (i >= kMaxDeepSkyObjects) l.magnitude = "xxxx";  // never read
    objects += l.Text() + "\r\n";
  }
  for (int i = 0; i < kMaxConstellationLines + 5; ++i) segments += "Ori,1,2,3,4\n";
  segments += "not a line\n";
  std::vector<StarRecord> s;
  std::vector<DeepSkyRecord> o;
  std::vector<ConstellationLine> c;
  EXPECT_FALSE(ReadStars(stars, "Catalog.dat", s));
  EXPECT_FALSE(ReadDeepSkyObjects(objects, "SAC72.dat", o));
  EXPECT_FALSE(ReadConstellationLines(segments, "Conlines.dat", c));
  EXPECT_EQ(s.size(), static_cast<size_t>(kMaxStars));
  EXPECT_EQ(s.back().Magnitude, 5.0);
  EXPECT_EQ(o.size(), static_cast<size_t>(kMaxDeepSkyObjects));
  EXPECT_EQ(c.size(), static_cast<size_t>(kMaxConstellationLines));
}

// A temporary program directory, removed at the end.
struct ProgramDir : ::testing::Test {
  fs::path dir;
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "orniva-sky-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir = pattern;
  }
  void TearDown() override { fs::remove_all(dir); }
  void CopyRealCatalogues() {
    const fs::path source = fs::path(ORNIVA_SHARED_DATA_DIR) / "catalogs";
    for (const char* name : {kStarCatalogueFile, kDeepSkyCatalogueFile, kConstellationLinesFile}) {
      fs::copy_file(source / name, dir / name, fs::copy_options::overwrite_existing);
    }
  }
  void Write(const char* name, const std::string& text) {
    std::ofstream(dir / name, std::ios::binary) << text;
  }
};

// Entries of the shipped deep-sky file: every real object once, fewer than
// the table holds.
constexpr int kShippedDeepSkyEntries = 13129;

const StarRecord* FindSao(const Catalogues& c, std::string_view sao) {
  for (const StarRecord& s : c.Stars()) {
    if (s.SaoNumber == sao) return &s;
  }
  return nullptr;
}

TEST_F(ProgramDir, RealCataloguesLoad) {
  CopyRealCatalogues();
  Catalogues c;
  auto errors = c.LoadCatalogues(dir.string());
  for (const auto& e : errors) ADD_FAILURE() << e.Text();
  EXPECT_TRUE(c.CataloguesLoaded());
  EXPECT_EQ(c.StarCount(), 9110 - 14);  // the 14 entries without position are skipped
  static_assert(kShippedDeepSkyEntries < kMaxDeepSkyObjects);
  EXPECT_EQ(c.DeepSkyCount(), kShippedDeepSkyEntries);  // the whole file
  EXPECT_EQ(c.ConstellationLineCount(), 650);

  struct Star {
    const char* sao;
    const char* name;
    double ra, dec, magnitude;
  };
  const Star known[] = {
      {"151881", "  9Alp CMa", HmsToArcsec(6, 45, 8.9), DmsToArcsec(-16, 42, 58), -1.46},
      {" 67174", "  3Alp Lyr", HmsToArcsec(18, 36, 56.3), DmsToArcsec(38, 47, 1), 0.03},
      {"   308", "  1Alp UMi", HmsToArcsec(2, 31, 48.7), DmsToArcsec(89, 15, 51), 2.02},
  };
  for (const Star& k : known) {
    const StarRecord* s = FindSao(c, k.sao);
    ASSERT_NE(s, nullptr) << k.sao;
    EXPECT_EQ(s->StarName, k.name);
    EXPECT_NEAR(s->RightAscension, k.ra, 1e-6);
    EXPECT_NEAR(s->Declination, k.dec, 1e-6);
    EXPECT_DOUBLE_EQ(s->Magnitude, k.magnitude);
  }
  for (const StarRecord& s : c.Stars()) {
    EXPECT_FALSE(s.RightAscension == 0 && s.Declination == 0) << s.StarName;
  }

  const DeepSkyRecord* m31 = nullptr;
  for (const DeepSkyRecord& o : c.DeepSkyObjects()) {
    if (o.Name == "NGC224") m31 = &o;
  }
  ASSERT_NE(m31, nullptr);
  EXPECT_EQ(m31->ObjectType, "galxy");
  EXPECT_NEAR(m31->RightAscension, HmsToArcsec(0, 42, 42), 1e-6);
  EXPECT_NEAR(m31->Declination, DmsToArcsec(41, 16, 0), 1e-6);
  EXPECT_DOUBLE_EQ(m31->Magnitude, 3.4);
  EXPECT_DOUBLE_EQ(m31->SizeMajor, 177.8);
  EXPECT_DOUBLE_EQ(m31->SizeMinor, 69.7);
  EXPECT_EQ(m31->PositionAngle, 35);
  EXPECT_EQ(m31->ObjectClass.substr(0, 3), "Sb ");
  // Sizes under an arcminute come in arcseconds.
  EXPECT_DOUBLE_EQ(c.DeepSkyObjects()[1].SizeMajor, 57.0 / 60);

  // Messier objects listed late in the file under their other catalogue's
  // name: the Pleiades as Melotte 22, M24 and M25 as IC objects.
  struct Messier {
    const char* number;
    const char* name;
    const char* type;
    double ra, dec;
  };
  const Messier late[] = {
      {"M45", "Mel22", "opncl", HmsToArcsec(3, 47, 30), DmsToArcsec(24, 6, 0)},
      {"M24", "IC4715", "aster", HmsToArcsec(18, 16, 54), DmsToArcsec(-18, 31, 0)},
      {"M25", "IC4725", "opncl", HmsToArcsec(18, 31, 48), DmsToArcsec(-19, 7, 0)},
  };
  for (const Messier& m : late) {
    const DeepSkyRecord* found = nullptr;
    for (const DeepSkyRecord& o : c.DeepSkyObjects()) {
      if (o.OtherName == m.number) found = &o;
    }
    ASSERT_NE(found, nullptr) << m.number;
    EXPECT_EQ(found->Name, m.name) << m.number;
    EXPECT_EQ(found->ObjectType, m.type) << m.number;
    EXPECT_NEAR(found->RightAscension, m.ra, 1e-6) << m.number;
    EXPECT_NEAR(found->Declination, m.dec, 1e-6) << m.number;
  }
}

TEST_F(ProgramDir, MissingAndBrokenFilesAreReportedAndTheOthersKept) {
  CopyRealCatalogues();
  fs::remove(dir / kDeepSkyCatalogueFile);
  Write(kConstellationLinesFile, "And,2065,4233,1162,3562\nAnd,1162,35x62,655,3086\n");
  Catalogues c;
  auto errors = c.LoadCatalogues(dir.string());
  ASSERT_EQ(errors.size(), 2u);
  EXPECT_EQ(errors[0].Text(), (dir / "SAC72.dat").string() + " : fichier introuvable");
  EXPECT_EQ(errors[1].Text(),
            (dir / "Conlines.dat").string() + ", ligne 2 : nombre illisible \"35x62\" (champ 3)");
  EXPECT_FALSE(c.CataloguesLoaded());
  EXPECT_EQ(c.StarCount(), 9096);
  EXPECT_EQ(c.DeepSkyCount(), 0);
  EXPECT_EQ(c.ConstellationLineCount(), 0);  // no half table

  // Once the files are mended the next drawing reads them; after that never again.
  CopyRealCatalogues();
  EXPECT_TRUE(c.EnsureLoaded(dir.string()).empty());
  EXPECT_TRUE(c.CataloguesLoaded());
  fs::remove(dir / kStarCatalogueFile);
  EXPECT_TRUE(c.EnsureLoaded(dir.string()).empty());
  EXPECT_EQ(c.StarCount(), 9096);
  EXPECT_EQ(c.DeepSkyCount(), kShippedDeepSkyEntries);
}

}  // namespace
}  // namespace orniva
