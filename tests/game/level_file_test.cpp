// Writing a level object file: every record, the end line and the empty
// line, read back as the level start reads it; and a failed write at any
// step leaves the old file as it was.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "game/game_fixture.h"
#include "game/placements.h"
#include "platform/file_replace.h"

namespace {

namespace fs = std::filesystem;
using platform::ReplaceStep;

class LevelFileTest : public vxtest::GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    fs::create_directories("data");
    g.level = 7;
  }
  void TearDown() override {
    platform::SetReplaceFault(nullptr);
    GameTest::TearDown();
  }
  // A full table of placements, every word different.
  void FillPlacements() {
    for (int32_t i = 0; i < kPlacementCount; ++i) {
      PlacementRecord& p = g.placements[i];
      p.active = i % 4 == 3 ? 0 : 1;
      p.x = i * 3 - 100;
      p.y = 600 - i;
      p.type = i % 7 == 0 ? 95 : i % 2;
      for (int32_t k = 0; k < 6; ++k) p.extra[k] = i * 10 + k - 2000;
      p.spare[0] = 77;
    }
  }
  static int32_t Lines(const std::string& text) {
    int32_t n = 0;
    for (char c : text) n += c == '\n' ? 1 : 0;
    return n;
  }
};

TEST_F(LevelFileTest, ASavedLevelReadsBackRecordForRecord) {
  FillPlacements();
  const GameState saved = g;
  SavePlacements(g);
  const std::string text = vxtest::ReadFile("data/lvobj07.txt");
  EXPECT_EQ(Lines(text), kPlacementCount + 2) << "301 records, the end line and an empty line";
  EXPECT_EQ(text.rfind("\n13131313,not found,not found,0,0,0,0,0,0,0,0,0,0\n\n"),
            text.size() - std::string("\n13131313,not found,not found,0,0,0,0,0,0,0,0,0,0\n\n").size());
  EXPECT_EQ(text.find("0, , ,1,-100,600,95,-2000,-1999,-1998,-1997,-1996,-1995\n"), 0u);
  EXPECT_NE(text.find("\n3, , ,0,-91,597,1,"), std::string::npos) << "free records are written too";
  EXPECT_NE(text.find("\n300, , ,1,800,300,0,"), std::string::npos);
  EXPECT_FALSE(fs::exists("data/lvobj07.txt.tmp"));

  for (PlacementRecord& p : g.placements) p = PlacementRecord{};
  LoadPlacements(g);
  int32_t spawnable = 0;
  for (int32_t i = 0; i < kPlacementCount; ++i) {
    const PlacementRecord& a = saved.placements[i];
    const PlacementRecord& b = g.placements[i];
    ASSERT_EQ(b.active, a.active) << i;
    ASSERT_EQ(b.x, a.x) << i;
    ASSERT_EQ(b.y, a.y) << i;
    ASSERT_EQ(b.type, a.type) << i;
    ASSERT_EQ(b.extra[0], 0) << "the six further words are not read back";
    spawnable += a.active != 0 && a.type <= 90 ? 1 : 0;
  }
  // More spawnable records than the object table holds: it is full, and
  // nothing of type 95 is among them.
  ASSERT_GT(spawnable, kObjectCount);
  for (const MonsterRecord& r : g.objects) {
    EXPECT_EQ(r.active, 1);
    EXPECT_LE(r.kind, 1);
  }

  // Level 100 shares the file of level 90; a table of free records still
  // writes 301 lines.
  for (PlacementRecord& p : g.placements) p = PlacementRecord{};
  g.level = 100;
  SavePlacements(g);
  const std::string empty = vxtest::ReadFile("data/lvobj90.txt");
  EXPECT_EQ(Lines(empty), kPlacementCount + 2);
  EXPECT_NE(empty.find("\n150, , ,0,0,0,0,0,0,0,0,0,0\n"), std::string::npos);
}

TEST_F(LevelFileTest, AFailedWriteLosesNoLevelFile) {
  FillPlacements();
  const std::string old = "0, , ,1,10,20,0,0,0,0,0,0,0\n13131313,not found,not found\n";
  for (ReplaceStep step : {ReplaceStep::kCreate, ReplaceStep::kWrite, ReplaceStep::kSync, ReplaceStep::kClose,
                           ReplaceStep::kRename}) {
    vxtest::WriteFile("data/lvobj07.txt", old);
    platform::SetReplaceFault([step](ReplaceStep s) { return s == step; });
    SavePlacements(g);
    EXPECT_EQ(vxtest::ReadFile("data/lvobj07.txt"), old) << static_cast<int>(step);
    EXPECT_FALSE(fs::exists("data/lvobj07.txt.tmp")) << static_cast<int>(step);
  }
  // Only the folder's own sync comes after the rename: the new file stands.
  platform::SetReplaceFault([](ReplaceStep s) { return s == ReplaceStep::kSyncFolder; });
  SavePlacements(g);
  EXPECT_EQ(Lines(vxtest::ReadFile("data/lvobj07.txt")), kPlacementCount + 2);

  // Without a data folder nothing is written and nothing goes wrong.
  platform::SetReplaceFault(nullptr);
  fs::remove_all("data");
  SavePlacements(g);
  EXPECT_FALSE(fs::exists("data"));
}

}  // namespace
