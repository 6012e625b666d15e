// A walker turning on the masks of the real levels: back from the crypt's
// mouth in the fallen chapel (a ledge over a hole that is still shut), at
// the fallen wall of the watchtower, at both screen margins and at both
// ends of its roaming range, each exactly where the rule meets the drawn
// ground and never by falling.
#include <gtest/gtest.h>

#include "monsters/real_level_fixture.h"
#include "worldplan/world_plan.h"

namespace {

using vxtest::RealLevelTest;

class WalkerOnALevel : public RealLevelTest {
 protected:
  // Runs the walker until its direction changes (or `limit` frames), never
  // letting it fall; answers its whole-pixel x in the frame that turned it,
  // read before the frame's step.
  int32_t RunToTurn(MonsterRecord& r, int32_t limit = 400) {
    const int32_t start = r.direction;
    for (int32_t f = 0; f < limit; ++f) {
      const int32_t before = WholePixel(r.x);
      UpdateMonsters(g);
      EXPECT_EQ(r.active, 1);
      EXPECT_LE(r.airFrames, 1) << "it must not walk off into the air";
      if (r.direction != start) return before;
    }
    ADD_FAILURE() << "it never turned";
    return -1;
  }
  // After a turn it walks the other way for a good while on the ground.
  void WalksBack(MonsterRecord& r, int32_t frames = 40) {
    const int32_t direction = r.direction, x = WholePixel(r.x);
    for (int32_t f = 0; f < frames; ++f) {
      UpdateMonsters(g);
      ASSERT_LE(r.airFrames, 1);
    }
    EXPECT_EQ(r.direction, direction);
    EXPECT_GT((WholePixel(r.x) - x) * direction, 2 * frames - 5) << "2.5 pixels a frame, back";
  }
};

TEST_F(WalkerOnALevel, TurnsBackFromBothEdgesOfTheShutCryptMouth) {
  UseLevel(1);
  const datagen::world::Hole* hole = nullptr;
  for (const auto& h : datagen::world::kHoles)
    if (h.level == 1) hole = &h;
  ASSERT_NE(hole, nullptr);
  ASSERT_NE(hole->gate, 0) << "the crypt's mouth is shut while row 0 is not won";
  // The road east of the mouth: the floor at 460, its probe a row into it.
  MonsterRecord& east = Walker(hole->x1 + 30, 460 - 14, -1, hole->x1 + 60);
  const int32_t eastTurn = RunToTurn(east);
  // The step that put its probe over the first free column is undone.
  EXPECT_LT(eastTurn, hole->x1);
  EXPECT_GE(eastTurn, hole->x1 - 3);
  EXPECT_EQ(east.airFrames, 1);
  EXPECT_GE(WholePixel(east.x), hole->x1) << "stepped back onto the road in the same frame";
  EXPECT_EQ(WholePixel(east.y), 446) << "it does not drop";
  WalksBack(east);
  // West of the mouth the road has climbed to 460 too (and falls away
  // again to the west, so it walks back only a little way here).
  ClearObjects(g.tables);
  MonsterRecord& west = Walker(hole->x0 - 12, 460 - 14, 1, hole->x0 - 40);
  const int32_t westTurn = RunToTurn(west);
  EXPECT_GE(westTurn, hole->x0);
  EXPECT_LE(westTurn, hole->x0 + 3);
  EXPECT_LT(WholePixel(west.x), hole->x0);
  WalksBack(west, 5);
}

TEST_F(WalkerOnALevel, TurnsAtTheFallenWallOfTheWatchtowerFromEitherSide) {
  UseLevel(0);
  const int32_t py = 470 - 14, probeY = py - 35;
  // The wall's two faces at the height the walker feels for walls.
  int32_t west = 300, east = 560;
  while (west < 560 && !Solid(west, probeY)) ++west;
  while (east > 300 && !Solid(east, probeY)) --east;
  ASSERT_GT(east - west, 100) << "the fallen wall stands between 300 and 560";
  ASSERT_FALSE(Solid(west - 26, py)) << "and the walker's own point stays free";
  MonsterRecord& r = Walker(west - 60, py, 1, west - 60);
  const int32_t turn = RunToTurn(r);
  // Turned in the first frame whose probe 25 ahead is in the wall, and
  // already moved back in it.
  EXPECT_GE(turn + 25, west);
  EXPECT_LT(turn + 25, west + 3);
  EXPECT_LT(WholePixel(r.x), turn);
  WalksBack(r);
  ClearObjects(g.tables);
  MonsterRecord& l = Walker(east + 60, py, -1, east + 60);
  const int32_t turnLeft = RunToTurn(l);
  EXPECT_LE(turnLeft - 25, east);
  EXPECT_GT(turnLeft - 25, east - 3);
  WalksBack(l);
}

TEST_F(WalkerOnALevel, TurnsAtTheScreenMarginsBeforeTheEdgeOfTheLevel) {
  // The drowned gate's causeway runs to the west edge at 460; the lantern
  // road's bridge to the east edge at 470.
  UseLevel(4);
  for (int32_t x = 30; x <= 100; ++x) ASSERT_TRUE(Solid(x, 460)) << "the causeway reaches " << x;
  MonsterRecord& r = Walker(90, 460 - 14, -1, 120);
  const int32_t turn = RunToTurn(r);
  // Turned in the first frame that found it inside the 65-pixel margin.
  EXPECT_LT(turn, 65);
  EXPECT_GE(turn, 62);
  WalksBack(r);
  UseLevel(2);
  for (int32_t x = 700; x <= 780; ++x) ASSERT_TRUE(Solid(x, 470)) << "the bridge reaches " << x;
  MonsterRecord& e = Walker(700, 470 - 14, 1, 690);
  const int32_t eastTurn = RunToTurn(e);
  EXPECT_GT(eastTurn, 800 - 65);
  EXPECT_LE(eastTurn, 800 - 62);
  WalksBack(e);
}

TEST_F(WalkerOnALevel, TurnsAtBothEndsOfItsRangeOnAnOpenCauseway) {
  UseLevel(4);
  const int32_t py = 460 - 14;
  // Nothing else would turn it there: ground under it, no wall ahead.
  for (int32_t x = 100; x <= 500; ++x) {
    ASSERT_TRUE(Solid(x, py + 15)) << x;
    ASSERT_FALSE(Solid(x, py - 35)) << x;
  }
  // Started so that its steps of 2.5 land on 156 from home exactly: there
  // it walks on, one step later it turns.
  MonsterRecord& r = Walker(401, py, 1, 300);
  EXPECT_EQ(r.roamRange, 156);
  // Turned in the first frame that found it more than 156 from home.
  const int32_t east = RunToTurn(r);
  EXPECT_GT(east, 300 + 156);
  EXPECT_LE(east, 300 + 159);
  WalksBack(r);
  ClearObjects(g.tables);
  MonsterRecord& l = Walker(199, py, -1, 300);
  const int32_t west = RunToTurn(l);
  EXPECT_LT(west, 300 - 156);
  EXPECT_GE(west, 300 - 159);
  WalksBack(l);
}

}  // namespace
