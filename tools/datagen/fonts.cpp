#include "datagen/fonts.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>

#include "datagen/data_set.h"
#include "gfx/picture_file.h"

namespace datagen {
namespace {

FT_Library Lib(void* p) { return static_cast<FT_Library>(p); }
FT_Face Face(void* p) { return static_cast<FT_Face>(p); }

// Decodes one UTF-8 character at i (advancing i); 0xfffd for a broken one.
uint32_t NextCodePoint(const std::string& s, size_t& i) {
  const uint8_t c = static_cast<uint8_t>(s[i++]);
  if (c < 0x80) return c;
  int extra = (c & 0xe0) == 0xc0 ? 1 : (c & 0xf0) == 0xe0 ? 2 : (c & 0xf8) == 0xf0 ? 3 : -1;
  if (extra < 0) return 0xfffd;
  uint32_t code = c & (0x3fu >> extra);
  while (extra-- > 0) {
    if (i >= s.size()) return 0xfffd;
    code = (code << 6) | (static_cast<uint8_t>(s[i++]) & 0x3fu);
  }
  return code;
}

}  // namespace

FontFace::FontFace(const std::string& fileName, int pixelHeight) {
  FT_Library lib = nullptr;
  if (FT_Init_FreeType(&lib) != 0) return;
  library_ = lib;
  const std::string path = std::string(VX_DATAGEN_FONT_DIR) + "/" + fileName;
  FT_Face face = nullptr;
  if (FT_New_Face(lib, path.c_str(), 0, &face) != 0) return;
  if (FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(pixelHeight)) != 0) {
    FT_Done_Face(face);
    return;
  }
  face_ = face;
}

FontFace::~FontFace() {
  if (face_ != nullptr) FT_Done_Face(Face(face_));
  if (library_ != nullptr) FT_Done_FreeType(Lib(library_));
}

bool FontFace::Render(uint32_t codePoint, GlyphBitmap& glyph, double xScale) {
  if (face_ == nullptr) return false;
  FT_Face face = Face(face_);
  FT_Matrix m{static_cast<FT_Fixed>(std::lround(xScale * 65536.0)), 0, 0, 0x10000};
  FT_Set_Transform(face, &m, nullptr);
  const FT_UInt index = FT_Get_Char_Index(face, codePoint);
  const bool loaded = index != 0 && FT_Load_Glyph(face, index, FT_LOAD_TARGET_LIGHT) == 0 &&
                      FT_Render_Glyph(face->glyph, FT_RENDER_MODE_NORMAL) == 0;
  FT_Set_Transform(face, nullptr, nullptr);
  if (!loaded) return false;
  const FT_Bitmap& bm = face->glyph->bitmap;
  glyph.width = static_cast<int>(bm.width);
  glyph.height = static_cast<int>(bm.rows);
  glyph.left = face->glyph->bitmap_left;
  glyph.top = face->glyph->bitmap_top;
  glyph.advance = static_cast<int>((face->glyph->advance.x + 32) >> 6);
  glyph.coverage.assign(static_cast<size_t>(glyph.width) * glyph.height, 0);
  for (int y = 0; y < glyph.height; ++y)
    for (int x = 0; x < glyph.width; ++x)
      glyph.coverage[static_cast<size_t>(y) * glyph.width + x] = bm.buffer[y * bm.pitch + x];
  return true;
}

int FontFace::CapHeight() {
  GlyphBitmap g;
  return Render('H', g) ? g.top : 0;
}

int FontFace::TextWidth(const std::string& utf8, double spacing) {
  double x = 0;
  GlyphBitmap g;
  for (size_t i = 0; i < utf8.size();) {
    if (Render(NextCodePoint(utf8, i), g)) x += g.advance + spacing;
  }
  return static_cast<int>(std::lround(x));
}

int FontFace::DrawText(Canvas& canvas, const std::string& utf8, int x, int y, Rgb colour, double spacing) {
  double pen = x;
  GlyphBitmap g;
  for (size_t i = 0; i < utf8.size();) {
    if (!Render(NextCodePoint(utf8, i), g)) continue;
    const int gx = static_cast<int>(std::lround(pen)) + g.left, gy = y - g.top;
    for (int j = 0; j < g.height; ++j)
      for (int k = 0; k < g.width; ++k)
        canvas.Blend(gx + k, gy + j, colour, g.coverage[static_cast<size_t>(j) * g.width + k] / 255.0f);
    pen += g.advance + spacing;
  }
  return static_cast<int>(std::lround(pen)) - x;
}

