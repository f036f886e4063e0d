#pragma once

#include <string>
#include <string_view>

namespace orniva {

// Reading a script line. These helpers are shared by the interpreter, the
// command table, the custom-function menu and the remote-control server.

// A blank is any character up to the space (tabs, carriage returns...).
inline bool IsBlank(char c) {
  return static_cast<unsigned char>(c) <= ' ';
}
// The text without its leading and trailing blanks.
std::string_view TrimBlanks(std::string_view text);

// The command word of a line: leading blanks skipped, then characters up to
// a "(" or a blank. A second "/" ends the word after itself (so "//" is a word
// of its own); a ":" ends it before itself, unless it is the first character,
// which gives ":". "x:=5" gives "x", ":boucle" gives ":".
std::string_view FirstWord(std::string_view line);

// The text after the first "(" up to the matching ")": double quotes switch a
// quoted state on and off, and parentheses inside quotes do not count. Text
// after the closing ")" is ignored; a line without "(" gives an empty text,
// one without its closing ")" gives the rest of the line.
std::string_view ArgumentText(std::string_view line);

// The n-th field (from 1) of text cut at separator, never inside double
// quotes; the quotes stay in the field and no blanks are removed. A field
// past the last gives an empty text.
std::string_view Field(std::string_view text, int n, char separator = ',');
// One more than the number of separators outside double quotes.
int FieldCount(std::string_view text, char separator = ',');

}  // namespace orniva
