#include "automation/script_text.h"

namespace orniva {

std::string_view TrimBlanks(std::string_view text) {
  size_t b = 0;
  size_t e = text.size();
  while (b < e && IsBlank(text[b])) ++b;
  while (e > b && IsBlank(text[e - 1])) --e;
  return text.substr(b, e - b);
}

std::string_view FirstWord(std::string_view line) {
  size_t i = 0;
  while (i < line.size() && IsBlank(line[i])) ++i;
  const size_t start = i;
  int slashes = 0;
  while (i < line.size()) {
    const char c = line[i];
    if (c == '(' || IsBlank(c)) break;
    if (c == ':') {
      if (i == start) return line.substr(start, 1);
      break;
    }
    ++i;
    if (c == '/' && ++slashes == 2) break;
  }
  return line.substr(start, i - start);
}

std::string_view ArgumentText(std::string_view line) {
  const size_t open = line.find('(');
  if (open == std::string_view::npos) return {};
  bool quoted = false;
  int depth = 1;
  for (size_t i = open + 1; i < line.size(); ++i) {
    const char c = line[i];
    if (c == '"') {
      quoted = !quoted;
    } else if (!quoted && c == '(') {
      ++depth;
    } else if (!quoted && c == ')' && --depth == 0) {
      return line.substr(open + 1, i - open - 1);
    }
  }
  return line.substr(open + 1);
}

std::string_view Field(std::string_view text, int n, char separator) {
  if (n < 1) return {};
  int index = 1;
  size_t start = 0;
  bool quoted = false;
  for (size_t i = 0; i <= text.size(); ++i) {
    if (i == text.size() || (!quoted && text[i] == separator)) {
      if (index == n) return text.substr(start, i - start);
      ++index;
      start = i + 1;
    } else if (text[i] == '"') {
      quoted = !quoted;
    }
  }
  return {};
}

int FieldCount(std::string_view text, char separator) {
  int count = 1;
  bool quoted = false;
  for (char c : text) {
    if (c == '"') {
      quoted = !quoted;
    } else if (!quoted && c == separator) {
      ++count;
    }
  }
  return count;
}

}  // namespace orniva
