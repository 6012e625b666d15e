// The level editor: the palette and its icons, choosing and placing a
// type, the command cells, and the cursor.
#include "game/editor.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <vector>

#include "game/game_fixture.h"

namespace {

constexpr uint32_t kFontColour = 0xfff0f0f0u;

class EditorTest : public vxtest::GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    g.level = 7;
    Solid(103, 11 * 50, 11, kFontColour);  // 50 glyphs of 11 x 11
  }

  // The palette cell's top-left corner.
  static int32_t CellX(int32_t cell) { return 400 + 40 * (cell / 15) + 2; }
  static int32_t CellY(int32_t cell) { return 40 * (cell % 15) + 2; }
  // One frame with a click in the middle of a cell.
  int32_t ClickCell(int32_t cell) { return EditorFrame(g, CellX(cell) + 18, CellY(cell) + 18, 1); }

  // Each picture icon gets a colour of its own.
  static uint32_t IconColour(int32_t slot) { return 0xff000000u | (static_cast<uint32_t>(slot) * 0x010305u); }
  void IconPictures() {
    for (auto [type, slot] : kPictures) Solid(slot, 10, 10, IconColour(slot));
  }

  static inline const std::map<int32_t, int32_t> kPictures = {
      {0, 120}, {1, 126},  {2, 132},  {5, 150},  {7, 156},  {11, 40}, {13, 41},
      {14, 42}, {16, 43},  {17, 162}, {19, 167}, {20, 172}, {21, 44}, {22, 45},
      {23, 46}, {24, 177}, {26, 182}, {27, 47},  {28, 187}, {31, 48}, {32, 192}};
};

TEST_F(EditorTest, ThePaletteShowsEveryTypeAndCommandInItsCell) {
  IconPictures();
  EXPECT_EQ(EditorFrame(g, 10, 10, 0), 0);
  const std::set<int32_t> texts = {3,  4,  6,  8,   9,   10,  12,  15,  18,  25, 29,
                                   30, 98, 99, 100, 101, 102, 103, 104, 105, 106};
  for (int32_t cell = 0; cell < 150; ++cell) {
    const int32_t x = CellX(cell), y = CellY(cell);
    const uint32_t centre = Screen(x + 20, y + 20) & 0xffffffu;
    const uint32_t glyph = Screen(x + 10, y + 10);
    if (kPictures.count(cell) != 0) {
      EXPECT_EQ(centre, IconColour(kPictures.at(cell)) & 0xffffffu) << cell;
      EXPECT_EQ(Screen(x + 3, y + 3) & 0xffffffu, IconColour(kPictures.at(cell)) & 0xffffffu) << cell;
      EXPECT_EQ(Screen(x + 1, y + 1), 0u) << cell;
    } else if (texts.count(cell) != 0) {
      EXPECT_EQ(glyph, kFontColour) << cell;
      EXPECT_EQ(centre, 0u) << cell;
    } else {
      EXPECT_EQ(glyph, 0u) << cell;
      EXPECT_EQ(centre, 0u) << cell;
    }
  }
  // The grey ground between the cells and up to the edges.
  EXPECT_EQ(Screen(400, 0), 0x9b9b9bu);
  EXPECT_EQ(Screen(401, 100), 0x9b9b9bu);
  EXPECT_EQ(Screen(799, 599), 0x9b9b9bu);
  EXPECT_EQ(Screen(399, 0), 0u);
  EXPECT_EQ(g.editorSelection, -1);
}

TEST_F(EditorTest, ACellIsHitOnlyStrictlyInsideIt) {
  const int32_t x0 = CellX(35), y0 = CellY(35), x1 = x0 + 36, y1 = y0 + 36;
  for (auto [x, y] : {std::pair{x0, y0 + 10}, {x1, y0 + 10}, {x0 + 10, y0}, {x0 + 10, y1}}) {
    EditorFrame(g, x, y, 1);
    EXPECT_EQ(g.editorSelection, -1) << x << "," << y;
  }
  for (auto [x, y] : {std::pair{x0 + 1, y0 + 1}, {x1 - 1, y1 - 1}}) {
    g.editorSelection = -1;
    EditorFrame(g, x, y, 1);
    EXPECT_EQ(g.editorSelection, 35) << x << "," << y;
  }
  // Without a click nothing is chosen; a click in the level's half chooses nothing.
  g.editorSelection = -1;
  EditorFrame(g, x0 + 10, y0 + 10, 0);
  EditorFrame(g, 100, 100, 1);
  EXPECT_EQ(g.editorSelection, -1);
  EXPECT_EQ(g.placements[0].active, 0);
}

TEST_F(EditorTest, CommandCellsRunAtOnceAndChooseNothing) {
  EXPECT_EQ(ClickCell(98), -1) << "gam: back to the game";
  EXPECT_EQ(g.editorSelection, -1);
  EXPECT_EQ(ClickCell(105), 0);
  EXPECT_EQ(g.settings.showStats, -1);
  EXPECT_EQ(g.editorSelection, -1);
  EXPECT_EQ(g.settings.allOpen, 0);
  ClickCell(106);
  EXPECT_EQ(g.settings.allOpen, -1);
  EXPECT_EQ(g.editorSelection, -1);
  // The cells after a command are still drawn in the same frame.
  ClearScreenPixels();
  ClickCell(98);
  EXPECT_EQ(Screen(CellX(149) + 10, CellY(149) + 10), 0u);
  EXPECT_EQ(Screen(CellX(149) - 2, CellY(149)), 0x9b9b9bu);
  EXPECT_EQ(Screen(CellX(99) + 10, CellY(99) + 10), kFontColour);
}

TEST_F(EditorTest, TheCursorIsTwoLinesFromTheMouse) {
  EditorFrame(g, 100, 200, 0);
  EXPECT_EQ(Screen(100, 200), 0xffu);
  EXPECT_EQ(Screen(114, 200), 0xffu);
  EXPECT_EQ(Screen(115, 200), 0u);
  EXPECT_EQ(Screen(100, 214), 0xffu);
  EXPECT_EQ(Screen(100, 215), 0u);
  EXPECT_EQ(Screen(101, 201), 0u);
}

TEST_F(EditorTest, IconsFarOffTheScreenAreSkipped) {
  IconPictures();
  ClearScreenPixels();
  for (int32_t v : {INT32_MAX, INT32_MIN, 1 << 21}) {
    DrawObjectIcon(g, v, 10, 0);
    DrawObjectIcon(g, 10, v, 3);
  }
  EXPECT_EQ(ScreenPixels(), std::vector<uint32_t>(ScreenPixels().size(), 0u));
}

}  // namespace
