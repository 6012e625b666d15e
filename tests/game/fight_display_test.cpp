// The fight's time bar: its segments, its caption, how it dodges the player,
// and the lights, sparks and sound of a segment going out.
#include <gtest/gtest.h>

#include <vector>

#include "engine/engine_effects.h"
#include "game/fight.h"
#include "game/game_fixture.h"
#include "sound/sound_context.h"
#include "sound/wave_bytes.h"

namespace {

constexpr uint32_t kFrameColour = 0xff203040u;
constexpr uint32_t kSegmentColour = 0xff00ff00u;
constexpr uint32_t kFontColour = 0xffffffffu;

class FightDisplayTest : public vxtest::GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    g.level = 2;
    PlacePlayer(400, 300);
    g.fight.state = 1;
  }

  // The bar's frame (200 x 60, packed as the loader packs it) and a
  // 10 x 20 segment: the bar lies at x = 300.
  void BarPictures() {
    Solid(6, 200, 60, kFrameColour);
    PackTo24(engine.gfx, 6);
    Solid(5, 10, 20, kSegmentColour);
  }

  int32_t LitSegments(int32_t y) {
    int32_t lit = 0;
    for (int32_t i = 0; i < 10; ++i) {
      const uint32_t p = Screen(300 + 5 + i * 12 + 5, y + 28 + 10);
      if (p == kSegmentColour) {
        EXPECT_EQ(lit, i) << "segments light from the left";
        ++lit;
      } else {
        EXPECT_EQ(p & 0xffffffu, kFrameColour & 0xffffffu) << i;
      }
    }
    return lit;
  }
};

TEST_F(FightDisplayTest, SegmentsShowTheTimeLeftInTenths) {
  BarPictures();
  g.fight.timeStart = 100;
  for (auto [time, segments] : {std::pair{100, 10}, {99, 9}, {12, 2}, {11, 1}, {1, 1}}) {
    ClearScreenPixels();
    g.fight.time = time;
    g.fight.shownSegments = segments;  // as shown last frame: nothing goes out
    const RandomSource before = engine.random;
    DrawFightDisplay(g);
    EXPECT_EQ(LitSegments(100), segments) << time;
    EXPECT_EQ(g.fight.shownSegments, segments);
    EXPECT_EQ(engine.random.s, before.s);
    EXPECT_EQ(Screen(300, 100) & 0xffffffu, kFrameColour & 0xffffffu);
    EXPECT_EQ(Screen(299, 100), 0u);
  }
  // A start of 0 is made 1 before it divides.
  g.fight.timeStart = 0;
  g.fight.time = 3;
  g.fight.shownSegments = 10;
  DrawFightDisplay(g);
  EXPECT_EQ(g.fight.timeStart, 1);

  // No time left, or no player: nothing is drawn.
  for (auto [time, alive] : {std::pair{0, -1}, {5, 0}}) {
    ClearScreenPixels();
    g.fight.time = time;
    g.player.alive = alive;
    DrawFightDisplay(g);
    EXPECT_EQ(Screen(300, 100), 0u);
    EXPECT_EQ(g.fight.shownSegments, 10);
  }
}

TEST_F(FightDisplayTest, TheCaptionIsTextLineThirteenInTheFontOfTheTextFile) {
  BarPictures();
  vxtest::WriteFile("data/text1.txt", "13,T, ,\n");
  Solid(103, 500, 10, kFontColour);  // 50 glyphs of 10 x 10
  g.fight.state = -1;
  StartFight(g);  // reads the caption
  g.fight.timeStart = 100;
  g.fight.time = 50;
  g.fight.shownSegments = 5;
  DrawFightDisplay(g);
  // The box starts at (x - 13, y - 14); its first line 20 pixels in.
  EXPECT_EQ(Screen(300 + 7 + 5, 100 + 6 + 5), kFontColour);
  EXPECT_EQ(Screen(300 + 7 + 5, 100 + 6 + 11) & 0xffffffu, kFrameColour & 0xffffffu);

  // The other text file's font is slot 105.
  ClearScreenPixels();
  g.settings.altTextFile = 0;
  g.settings.textFileName = "data/text.txt";
  vxtest::WriteFile("data/text.txt", "13,T, ,\n");
  DrawFightDisplay(g);
  EXPECT_NE(Screen(312, 111), kFontColour);
  Solid(105, 500, 10, kFontColour);
  DrawFightDisplay(g);
  EXPECT_EQ(Screen(312, 111), kFontColour);
}

