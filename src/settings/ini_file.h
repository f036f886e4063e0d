#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orniva {

// A settings file of the INI kind held in memory: "[Section]" lines and
// "key=value" lines. Section and key names match without regard to case
// (ASCII letters); the first section and the first key of a name win, as with
// the usual profile-file services. Every other line (comments, blank lines,
// lines without "=") is kept as it is and written back in its place.
//
// Values are strings taken as they stand after the "=" (surrounding blanks
// removed); integers are decimal with an optional sign, and decimals are
// stored as integers scaled by a factor given with each key.
class IniFile {
 public:
  // An empty file at path (nothing is read yet).
  explicit IniFile(std::string path = {});

  const std::string& Path() const { return path_; }

  // Reads the file at Path(). A file that does not exist gives an empty
  // settings file (every key its default) and is no error. Otherwise the
  // error names the file and the settings are left empty.
  // Returns "" on success.
  std::string Load();
  // Takes text as the file's contents (a leading UTF-8 byte-order mark and
  // CR LF line ends are kept for the writing).
  void Parse(std::string_view text);
  // The file's contents as they would be saved.
  std::string Text() const;
  // Writes Text() to Path() through a temporary file beside it that then
  // replaces it, so a failure never leaves a half-written settings file.
  // Returns "" on success, else the error naming the file.
  std::string Save() const;

  bool HasSection(std::string_view section) const;
  bool HasKey(std::string_view section, std::string_view key) const;
  std::string ReadString(std::string_view section, std::string_view key,
                         std::string_view defaultValue) const;
  // The leading decimal integer of the value (blanks, then an optional sign,
  // then digits; what follows the digits is ignored). A missing key, a value
  // without digits or one outside the int range gives defaultValue.
  int ReadInteger(std::string_view section, std::string_view key, int defaultValue) const;
  bool ReadBool(std::string_view section, std::string_view key, bool defaultValue) const {
    return ReadInteger(section, key, defaultValue ? 1 : 0) != 0;
  }
  // A decimal stored as value × scale: the stored integer divided by scale;
  // defaultStored is the default as stored (800 for 0.8 at scale 1000).
  double ReadScaled(std::string_view section, std::string_view key, int defaultStored,
                    int scale = 1000) const;

  // Replaces the key's value in its line, keeping the line's place, or adds
  // the key after the last key of its section, the section being added at
  // the end of the file when missing. Line breaks in a value become blanks
  // (a value can never start a new line).
  void WriteString(std::string_view section, std::string_view key, std::string_view value);
  void WriteInteger(std::string_view section, std::string_view key, long long value);
  void WriteBool(std::string_view section, std::string_view key, bool value) {
    WriteInteger(section, key, value ? 1 : 0);
  }
  // Stores value × scale rounded to nearest (half to even), or truncated
  // toward zero with truncate.
  void WriteScaled(std::string_view section, std::string_view key, double value, int scale = 1000,
                   bool truncate = false);

  // Removes a section (every section of that name) with its keys.
  void EraseSection(std::string_view section);
  // The names of the keys of a section in file order (the first section of
  // that name).
  std::vector<std::string> Keys(std::string_view section) const;
  // The names of the sections in file order, each name once.
  std::vector<std::string> Sections() const;

 private:
  struct Line {
    std::string text;  // as read or written, without its line end
    enum Kind { Other, Section, Key } kind = Other;
    std::string name;  // the section's or the key's name, blanks removed
  };
  static Line Classify(std::string text);
  // Index in the lines of the section's header line, or -1.
  int FindSection(std::string_view section) const;
  // Index of the key's line, or -1.
  int FindKey(std::string_view section, std::string_view key) const;
  // The key's value, blanks removed, or nothing when the key is missing.
  std::optional<std::string> Value(std::string_view section, std::string_view key) const;

  std::string path_;
  std::vector<Line> lines_;
  bool crlf_ = false;
  bool bom_ = false;
};

// The leading decimal integer of a value as ReadInteger takes it, or
// nothing when it has none or it is outside the int range.
std::optional<int> ParseProfileInteger(std::string_view text);

// The names of the profiles of a kind: the sections whose name starts with
// prefix ("Optique.", matched without regard to case), the prefix removed, in
// file order; the single name "Defaut" when there is none.
std::vector<std::string> ProfileNames(const IniFile& file, std::string_view prefix);

}  // namespace orniva
