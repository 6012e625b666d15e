// The level object files of the data set: which levels have one, that the
// game reads each back as planned, and that monsters start where their
// rules let them stand and roam.
#include "datagen/level_objects.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "datagen/generated_data_set.h"
#include "game/level_start.h"
#include "game/placements.h"
#include "monsters/monster_fixture.h"

namespace {

using vxtest::MonsterTest;

class LevelObjectsTest : public MonsterTest {};

TEST_F(LevelObjectsTest, EveryPlannedFileReadsBackAsPlanned) {
  const std::string& root = vxtest::GeneratedDataSet();
  ASSERT_FALSE(root.empty());
  std::filesystem::create_symlink(std::filesystem::path(root) / "data", folder / "data");
  std::set<int32_t> withFile;
  for (const datagen::LevelObjects& level : datagen::LevelObjectPlan()) {
    withFile.insert(level.level);
    g.level = level.level;
    LoadPlacements(g);
    int32_t i = 0;
    for (const datagen::PlacedObject& o : level.objects) {
      EXPECT_EQ(g.placements[i].active, 1) << level.level;
      EXPECT_EQ(g.placements[i].x, o.x) << level.level;
      EXPECT_EQ(g.placements[i].type, o.code) << level.level;
      ++i;
    }
    EXPECT_EQ(g.placements[i].active, 0);
    EXPECT_EQ(ActiveCount(), i) << "every object of level " << level.level << " spawns";
  }
  for (int32_t n = 0; n <= kHighestLevel; ++n) {
    const bool exists = std::filesystem::exists("data/" + ObjectFileName(n));
    EXPECT_EQ(exists, withFile.count(n) == 1) << n;
  }
  EXPECT_EQ(withFile.count(24), 0u) << "the ending level has no fight";
  EXPECT_EQ(withFile.count(2), 1u);
}

TEST_F(LevelObjectsTest, TheFirstRowTeachesTheVerbsAndMonstersStartInsideTheirRules) {
  std::set<int32_t> rowZero;
  for (const datagen::LevelObjects& level : datagen::LevelObjectPlan()) {
    for (const datagen::PlacedObject& o : level.objects) {
      const int32_t cls = MonsterClass(g, o.code == 26 ? 24 : o.code);
      if (level.level <= 4) rowZero.insert(o.code);
      if (cls == 1 && o.code != 20) {
        // Walkers turn back inside the 65-pixel margins.
        EXPECT_GE(o.x, 65) << level.level;
        EXPECT_LE(o.x, kW - 65) << level.level;
      }
      if (o.code == 17 || o.code == 32) {
        EXPECT_GE(o.x, 100) << level.level;
        EXPECT_LE(o.x, kW - 100) << level.level;
      }
      EXPECT_TRUE(o.code <= 32 && o.code != 12) << level.level;
    }
  }
  // Row 0: plain walkers and pickups only.
  const std::set<int32_t> verbs = {0, 2, 11, 13, 14, 16, 21, 22, 23, 27, 31};
  for (int32_t code : rowZero) EXPECT_EQ(verbs.count(code), 1u) << code;
  const auto& start = datagen::LevelObjectPlan()[2];
  ASSERT_EQ(start.level, 2);
  bool walker = false, weapon = false;
  for (const datagen::PlacedObject& o : start.objects) {
    walker |= o.code == 0 || o.code == 2;
    weapon |= o.code == 11 || o.code == 13 || o.code == 14 || o.code == 16;
  }
  EXPECT_TRUE(walker && weapon) << "the first level met has walkers and a weapon to pick up";
}

}  // namespace
