#pragma once
// Glyphs rasterised with FreeType from the free DejaVu fonts, and the game's
// bitmap fonts built from them: square glyph cells laid left to right in
// the order each character set expects.
#include <cstdint>
#include <string>
#include <vector>

#include "datagen/canvas.h"

namespace datagen {

struct GlyphBitmap {
  int width = 0, height = 0;  // of the coverage map
  int left = 0, top = 0;      // from the pen position to the map's top-left (top is upwards)
  int advance = 0;            // pixels
  std::vector<uint8_t> coverage;
};

class FontFace {
 public:
  // A file of the DejaVu folder, e.g. "DejaVuSans-Bold.ttf".
  FontFace(const std::string& fileName, int pixelHeight);
  ~FontFace();
  FontFace(const FontFace&) = delete;
  FontFace& operator=(const FontFace&) = delete;

  bool ok() const { return face_ != nullptr; }
  // Renders a code point, squeezed horizontally by `xScale` (1 = as drawn).
  bool Render(uint32_t codePoint, GlyphBitmap& glyph, double xScale = 1.0);
  // Height of a capital above the base line, in pixels.
  int CapHeight();
  // Draws UTF-8 text with its base line at y, coloured; returns the width.
  int DrawText(Canvas& canvas, const std::string& utf8, int x, int y, Rgb colour, double spacing = 0);
  int TextWidth(const std::string& utf8, double spacing = 0);

 private:
  void* library_ = nullptr;
  void* face_ = nullptr;
};

// The code points of a character set's glyphs, glyph by glyph; 0 for a
// blank glyph.
std::vector<uint32_t> FontGlyphs(int32_t charSet);

// One bitmap font: glyph cells of side `cell` holding the glyphs of `set`,
// coverage 0..1 per pixel, `advance` pixels apart when drawn.
struct BitmapFont {
  int cell = 0;
  std::vector<float> coverage;  // (glyphs · cell) × cell, row-major
  int glyphs = 0;
};
BitmapFont MakeBitmapFont(int32_t charSet, const std::string& fontFile, int cell, int pixelHeight, int advance);

}  // namespace datagen
