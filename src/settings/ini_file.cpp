#include "settings/ini_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unordered_set>

#include "core/rounding.h"

namespace orniva {
namespace {

// Settings files are small; anything larger is not one.
constexpr std::streamoff kMaxSettingsFileBytes = 16 << 20;

std::string_view Trim(std::string_view s) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\f'; };
  while (!s.empty() && blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && blank(s.back())) s.remove_suffix(1);
  return s;
}

char Lower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// The next character of UTF-8 text, as a code point; a byte that does not
// start a valid sequence stands for itself.
char32_t NextChar(std::string_view s, size_t& i) {
  const unsigned char c = s[i];
  const int follow = c < 0x80         ? 0
                     : (c >> 5) == 6  ? 1
                     : (c >> 4) == 14 ? 2
                     : (c >> 3) == 30 ? 3
                                      : -1;
  if (follow <= 0 || i + follow >= s.size()) {
    ++i;
    return c;
  }
  char32_t cp = c & (0x3F >> follow);
  for (int k = 1; k <= follow; ++k) {
    const unsigned char cc = s[i + k];
    if ((cc >> 6) != 2) {
      ++i;
      return c;
    }
    cp = (cp << 6) | (cc & 0x3F);
  }
  i += follow + 1;
  return cp;
}

// Case folding of the letters settings and language files use: ASCII, the
// accented Latin-1 letters and Latin Extended-A.
char32_t Fold(char32_t c) {
  if (c >= 'A' && c <= 'Z') return c + 32;
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 32;
  if (c >= 0x100 && c <= 0x17F && c != 0x130 && c != 0x131 && c != 0x138 && c != 0x149 &&
      c != 0x17F) {
    // Pairs: upper case even below U+0138, odd from U+0139 to U+0148, even
    // again from U+014A, odd from U+0179.
    const bool oddUpper = (c >= 0x139 && c <= 0x148) || c >= 0x179;
    const bool upper = oddUpper ? (c % 2 == 1) : (c % 2 == 0);
    return upper ? c + 1 : c;
  }
  return c;
}

bool SameName(std::string_view a, std::string_view b) {
  size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    if (Fold(NextChar(a, i)) != Fold(NextChar(b, j))) return false;
  }
  return i == a.size() && j == b.size();
}

bool StartsWithName(std::string_view name, std::string_view prefix) {
  return name.size() >= prefix.size() && SameName(name.substr(0, prefix.size()), prefix);
}

// Names and values written by the program stay on their line.
std::string OneLine(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c == '\n' || c == '\r') c = ' ';
  return out;
}

// The temporary file a save writes before it replaces the file.
constexpr std::string_view kTemporaryInfix = ".tmp-";

// Removes what a save interrupted by a crash left beside the file: names
// made of the file's name, ".tmp-" and six characters.
void RemoveStaleTemporaries(const std::string& path) {
  const size_t slash = path.rfind('/');
  const std::string dir = slash == std::string::npos ? "." : path.substr(0, slash);
  const std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
  const std::string stem = base + std::string(kTemporaryInfix);
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(dir, ec)) {
    const std::string name = entry.path().filename().string();
    if (name.size() == stem.size() + 6 && name.rfind(stem, 0) == 0 && entry.is_regular_file(ec)) {
      std::filesystem::remove(entry.path(), ec);
    }
  }
}

std::string ReadError(const std::string& path, const std::string& detail) {
  return "Impossible de lire le fichier " + path + " (" + detail + ")";
}

std::string WriteError(const std::string& path, const std::string& detail) {
  return "Impossible d'ecrire le fichier " + path + " (" + detail + ")";
}

}  // namespace

IniFile::IniFile(std::string path) : path_(std::move(path)) {}

IniFile::Line IniFile::Classify(std::string text) {
  Line line;
  line.text = std::move(text);
  const std::string_view t = Trim(line.text);
  if (t.empty() || t.front() == ';' || t.front() == '#') return line;
  if (t.front() == '[') {
    const size_t close = t.find(']');
    if (close != std::string_view::npos) {
      line.kind = Line::Section;
      line.name = std::string(Trim(t.substr(1, close - 1)));
    }
    return line;
  }
  const size_t eq = t.find('=');
  if (eq == std::string_view::npos) return line;
  const std::string_view key = Trim(t.substr(0, eq));
  if (key.empty()) return line;
  line.kind = Line::Key;
  line.name = std::string(key);
  return line;
}

