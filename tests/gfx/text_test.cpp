#include "gfx/text.h"

#include <gtest/gtest.h>

#include <string>

#include "gfx/draw_fixture.h"

namespace {

// Fonts whose glyph g is a solid square of colour g + 1, so every pixel
// tells which glyph was drawn there.
class TextTest : public vxtest::DrawFixture {
 protected:
  void SetUp() override {
    DrawFixture::SetUp();
    MakeFont(105, 8);
    MakeFont(103, 1);
  }
  void MakeFont(int32_t slot, int32_t side) {
    ImageSlot& s = Picture(slot, 48 * side, side);
    for (int32_t i = 0; i < 48 * side * side; ++i)
      s.pixels[i] = 0xff000000u | static_cast<uint32_t>((i % (48 * side)) / side + 1);
  }
  // The glyph drawn at (x, y), -1 for none.
  int32_t GlyphAt(int32_t x, int32_t y) { return static_cast<int32_t>(At(x, y) & 0xffffu) - 1; }
};

TEST_F(TextTest, CharacterSetsMapBytesToGlyphs) {
  struct Case {
    int32_t set;
    uint8_t byte;
    int32_t glyph;
  };
  for (const Case& k :
       {Case{3, 'Q', 16}, {3, 'q', 16},  {3, '7', 33}, {3, '~', 42}, {3, '\'', 47}, {3, '#', 45},
        {4, 128, 13},     {4, 160, 13},  {4, 159, 44}, {4, 224, 29}, {4, 239, 44},  {4, 241, 45},
        {4, '!', 46},     {4, 'z', 47},  {4, '9', 9},  {1, '5', 5},  {1, 128, 24},  {1, 175, 39},
        {1, 239, 55},     {1, 240, 56},  {1, '*', 13}, {1, '#', 19}, {1, 'a', 16},  {2, 'A', 0},
        {2, 'z', 25},     {2, '0', 26},  {2, '$', 37}, {2, '?', 38}, {0, 'A', 33},  {0, ' ', 0},
        {0, 13, -19},     {0, 255, 223}, {5, 'A', -1}, {-1, 'A', -1}}) {
    EXPECT_EQ(GlyphIndex(k.set, k.byte), k.glyph) << "set " << k.set << " byte " << int{k.byte};
  }
}

TEST_F(TextTest, LineAdvancesExceptOverLineBreaks) {
  DrawTextLine(gfx, "A\rB\nC", 100, 50, 105, 10, 0);
  EXPECT_EQ(GlyphAt(100, 50), 33);
  EXPECT_EQ(GlyphAt(110, 50), 34);  // the carriage return draws nothing and does not move the pen
  EXPECT_EQ(GlyphAt(117, 50), 34);
  EXPECT_EQ(GlyphAt(120, 50), 35);  // nor does the line feed (glyph -22)
  EXPECT_EQ(GlyphAt(128, 50), -1);
  // In set 3 a carriage return shows glyph 42 where the next byte will go.
  DrawTextLine(gfx, "a\r", 100, 70, 105, 10, 3);
  EXPECT_EQ(GlyphAt(110, 70), 42);
  // A glyph past the strip's last frame draws nothing but takes its place.
  DrawTextLine(gfx, "zA", 100, 90, 105, 10, 0);
  EXPECT_EQ(GlyphAt(100, 90), -1);
  EXPECT_EQ(GlyphAt(110, 90), 33);
}

TEST_F(TextTest, LineDrawsWithTheCurrentDrawMode) {
  At(100, 50) = 0xff000010u;
  SetDrawMode(gfx, -1);
  DrawTextLine(gfx, "!", 100, 50, 105, 10, 0);  // glyph 1, colour 2
  EXPECT_EQ(At(100, 50), 0xff000012u);
}

TEST_F(TextTest, BadFontsOrTextsDrawNothing) {
  const std::vector<uint32_t> blank = screen;
  DrawTextLine(gfx, "abc", 0, 0, 1200, 10, 3);
  DrawTextLine(gfx, "abc", 0, 0, -1, 10, 3);
  DrawTextLine(gfx, "abc", 0, 0, 104, 10, 3);  // empty slot
  DrawTextLine(gfx, nullptr, 0, 0, 105, 10, 3);
  DrawTextBox(gfx, "abc", 0, 0, 300, 300, 1200, 3);
  DrawTextBox(gfx, nullptr, 0, 0, 300, 300, 105, 3);
  DrawTextBox(gfx, "abc", 0, 0, 300, 300, 105, 7);
  DrawTextBox(gfx, "abc", 300, 0, 0, 300, 105, 3);  // negative width
  DrawTextBox(gfx, "abc", 0, 300, 300, 0, 105, 3);  // negative height
  DrawTextBox(gfx, "", 0, 0, 300, 300, 105, 3);
  EXPECT_EQ(screen, blank);
}

TEST_F(TextTest, BoxFitsWhatStaysNarrowerThanTheBox) {
  // Height 8 and set 3: advance 8 · 220 / 256 = 6; a 30-pixel box takes 4.
  DrawTextBox(gfx, "abcd", 0, 0, 30, 100, 105, 3);
  EXPECT_EQ(GlyphAt(20, 20), 0);
  EXPECT_EQ(GlyphAt(26, 20), 1);
  EXPECT_EQ(GlyphAt(38, 20), 3);
  ClearScreen(gfx, 0);
  DrawTextBox(gfx, "abcde", 0, 0, 30, 100, 105, 3);
  // A first word wider than the box stops the text, even where later words fit.
  DrawTextBox(gfx, "abcdefgh ab", 0, 200, 30, 300, 105, 3);
  for (uint32_t p : screen) ASSERT_EQ(p, 0u);
}

TEST_F(TextTest, BoxWrapsWordsWithTheirSpacesIntoLines) {
  DrawTextBox(gfx, "ab cd ef", 0, 0, 30, 100, 105, 3);
  EXPECT_EQ(GlyphAt(20, 20), 0);
  EXPECT_EQ(GlyphAt(32, 20), 42);  // the space is drawn with set 3's default glyph
  EXPECT_EQ(GlyphAt(40, 20), -1);
  EXPECT_EQ(GlyphAt(20, 33), 2);  // line height 8 + 5
  EXPECT_EQ(GlyphAt(20, 46), 4);
  EXPECT_EQ(GlyphAt(26, 46), 5);
  EXPECT_EQ(GlyphAt(20, 59), -1);
}

TEST_F(TextTest, BoxLinesEndAtReturnsAndStopAtTheBoxHeight) {
  DrawTextBox(gfx, "ab cd ef", 10, 10, 40, 36, 105, 3);  // height 26: offsets 0 and 13 only
  EXPECT_EQ(GlyphAt(30, 30), 0);
  EXPECT_EQ(GlyphAt(30, 43), 2);
  EXPECT_EQ(GlyphAt(30, 56), -1);
  DrawTextBox(gfx, "ab\rcd", 300, 0, 700, 100, 105, 3);
  EXPECT_EQ(GlyphAt(332, 20), 42);  // the return's glyph, without advance
  EXPECT_EQ(GlyphAt(326, 33), 3);
}

TEST_F(TextTest, LinesStayWithinTheLineBuffer) {
  // Glyphs of height 1 advance by 0 in set 1, so width never ends a line;
  // the 5000-character line buffer does.
  std::string text;
  for (int i = 0; i < 6000; ++i) text += "a ";
  DrawTextBox(gfx, text.c_str(), 0, 0, 100, 500, 103, 1);
  EXPECT_EQ(GlyphAt(20, 20), 16);
  EXPECT_EQ(GlyphAt(20, 26), 16);
  EXPECT_EQ(GlyphAt(20, 32), 16);
  EXPECT_EQ(GlyphAt(20, 38), -1);  // 12000 characters make three lines
  ClearScreen(gfx, 0);
  const std::string word(6000, 'a');
  DrawTextBox(gfx, word.c_str(), 0, 0, 100, 500, 103, 1);
  for (uint32_t p : screen) ASSERT_EQ(p, 0u);
}

TEST_F(TextTest, NumbersAreDrawnInDecimal) {
  DrawNumber(gfx, -45, 0, 0, 300, 100, 105, 3);
  EXPECT_EQ(GlyphAt(20, 20), 43);
  EXPECT_EQ(GlyphAt(26, 20), 30);
  EXPECT_EQ(GlyphAt(32, 20), 31);
  DrawNumber(gfx, -2147483647 - 1, 0, 100, 300, 200, 105, 4);
  EXPECT_EQ(GlyphAt(20, 120), 47);  // '-' has no glyph of its own in set 4
  EXPECT_EQ(GlyphAt(26, 120), 2);   // advance 8 · 195 / 256 = 6
  EXPECT_EQ(GlyphAt(80, 120), 8);
}

}  // namespace