std::vector<uint32_t> FontGlyphs(int32_t charSet) {
  std::vector<uint32_t> g;
  auto latin = [&] {
    for (uint32_t c = 'A'; c <= 'Z'; ++c) g.push_back(c);
    for (uint32_t c = '0'; c <= '9'; ++c) g.push_back(c);
  };
  auto digits = [&] {
    for (uint32_t c = '0'; c <= '9'; ++c) g.push_back(c);
  };
  auto cyrillic = [&] {
    for (uint32_t c = 0x410; c <= 0x42f; ++c) g.push_back(c);
    g.push_back(0x401);
  };
  switch (charSet) {
    case 0:
      for (uint32_t c = 32; c <= 126; ++c) g.push_back(c == ' ' ? 0 : c);
      break;
    case 1:
      digits();
      for (uint32_t c : std::initializer_list<uint32_t>{'.', '?', '_', '*', '\\', ':', 0, '-', '+', ',', 0, 0, 0, 0}) g.push_back(c);
      cyrillic();
      break;
    case 2:
      latin();
      for (uint32_t c : std::initializer_list<uint32_t>{'.', '$', 0}) g.push_back(c);
      break;
    case 3:
      latin();
      for (uint32_t c : std::initializer_list<uint32_t>{'.', '?', '_', '*', '\\', ':', 0, '-', '>', ',', '!', '\''}) g.push_back(c);
      break;
    case 4:
      digits();
      for (uint32_t c : std::initializer_list<uint32_t>{'.', '?', ','}) g.push_back(c);
      cyrillic();
      for (uint32_t c : std::initializer_list<uint32_t>{'!', 0}) g.push_back(c);
      break;
    default: break;
  }
  return g;
}

BitmapFont MakeBitmapFont(int32_t charSet, const std::string& fontFile, int cell, int pixelHeight, int advance) {
  BitmapFont font;
  const std::vector<uint32_t> codes = FontGlyphs(charSet);
  font.cell = cell;
  font.glyphs = static_cast<int>(codes.size());
  const int stride = font.glyphs * cell;
  font.coverage.assign(static_cast<size_t>(stride) * cell, 0.0f);
  FontFace face(fontFile, pixelHeight);
  if (!face.ok()) return font;
  const int cap = face.CapHeight();
  // Capitals stand centred in the cell, with room below for descenders
  // such as the tails of Q, Щ and the comma.
  const int baseline = (cell + cap) / 2;
  const int room = advance - 1;  // widest glyph that keeps a gap to its neighbour
  for (int i = 0; i < font.glyphs; ++i) {
    if (codes[static_cast<size_t>(i)] == 0) continue;
    GlyphBitmap g;
    if (!face.Render(codes[static_cast<size_t>(i)], g)) continue;
    if (g.width > room) face.Render(codes[static_cast<size_t>(i)], g, static_cast<double>(room) / g.width);
    const int ox = i * cell + std::max(0, (advance - g.width) / 2);
    const int oy = baseline - g.top;
    for (int y = 0; y < g.height; ++y) {
      for (int x = 0; x < g.width; ++x) {
        const int cx = ox + x, cy = oy + y;
        if (cy < 0 || cy >= cell || cx >= (i + 1) * cell) continue;
        font.coverage[static_cast<size_t>(cy) * stride + cx] = g.coverage[static_cast<size_t>(y) * g.width + x] / 255.0f;
      }
    }
  }
  return font;
}

namespace {

// The glyphs as a picture: `ink` where covered, a faint shadow around.
Canvas FontCanvas(const BitmapFont& font, Rgb top, Rgb bottom, float shadow) {
  const int w = font.glyphs * font.cell, h = font.cell;
  Canvas c(w, h);
  std::vector<float> halo(font.coverage);
  if (shadow > 0) {
    Canvas blur(w, h);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        const float v = font.coverage[static_cast<size_t>(y) * w + x];
        blur.at(x, y) = {v, v, v};
      }
    blur.BoxBlur(1, 1);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) halo[static_cast<size_t>(y) * w + x] = blur.at(x, y).r;
  }
  for (int y = 0; y < h; ++y) {
    const Rgb ink = Mix(top, bottom, static_cast<float>(y) / std::max(1, h - 1));
    for (int x = 0; x < w; ++x) {
      const float v = font.coverage[static_cast<size_t>(y) * w + x];
      const float s = std::min(1.0f, halo[static_cast<size_t>(y) * w + x] * 1.5f) * shadow;
      c.at(x, y) = Mix(Rgb{0.16f, 0.16f, 0.18f} * s, ink, v);
    }
  }
  return c;
}

