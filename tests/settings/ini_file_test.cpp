#include "settings/ini_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <climits>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace orniva {
namespace {

namespace fs = std::filesystem;

IniFile Parsed(std::string_view text) {
  IniFile f;
  f.Parse(text);
  return f;
}

// A fresh folder for the files of one test, removed afterwards.
struct TempDir {
  fs::path path;
  TempDir() {
    std::string tmpl = (fs::temp_directory_path() / "orniva-ini-XXXXXX").string();
    path = ::mkdtemp(tmpl.data());
  }
  ~TempDir() {
    std::error_code ec;
    fs::permissions(path, fs::perms::owner_all, ec);
    fs::remove_all(path, ec);
  }
  std::string File(const std::string& name) const { return (path / name).string(); }
};

std::string FileText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void WriteText(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

const char* kPrefs =
    "; Orniva settings\n"
    "[Prefs]\n"
    "Num_suffixe=12\n"
    "  Langue = 2  \n"
    "Nom_Image=M 42 = Orion\n"
    "[Ears]\n"
    "TNI_Rapport_Rayon=800\n"
    "TNI_linearite=2500\n"
    "\n"
    "[Seuils]\n"
    "Seuil_Max=abc\n";

TEST(IniFileRead, NamesMatchWithoutCaseAndMissingOnesGiveTheDefault) {
  const IniFile f = Parsed(kPrefs);
  struct Case {
    const char* section;
    const char* key;
    int expected;
  } cases[] = {
      {"Prefs", "Num_suffixe", 12}, {"Prefs", "Num_Suffixe", 12}, {"PREFS", "num_SUFFIXE", 12},
      {"Prefs", "Langue", 2},       {"Prefs", "Absent", 77},      {"Absente", "Langue", 77},
      {"Ears", "Num_suffixe", 77},  // a key of another section is not seen
      {"Seuils", "Seuil_Max", 77},  // unreadable value
  };
  for (const Case& c : cases) {
    EXPECT_EQ(f.ReadInteger(c.section, c.key, 77), c.expected) << c.section << "/" << c.key;
  }
  // Strings: blanks around the value go, an "=" inside it stays.
  EXPECT_EQ(f.ReadString("prefs", "NOM_IMAGE", "x"), "M 42 = Orion");
  EXPECT_EQ(f.ReadString("Prefs", "Langue", "x"), "2");
  EXPECT_EQ(f.ReadString("Prefs", "Type_Fichier", "BMP"), "BMP");
  // Scaled decimals (×1000).
  EXPECT_DOUBLE_EQ(f.ReadScaled("Ears", "TNI_Rapport_Rayon", 0), 0.8);
  EXPECT_DOUBLE_EQ(f.ReadScaled("Ears", "TNI_linearite", 0), 2.5);
  EXPECT_DOUBLE_EQ(f.ReadScaled("Ears", "TNI_Taille", 16000), 16.0);
}

// What the platform's profile functions do besides: quotes around a value
// go, blanks around an asked section name go, accented names match without
// regard to case.
TEST(IniFileRead, QuotesSectionBlanksAndAccentedNames) {
  const IniFile f = Parsed(
      "[Prefs]\nA=\"quoted\"\nB='single'\nC=\"half\nD=\"\"\nE=\"mixed'\n"
      "[Réglages]\nÉtoile=Véga\nŁódź=1\n");
  EXPECT_EQ(f.ReadString("Prefs", "A", "x"), "quoted");
  EXPECT_EQ(f.ReadString("Prefs", "B", "x"), "single");
  EXPECT_EQ(f.ReadString("Prefs", "C", "x"), "\"half");
  EXPECT_EQ(f.ReadString("Prefs", "D", "x"), "");
  EXPECT_EQ(f.ReadString("Prefs", "E", "x"), "\"mixed'");
  EXPECT_EQ(f.ReadString("  Prefs  ", "A", "x"), "quoted");
  EXPECT_EQ(f.ReadString("RÉGLAGES", "étoile", "x"), "Véga");
  EXPECT_EQ(f.ReadInteger("réglages", "łÓDŹ", 0), 1);
  EXPECT_EQ(f.ReadString("Reglages", "Etoile", "x"), "x");  // accents still count
}

TEST(IniFileRead, IntegersTakeTheLeadingDecimalDigits) {
  struct Case {
    const char* value;
    int expected;
  } cases[] = {
      {"42", 42},
      {"-7", -7},
      {"+5", 5},
      {"12abc", 12},
      {"3.9", 3},
      {"007", 7},
      {"", -1},
      {"abc", -1},
      {"-", -1},
      {"0x10", 16},
      {"0xff", 255},
      {"0XFFFFFFFF", -1},  // the 32-bit pattern
      {"0x", 0},
      {"0x1FFFFFFFF", -1},  // beyond 32 bits: unreadable
      {"2147483647", INT_MAX},
      {"-2147483648", INT_MIN},
      {"2147483648", -1},  // beyond int: unreadable
      {"99999999999999999999999", -1},
  };
  for (const Case& c : cases) {
    const IniFile f = Parsed(std::string("[S]\nK=") + c.value + "\n");
    EXPECT_EQ(f.ReadInteger("S", "K", -1), c.expected) << '"' << c.value << '"';
  }
}

TEST(IniFileWrite, ReplacesInPlaceAppendsToItsSectionAndKeepsEverythingElse) {
  IniFile f = Parsed(kPrefs);
  f.WriteInteger("Prefs", "Num_Suffixe", 13);        // replaces, keeps the file's spelling
  f.WriteString("prefs", "Couleurs Nuit", "Rouge");  // new key after the section's last key
  f.WriteScaled("Ears", "TNI_Rapport_Rayon", 0.8);   // 800 again
  f.WriteScaled("Ears", "TNI_linearite", 2.0004);    // rounds to 2000
  f.WriteScaled("AutoFocus", "TNI_FWHM_Stop", 4.0009, 1000, true);  // new section, truncated
  f.WriteString("Seuils", "Seuil_Max", "line\nbreak");              // a value never starts a line
  EXPECT_EQ(f.Text(),
            "; Orniva settings\n"
            "[Prefs]\n"
            "Num_suffixe=13\n"
            "  Langue = 2  \n"  // untouched lines stay as they were
            "Nom_Image=M 42 = Orion\n"
            "Couleurs Nuit=Rouge\n"
            "[Ears]\n"
            "TNI_Rapport_Rayon=800\n"
            "TNI_linearite=2000\n"
            "\n"
            "[Seuils]\n"
            "Seuil_Max=line break\n"
            "[AutoFocus]\n"
            "TNI_FWHM_Stop=4000\n");
  EXPECT_EQ(f.ReadInteger("PREFS", "num_suffixe", 0), 13);
  EXPECT_EQ(f.ReadString("Prefs", "Couleurs Nuit", ""), "Rouge");
}

TEST(IniFileWrite, EmptyFileAndWindowsLineEndsRoundTrip) {
  IniFile empty;
  empty.WriteInteger("Seuils", "Seuil_Min", 0);
  empty.WriteInteger("Seuils", "Seuil_Max", 2500);
  EXPECT_EQ(empty.Text(), "[Seuils]\nSeuil_Min=0\nSeuil_Max=2500\n");

  // A file from another system keeps its byte-order mark and CR LF ends.
  IniFile dos = Parsed("\xEF\xBB\xBF[Prefs]\r\nLangue=1\r\n");
  EXPECT_EQ(dos.ReadInteger("Prefs", "Langue", 0), 1);
  dos.WriteInteger("Prefs", "Langue", 3);
  EXPECT_EQ(dos.Text(), "\xEF\xBB\xBF[Prefs]\r\nLangue=3\r\n");
}

TEST(IniFileSections, ProfilesAreTheSectionsOfTheirPrefix) {
  const IniFile f = Parsed(
      "[Prefs]\n[Optique.Lunette]\nFocale=9000000\n[Monture.EQ6]\n"
      "[optique.C8]\n[Optique.Lunette]\n");
  EXPECT_EQ(f.Sections(),
            (std::vector<std::string>{"Prefs", "Optique.Lunette", "Monture.EQ6", "optique.C8"}));
  EXPECT_EQ(ProfileNames(f, "Optique."), (std::vector<std::string>{"Lunette", "C8"}));
  EXPECT_EQ(ProfileNames(f, "Monture."), (std::vector<std::string>{"EQ6"}));
  EXPECT_EQ(ProfileNames(f, "Camera."), (std::vector<std::string>{"Defaut"}));
  EXPECT_EQ(ProfileNames(IniFile(), "Optique."), (std::vector<std::string>{"Defaut"}));
}

TEST(IniFileDisk, MissingFileIsEmptyAndSaveReplacesTheFileWhole) {
  TempDir dir;
  const std::string path = dir.File("Orniva.ini");
  IniFile f(path);
  EXPECT_EQ(f.Load(), "");
  EXPECT_EQ(f.ReadInteger("Seuils", "Seuil_Max", 2500), 2500);

  WriteText(path, "; garder\n[Seuils]\nSeuil_Max=1000\n");
  ::chmod(path.c_str(), 0600);
  ASSERT_EQ(f.Load(), "");
  EXPECT_EQ(f.ReadInteger("seuils", "seuil_max", 0), 1000);
  f.WriteInteger("Seuils", "Seuil_Max", 1200);
  ASSERT_EQ(f.Save(), "");
  EXPECT_EQ(FileText(path), "; garder\n[Seuils]\nSeuil_Max=1200\n");
  EXPECT_EQ(fs::status(path).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write);
  // Nothing but the settings file is left in the folder.
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path), fs::directory_iterator()), 1);
}

