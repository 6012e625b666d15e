// The direction hint: its blinking, where the arrow is drawn, the direction
// on every level, and that following the arrows always leads through open
// exits to a level still to be won.
#include "game/hint.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "game/game_fixture.h"
#include "game/levels.h"
#include "gfx/drawing.h"
#include "worldplan/world_plan.h"

namespace {

constexpr uint32_t kArrowColour[4] = {0xff0000ffu, 0xff00ff00u, 0xffff0000u, 0xffffff00u};

class HintTest : public vxtest::GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    for (int d = 0; d < 4; ++d) Solid(35 + d, 4, 4, kArrowColour[d]);
    PlacePlayer(400, 300);
  }

  void Clear(std::initializer_list<int> levels) {
    for (int& c : g.progress.levelCleared) c = 0;
    for (int n : levels) g.progress.levelCleared[n] = -1;
  }
  int32_t Direction(int32_t level, std::initializer_list<int> cleared) {
    Clear(cleared);
    g.level = level;
    return HintDirection(g);
  }
};

TEST_F(HintTest, TheArrowBlinksTwelveFramesInEveryTwentySix) {
  g.level = 0;
  g.progress.levelCleared[0] = -1;
  StartHint(g.levelState);
  EXPECT_EQ(g.levelState.hintTimer, 150);
  std::vector<bool> on;
  for (int i = 0; i < 160; ++i) {
    ClearScreenPixels();
    DrawHintArrow(g);
    on.push_back(Screen(431, 301) == kArrowColour[1]);
  }
  EXPECT_EQ(g.levelState.hintTimer, 0);
  int shown = 0;
  for (bool b : on) shown += b ? 1 : 0;
  EXPECT_EQ(shown, 66);
  // 149 .. 144 on, 143 .. 130 off, 129 .. 118 on, ...
  const std::vector<bool> start(on.begin(), on.begin() + 33);
  std::vector<bool> expected(6, true);
  expected.insert(expected.end(), 14, false);
  expected.insert(expected.end(), 12, true);
  expected.push_back(false);
  EXPECT_EQ(start, expected);
  EXPECT_FALSE(on[149]) << "the last frame, t = 0, is dark";

  // A level not yet won shows no arrow, however the timer stands.
  g.progress.levelCleared[0] = 0;
  g.levelState.hintTimer = 20;
  ClearScreenPixels();
  DrawHintArrow(g);
  EXPECT_EQ(Screen(431, 301), 0u);
  EXPECT_EQ(g.levelState.hintTimer, 19);
  ClearHint(g.levelState);
  EXPECT_EQ(g.levelState.hintTimer, 0);
}

TEST_F(HintTest, EachArrowIsDrawnBesideThePlayer) {
  struct Case {
    int32_t level;
    std::initializer_list<int> cleared;
    int32_t direction, x, y;
  };
  const Case cases[] = {{4, {4}, kHintLeft, 330, 300},
                        {0, {0}, kHintRight, 430, 300},
                        {19, {15, 16, 17, 18, 19}, kHintDown, 360, 350}};
  for (const Case& c : cases) {
    Clear(c.cleared);
    g.level = c.level;
    g.levelState.hintTimer = 20;
    ClearScreenPixels();
    DrawHintArrow(g);
    EXPECT_EQ(Screen(c.x, c.y), kArrowColour[c.direction]) << c.level;
    EXPECT_EQ(Screen(c.x - 1, c.y), 0u);
    EXPECT_EQ(Screen(c.x + 3, c.y + 3), kArrowColour[c.direction]);
    EXPECT_EQ(Screen(c.x + 4, c.y + 4), 0u);
  }
}

