// The route checker on hand-made levels: it finds the inputs across flat
// ground, over a step, across a gap and down a hole, replays them from every
// start, reports a level that cannot be crossed, and writes what it found
// as an input script.
#include "routecheck/route_search.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>

#include "game/player_fixture.h"
#include "platform/headless/input_script.h"
#include "routecheck/input_script.h"
#include "routecheck/route_plan.h"

namespace {

using namespace routecheck;

class RouteSearch : public vxtest::PlayerTest {
 protected:
  RouteResult Search(int32_t x, int32_t y, Edge exit, int32_t starts = 3) {
    RouteTask task;
    task.name = "test";
    task.x = x;
    task.y = y;
    task.exit = exit;
    SearchLimits limits;
    limits.starts = starts;
    const auto t0 = std::chrono::steady_clock::now();
    RouteResult r = FindRoute(game, task, limits);
    seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    if (r.found) {
      for (int32_t s = 0; s < starts; ++s) {
        const Outcome o = ReplayRoute(game, task, r.inputs, s);
        EXPECT_EQ(o.edge, exit) << "start " << s << ": " << Describe(r.inputs);
        EXPECT_LE(o.frames, r.frames) << "start " << s;
      }
    }
    std::printf("%s %s: %s in %.2f s (%lld segments, %lld frames)\n", r.found ? "found" : "none",
                EdgeName(exit), Describe(r.inputs).c_str(), seconds, static_cast<long long>(r.segmentsRun),
                static_cast<long long>(r.framesRun));
    return r;
  }
  static bool Jumps(const InputSequence& in) {
    for (const Segment& s : in)
      if (s.held.jump) return true;
    return false;
  }
  double seconds = 0;
};

TEST_F(RouteSearch, FlatGroundIsWalkedBothWays) {
  FlatFloor();
  const RouteResult right = Search(57, 410, Edge::Right);
  ASSERT_TRUE(right.found);
  EXPECT_FALSE(Jumps(right.inputs));
  EXPECT_LT(right.frames, 300);
  const RouteResult left = Search(762, 410, Edge::Left);
  ASSERT_TRUE(left.found);
  EXPECT_LT(left.frames, 300);
}

TEST_F(RouteSearch, AStepAndAGapNeedJumps) {
  DrawMask([](int32_t x, int32_t y) { return y >= kFloor || (x >= 400 && y >= kFloor - 70); });
  const RouteResult step = Search(57, 410, Edge::Right);
  ASSERT_TRUE(step.found);
  EXPECT_TRUE(Jumps(step.inputs));
  DrawMask([](int32_t x, int32_t y) { return y >= kFloor && (x < 350 || x >= 470); });
  const RouteResult gap = Search(57, 410, Edge::Right);
  ASSERT_TRUE(gap.found);
  EXPECT_TRUE(Jumps(gap.inputs));
}

TEST_F(RouteSearch, AHoleLeadsOutAtTheBottom) {
  DrawMask([](int32_t x, int32_t y) { return y >= kFloor && (x < 320 || x > 384); });
  const RouteResult r = Search(762, 410, Edge::Bottom);
  ASSERT_TRUE(r.found);
}

TEST_F(RouteSearch, AWallToTheTopMakesTheLevelImpassable) {
  DrawMask([](int32_t x, int32_t y) { return y >= kFloor || (x >= 400 && x < 440); });
  const RouteResult r = Search(57, 410, Edge::Right);
  EXPECT_FALSE(r.found);
  EXPECT_TRUE(r.inputs.empty());
}

TEST(RouteScript, TheKeysOfARouteReadBackAsTheSameRoute) {
  const InputSequence route = {{{false, true, false}, 24},
                               {{true, false, true}, 8},
                               {{false, false, false}, 4},
                               {{false, false, true}, 6},
                               {{false, true, true}, 2}};
  int64_t end = 0;
  const std::string lines = ScriptLines(route, 100, end);
  EXPECT_EQ(end, 100 + (24 + 8 + 4 + 6 + 2) / 2);
  // Releases come before presses, and everything is let go at the end.
  EXPECT_NE(lines.find("112 keyup RIGHT\n112 keydown LEFT\n112 keydown UP\n"), std::string::npos) << lines;
  EXPECT_NE(lines.find("121 keydown RIGHT\n122 keyup RIGHT\n122 keyup UP\n"), std::string::npos) << lines;
  std::vector<platform::ScriptEvent> events;
  std::string error;
  ASSERT_TRUE(platform::ParseInputScript(lines, events, error)) << error;
  const InputSequence back = SequenceFromScript(events, 100);
  EXPECT_EQ(Describe(back), Describe(route));
  // A whole-game script parses, starts the route at its tick and closes.
  const std::string game = GameScript("level 2", route, 40);
  ASSERT_TRUE(platform::ParseInputScript(game, events, error)) << error;
  EXPECT_EQ(Describe(SequenceFromScript(events, kRouteTick)), Describe(route));
  EXPECT_TRUE(events.back().close);
  EXPECT_EQ(events.back().tick, kRouteTick + 22 + 40);
}

}  // namespace
