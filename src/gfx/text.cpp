#include "gfx/text.h"

#include <cstddef>
#include <cstdio>

#include "gfx/drawing.h"

namespace {

// Longest line DrawTextBox builds; a longer one ends where this is reached.
constexpr int64_t kLineBufferChars = 5000;

bool IsDigit(uint8_t c) { return c >= '0' && c <= '9'; }
bool IsLatin(uint8_t c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
int32_t LatinIndex(uint8_t c) { return c >= 'a' ? c - 'a' : c - 'A'; }

// Code page 866 Cyrillic: capitals 128..159, small letters 160..175 and
// 224..239, the letter yo 240..241. base is the glyph of the first capital.
bool CyrillicIndex(uint8_t c, int32_t base, int32_t yo, int32_t& g) {
  if (c >= 128 && c <= 159) {
    g = c - 128 + base;
  } else if (c >= 160 && c <= 175) {
    g = c - 160 + base;
  } else if (c >= 224 && c <= 239) {
    g = c - 224 + base + 16;
  } else if (c >= 240 && c <= 241) {
    g = yo;
  } else {
    return false;
  }
  return true;
}

// Punctuation and signs with glyphs of their own, per character set.
struct Special {
  char c;
  int32_t glyph;
};
constexpr Special kSet1Specials[] = {{'*', 13}, {'+', 18}, {',', 19}, {'#', 19},  {'-', 17},
                                     {'.', 10}, {':', 15}, {'?', 11}, {'\\', 14}, {'_', 12}};
constexpr Special kSet2Specials[] = {{'$', 37}, {'.', 36}};
constexpr Special kSet3Specials[] = {{'.', 36}, {'?', 37},  {'_', 38}, {'*', 39}, {'\\', 40},
                                     {':', 41}, {'-', 43},  {'>', 44}, {',', 45}, {'#', 45},
                                     {'!', 46}, {'\'', 47}, {'`', 47}};
constexpr Special kSet4Specials[] = {{',', 12}, {'#', 12}, {'.', 10}, {'?', 11}, {'!', 46}};

template <size_t N>
int32_t SpecialGlyph(const Special (&table)[N], uint8_t c, int32_t otherwise) {
  for (const Special& s : table) {
    if (static_cast<uint8_t>(s.c) == c) return s.glyph;
  }
  return otherwise;
}

int32_t AdvanceFactor(int32_t charSet) {
  switch (charSet) {
    case 0:
      return 256;
    case 1:
      return 230;
    case 2:
      return 195;
    case 3:
      return 220;
    case 4:
      return 195;
    default:
      return 0;
  }
}

// Draws the first length bytes of text (stopping at a zero byte).
void DrawGlyphs(GfxContext& gfx, const char* text, int64_t length, int32_t x, int32_t y, int32_t fontSlot,
                int32_t advance, int32_t charSet) {
  int64_t offset = 0;
  for (int64_t i = 0; i < length && text[i] != 0; ++i) {
    const uint8_t c = static_cast<uint8_t>(text[i]);
    const int32_t g = GlyphIndex(charSet, c);
    if (g >= 0) DrawFrame(gfx, fontSlot, static_cast<int32_t>(x + offset), y, g);
    if (c != 10 && c != 13) offset += advance;
  }
}

}  // namespace

int32_t GlyphIndex(int32_t charSet, uint8_t c) {
  int32_t g = -1;
  switch (charSet) {
    case 0:
      return c - 32;
    case 1:
      g = 16;
      if (IsDigit(c)) g = c - '0';
      CyrillicIndex(c, 24, 56, g);
      return SpecialGlyph(kSet1Specials, c, g);
    case 2:
      g = 38;
      if (IsDigit(c)) g = c - 22;
      if (IsLatin(c)) g = LatinIndex(c);
      return SpecialGlyph(kSet2Specials, c, g);
    case 3:
      g = 42;
      if (IsDigit(c)) g = c - 22;
      if (IsLatin(c)) g = LatinIndex(c);
      return SpecialGlyph(kSet3Specials, c, g);
    case 4:
      g = 47;
      if (IsDigit(c)) g = c - '0';
      CyrillicIndex(c, 13, 45, g);
      return SpecialGlyph(kSet4Specials, c, g);
    default:
      return -1;
  }
}

void DrawTextLine(GfxContext& gfx, const char* text, int32_t x, int32_t y, int32_t fontSlot, int32_t advance,
                  int32_t charSet) {
  if (text == nullptr) return;
  DrawGlyphs(gfx, text, INT64_MAX, x, y, fontSlot, advance, charSet);
}

// Lines are built a word at a time (a word runs up to and including the
// next space or carriage return); a word that would make the line as wide as
// the box or wider ends the line before it. A line that cannot take even its
// first word ends the text.
void DrawTextBox(GfxContext& gfx, const char* text, int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                 int32_t fontSlot, int32_t charSet) {
  if (text == nullptr || fontSlot < 0 || fontSlot > gfx.highestSlot || fontSlot >= kImageSlots) return;
  const int32_t factor = AdvanceFactor(charSet);
  if (factor == 0) return;
  const int64_t glyph = gfx.slots[fontSlot].height;
  const int64_t advance = glyph * factor / 256;
  const int64_t lineHeight = glyph + 5;
  const int64_t boxWidth = int64_t{x2} - x1;
  const int64_t boxHeight = int64_t{y2} - y1;
  int64_t p = 0;
  int64_t lineOffset = 0;
  while (lineOffset < boxHeight && text[p] != 0) {
    const int64_t lineStart = p;
    int64_t length = 0;
    for (;;) {
      int64_t q = p;
      while (text[q] != 0 && text[q] != ' ' && text[q] != '\r') ++q;
      const bool separator = text[q] != 0;
      const int64_t wordEnd = separator ? q + 1 : q;
      const int64_t n = length + (wordEnd - p);
      if (n * advance >= boxWidth || n > kLineBufferChars) break;
      length = n;
      p = wordEnd;
      if (separator && text[q] == '\r') break;
      if (text[p] == 0) break;
    }
    if (length == 0) return;
    DrawGlyphs(gfx, text + lineStart, length, static_cast<int32_t>(int64_t{x1} + 20),
               static_cast<int32_t>(int64_t{y1} + 20 + lineOffset), fontSlot, static_cast<int32_t>(advance),
               charSet);
    lineOffset += lineHeight;
  }
}

void DrawNumber(GfxContext& gfx, int32_t value, int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                int32_t fontSlot, int32_t charSet) {
  char digits[16];
  std::snprintf(digits, sizeof digits, "%d", static_cast<int>(value));
  DrawTextBox(gfx, digits, x1, y1, x2, y2, fontSlot, charSet);
}
