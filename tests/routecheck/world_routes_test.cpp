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
    const int status =
        std::system((std::string(VX_ROUTECHECK_BINARY) + " " + args + " >" + out + " 2>&1").c_str());
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
