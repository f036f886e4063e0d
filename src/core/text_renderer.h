#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace orniva {

struct Font;

// Text drawn through FreeType with the DejaVu fonts. The program's texts are
// UTF-8 (the degree sign of the reticle labels is U+00B0).
struct RenderedText {
  int width = 0;                  // advance width of the whole text, pixels
  int height = 0;                 // ascent + descent of the font, pixels
  int ascent = 0;                 // baseline, pixels below the top
  std::vector<uint8_t> coverage;  // width x height, 0..255, row 0 at the top
};

// The folder of the font files; by default /usr/share/fonts/truetype/dejavu.
void SetFontDirectory(std::string directory);
const std::string& FontDirectory();

// The font file a Font maps to ("DejaVuSans.ttf", "DejaVuSansMono-Bold.ttf"…).
std::string FontFileName(const Font& font);

// Measures (and, with coverage, renders) text. Returns false with a message
// naming the font file when the file is missing or unreadable; the result is
// then empty.
bool RenderText(const Font& font, std::string_view utf8, bool withCoverage, RenderedText& out,
                std::string& error);

}  // namespace orniva
