#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "settings/ini_file.h"
#include "ui/application.h"
#include "ui/controls.h"

namespace orniva {

// The texts of a language file "Lang_<name>.ini": captions and hints of the
// windows' controls, window titles, the parity list items and the kept
// message texts and words. The French texts the windows are built with are
// the defaults: a key the file does not give leaves (or brings back) them.
class LanguageTexts {
 public:
  // Applies the section `language` of file to every window of app: first
  // every caption, hint and kept text goes back to its French default, then
  // each key of the section sets its targets. A missing file or section
  // gives the French texts.
  void Apply(Application& app, const IniFile& file, const std::string& language);
  // A kept message text or word ("MSG_Cannot_Start_Cam1", "Nord"), or
  // fallback when the language gives none.
  std::string Text(std::string_view key, std::string_view fallback) const;
  // The keys of the last file applied that reached no control, window, list
  // or kept text.
  const std::vector<std::string>& Unmatched() const { return unmatched_; }

  // The languages offered in a folder: each file named "lang_*.ini" (any
  // case) by its name between the prefix and ".ini", sorted by name.
  static std::vector<std::string> Available(const std::string& directory);
  // The file of a language in a folder, whatever the case of its name
  // ("Lang_English.ini" when none exists yet).
  static std::string FilePath(const std::string& directory, const std::string& language);

 private:
  struct Defaults {
    std::string caption, hint;
  };
  void TakeDefaults(Application& app);
  bool SetTarget(Application& app, const std::string& key, const std::string& value);

  bool haveDefaults_ = false;
  std::map<const Control*, Defaults> controls_;
  std::map<const Window*, std::string> titles_;
  std::map<ComboBox*, std::vector<std::string>> lists_;
  std::map<std::string, std::string, std::less<>> kept_;  // lower-case key -> text
  std::vector<std::string> unmatched_;
};

// A text that is not valid UTF-8 is taken as Latin-1 (language files written
// with older editors) and converted.
std::string TextAsUtf8(std::string_view text);

}  // namespace orniva