// A palette of four 64-step ramps (grey, moonlight blue, ember, moss); the
// fonts use the grey one.
PaletteValues StripPalette() {
  uint32_t colours[256];
  const Rgb tints[4] = {{1, 1, 1}, {0.7f, 0.82f, 1}, {1, 0.62f, 0.3f}, {0.55f, 0.85f, 0.5f}};
  for (int ramp = 0; ramp < 4; ++ramp) {
    for (int i = 0; i < 64; ++i) {
      const float v = i / 63.0f;
      const Rgb c = tints[ramp] * v;
      auto q = [](float f) { return static_cast<uint32_t>(std::lround(Clamp01(f) * 252.0f)); };
      colours[ramp * 64 + i] = (q(c.r) << 16) | (q(c.g) << 8) | q(c.b);
    }
  }
  return MakePalette(colours);
}

void WriteStripFont(DataSetWriter& out, const PaletteValues& palette, const std::string& name, const Canvas& art) {
  const int side = art.height();
  const int count = art.width() / side;
  std::vector<StripTile> tiles(static_cast<size_t>(count));
  const std::vector<uint32_t> pixels = art.ToPixels();
  for (int t = 0; t < count; ++t) {
    std::vector<uint32_t> tilePixels(static_cast<size_t>(side) * side);
    for (int y = 0; y < side; ++y)
      for (int x = 0; x < side; ++x)
        tilePixels[static_cast<size_t>(y) * side + x] = pixels[static_cast<size_t>(y) * art.width() + t * side + x];
    tiles[static_cast<size_t>(t)].side = side;
    tiles[static_cast<size_t>(t)].indices.resize(tilePixels.size());
    QuantiseToPalette(palette, tilePixels.data(), tilePixels.size(), tiles[static_cast<size_t>(t)].indices.data());
  }
  const std::string path = out.Path(name);
  if (!WriteTextureStrip(path.c_str(), tiles)) out.Fail("cannot write " + path);
  out.NotePicture(name);
}

}  // namespace

void WriteFonts(DataSetWriter& out) {
  const PaletteValues palette = StripPalette();
  {
    const std::string path = out.Path(kPaletteFileName);
    if (!WritePalette(path.c_str(), palette)) out.Fail("cannot write " + path);
  }
  // Set 4, the Cyrillic text font: 13-pixel cells drawn 9 pixels apart.
  const BitmapFont cyrillic = MakeBitmapFont(4, "DejaVuSansCondensed-Bold.ttf", 13, 12, 9);
  out.WritePicture("data/font1.vx1", FontCanvas(cyrillic, Hex(0xf4f1ea), Hex(0xb8c4dc), 0.0f));
  // Set 3, the Latin text font: 11-pixel cells, 9 apart; the loader greys
  // and brightens it.
  const BitmapFont latin = MakeBitmapFont(3, "DejaVuSansCondensed-Bold.ttf", 11, 11, 9);
  WriteStripFont(out, palette, "data/txtrs_c.906", FontCanvas(latin, Hex(0xb8b8b8), Hex(0xa4a4a4), 0.0f));
  // Set 1: digits, signs and Cyrillic capitals.
  const BitmapFont signs = MakeBitmapFont(1, "DejaVuSansCondensed-Bold.ttf", 16, 14, 14);
  WriteStripFont(out, palette, "data/txtrs_c.900", FontCanvas(signs, Hex(0xffffff), Hex(0xb0b0b0), 0.5f));
  // Set 2, the credits: large serif capitals, 18 pixels apart.
  const BitmapFont credits = MakeBitmapFont(2, "DejaVuSerifCondensed-Bold.ttf", 24, 22, 18);
  WriteStripFont(out, palette, "data/txtrs_c.905", FontCanvas(credits, Hex(0xffffff), Hex(0x9a9a9a), 0.6f));
  // Set 0, all printable ASCII.
  const BitmapFont ascii = MakeBitmapFont(0, "DejaVuSans.ttf", 16, 14, 16);
  WriteStripFont(out, palette, "data/txtrs_c.909", FontCanvas(ascii, Hex(0xffffff), Hex(0xc0c0c0), 0.0f));
}

}  // namespace datagen
