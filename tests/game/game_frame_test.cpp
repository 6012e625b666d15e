// The in-game frame: the level drawn first, the decoration that low detail
// leaves out (and only that), and the bookkeeping of the frame's result.
#include "game/game_frame.h"

#include <gtest/gtest.h>

#include <climits>
#include <functional>

#include "effects/effects.h"
#include "engine/engine_effects.h"
#include "game/game_state.h"
#include "game/lamps_clouds.h"
#include "gfx/drawing.h"
#include "world_fixture.h"

namespace {

constexpr uint32_t kLevelColour = 0xff404040u;

GfxContext& G() { return engine.gfx; }

class GameFrameTest : public vxtest::WorldTest {
 protected:
  void SetUp() override {
    WorldTest::SetUp();
    MakePicture(13, [](int32_t, int32_t) { return kLevelColour; });
    PackTo24(G(), 13);
    game.progress.resultSeen[100] = 1;
  }
  int32_t Frame() { return RunGameFrame(game, 0, 0, 0, 0, 0); }
};

TEST_F(GameFrameTest, TheFirstFrameOfAGameOpensTheHelpScreenOnce) {
  game.progress.resultSeen[100] = 0;
  EXPECT_EQ(Frame(), 100);
  EXPECT_EQ(game.progress.resultSeen[100], 1);
  EXPECT_EQ(Frame(), 0);
  EXPECT_EQ(game.progress.resultSeen[0], 1);
  EXPECT_EQ(ScreenPixel(G(), 20, 20), kLevelColour) << "the level picture is drawn";
}

TEST_F(GameFrameTest, AClosedGateAsksFirstAndTheHelpWaits) {
  game.progress.resultSeen[100] = 0;
  game.level = 2;
  game.player.alive = -1;
  game.player.x = ToFixed(400);
  game.player.y = ToFixed(601);
  EXPECT_EQ(Frame(), 119);
  EXPECT_EQ(game.progress.resultSeen[119], 1);
  EXPECT_EQ(game.progress.resultSeen[100], 0);
  EXPECT_EQ(game.player.alive, 0);
  EXPECT_EQ(Frame(), 100);
}

TEST_F(GameFrameTest, AMessageAskedForTooOftenIsRefused) {
  const auto fall = [] {
    game.level = 2;
    game.player.alive = -1;
    game.player.x = ToFixed(400);
    game.player.y = ToFixed(601);
  };
  fall();
  game.resultCount[119] = 7;
  EXPECT_EQ(Frame(), 119);
  EXPECT_EQ(game.resultCount[119], 7) << "the frame adds no weight of its own";
  fall();
  game.resultCount[119] = 8;
  game.progress.resultSeen[119] = 0;
  EXPECT_EQ(Frame(), 0);
  EXPECT_EQ(game.progress.resultSeen[119], 1) << "a refused message is still marked seen";
  EXPECT_EQ(game.resultCount[119], 8);
  EXPECT_EQ(game.player.alive, 0) << "the player still fell";
}

TEST(FrameResult, CodesOutsideZeroToAThousandEndAsZero) {
  GameState& g = game;
  for (const int32_t code : {1001, 1009, 5000, -1, -100, INT32_MIN, INT32_MAX}) {
    g.progress.resultSeen[0] = 0;
    g.frameResult = code;
    SettleFrameResult(g);
    EXPECT_EQ(g.frameResult, 0) << code;
    EXPECT_EQ(g.progress.resultSeen[0], 1) << code;
  }
  EXPECT_EQ(g.progress.resultSeen[1001], 0);
  EXPECT_EQ(g.progress.resultSeen[1009], 0);
  g.frameResult = 1000;
  SettleFrameResult(g);
  EXPECT_EQ(g.frameResult, 1000);
  EXPECT_EQ(g.progress.resultSeen[1000], 1);
  g = GameState{};
}

TEST(FrameResult, TheThirdLevelWonMessageIsRefused) {
  GameState& g = game;
  // Each won fight picks one of 107..109 and adds 3 to all three counts.
  const int32_t picked[] = {108, 107, 108, 109};
  const int32_t shown[] = {108, 107, 0, 0};
  for (int win = 0; win < 4; ++win) {
    g.frameResult = picked[win];
    for (int code = 107; code <= 109; ++code) g.resultCount[code] += 3;
    SettleFrameResult(g);
    EXPECT_EQ(g.frameResult, shown[win]) << win;
    EXPECT_EQ(g.progress.resultSeen[picked[win]], 1);
  }
  EXPECT_EQ(g.resultCount[109], 8);      // held at 8 when refused
  EXPECT_EQ(g.resultCount[108], 8 + 3);  // and weighed again by the next win
  EXPECT_EQ(g.resultCount[107], 12);
  g = GameState{};
}

// Low detail leaves out the shimmer, twinkles, lamps, drift, the three fog
// drawings, the clouds (and, in the player's own code, the light); the
// level picture, the flashes and the fog's motion still run. Each case sets
// up one piece of decoration and says whether a frame showed it.
struct DetailCase {
  const char* name;
  bool skippedInLowDetail;
  std::function<void()> setUp;
  std::function<bool()> happened;
};

int32_t gRemembered = 0;

uint32_t At(int32_t x, int32_t y) { return ScreenPixel(G(), x, y); }

void MakeSmallPictures(int32_t first, int32_t count, uint32_t colour) {
  for (int32_t slot = first; slot < first + count; ++slot) {
    CreatePicture(G(), slot, 64, 64);
    for (int y = 0; y < 64; ++y)
      for (int x = 0; x < 64; ++x) SetPixel(G(), slot, x, y, colour);
  }
}

const DetailCase kDetailCases[] = {
    {"twinkles", true,
     [] {
       TwinkleRecord& t = engine.effects.twinkles[0];
       t = TwinkleRecord{1, 400, 300, 12, 255, 255, 255, 170, 128, 2400, 0};
     },
     [] { return At(400, 300) != kLevelColour; }},
    {"shimmer", true, [] { AddShimmerArea(engine, 0, 0, 800, 600, 0, 800, 8, 1); },
     [] { return engine.effects.shimmer[0].phase != 0; }},
    {"lamps", true, [] { AddLamp(game.tables, 512, 384, 256); }, [] { return At(400, 300) != kLevelColour; }},
    {"drift", true,
     [] {
       SpawnDrift(engine, 400, 2, 300, 800, 0);
       gRemembered = engine.effects.drift[0].y;
     },
     [] { return engine.effects.drift[0].y != gRemembered; }},
    {"fog layers over the halls", true,
     [] {
       MakeSmallPictures(880, 60, 0xff202020u);
       ConfigureFog(engine, 940, 60, 880, 60);
       SpawnFog(engine, 400, 300, 1, 0);
       game.levelState.fogMode = 1;
     },
     [] { return At(400, 300) != kLevelColour; }},
    {"fog layers elsewhere", true,
     [] {
       MakeSmallPictures(740, 60, 0xff303030u);
       for (int32_t slot = 740; slot < 800; ++slot) PackToLuma8(G(), slot);
       ConfigureFog(engine, 940, 60, 740, 60);
       SpawnFog(engine, 400, 300, 1, 0);
       game.levelState.fogMode = 2;
     },
     [] { return At(400, 300) != kLevelColour; }},
    {"fog puffs", true,
     [] {
       MakeSmallPictures(940, 60, 0xff303030u);
       ConfigureFog(engine, 940, 60, 740, 60);
       SpawnFog(engine, 400, 300, 0, 50);
     },
     [] { return At(400, 300) != kLevelColour; }},
    {"clouds", true, [] { AddCloud(game.tables, 400, 300); }, [] { return game.tables.clouds[0].x != 400; }},
    {"fog motion", false,
     [] {
       ConfigureFog(engine, 940, 60, 740, 60);
       SpawnFog(engine, 400, 300, 1, 0);
       engine.effects.fog[0].life = 5;
     },
     [] { return engine.effects.fog[0].life > 5; }},
    {"flashes", false, [] { AddFlash(engine, 400, 300, 20 * 256, 256); },
     [] { return engine.effects.flashes[0].intensity == 19 * 256 && At(400, 300 - 15) != kLevelColour; }},
};

class LowDetailTest : public GameFrameTest, public ::testing::WithParamInterface<int> {};

TEST_P(LowDetailTest, SkipsExactlyTheDecoration) {
  const DetailCase& c = kDetailCases[GetParam()];
  for (const int32_t lowDetail : {0, -1}) {
    SCOPED_TRACE(std::string(c.name) + (lowDetail != 0 ? ", low detail" : ", full detail"));
    ClearTwinkles(engine);
    ClearShimmerAreas(engine);
    ResetFog(engine);
    ResetDrift(engine);
    ClearFlashes(engine);
    ClearLamps(game.tables);
    ClearClouds(game.tables);
    game.levelState.fogMode = 0;
    c.setUp();
    game.settings.lowDetail = lowDetail;
    Frame();
    EXPECT_EQ(At(20, 20), kLevelColour);
    const bool shown = lowDetail == 0 || !c.skippedInLowDetail;
    EXPECT_EQ(c.happened(), shown);
  }
}

INSTANTIATE_TEST_SUITE_P(Decoration, LowDetailTest,
                         ::testing::Range(0, static_cast<int>(std::size(kDetailCases))),
                         [](const ::testing::TestParamInfo<int>& info) {
                           std::string name = kDetailCases[info.param].name;
                           for (char& ch : name)
                             if (ch == ' ') ch = '_';
                           return name;
                         });

}  // namespace
