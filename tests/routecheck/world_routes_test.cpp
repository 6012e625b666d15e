// Every route the world plan needs, searched on the level masks of the
// generated data set with the game's own player update: a level that can no
// longer be crossed from one of its ways in to one of its ways out fails
// here, with the route and the search effort named.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "datagen/generated_data_set.h"
#include "game/player_fixture.h"
#include "routecheck/input_script.h"
#include "routecheck/route_plan.h"
#include "support/programs.h"

namespace {

namespace fs = std::filesystem;
using namespace routecheck;

class WorldRoutes : public vxtest::PlayerTest {
 protected:
  std::string output;
  void UseGeneratedData() {
    const std::string& root = vxtest::GeneratedDataSet();
    ASSERT_FALSE(root.empty());
    fs::create_symlink(fs::path(root) / "data", folder / "data");
  }
};

TEST_F(WorldRoutes, EveryRouteThePlanNeedsCanBeWalked) {
  const std::vector<PlannedRoute> routes = RoutesFor(WorldPlanEntries());
  if (routes.empty()) GTEST_SKIP() << "the data set generator has no world plan yet";
  UseGeneratedData();
  const auto t0 = std::chrono::steady_clock::now();
  int32_t found = 0;
  for (const PlannedRoute& r : routes) {
    ASSERT_TRUE(LoadLevelMask(game, r.level)) << "no mask for level " << r.level;
    const RouteResult result = FindRoute(game, r.task, SearchLimits{});
    EXPECT_TRUE(result.found) << r.task.name << ": no route after " << result.segmentsRun << " segments";
    if (!result.found) continue;
    ++found;
    std::printf("%s: %d frames: %s\n", r.task.name.c_str(), result.frames, Describe(result.inputs).c_str());
  }
  std::printf("routes: %d of %zu found in %.1f s\n", found, routes.size(),
              std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
}

// The whole way through the world in the order it is played, each level in
// the state the route reaches it in: a side exit or a hole the route takes
// must be reached from the way the route comes in, a hole the route passes
// while its row is not won must not swallow the player on his way (a try
// leaving by another edge never counts), and the moon chamber must catch
// the player who falls into it and keep him there.
TEST_F(WorldRoutes, TheWholeRouteInTheOrderItIsPlayed) {
  if (RoutesFor(WorldPlanEntries()).empty()) GTEST_SKIP() << "the data set generator has no world plan yet";
  UseGeneratedData();
  const std::vector<Visit> visits = RouteVisits(WorldPlanEntries());
  ASSERT_EQ(static_cast<int32_t>(visits.size()), kWorldRouteLength)
      << "a way in of the route is not in the plan";
  int32_t bottoms = 0;
  for (const Visit& v : visits) {
    ASSERT_TRUE(LoadLevelMask(game, v.entry.level)) << "no mask for level " << v.entry.level;
    // A hole is taken only where its row is won (the shaft has no gate).
    if (v.exit == Edge::Bottom) {
      EXPECT_TRUE(v.holeOpen) << "step " << v.step << ": the route drops out of level " << v.entry.level
                              << " before its row is won";
      ++bottoms;
    }
    std::vector<int32_t> xs = {v.entry.x0, (v.entry.x0 + v.entry.x1) / 2, v.entry.x1};
    xs.erase(std::unique(xs.begin(), xs.end()), xs.end());
    for (const int32_t x : xs) {
      const std::string name = "step " + std::to_string(v.step) + ", level " + std::to_string(v.entry.level) +
                               " at (" + std::to_string(x) + ", " + std::to_string(v.entry.y) + ")";
      if (v.exit == Edge::None) {
        // The ending: he lands and stays, through the ending's 150 frames.
        PlacePlayer(game, x, v.entry.y);
        Edge left = Edge::None;
        for (int32_t f = 0; f < 300 && left == Edge::None; ++f) {
          StepPlayer(game, Held{});
          left = PassedEdge(game);
        }
        EXPECT_EQ(left, Edge::None) << name << ": the moon chamber lets the player out by the "
                                    << EdgeName(left) << " edge";
        EXPECT_LT(WholePixel(game.player.y), 470) << name << ": not standing on the chamber's floor";
        continue;
      }
      RouteTask task;
      task.name = name;
      task.x = x;
      task.y = v.entry.y;
      task.exit = v.exit;
      const RouteResult result = FindRoute(game, task, SearchLimits{});
      EXPECT_TRUE(result.found) << name << ": no way to the " << EdgeName(v.exit) << " edge ("
                                << (v.fought ? "after its fight" : "won before") << ")";
    }
  }
  EXPECT_EQ(bottoms, 4) << "the route drops through the holes of 3, 5, 10 and 19";
}

// The whole-game script of the level 2 route (tests/e2e/level2_route.txt)
// still carries the player from the new game's start to level 3 on the
// current mask; when the level changes, `routecheck --script 2 FILE`
// writes it again.
TEST_F(WorldRoutes, TheRecordedLevelTwoRouteStillLeadsOutToTheRight) {
  const std::vector<PlannedRoute> routes = RoutesFor(WorldPlanEntries());
  if (routes.empty()) GTEST_SKIP() << "the data set generator has no world plan yet";
  UseGeneratedData();
  const std::string text = vxtest::ReadFile(std::string(VX_SOURCE_DIR) + "/tests/e2e/level2_route.txt");
  ASSERT_FALSE(text.empty()) << "tests/e2e/level2_route.txt is missing";
  std::vector<platform::ScriptEvent> events;
  std::string error;
  ASSERT_TRUE(platform::ParseInputScript(text, events, error)) << error;
  const InputSequence inputs = SequenceFromScript(events, kRouteTick);
  ASSERT_FALSE(inputs.empty());
  const PlannedRoute* start = nullptr;
  for (const PlannedRoute& r : routes)
    if (r.level == 2 && r.task.exit == Edge::Right && start == nullptr) start = &r;
  ASSERT_NE(start, nullptr);
  ASSERT_TRUE(LoadLevelMask(game, 2));
  for (int32_t s = 0; s < SearchLimits{}.starts; ++s)
    EXPECT_EQ(ReplayRoute(game, start->task, inputs, s).edge, Edge::Right) << "start " << s;
}

// The program: the routes of one level printed, its script written, and a
// clear refusal of bad command lines.
TEST_F(WorldRoutes, TheProgramPrintsTheRoutesOfALevelAndWritesItsScript) {
  const auto run = [&](const std::string& args) {
    const std::string out = (folder / "out.txt").string();
    const int status = std::system(
        (vxtest::ProgramCommand(VX_ROUTECHECK_BINARY) + " " + args + " >" + out + " 2>&1").c_str());
    output = vxtest::ReadFile(out);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  };
  EXPECT_EQ(run("--frobnicate"), 2);
  EXPECT_NE(output.find("usage"), std::string::npos);
  if (RoutesFor(WorldPlanEntries()).empty()) {
    EXPECT_EQ(run("--root " + folder.string()), 2);
    EXPECT_NE(output.find("no world plan"), std::string::npos) << output;
    GTEST_SKIP() << "the data set generator has no world plan yet";
  }
  UseGeneratedData();
  const std::string script = (folder / "level2.txt").string();
  ASSERT_EQ(run("--root " + folder.string() + " --level 2 --script 2 " + script), 0) << output;
  EXPECT_NE(output.find("level 2 new game at"), std::string::npos) << output;
  EXPECT_NE(output.find("0 missing"), std::string::npos) << output;
  std::vector<platform::ScriptEvent> events;
  std::string error;
  ASSERT_TRUE(platform::ParseInputScript(vxtest::ReadFile(script), events, error)) << error;
  EXPECT_FALSE(SequenceFromScript(events, kRouteTick).empty());
}

}  // namespace