std::string IniFile::Load() {
  lines_.clear();
  crlf_ = bom_ = false;
  struct stat st {};
  if (::stat(path_.c_str(), &st) != 0) {
    if (errno == ENOENT) return {};
    return ReadError(path_, std::strerror(errno));
  }
  if (S_ISDIR(st.st_mode)) return ReadError(path_, "c'est un repertoire");
  std::ifstream in(path_, std::ios::binary);
  if (!in) return ReadError(path_, std::strerror(errno));
  if (st.st_size > kMaxSettingsFileBytes) return ReadError(path_, "fichier trop volumineux");
  std::ostringstream text;
  text << in.rdbuf();
  if (in.bad()) return ReadError(path_, "erreur de lecture");
  Parse(text.str());
  return {};
}

void IniFile::Parse(std::string_view text) {
  lines_.clear();
  bom_ = text.starts_with("\xEF\xBB\xBF");
  if (bom_) text.remove_prefix(3);
  const size_t firstEnd = text.find('\n');
  crlf_ = firstEnd != std::string_view::npos && firstEnd > 0 && text[firstEnd - 1] == '\r';
  while (!text.empty()) {
    size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    while (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines_.push_back(Classify(std::string(line)));
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
}

std::string IniFile::Text() const {
  std::string out = bom_ ? "\xEF\xBB\xBF" : "";
  const char* eol = crlf_ ? "\r\n" : "\n";
  for (const Line& line : lines_) (out += line.text) += eol;
  return out;
}

std::string IniFile::Save() const {
  if (path_.empty()) return WriteError(path_, "aucun nom de fichier");
  const std::string text = Text();
  RemoveStaleTemporaries(path_);
  std::string temp = path_ + std::string(kTemporaryInfix) + "XXXXXX";
  const int fd = ::mkstemp(temp.data());
  if (fd < 0) return WriteError(path_, std::strerror(errno));
  auto fail = [&](int err) {
    ::close(fd);
    ::unlink(temp.c_str());
    return WriteError(path_, std::strerror(err));
  };
  // The replacement keeps the permissions of the file it replaces.
  struct stat st {};
  const mode_t mode = ::stat(path_.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0644;
  if (::fchmod(fd, mode) != 0) return fail(errno);
  for (size_t done = 0; done < text.size();) {
    const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return fail(errno);
    }
    done += static_cast<size_t>(n);
  }
  if (::fsync(fd) != 0) return fail(errno);
  if (::close(fd) != 0) {
    const int err = errno;
    ::unlink(temp.c_str());
    return WriteError(path_, std::strerror(err));
  }
  if (std::rename(temp.c_str(), path_.c_str()) != 0) {
    const int err = errno;
    ::unlink(temp.c_str());
    return WriteError(path_, std::strerror(err));
  }
  return {};
}

int IniFile::FindSection(std::string_view section) const {
  section = Trim(section);
  for (size_t i = 0; i < lines_.size(); ++i)
    if (lines_[i].kind == Line::Section && SameName(lines_[i].name, section))
      return static_cast<int>(i);
  return -1;
}

void IniFile::EraseSection(std::string_view section) {
  for (int header = FindSection(section); header >= 0; header = FindSection(section)) {
    size_t end = header + 1;
    while (end < lines_.size() && lines_[end].kind != Line::Section) ++end;
    lines_.erase(lines_.begin() + header, lines_.begin() + static_cast<long>(end));
  }
}

std::vector<std::string> IniFile::Keys(std::string_view section) const {
  std::vector<std::string> keys;
  const int header = FindSection(section);
  if (header < 0) return keys;
  for (size_t i = header + 1; i < lines_.size() && lines_[i].kind != Line::Section; ++i)
    if (lines_[i].kind == Line::Key) keys.push_back(lines_[i].name);
  return keys;
}

int IniFile::FindKey(std::string_view section, std::string_view key) const {
  const int header = FindSection(section);
  if (header < 0) return -1;
  for (size_t i = header + 1; i < lines_.size() && lines_[i].kind != Line::Section; ++i)
    if (lines_[i].kind == Line::Key && SameName(lines_[i].name, key)) return static_cast<int>(i);
  return -1;
}

std::optional<std::string> IniFile::Value(std::string_view section, std::string_view key) const {
  const int i = FindKey(section, key);
  if (i < 0) return std::nullopt;
  const std::string& text = lines_[i].text;
  std::string_view value = Trim(std::string_view(text).substr(text.find('=') + 1));
  // A pair of double or single quotes around the value is taken away.
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    value = value.substr(1, value.size() - 2);
  }
  return std::string(value);
}

bool IniFile::HasSection(std::string_view section) const {
  return FindSection(section) >= 0;
}

bool IniFile::HasKey(std::string_view section, std::string_view key) const {
  return FindKey(section, key) >= 0;
}

std::string IniFile::ReadString(std::string_view section, std::string_view key,
                                std::string_view defaultValue) const {
  std::optional<std::string> v = Value(section, key);
  return v ? *v : std::string(defaultValue);
}

std::optional<int> ParseProfileInteger(std::string_view s) {
  s = Trim(s);
  bool negative = false;
  if (!s.empty() && (s.front() == '-' || s.front() == '+')) {
    negative = s.front() == '-';
    s.remove_prefix(1);
  }
  long long n = 0;
  size_t digits = 0;
  // "0x" starts a hexadecimal number.
  const bool hex = s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X') &&
                   std::isxdigit(static_cast<unsigned char>(s[2]));
  if (hex) {
    s.remove_prefix(2);
    for (; digits < s.size() && std::isxdigit(static_cast<unsigned char>(s[digits])); ++digits) {
      const char c = s[digits];
      n = n * 16 + (c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10);
      if (n > static_cast<long long>(UINT_MAX)) return std::nullopt;
    }
    // Eight hexadecimal digits give the 32-bit pattern, sign included.
    if (n > INT_MAX) n -= (1LL << 32);
    return static_cast<int>(negative ? -n : n);
  }
  for (; digits < s.size() && s[digits] >= '0' && s[digits] <= '9'; ++digits) {
    n = n * 10 + (s[digits] - '0');
    if (n > static_cast<long long>(INT_MAX) + 1) return std::nullopt;
  }
  if (digits == 0) return std::nullopt;
  if (negative) n = -n;
  if (n < INT_MIN || n > INT_MAX) return std::nullopt;
  return static_cast<int>(n);
}

int IniFile::ReadInteger(std::string_view section, std::string_view key, int defaultValue) const {
  const std::optional<std::string> v = Value(section, key);
  if (!v) return defaultValue;
  return ParseProfileInteger(*v).value_or(defaultValue);
}

double IniFile::ReadScaled(std::string_view section, std::string_view key, int defaultStored,
                           int scale) const {
  return static_cast<double>(ReadInteger(section, key, defaultStored)) / scale;
}

void IniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
  const std::string line = OneLine(key) + "=" + OneLine(value);
  const int existing = FindKey(section, key);
  if (existing >= 0) {
    // The key keeps the spelling it has in the file.
    Line& l = lines_[existing];
    l.text = l.name + "=" + OneLine(value);
    return;
  }
  int header = FindSection(section);
  if (header < 0) {
    std::string header = "[";
    header += OneLine(section);
    header += ']';
    lines_.push_back(Classify(std::move(header)));
    lines_.push_back(Classify(line));
    return;
  }
  // After the section's last key (its trailing blank lines and comments
  // stay before the next section).
  size_t at = header + 1;
  for (size_t i = header + 1; i < lines_.size() && lines_[i].kind != Line::Section; ++i)
    if (lines_[i].kind == Line::Key) at = i + 1;
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), Classify(line));
}

