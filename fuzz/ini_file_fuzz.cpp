// Fuzz entry: the settings file reader and writer. Whatever is read is
// written back unchanged, values written read back, and writing never adds
// or drops a section.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "settings/ini_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace orniva;
  IniFile file;
  file.Parse(std::string_view(reinterpret_cast<const char*>(data), size));
  const std::string text = file.Text();
  IniFile again;
  again.Parse(text);
  if (again.Text() != text) std::abort();

  const auto sections = file.Sections();
  if (ProfileNames(file, "Optique.").empty()) std::abort();
  long long n = 0;
  for (const std::string& section : sections) {
    file.ReadInteger(section, "Seuil_Max", 2500);
    file.ReadScaled(section, "TNI_Rapport_Rayon", 800);
    // A carriage return inside a value is written as a blank.
    std::string old = file.ReadString(section, "K", "");
    file.WriteString(section, "K", old);
    for (char& c : old)
      if (c == '\r') c = ' ';
    if (file.ReadString(section, "K", "?") != old) std::abort();
    file.WriteInteger(section, "Fuzz_Key", ++n);
    if (file.ReadInteger(section, "FUZZ_KEY", 0) != n) std::abort();
  }
  if (file.Sections() != sections) std::abort();
  return 0;
}
