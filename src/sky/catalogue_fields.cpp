#include "sky/catalogue_fields.h"

#include <algorithm>
#include <charconv>
#include <cstring>

namespace orniva {

FixedLine::FixedLine(std::string_view line) {
  size_t n = std::min(line.size(), static_cast<size_t>(kWidth));
  std::memcpy(buffer_, line.data(), n);
  std::memset(buffer_ + n, ' ', kWidth - n);
}

namespace {
bool IsBlankChar(char c) {
  return c == ' ' || c == '\t';
}
bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}
}  // namespace

bool IsBlank(std::string_view text) {
  return std::all_of(text.begin(), text.end(), IsBlankChar);
}

std::string_view TrimFieldBlanks(std::string_view text) {
  while (!text.empty() && IsBlankChar(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlankChar(text.back())) text.remove_suffix(1);
  return text;
}

std::string WithoutBlanks(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    if (!IsBlankChar(c)) out += c;
  }
  return out;
}

std::optional<double> ParseNumber(std::string_view text) {
  text = TrimFieldBlanks(text);
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  // from_chars would also take "inf" and "nan": a number starts with a digit
  // or the decimal point.
  if (text.empty() || !(IsDigit(text.front()) || text.front() == '.')) return std::nullopt;
  double value = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return negative ? -value : value;
}

std::optional<long> ParseInteger(std::string_view text) {
  text = TrimFieldBlanks(text);
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  if (text.empty() || !IsDigit(text.front())) return std::nullopt;
  long value = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return negative ? -value : value;
}

bool LineReader::Next(std::string_view& line) {
  if (rest_.empty()) return false;
  size_t end = rest_.find('\n');
  if (end == std::string_view::npos) {
    line = rest_;
    rest_ = {};
  } else {
    line = rest_.substr(0, end);
    rest_.remove_prefix(end + 1);
  }
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  ++number_;
  return true;
}

}  // namespace orniva