TEST_F(FightDisplayTest, TheBarDodgesThePlayerOffOneEdgeAndBackAtTheOther) {
  g.fight.time = 50;
  g.fight.timeStart = 100;
  g.fight.shownSegments = 5;
  PlacePlayer(400, 199);  // above a third of the height
  std::vector<int32_t> ys;
  for (int i = 0; i < 9; ++i) {
    DrawFightDisplay(g);
    ys.push_back(g.fight.barY);
  }
  EXPECT_EQ(ys, (std::vector<int32_t>{-20, -40, -60, -80, -100, -120, -140, 400, 400}));
  EXPECT_EQ(g.fight.barSlide, 0);

  PlacePlayer(400, 451);  // below three quarters
  ys.clear();
  for (int i = 0; i < 9; ++i) {
    DrawFightDisplay(g);
    ys.push_back(g.fight.barY);
  }
  EXPECT_EQ(ys, (std::vector<int32_t>{420, 440, 460, 480, 500, 520, 540, 0, 0}));

  // Beyond level 9 it comes back above the top.
  g.level = 10;
  g.fight.barY = 540;
  DrawFightDisplay(g);
  EXPECT_EQ(g.fight.barY, -100);

  // Just inside the player's band nothing moves; without time nothing moves.
  for (auto [py, barY, time] : {std::tuple{200, 0, 50}, {450, 300, 50}, {199, 0, 0}, {451, 300, 0}}) {
    PlacePlayer(400, py);
    g.fight.barY = barY;
    g.fight.barSlide = 0;
    g.fight.time = time;
    DrawFightDisplay(g);
    EXPECT_EQ(g.fight.barY, barY) << py;
  }

  // The bar is drawn where it has moved to.
  BarPictures();
  ClearScreenPixels();
  g.fight.time = 50;
  g.fight.barY = 210;
  DrawFightDisplay(g);
  EXPECT_EQ(LitSegments(310), 5);
}

TEST_F(FightDisplayTest, ASegmentGoingOutLightsUpAndBurstsIntoSparks) {
  // Without pictures the bar has no width: x = 400, y = 100, and the
  // centre of segment k is (400 + 2k + 5, 128).
  g.fight.timeStart = 100;
  g.fight.time = 12;          // two segments
  g.fight.shownSegments = 3;  // three last frame: segment 2 went out
  RandomSource replica = engine.random;
  DrawFightDisplay(g);
  EXPECT_EQ(g.fight.shownSegments, 2);
  const std::vector<uint32_t> shown = ScreenPixels();

  // The two lights, each offset y first.
  ClearScreenPixels();
  const int32_t cx = 409, cy = 128;
  int32_t dy = Random(replica, -15, 15);
  int32_t dx = Random(replica, -15, 15);
  AddTexturedLight(engine, cx + dx, cy + dy, 90, 0, 110, 220, 13);
  dy = Random(replica, -15, 15);
  dx = Random(replica, -15, 15);
  AddTexturedLight(engine, cx + dx, cy + dy, 70, 0, 180, 200, 13);
  EXPECT_EQ(shown, ScreenPixels());

  // 331 + 131 + 81 puffs, offsets y first; each puff draws its life.
  ASSERT_EQ(engine.effects.fogCount, 543);
  int32_t index = 0;
  for (auto [count, reach, size] : {std::tuple{331, 30, 13}, {131, 20, 13}, {81, 10, 20}}) {
    for (int32_t i = 0; i < count; ++i, ++index) {
      dy = Random(replica, -reach, reach);
      dx = Random(replica, -reach, reach);
      Random(replica, 0, 3 * size);
      ASSERT_EQ(engine.effects.fog[index].x, 2 * (cx + dx)) << index;
      ASSERT_EQ(engine.effects.fog[index].y, 2 * (cy + dy)) << index;
    }
  }
  EXPECT_EQ(engine.random.s, replica.s);

  // The bar just shown (k = -1), or a segment from the sixth on: 81 puffs,
  // x offset first, no light.
  for (auto [aux, time, k] : {std::tuple{0, 100, -1}, {6, 50, 5}}) {
    ResetFog(engine);
    ClearScreenPixels();
    g.fight.shownSegments = aux;
    g.fight.time = time;
    replica = engine.random;
    DrawFightDisplay(g);
    ASSERT_EQ(engine.effects.fogCount, 81);
    for (int32_t i = 0; i < 81; ++i) {
      dx = Random(replica, -10, 10);
      dy = Random(replica, -10, 20);
      Random(replica, 0, 60);
      ASSERT_EQ(engine.effects.fog[i].x, 2 * (400 + 2 * k + 5 + dx)) << i;
      ASSERT_EQ(engine.effects.fog[i].y, 2 * (cy + dy)) << i;
    }
    EXPECT_EQ(engine.random.s, replica.s);
    EXPECT_EQ(ScreenPixels(), std::vector<uint32_t>(ScreenPixels().size(), 0u));
  }
}

TEST_F(FightDisplayTest, ASegmentGoingOutDingsWhileSoundIsOn) {
  ASSERT_EQ(vxInitDirectSound(engine.sound), 0);
  vxtest::WriteFile("ding.wav", vxtest::PcmWave(1, 22050, 8, "abcd"));
  LoadSound(engine.sound, "ding.wav", 4);
  g.fight.timeStart = 100;
  g.fight.time = 50;
  g.settings.soundOn = 0;
  g.fight.shownSegments = 0;
  DrawFightDisplay(g);
  ASSERT_NE(backend->SoundInSlot(4), nullptr);
  EXPECT_EQ(backend->SoundInSlot(4)->plays, 0);
  g.settings.soundOn = -1;
  g.fight.shownSegments = 7;
  DrawFightDisplay(g);
  DrawFightDisplay(g);  // nothing lost this time
  EXPECT_EQ(backend->SoundInSlot(4)->plays, 1);
}

}  // namespace