void IniFile::WriteInteger(std::string_view section, std::string_view key, long long value) {
  WriteString(section, key, std::to_string(value));
}

void IniFile::WriteScaled(std::string_view section, std::string_view key, double value, int scale,
                          bool truncate) {
  double scaled = value * scale;
  // Nothing outside the int range reads back: such values are kept at its ends.
  if (std::isnan(scaled)) scaled = 0;
  scaled = Clamp(scaled, static_cast<double>(INT_MIN), static_cast<double>(INT_MAX));
  WriteInteger(section, key, truncate ? Trunc(scaled) : Round(scaled));
}

std::vector<std::string> IniFile::Sections() const {
  std::vector<std::string> names;
  std::unordered_set<std::string> seen;
  for (const Line& line : lines_) {
    if (line.kind != Line::Section) continue;
    std::string lower = line.name;
    for (char& c : lower) c = Lower(c);
    if (seen.insert(std::move(lower)).second) names.push_back(line.name);
  }
  return names;
}

std::vector<std::string> ProfileNames(const IniFile& file, std::string_view prefix) {
  std::vector<std::string> names;
  for (const std::string& section : file.Sections())
    if (StartsWithName(section, prefix)) names.push_back(section.substr(prefix.size()));
  if (names.empty()) names.push_back("Defaut");
  return names;
}

}  // namespace orniva