TEST_F(HintTest, TheDirectionOnEveryLevel) {
  EXPECT_EQ(Direction(0, {0}), kHintRight);
  EXPECT_EQ(Direction(1, {1}), kHintLeft);
  EXPECT_EQ(Direction(1, {0, 1, 2, 3}), kHintRight);
  EXPECT_EQ(Direction(1, {0, 1, 2, 3, 4}), kHintDown);
  EXPECT_EQ(Direction(1, {1, 2, 3, 4}), kHintLeft);
  EXPECT_EQ(Direction(2, {2}), kHintLeft);
  EXPECT_EQ(Direction(2, {0, 2}), kHintLeft);
  EXPECT_EQ(Direction(2, {0, 1, 2}), kHintRight);
  EXPECT_EQ(Direction(3, {3}), kHintRight);
  EXPECT_EQ(Direction(3, {0, 1, 2, 3}), kHintRight);
  EXPECT_EQ(Direction(3, {3, 4}), kHintLeft);
  EXPECT_EQ(Direction(3, {0, 1, 3, 4}), kHintLeft);
  EXPECT_EQ(Direction(3, {0, 1, 2, 3, 4}), kHintDown);
  EXPECT_EQ(Direction(4, {0, 1, 2, 3, 4}), kHintLeft);
  EXPECT_EQ(Direction(5, {5, 6, 7, 8}), kHintRight);
  EXPECT_EQ(Direction(5, {5, 6, 7, 8, 9}), kHintDown);
  EXPECT_EQ(Direction(6, {6}), kHintLeft);
  EXPECT_EQ(Direction(6, {5, 6}), kHintRight);
  EXPECT_EQ(Direction(6, {5, 6, 7, 8, 9}), kHintLeft);
  EXPECT_EQ(Direction(7, {7, 8}), kHintRight);
  EXPECT_EQ(Direction(7, {7, 8, 9}), kHintLeft);
  EXPECT_EQ(Direction(8, {8}), kHintRight);
  EXPECT_EQ(Direction(8, {8, 9}), kHintLeft);
  EXPECT_EQ(Direction(9, {9}), kHintLeft);
  EXPECT_EQ(Direction(15, {15}), kHintRight);
  EXPECT_EQ(Direction(16, {16}), kHintLeft);
  EXPECT_EQ(Direction(16, {15, 16}), kHintRight);
  EXPECT_EQ(Direction(17, {15, 17}), kHintLeft);
  EXPECT_EQ(Direction(17, {15, 16, 17}), kHintRight);
  EXPECT_EQ(Direction(18, {15, 16, 18}), kHintLeft);
  EXPECT_EQ(Direction(18, {15, 16, 17, 18}), kHintRight);
  EXPECT_EQ(Direction(19, {16, 17, 18, 19}), kHintLeft);
  EXPECT_EQ(Direction(19, {15, 16, 17, 18, 19}), kHintDown);
  for (int level : {10, 11, 14, 20, 24, 100, -1, 101}) {
    EXPECT_EQ(Direction(level, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 15, 16, 17, 18, 19, 24}), kHintNone)
        << level;
  }
  // A level number beyond the progress table is not looked up there.
  for (int level : {2000, -5}) {
    g.level = level;
    g.levelState.hintTimer = 20;
    DrawHintArrow(g);
    EXPECT_EQ(g.levelState.hintTimer, 19);
  }
}

// The ways out that the room changes take (game/levels.h; the room tests
// hold them to the level's edges). A gate needs no check here: the arrow
// points down only once the row is won.
bool Open(int level, int direction) {
  switch (direction) {
    case kHintRight:
      return HasWayRight(level);
    case kHintLeft:
      return HasWayLeft(level);
    case kHintUp:
      return HasWayUp(level);
    case kHintDown:
      return HasWayDown(level);
    default:
      return false;
  }
}

// The world's pictures (their plan, which the data set's tests hold the
// masks to): a walkway where two levels meet, a hole in the floor.
bool WalkwayBetween(int left) {
  for (const auto& e : datagen::world::kSharedEdges)
    if (e.left == left) return true;
  return false;
}
bool HoleIn(int level) {
  for (const auto& h : datagen::world::kHoles)
    if (h.level == level) return true;
  return false;
}

TEST_F(HintTest, FollowingTheArrowsLeadsThroughOpenExitsToALevelStillToWin) {
  for (int first : {0, 5, 15}) {
    for (int set = 0; set < 32; ++set) {
      Clear({});
      for (int k = 0; k < 5; ++k)
        if ((set & (1 << k)) != 0) g.progress.levelCleared[first + k] = -1;
      for (int start = first; start < first + 5; ++start) {
        if (g.progress.levelCleared[start] == 0) continue;  // no arrow there
        int level = start;
        bool arrived = false;
        for (int step = 0; step < 5 && !arrived; ++step) {
          g.level = level;
          const int d = HintDirection(g);
          ASSERT_NE(d, kHintNone) << level;
          ASSERT_TRUE(Open(level, d)) << "level " << level << " set " << set << " direction " << d;
          if (d == kHintDown) {
            EXPECT_TRUE(HoleIn(level)) << level;
            EXPECT_EQ(set, 31) << "down only once the row is won";
            arrived = true;
            break;
          }
          ASSERT_NE(d, kHintUp) << "no way up can be reached";
          const int next = level + (d == kHintRight ? 1 : -1);
          EXPECT_TRUE(WalkwayBetween(std::min(level, next))) << level << " to " << next;
          level = next;
          arrived = g.progress.levelCleared[level] == 0;
        }
        EXPECT_TRUE(arrived) << "from " << start << " with set " << set;
      }
    }
  }
}

}  // namespace
