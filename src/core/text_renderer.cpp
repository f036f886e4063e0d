#include "core/text_renderer.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cctype>
#include <map>
#include <mutex>

#include "core/canvas.h"

namespace orniva {
namespace {

std::mutex gMutex;
std::string gDirectory = "/usr/share/fonts/truetype/dejavu";

// One FreeType library and one face per font file for the whole program.
struct FaceCache {
  FT_Library library = nullptr;
  std::map<std::string, FT_Face> faces;
  ~FaceCache() {
    for (auto& [path, face] : faces) FT_Done_Face(face);
    if (library) FT_Done_FreeType(library);
  }
};

FaceCache& Cache() {
  static FaceCache cache;
  return cache;
}

FT_Face OpenFace(const std::string& path, std::string& error) {
  FaceCache& cache = Cache();
  if (!cache.library && FT_Init_FreeType(&cache.library) != 0) {
    cache.library = nullptr;
    error = "FreeType ne peut pas demarrer";
    return nullptr;
  }
  auto it = cache.faces.find(path);
  if (it != cache.faces.end()) return it->second;
  FT_Face face = nullptr;
  if (FT_New_Face(cache.library, path.c_str(), 0, &face) != 0) {
    error = "Police introuvable ou illisible : " + path;
    return nullptr;
  }
  cache.faces.emplace(path, face);
  return face;
}

// Decodes UTF-8; an invalid byte stands for itself (Latin-1).
std::vector<char32_t> Decode(std::string_view s) {
  std::vector<char32_t> out;
  for (size_t i = 0; i < s.size();) {
    auto c = static_cast<unsigned char>(s[i]);
    int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
    char32_t cp = extra == 0 ? c : (c & (0x3F >> extra));
    bool ok = true;
    for (int k = 1; ok && k <= extra; ++k) {
      if (i + k >= s.size() || (static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) {
        ok = false;
      } else {
        cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
      }
    }
    if (!ok) {
      out.push_back(c);
      ++i;
    } else {
      out.push_back(cp);
      i += extra + 1;
    }
  }
  return out;
}

}  // namespace

void SetFontDirectory(std::string directory) {
  std::lock_guard lock(gMutex);
  gDirectory = std::move(directory);
}

const std::string& FontDirectory() {
  return gDirectory;
}

std::string FontFileName(const Font& font) {
  std::string lower;
  for (char c : font.name) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  bool mono = lower.find("courier") != std::string::npos || lower.find("mono") != std::string::npos;
  std::string name = mono ? "DejaVuSansMono" : "DejaVuSans";
  if (font.bold) name += "-Bold";
  return name + ".ttf";
}

bool RenderText(const Font& font, std::string_view utf8, bool withCoverage, RenderedText& out,
                std::string& error) {
  out = RenderedText{};
  std::lock_guard lock(gMutex);
  FT_Face face = OpenFace(gDirectory + "/" + FontFileName(font), error);
  if (!face) return false;
  FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(std::max(1, font.PixelSize())));
  out.ascent = static_cast<int>((face->size->metrics.ascender + 63) >> 6);
  int descent = static_cast<int>((-face->size->metrics.descender + 63) >> 6);
  out.height = out.ascent + descent;

  std::vector<char32_t> text = Decode(utf8);
  int width = 0;
  for (char32_t cp : text) {
    if (FT_Load_Char(face, cp, FT_LOAD_DEFAULT) == 0)
      width += static_cast<int>((face->glyph->advance.x + 32) >> 6);
  }
  out.width = width;
  if (!withCoverage) return true;

  out.coverage.assign(static_cast<size_t>(out.width) * out.height, 0);
  int penX = 0;
  for (char32_t cp : text) {
    if (FT_Load_Char(face, cp, FT_LOAD_RENDER) != 0) continue;
    FT_GlyphSlot g = face->glyph;
    const FT_Bitmap& bm = g->bitmap;
    for (unsigned row = 0; row < bm.rows; ++row) {
      int y = out.ascent - g->bitmap_top + static_cast<int>(row);
      if (y < 0 || y >= out.height) continue;
      const unsigned char* src = bm.buffer + static_cast<ptrdiff_t>(row) * bm.pitch;
      for (unsigned col = 0; col < bm.width; ++col) {
        int x = penX + g->bitmap_left + static_cast<int>(col);
        if (x < 0 || x >= out.width) continue;
        uint8_t& dst = out.coverage[static_cast<size_t>(y) * out.width + x];
        dst = std::max<uint8_t>(dst, src[col]);
      }
    }
    penX += static_cast<int>((g->advance.x + 32) >> 6);
  }
  return true;
}

}  // namespace orniva
