// The level editor: the palette and its icons, choosing and placing a
// type, the command cells, and the cursor.
#include "game/editor.h"

#include <gtest/gtest.h>

#include <filesystem>
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
  EXPECT_EQ(g.levelState.editorSelection, -1);
}

TEST_F(EditorTest, AChosenTypeIsPlacedWhereTheNextClickFalls) {
  IconPictures();
  ClickCell(13);  // the sword pickup
  EXPECT_EQ(g.levelState.editorSelection, 13);
  // While a type is chosen there is no palette; the icon follows the cursor.
  ClearScreenPixels();
  EXPECT_EQ(EditorFrame(g, 200, 300, 0), 0);
  EXPECT_EQ(Screen(600, 300), 0u);
  EXPECT_EQ(Screen(200 + 3 + 20, 300 + 10 + 20) & 0xffffffu, IconColour(41) & 0xffffffu);
  EXPECT_EQ(g.tables.placements[0].active, 0);

  ClearScreenPixels();
  EditorFrame(g, 610, 120, 1);  // anywhere, the right half too
  EXPECT_EQ(g.levelState.editorSelection, -1);
  EXPECT_EQ(g.tables.placements[0].active, 1);
  EXPECT_EQ(g.tables.placements[0].x, 610);
  EXPECT_EQ(g.tables.placements[0].y, 120);
  EXPECT_EQ(g.tables.placements[0].type, 13);

  // Placed icons are drawn under the palette; in the level's half they show.
  ClickCell(0);
  EditorFrame(g, 210, 120, 1);
  ClearScreenPixels();
  EditorFrame(g, 10, 10, 0);
  EXPECT_EQ(Screen(210 + 20, 120 + 20) & 0xffffffu, IconColour(120) & 0xffffffu);
  EXPECT_NE(Screen(610 + 20, 120 + 20) & 0xffffffu, IconColour(41) & 0xffffffu);
  EXPECT_EQ(g.tables.placements[1].type, 0);
}

TEST_F(EditorTest, ATypeAbove90IsStoredButNeverDrawn) {
  ClickCell(95);
  EXPECT_EQ(g.levelState.editorSelection, 95);
  EditorFrame(g, 200, 200, 1);
  EXPECT_EQ(g.tables.placements[0].type, 95);
  EXPECT_EQ(g.tables.placements[0].active, 1);
  g.tables.placements[1] = {1, 300, 300, 3, {}, {}};
  g.tables.placements[2] = {1, 400, 100, 98, {}, {}};  // a command's number as a type
  g.levelState.editorSelection = 7;                        // no palette over the level
  ClearScreenPixels();
  EditorFrame(g, 0, 0, 0);
  EXPECT_EQ(Screen(300 + 10, 300 + 10), kFontColour);
  EXPECT_EQ(Screen(200 + 10, 200 + 10), 0u);
  EXPECT_EQ(Screen(400 + 10, 100 + 10), 0u);
}

TEST_F(EditorTest, ACellIsHitOnlyStrictlyInsideIt) {
  const int32_t x0 = CellX(35), y0 = CellY(35), x1 = x0 + 36, y1 = y0 + 36;
  for (auto [x, y] : {std::pair{x0, y0 + 10}, {x1, y0 + 10}, {x0 + 10, y0}, {x0 + 10, y1}}) {
    EditorFrame(g, x, y, 1);
    EXPECT_EQ(g.levelState.editorSelection, -1) << x << "," << y;
  }
  for (auto [x, y] : {std::pair{x0 + 1, y0 + 1}, {x1 - 1, y1 - 1}}) {
    g.levelState.editorSelection = -1;
    EditorFrame(g, x, y, 1);
    EXPECT_EQ(g.levelState.editorSelection, 35) << x << "," << y;
  }
  // Without a click nothing is chosen; a click in the level's half chooses nothing.
  g.levelState.editorSelection = -1;
  EditorFrame(g, x0 + 10, y0 + 10, 0);
  EditorFrame(g, 100, 100, 1);
  EXPECT_EQ(g.levelState.editorSelection, -1);
  EXPECT_EQ(g.tables.placements[0].active, 0);
}

