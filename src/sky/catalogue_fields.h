#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace orniva {

// One line of a fixed-width catalogue as the readers see it: at most 255
// characters in a blank-padded buffer, so columns past the end of a short line
// read as blanks. Columns are counted from 1.
class FixedLine {
 public:
  static constexpr int kWidth = 255;
  explicit FixedLine(std::string_view line);
  // Columns from..to, both included (1 <= from <= to <= kWidth).
  std::string_view Columns(int from, int to) const {
    return std::string_view(buffer_ + from - 1, static_cast<size_t>(to - from + 1));
  }
  char Column(int at) const { return buffer_[at - 1]; }

 private:
  char buffer_[kWidth];
};

bool IsBlank(std::string_view text);
std::string_view TrimFieldBlanks(std::string_view text);
// Every blank removed ("NGC  224" gives "NGC224").
std::string WithoutBlanks(std::string_view text);
// A decimal number with "." as separator, blanks around allowed, an optional
// sign and exponent; nothing else (no "inf", "nan", hexadecimal, commas).
std::optional<double> ParseNumber(std::string_view text);
// A whole number with an optional sign and blanks around.
std::optional<long> ParseInteger(std::string_view text);

// Walks a file's text line by line (LF or CRLF ends; a last line without an
// end counts), numbering lines from 1.
class LineReader {
 public:
  explicit LineReader(std::string_view text) : rest_(text) {}
  bool Next(std::string_view& line);
  int LineNumber() const { return number_; }

 private:
  std::string_view rest_;
  int number_ = 0;
};

}  // namespace orniva