// A save interrupted by a crash leaves its temporary file: the next save
// removes it, and nothing else.
TEST(IniFileDisk, TemporaryLeftByACrashIsRemovedAtTheNextSave) {
  TempDir dir;
  const std::string path = dir.File("Orniva.ini");
  WriteText(path + ".tmp-a1B2c3", "[Half]\n");
  WriteText(path + ".backup", "[Mine]\n");
  WriteText(path + ".tmp-toolongname", "[Mine]\n");
  IniFile f(path);
  f.WriteInteger("S", "K", 1);
  ASSERT_EQ(f.Save(), "");
  EXPECT_FALSE(fs::exists(path + ".tmp-a1B2c3"));
  EXPECT_TRUE(fs::exists(path + ".backup"));
  EXPECT_TRUE(fs::exists(path + ".tmp-toolongname"));
  EXPECT_EQ(FileText(path), "[S]\nK=1\n");
}

TEST(IniFileDisk, FailuresNameTheFileAndLeaveItAsItWas) {
  TempDir dir;
  // A folder in place of the file cannot be read.
  const std::string folder = dir.File("Orniva.ini");
  fs::create_directory(folder);
  IniFile notAFile(folder);
  EXPECT_NE(notAFile.Load().find("Impossible de lire le fichier " + folder), std::string::npos);

  // A folder in place of the file cannot be replaced: it is left as it was
  // and no temporary file stays behind.
  WriteText(folder + "/inside", "x");
  notAFile.WriteInteger("Seuils", "Seuil_Max", 5);
  EXPECT_NE(notAFile.Save().find("Impossible d'ecrire le fichier " + folder), std::string::npos);
  EXPECT_EQ(FileText(folder + "/inside"), "x");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path), fs::directory_iterator()), 1);
  // Nor can a file in a missing folder be written.
  EXPECT_NE(IniFile(dir.File("absent/Orniva.ini")).Save().find("absent/Orniva.ini"),
            std::string::npos);
}

}  // namespace
}  // namespace orniva