TEST_F(EditorTest, CommandCellsRunAtOnceAndChooseNothing) {
  EXPECT_EQ(ClickCell(98), -1) << "gam: back to the game";
  EXPECT_EQ(g.levelState.editorSelection, -1);
  EXPECT_EQ(ClickCell(105), 0);
  EXPECT_EQ(g.settings.showStats, -1);
  EXPECT_EQ(g.levelState.editorSelection, -1);
  EXPECT_EQ(g.settings.allOpen, 0);
  ClickCell(106);
  EXPECT_EQ(g.settings.allOpen, -1);
  EXPECT_EQ(g.levelState.editorSelection, -1);
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

TEST_F(EditorTest, LevelCommandsEnterTheNeighbourAndRefuseLevelsBeyondTheTable) {
  struct Case {
    int32_t level, cell, next;
  };
  // lf, rg, up, dn; -1: refused.
  const Case cases[] = {{7, 101, 6},  {7, 102, 8},    {7, 103, 2},   {7, 104, 12},   {0, 101, -1},
                        {4, 103, -1}, {100, 102, -1}, {96, 104, -1}, {95, 104, 100}, {100, 101, 99}};
  for (const Case& c : cases) {
    g.level = c.level;
    for (PlacementRecord& p : g.tables.placements) p = PlacementRecord{};
    g.tables.placements[0] = {1, 120, 130, 0, {}, {}};  // an edit not yet written
    EXPECT_EQ(ClickCell(c.cell), 0);
    EXPECT_EQ(g.levelState.editorSelection, -1);
    if (c.next < 0) {
      EXPECT_EQ(g.level, c.level) << c.level << " cell " << c.cell;
      EXPECT_EQ(g.tables.placements[0].active, 1) << "nothing reloaded";
    } else {
      EXPECT_EQ(g.level, c.next) << c.level << " cell " << c.cell;
      EXPECT_EQ(g.tables.placements[0].active, 0) << "the new level's file (none) is read";
    }
  }
}

TEST_F(EditorTest, AWalkerPlacedAndWrittenIsThereOnTheNextVisit) {
  g.level = 2;
  ClickCell(0);                 // the walker
  EditorFrame(g, 300, 400, 1);  // placed
  ClickCell(95);                // a type above 90
  EditorFrame(g, 500, 100, 1);
  EXPECT_FALSE(std::filesystem::exists("data/lvobj02.txt"));
  std::filesystem::create_directories("data");
  EXPECT_EQ(ClickCell(100), 0);  // wr
  EXPECT_EQ(g.levelState.editorSelection, -1);
  ASSERT_TRUE(std::filesystem::exists("data/lvobj02.txt"));
  EXPECT_EQ(g.progress.levelCleared[2], 0) << "writing a file changes no progress";

  // Leave and come back: the walker stands where it was put; the type above
  // 90 is kept but never spawned.
  ClickCell(102);
  EXPECT_EQ(g.level, 3);
  ClickCell(101);
  EXPECT_EQ(g.level, 2);
  EXPECT_EQ(g.tables.placements[0].active, 1);
  EXPECT_EQ(g.tables.placements[0].x, 300);
  EXPECT_EQ(g.tables.placements[1].type, 95);
  int32_t objects = 0;
  for (const MonsterRecord& r : g.tables.objects) objects += r.active != 0 ? 1 : 0;
  EXPECT_EQ(objects, 1);
  EXPECT_EQ(g.tables.objects[0].kind, 0);
  EXPECT_EQ(WholePixel(g.tables.objects[0].x), 300);
  EXPECT_EQ(WholePixel(g.tables.objects[0].y), 400);

  // clr empties the level in the editor; the file keeps it until the next wr.
  ClickCell(99);
  EXPECT_EQ(g.tables.placements[0].active, 0);
  EXPECT_EQ(g.tables.placements[1].active, 0);
  ClickCell(102);
  ClickCell(101);
  EXPECT_EQ(g.tables.placements[0].active, 1);
}

}  // namespace
