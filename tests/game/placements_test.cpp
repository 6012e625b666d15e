// Level object placements and their files: the exact text the writer makes,
// reading it back at level entry, the forward-only search of the record
// reader, and what gets spawned.
#include "game/placements.h"

#include <gtest/gtest.h>

#include <string>

#include "game/placement_file.h"
#include "monsters/monster_fixture.h"

namespace {

using vxtest::MonsterTest;

class PlacementsTest : public MonsterTest {
 protected:
  static std::string Line(int32_t i, int32_t active, int32_t x, int32_t y, int32_t type) {
    return std::to_string(i) + ", , ," + std::to_string(active) + "," + std::to_string(x) + "," +
           std::to_string(y) + "," + std::to_string(type) + ",0,0,0,0,0,0\n";
  }
  static constexpr const char* kEnd = "13131313,not found,not found,0,0,0,0,0,0,0,0,0,0\n";
};

TEST_F(PlacementsTest, TheFileTextHoldsEveryRecordAnEndLineAndAnEmptyLine) {
  PlacementRecord records[kPlacementCount] = {};
  records[0] = {1, 120, 456, 0, {7, 8, 9, 10, 11, -12}, {}};
  records[300].active = 1;
  records[300].type = 95;
  const std::string text = FormatPlacements(records);
  EXPECT_EQ(text.find("0, , ,1,120,456,0,7,8,9,10,11,-12\n1, , ,0,0,0,0,0,0,0,0,0,0\n"), 0u);
  EXPECT_NE(text.find("\n300, , ,1,0,0,95,0,0,0,0,0,0\n" + std::string(kEnd) + "\n"), std::string::npos);
  EXPECT_EQ(text.size() - text.rfind(kEnd), std::string(kEnd).size() + 1) << "one empty line closes it";
  int32_t lines = 0;
  for (char c : text) lines += c == '\n' ? 1 : 0;
  EXPECT_EQ(lines, kPlacementCount + 2);
}

TEST_F(PlacementsTest, LoadingReadsThePlacementsAndSpawnsInIndexOrder) {
  g.level = 7;
  PlacementRecord records[kPlacementCount] = {};
  records[0] = {1, 300, 200, 22, {}, {}};
  records[1] = {0, 310, 210, 0, {}, {}};   // free: kept, not spawned
  records[2] = {1, 320, 220, 95, {}, {}};  // above 90: kept, never spawned
  records[3] = {1, 330, 230, 0, {}, {}};
  records[4] = {-1, 340, 240, 12, {}, {}};  // a code that makes nothing
  vxtest::WriteFile("data/lvobj07.txt", FormatPlacements(records));
  SpawnMonster(g, 1, 1, 3);  // the level's old objects go
  g.tables.placements[200].active = 1;
  g.tables.placements[200].spare[5] = 9;
  LoadPlacements(g);
  EXPECT_EQ(g.tables.placements[0].active, 1);
  EXPECT_EQ(g.tables.placements[0].x, 300);
  EXPECT_EQ(g.tables.placements[2].type, 95);
  EXPECT_EQ(g.tables.placements[4].active, -1);
  EXPECT_EQ(g.tables.placements[200].active, 0);
  EXPECT_EQ(g.tables.placements[200].spare[5], 0) << "every word is cleared first";
  EXPECT_EQ(ActiveCount(), 2);
  EXPECT_EQ(g.tables.objects[0].kind, 22);
  EXPECT_EQ(g.tables.objects[1].kind, 0);
  EXPECT_EQ(g.tables.objects[1].homeX, 330);
}

TEST_F(PlacementsTest, AMissingFileGivesAnEmptyLevel) {
  g.level = 3;
  SpawnMonster(g, 1, 1, 0);
  g.tables.placements[0].active = 1;
  LoadPlacements(g);
  EXPECT_EQ(g.tables.placements[0].active, 0);
  EXPECT_EQ(ActiveCount(), 0);
}

TEST_F(PlacementsTest, ReadingStopsAtTheFirstMissingRecord) {
  // Records 0, 1 and 3: the search for 2 runs to the end, so 3 is never seen.
  g.level = 12;
  vxtest::WriteFile("data/lvobj12.txt", Line(0, 1, 100, 100, 0) + Line(1, 1, 200, 100, 0) +
                                            Line(3, 1, 300, 100, 0) + kEnd + "\n");
  LoadPlacements(g);
  EXPECT_EQ(g.tables.placements[1].x, 200);
  EXPECT_EQ(g.tables.placements[2].active, 0);
  EXPECT_EQ(g.tables.placements[3].active, 0);
  EXPECT_EQ(ActiveCount(), 2);
  // A short file: the records after the last one read as free.
  g.level = 100;  // lvobj90
  vxtest::WriteFile("data/lvobj90.txt", Line(0, 1, 100, 100, 2));
  LoadPlacements(g);
  EXPECT_EQ(g.tables.placements[0].type, 2);
  EXPECT_EQ(g.tables.placements[1].active, 0);
  EXPECT_EQ(ActiveCount(), 1);
}

TEST_F(PlacementsTest, AddingTakesTheFirstFreeRecordAndStopsWhenFull) {
  g.tables.placements[0].active = 1;
  g.tables.placements[1].extra[2] = 44;
  AddPlacement(g.tables, 10, 20, 5);
  EXPECT_EQ(g.tables.placements[1].active, 1);
  EXPECT_EQ(g.tables.placements[1].x, 10);
  EXPECT_EQ(g.tables.placements[1].y, 20);
  EXPECT_EQ(g.tables.placements[1].type, 5);
  EXPECT_EQ(g.tables.placements[1].extra[2], 44) << "the other words are left as they are";
  for (PlacementRecord& p : g.tables.placements) p.active = 1;
  g.tables.placements[300].x = 77;
  AddPlacement(g.tables, 1, 2, 3);
  EXPECT_EQ(g.tables.placements[300].x, 77);
  ClearPlacements(g.tables);
  for (const PlacementRecord& p : g.tables.placements) ASSERT_EQ(p.active, 0);
  EXPECT_EQ(g.tables.placements[1].type, 5) << "clearing frees, it does not wipe";
}

}  // namespace
