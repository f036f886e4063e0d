#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orniva {

// The three catalogue files beside the program and the size of their tables;
// lines beyond a full table are ignored.
inline constexpr const char* kStarCatalogueFile = "Catalog.dat";
inline constexpr const char* kDeepSkyCatalogueFile = "SAC72.dat";
inline constexpr const char* kConstellationLinesFile = "Conlines.dat";
inline constexpr int kMaxStars = 9500;
inline constexpr int kMaxDeepSkyObjects = 13230;
inline constexpr int kMaxConstellationLines = 650;

// A star of the bright-star catalogue. Angles in arcseconds.
struct StarRecord {
  std::string SaoNumber;  // columns 32-37 as written (" 36042")
  std::string StarName;   // columns 5-14 as written, blank when unnamed
  double Magnitude = 0;
  double RightAscension = 0;
  double Declination = 0;
};

// A deep-sky object. Angles in arcseconds, sizes in arcminutes.
struct DeepSkyRecord {
  std::string Name;         // blanks removed: "NGC224"
  std::string OtherName;    // blanks removed, at most 8 characters: "M31"
  std::string ObjectType;   // lower case, trimmed: "galxy"
  double Magnitude = 99.0;  // 99.0 when unknown
  double SizeMajor = 6.0;
  double SizeMinor = 6.0;
  std::string ObjectClass;  // 11 characters as written: "Sb         "
  int16_t PositionAngle = 0;
  double RightAscension = 0;
  double Declination = 0;
};

// A constellation line segment, its two ends in radians.
struct ConstellationLine {
  double RightAscension1 = 0;
  double Declination1 = 0;
  double RightAscension2 = 0;
  double Declination2 = 0;
};

// Why a catalogue could not be read: the file, the line (0 for the whole
// file) and what was wrong.
struct CatalogueError {
  std::string File;
  int Line = 0;
  std::string What;
  // The text for the message window: "Catalog.dat, ligne 12 : …".
  std::string Text() const;
};

// The readers take a file's whole text and append at most the table size
// of records to out. On a line that cannot be read they stop and return the
// error; the records before it stay in out.
std::optional<CatalogueError> ReadStars(std::string_view text, std::string_view file,
                                        std::vector<StarRecord>& out);
std::optional<CatalogueError> ReadDeepSkyObjects(std::string_view text, std::string_view file,
                                                 std::vector<DeepSkyRecord>& out);
std::optional<CatalogueError> ReadConstellationLines(std::string_view text, std::string_view file,
                                                     std::vector<ConstellationLine>& out);

// The catalogue tables of the program, read once, the first time the chart
// is drawn, and only read from afterwards (chart, search, object actions).
class Catalogues {
 public:
  // Reads "Catalog.dat", "SAC72.dat" and "Conlines.dat" from directory, in
  // this order, each into its table after clearing it. A file that is missing
  // or holds a line that cannot be read leaves its table empty and adds an
  // error; CataloguesLoaded is set only when all three were read.
  std::vector<CatalogueError> LoadCatalogues(const std::string& directory);
  // LoadCatalogues the first time (and again after a failed load); nothing
  // once the tables are loaded.
  std::vector<CatalogueError> EnsureLoaded(const std::string& directory);
  bool CataloguesLoaded() const { return loaded_; }

  const std::vector<StarRecord>& Stars() const { return stars_; }
  const std::vector<DeepSkyRecord>& DeepSkyObjects() const { return deepSky_; }
  const std::vector<ConstellationLine>& ConstellationLines() const { return lines_; }
  int StarCount() const { return static_cast<int>(stars_.size()); }
  int DeepSkyCount() const { return static_cast<int>(deepSky_.size()); }
  int ConstellationLineCount() const { return static_cast<int>(lines_.size()); }

 private:
  std::vector<StarRecord> stars_;
  std::vector<DeepSkyRecord> deepSky_;
  std::vector<ConstellationLine> lines_;
  bool loaded_ = false;
};

// Reads a whole file; on failure returns nothing and sets error to a text
// naming the file.
std::optional<std::string> ReadWholeFile(const std::string& path, std::string& error);

}  // namespace orniva
