// Level construction: the composed picture, the scan-line darkening, the
// decoration scripts with their random draws, levels without a script, and
// the lamp and cloud tables.
#include "game/level_build.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <iterator>
#include <vector>

#include "effects/effects.h"
#include "engine/engine_effects.h"
#include "game/game_state.h"
#include "game/lamps_clouds.h"
#include "gfx/drawing.h"
#include "gfx/image_slots.h"
#include "platform/cpu_features.h"
#include "world_fixture.h"

namespace {

GfxContext& G() { return engine.gfx; }

int32_t ActiveLamps() {
  int32_t n = 0;
  for (const LampRecord& l : game.tables.lamps) n += l.active != 0 ? 1 : 0;
  return n;
}
int32_t ActiveClouds() {
  int32_t n = 0;
  for (const CloudRecord& c : game.tables.clouds) n += c.active != 0 ? 1 : 0;
  return n;
}
int32_t ActiveTwinkles() {
  int32_t n = 0;
  for (const TwinkleRecord& t : engine.effects.twinkles) n += t.active != 0 ? 1 : 0;
  return n;
}
std::vector<const ShimmerArea*> ActiveShimmer() {
  std::vector<const ShimmerArea*> v;
  for (const ShimmerArea& s : engine.effects.shimmer)
    if (s.active != 0) v.push_back(&s);
  return v;
}
bool SameState(const RandomSource& a, const RandomSource& b) { return a.s == b.s; }

// The composed level picture as a frame draws it.
uint32_t Composed(int32_t x, int32_t y) {
  ClearScreen(G(), 0);
  DrawPacked24(G(), 13, 0, 0);
  return ScreenPixel(G(), x, y);
}

using LevelBuildTest = vxtest::WorldTest;

TEST_F(LevelBuildTest, HallsAreCopiedPlainAndDarkenedOnAlternateRows) {
  MakeForeground(5, 260, [](int32_t x, int32_t) { return x < 400 ? 0x40806040u : 0xff102030u; });
  BuildLevel(game, 5);
  EXPECT_EQ(game.level, 5);
  EXPECT_EQ(game.levelState.foregroundSlot, 260);
  EXPECT_EQ(game.levelState.maskSlot, 261);
  EXPECT_EQ(game.levelState.backgroundSlot, 220);
  EXPECT_EQ(game.player.lightOn, 0);
  // Plain copy whatever the alpha; even rows lose 3, odd rows 5, blue ends in 01.
  EXPECT_EQ(Composed(10, 0), 0xff7d5d3du);
  EXPECT_EQ(Composed(10, 1), 0xff7b5b39u);
  EXPECT_EQ(Composed(500, 2), 0xff0d1d2du);
  EXPECT_EQ(Composed(500, 3), 0xff0b1b29u);
  // The first and last columns are left as they were.
  EXPECT_EQ(Composed(0, 1), 0xff806040u);
  EXPECT_EQ(Composed(799, 1), 0xff102030u);
  EXPECT_EQ(G().opacity, 255) << "the draw mode is reset";
}

// The level is composed in bands of rows; the result, every byte of picture
// 13 (the unpacked last quarter too) and the screen it leaves, is that of
// drawing the whole, then copying, darkening and packing the whole.
TEST_F(LevelBuildTest, ComposingInBandsGivesTheWholeComposition) {
  const auto noise = [](uint32_t seed) {
    return [seed](int32_t x, int32_t y) {
      uint32_t v = (static_cast<uint32_t>(x) * 2654435761u) ^ (static_cast<uint32_t>(y) * 40503u + seed);
      v ^= v >> 13;
      return v * 2246822519u;
    };
  };
  MakePicture(220, noise(1));
  PackTo24(G(), 220);
  const size_t area = static_cast<size_t>(G().screenWidth) * static_cast<size_t>(G().screenHeight);
  for (const int32_t run : {0, 1, 2, 3, 4, 5}) {
    const int32_t level = run % 2 == 0 ? 2 : 5;  // over the sky; copied plain
    // Packed straight from the screen, or darkened, then packed.
    cpu::ForceKernelLevel(std::min(cpu::BestKernelLevel(), run < 2   ? cpu::KernelLevel::kAvx512
                                                           : run < 4 ? cpu::KernelLevel::kSse2
                                                                     : cpu::KernelLevel::kPlain));
    SCOPED_TRACE(run);
    const int32_t foreground = level == 2 ? 254 : 260;
    MakeForeground(level, foreground, noise(static_cast<uint32_t>(level)));
    const std::vector<uint32_t> before(G().backBuffer, G().backBuffer + area);
    BuildLevel(game, level);
    cpu::ResetKernelLevel();
    const std::vector<uint32_t> composed(G().slots[13].pixels, G().slots[13].pixels + area);
    const std::vector<uint32_t> screen(G().backBuffer, G().backBuffer + area);

    std::copy(before.begin(), before.end(), G().backBuffer);
    CreatePicture(G(), 301, G().screenWidth, G().screenHeight);
    if (level == 2) {
      DrawPacked24(G(), 220, 0, 0);
      ResetDrawMode(G());
    } else {
      SetDrawMode(G(), -2);
    }
    DrawPicture(G(), foreground, 0, 0);
    CopyFromScreen(G(), 301, 0, 0);
    DarkenRows(game, 301);
    PackTo24(G(), 301);
    EXPECT_TRUE(composed == std::vector<uint32_t>(G().slots[301].pixels, G().slots[301].pixels + area));
    EXPECT_TRUE(screen == std::vector<uint32_t>(G().backBuffer, G().backBuffer + area));
    ReleasePicture(G(), 301);
  }
}

// Packed straight from the screen against darkened, then packed, on sizes
// around the vector step (the first and last pixel of a row stay as they
// are, the last quarter keeps four bytes a pixel).
TEST_F(LevelBuildTest, DarkeningStraightIntoThePackedPictureGivesTheSameBytes) {
  uint32_t seed = 3;
  for (int32_t level = 0; level <= static_cast<int32_t>(cpu::BestKernelLevel()); ++level) {
    for (int32_t width = 1; width <= 27; ++width) {
      for (const int32_t height : {1, 2, 3, 7}) {
        const size_t n = static_cast<size_t>(width) * static_cast<size_t>(height);
        std::vector<uint32_t> from(n);
        for (uint32_t& p : from) {
          seed = seed * 1664525u + 1013904223u;
          p = seed ^ (seed >> 11);
        }
        CreatePicture(G(), 302, width, height);
        std::copy(from.begin(), from.end(), G().slots[302].pixels);
        cpu::ResetKernelLevel();
        DarkenRows(game, 302);
        PackTo24(G(), 302);
        std::vector<uint32_t> direct(n, 0x5a5a5a5au);
        cpu::ForceKernelLevel(static_cast<cpu::KernelLevel>(level));
        level_build_detail::DarkenPackRows(from.data(), direct.data(), width, height);
        EXPECT_TRUE(direct == std::vector<uint32_t>(G().slots[302].pixels, G().slots[302].pixels + n))
            << width << " x " << height << " at level " << cpu::KernelLevelName(cpu::ActiveKernelLevel());
        ReleasePicture(G(), 302);
      }
    }
  }
  cpu::ResetKernelLevel();
}

// The darkening four pixels at a time against its pixel-by-pixel
// definition, at every kernel level the processor has, on widths around the
// vector step, even and odd rows, in place and into another row: bytes at
// and near 0 (the saturation), the blue's low bits and the alpha, and
// nothing written outside the row.
TEST_F(LevelBuildTest, DarkeningRowsMatchesThePixelByPixelDefinitionAtEveryLevel) {
  constexpr uint8_t kBytes[] = {0, 1, 2, 3, 4, 5, 6, 7, 0x7f, 0x80, 0x81, 0xfc, 0xfd, 0xfe, 0xff};
  constexpr uint32_t kGuard = 0xa5a5a5a5u;
  uint32_t seed = 7;
  const auto next = [&seed] {
    seed = seed * 1664525u + 1013904223u;
    return seed >> 8;
  };
  for (int32_t level = 0; level <= static_cast<int32_t>(cpu::BestKernelLevel()); ++level) {
    cpu::ForceKernelLevel(static_cast<cpu::KernelLevel>(level));
    for (int32_t width = 1; width <= 21; ++width) {
      for (const int32_t y : {0, 1, 6, 9}) {
        // One guard word before and after the row.
        std::vector<uint32_t> from(static_cast<size_t>(width) + 2, kGuard);
        for (int32_t x = 1; x <= width; ++x) {
          uint32_t p = 0;
          for (int32_t b = 0; b < 4; ++b) p |= uint32_t{kBytes[next() % std::size(kBytes)]} << (8 * b);
          from[static_cast<size_t>(x)] = p;
        }
        std::vector<uint32_t> want(from.size(), kGuard);
        level_build_detail::DarkenRowPlain(from.data() + 1, want.data() + 1, width, y);
        std::vector<uint32_t> copied(from.size(), kGuard);
        level_build_detail::DarkenRow(from.data() + 1, copied.data() + 1, width, y);
        std::vector<uint32_t> inPlace = from;
        level_build_detail::DarkenRow(inPlace.data() + 1, inPlace.data() + 1, width, y);
        EXPECT_TRUE(copied == want) << "level " << level << ", " << width << " wide, row " << y;
        EXPECT_TRUE(inPlace == want) << "level " << level << ", " << width << " wide, row " << y;
      }
    }
    // Through a picture, every row.
    CreatePicture(G(), 302, 13, 4);
    std::vector<uint32_t> pixels(13 * 4);
    for (uint32_t& p : pixels) p = next() * 2654435761u;
    std::copy(pixels.begin(), pixels.end(), G().slots[302].pixels);
    DarkenRows(game, 302);
    for (int32_t y = 0; y < 4; ++y) {
      uint32_t want[13];
      level_build_detail::DarkenRowPlain(pixels.data() + 13 * y, want, 13, y);
      EXPECT_TRUE(std::equal(want, want + 13, G().slots[302].pixels + 13 * y))
          << "level " << level << ", row " << y;
    }
    ReleasePicture(G(), 302);
    cpu::ResetKernelLevel();
  }
  // The definition itself, on one pixel of each kind.
  const uint32_t row[3] = {0x00000000u, 0x80fe0402u, 0xffffffffu};
  uint32_t out[3];
  level_build_detail::DarkenRowPlain(row, out, 3, 1);
  EXPECT_EQ(out[1], 0x80f90001u) << "red 5 less, green stops at 0, blue at 0 ends in 01, alpha kept";
  level_build_detail::DarkenRow(row, out, 3, 0);
  EXPECT_EQ(out[1], 0x80fb0101u);
}

TEST_F(LevelBuildTest, RowZeroIsDrawnOverTheSharedBackground) {
  MakePicture(220, [](int32_t, int32_t) { return 0xff000080u; });
  PackTo24(G(), 220);
  // Sky (transparent) on the left, ground on the right.
  MakeForeground(2, 254, [](int32_t x, int32_t) { return x < 400 ? 0x00ffffffu : 0xff608040u; });
  BuildLevel(game, 2);
  EXPECT_EQ(game.levelState.foregroundSlot, 254);
  EXPECT_EQ(game.levelState.maskSlot, 255);
  EXPECT_EQ(game.player.lightOn, -1);
  EXPECT_EQ(game.levelState.fogMode, 2);
  EXPECT_EQ(engine.effects.layerBase, 740);
  EXPECT_EQ(Composed(100, 10), 0xff00007du);
  EXPECT_EQ(Composed(600, 10), 0xff5d7d3du);
}

TEST_F(LevelBuildTest, EachLevelGetsItsDecoration) {
  struct Case {
    int32_t level;
    int32_t fogLayers, clouds, lamps, shimmer, fogMode, layerBase, driftReach, driftLow;
  };
  const Case cases[] = {
      {0, 26, 6, 0, 3, 2, 740, 2, 300},  {1, 41, 4, 8, 4, 2, 740, 2, 300},  {2, 41, 4, 4, 2, 2, 740, 2, 300},
      {3, 41, 4, 0, 3, 2, 740, 2, 300},  {4, 41, 6, 2, 3, 2, 740, 2, 300},  {5, 14, 0, 0, 1, 1, 880, 2, 200},
      {6, 11, 0, 0, 0, 1, 880, 2, 200},  {9, 11, 0, 0, 0, 1, 880, 2, 200},  {10, 31, 0, 0, 0, 2, 740, 3, 200},
      {15, 92, 0, 0, 0, 2, 740, 3, 200}, {19, 92, 0, 0, 0, 2, 740, 3, 200}, {24, 47, 0, 0, 1, 2, 740, 3, 200},
  };
  for (const Case& c : cases) {
    BuildLevel(game, c.level);
    EXPECT_EQ(engine.effects.fogCount, c.fogLayers) << c.level;
    for (int32_t i = 0; i < engine.effects.fogCount; ++i) EXPECT_EQ(engine.effects.fog[i].kind, kFogLayer);
    EXPECT_EQ(ActiveClouds(), c.clouds) << c.level;
    EXPECT_EQ(ActiveLamps(), c.lamps) << c.level;
    EXPECT_EQ(static_cast<int32_t>(ActiveShimmer().size()), c.shimmer) << c.level;
    EXPECT_EQ(game.levelState.fogMode, c.fogMode) << c.level;
    EXPECT_EQ(engine.effects.layerBase, c.layerBase) << c.level;
    EXPECT_EQ(engine.effects.puffBase, 940);
    EXPECT_EQ(engine.effects.driftCount, 8 * 61) << c.level;
    EXPECT_EQ(engine.effects.drift[0].reach, c.driftReach) << c.level;
    EXPECT_EQ(engine.effects.drift[0].min, c.driftLow) << c.level;
    EXPECT_EQ(engine.effects.drift[0].max, 800);
  }
  // Positions in 1/1024 of the width and of the scaled height (800 x 800 here).
  BuildLevel(game, 5);
  ASSERT_EQ(ActiveShimmer().size(), 1u);
  const ShimmerArea& s = *ActiveShimmer()[0];
  EXPECT_EQ(s.x1, 230 * 800 >> 10);
  EXPECT_EQ(s.y1, 580 * 800 >> 10);
  EXPECT_EQ(s.x2, 390 * 800 >> 10);
  EXPECT_EQ(s.y2, 768 * 800 >> 10);
  EXPECT_EQ(s.min, 0);
  EXPECT_EQ(s.max, 800);
  EXPECT_EQ(s.amplitude, 8);
  BuildLevel(game, 2);
  EXPECT_EQ(game.tables.lamps[3].x, 158);
  EXPECT_EQ(game.tables.lamps[3].y, 490);
  EXPECT_EQ(game.tables.lamps[3].size, 40);
}

TEST_F(LevelBuildTest, TwinklesComeFromTheComposedPictureInsideTheirAreas) {
  // Level 5: b + g + r = 600 is only inside the second area (50..800).
  MakeForeground(5, 260, [](int32_t, int32_t) { return 0xffc8c8c8u; });
  BuildLevel(game, 5);
  ASSERT_GT(ActiveTwinkles(), 0);
  for (const TwinkleRecord& t : engine.effects.twinkles) {
    if (t.active == 0) continue;
    EXPECT_GE(t.x, 230 * 800 >> 10);
    EXPECT_LE(t.x, 390 * 800 >> 10);
    EXPECT_GE(t.y, 580 * 800 >> 10);
    EXPECT_EQ(t.red, 0xc8 * 80 / 256);  // that area's scale
  }
}

TEST_F(LevelBuildTest, DecorationDrawsItsRandomNumbersInOrder) {
  // A black level: no twinkle draws. Then 41 fog layers (x, y, then the
  // layer's start), 4 clouds (x, y, frame), 8 x 61 drift particles (three
  // draws each) and 4 lamps (flicker, step).
  RandomSource expect = engine.random;
  BuildLevel(game, 2);
  for (int i = 0; i < 41; ++i) {
    const int32_t x = Random(expect, 100 * 800 >> 10, 900 * 800 >> 10);
    const int32_t y = Random(expect, 600 * 800 >> 10, 770 * 800 >> 10);
    EXPECT_EQ(engine.effects.fog[i].x, x) << i;  // no layer picture: its corner is the point
    EXPECT_EQ(engine.effects.fog[i].y, y) << i;
    EXPECT_EQ(engine.effects.fog[i].life, Random(expect, 0, 180)) << i;
  }
  for (int i = 0; i < 4; ++i) {
    const int32_t x = Random(expect, 0, 800);
    const int32_t y = Random(expect, 600 * 800 >> 10, 750 * 800 >> 10);
    const int32_t frame = std::min(Random(expect, 0, 180), 179);
    EXPECT_EQ(game.tables.clouds[i].x, x) << i;  // the cloud picture is not loaded: no offset
    EXPECT_EQ(game.tables.clouds[i].y, y) << i;
    EXPECT_EQ(game.tables.clouds[i].frame, frame) << i;
  }
  for (int i = 0; i < 8 * 61 * 3; ++i) Random(expect, 0, 1);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(game.tables.lamps[i].flicker, Random(expect, 0, 28)) << i;
    EXPECT_EQ(game.tables.lamps[i].flickerStep, 2 * Random(expect, 0, 1) - 1) << i;
  }
  EXPECT_TRUE(SameState(expect, engine.random)) << "no other draws";
}

TEST_F(LevelBuildTest, LevelsWithoutAScriptKeepThePreviousLevel) {
  MakeForeground(5, 260, [](int32_t x, int32_t y) { return 0xff000000u | static_cast<uint32_t>(x * 7 + y); });
  BuildLevel(game, 5);
  const ImageSlot& composed = G().slots[13];
  const std::vector<uint32_t> picture(composed.pixels, composed.pixels + 800 * 600);
  const int32_t twinkles = ActiveTwinkles();
  const int32_t fog = engine.effects.fogCount;
  const RandomSource before = engine.random;

  for (const int32_t n : {12, 23, 25, 101, 200, 201, -1, INT32_MIN, INT32_MAX}) {
    BuildLevel(game, n);
    EXPECT_EQ(game.level, n);
    EXPECT_EQ(game.levelState.maskSlot, 261) << n;
    EXPECT_EQ(game.levelState.foregroundSlot, 260) << n;
    EXPECT_EQ(game.levelState.fogMode, 1) << n;
    EXPECT_EQ(ActiveTwinkles(), twinkles) << n;
    EXPECT_EQ(engine.effects.fogCount, fog) << n;
    EXPECT_EQ(ActiveShimmer().size(), 1u) << n;
    EXPECT_TRUE(std::equal(picture.begin(), picture.end(), composed.pixels)) << n;
  }
  EXPECT_TRUE(SameState(before, engine.random));
  // The assets were asked for where the loader keeps flags (0..200).
  EXPECT_EQ(game.levelPictures.loaded[12], -1);
  EXPECT_EQ(game.levelPictures.loaded[200], -1);
  EXPECT_EQ(game.levelPictures.foregroundFile, " ");
}

TEST_F(LevelBuildTest, DarkenRowsNeverLeavesTheWeaponMarker) {
  // Hand-picked: the clamp at 0, the top of the range, a marker pixel.
  MakePicture(300, [](int32_t x, int32_t y) {
    if (x == 1 && y == 0) return 0xff000000u;
    if (x == 1 && y == 1) return 0x12020202u;
    if (x == 2 && y == 0) return 0xffffffffu;
    if (x == 2 && y == 1) return 0xe6020202u;  // the marker itself
    // Everything else: every byte value, scattered.
    const uint32_t v = static_cast<uint32_t>(x) * 2654435761u + static_cast<uint32_t>(y) * 40503u;
    return v ^ (v >> 13);
  });
  std::vector<uint32_t> before(G().slots[300].pixels, G().slots[300].pixels + 800 * 600);
  DarkenRows(game, 300);
  const uint32_t* after = G().slots[300].pixels;
  EXPECT_EQ(after[1], 0xff000001u);
  EXPECT_EQ(after[800 + 1], 0x12000001u);
  EXPECT_EQ(after[2], 0xfffcfcfdu);
  EXPECT_EQ(after[800 + 2], 0xe6000001u);
  for (int32_t y = 0; y < 600; ++y) {
    const int32_t d = y % 2 == 0 ? 3 : 5;
    for (int32_t x = 0; x < 800; ++x) {
      const uint32_t was = before[static_cast<size_t>(y * 800 + x)];
      const uint32_t now = after[y * 800 + x];
      if (x == 0 || x == 799) {
        ASSERT_EQ(now, was) << x << "," << y;
        continue;
      }
      ASSERT_EQ(now >> 24, was >> 24);
      ASSERT_EQ(now & 3u, 1u) << "blue ends in 01 at " << x << "," << y;
      const bool marker = (now >> 24) == 230 && (now & 0x030303u) == 0x020202u;
      ASSERT_FALSE(marker);
      ASSERT_EQ(now & 0xfcu, static_cast<uint32_t>(std::max(static_cast<int32_t>(was & 255) - d, 0)) & 0xfcu);
      for (const int shift : {8, 16}) {
        const int32_t c = static_cast<int32_t>((was >> shift) & 255),
                      n = static_cast<int32_t>((now >> shift) & 255);
        ASSERT_EQ(n, std::max(c - d, 0));
      }
    }
  }
  DarkenRows(game, 301);   // an empty slot
  DarkenRows(game, 5000);  // no such slot
}

using LampCloudTest = vxtest::WorldTest;

TEST_F(LampCloudTest, FortyLampsAndTwoHundredOneCloudsAtMost) {
  for (int i = 0; i < kLampCount; ++i) AddLamp(game.tables, i, 2 * i, 128);
  EXPECT_EQ(ActiveLamps(), 40);
  EXPECT_EQ(game.tables.lamps[39].size, 20);
  RandomSource before = engine.random;
  AddLamp(game.tables, 1, 1, 256);  // the 41st: no record, no draws
  EXPECT_TRUE(SameState(before, engine.random));
  EXPECT_EQ(game.tables.lamps[0].x, 0);
  ClearLamps(game.tables);
  EXPECT_EQ(ActiveLamps(), 0);

  for (int i = 0; i < kCloudCount; ++i) AddCloud(game.tables, i, 3);
  EXPECT_EQ(ActiveClouds(), 201);
  before = engine.random;
  AddCloud(game.tables, 9, 9);
  EXPECT_TRUE(SameState(before, engine.random));
  EXPECT_EQ(game.tables.clouds[200].x, 200);
  ClearClouds(game.tables);
  EXPECT_EQ(ActiveClouds(), 0);
  AddLamp(game.tables, 5, 6, 256);  // a cleared table is free again from the start
  EXPECT_EQ(game.tables.lamps[0].x, 5);
}

TEST_F(LampCloudTest, LampsFlickerAndLight) {
  AddLamp(game.tables, 512, 384, 256);
  ClearScreen(G(), 0xff202020u);
  RandomSource expect = engine.random;
  DrawLamps(game.tables);
  int32_t flicker = Random(expect, 0, 28);
  int32_t step = 2 * Random(expect, 0, 1) - 1;
  flicker += step;
  if (flicker <= 0) step = 1;
  if (flicker > 28) step = -1;
  Random(expect, 0, 5);
  EXPECT_EQ(game.tables.lamps[0].flicker, flicker);
  EXPECT_EQ(game.tables.lamps[0].flickerStep, step);
  EXPECT_TRUE(SameState(expect, engine.random));
  EXPECT_GT(ScreenPixel(G(), 400, 300) & 0xff0000u, 0x200000u) << "a warm light at the lamp";
  EXPECT_EQ(ScreenPixel(G(), 400, 300) & 0xffu, 0x20u) << "no blue";
}

// A random state whose next draw of rand(0, 100) or rand(0, 180) passes `want`.
template <typename F>
RandomSource StateWhere(F want) {
  RandomSource r;
  for (int seed = 1; seed < 100000; ++seed) {
    SeedRandom(r, seed);
    RandomSource probe = r;
    if (want(probe)) return r;
  }
  ADD_FAILURE() << "no such state";
  return r;
}

TEST_F(LampCloudTest, CloudsWaitAtTheirLastPictureAndDriftLeft) {
  MakePicture(880, [](int32_t, int32_t) { return 0xff101010u; });
  // A draw of 180 would show picture 940; it is taken as the last frame.
  engine.random = StateWhere([](RandomSource& r) { return Random(r, 0, 180) == 180; });
  AddCloud(game.tables, 400, 500);
  EXPECT_EQ(game.tables.clouds[0].frame, 179);
  EXPECT_EQ(game.tables.clouds[0].x, 0);  // centred: the picture is screen-sized here
  EXPECT_EQ(game.tables.clouds[0].y, 200);

  // At the last frame the restart needs three draws: > 80, > 80, > 40.
  G().timeStep = 40;  // one animation step per frame
  engine.random = StateWhere([](RandomSource& r) { return Random(r, 0, 100) <= 80; });
  RandomSource expect = engine.random;
  DrawClouds(game.tables);
  Random(expect, 0, 100);  // the first test fails and stops the rest
  EXPECT_TRUE(SameState(expect, engine.random));
  EXPECT_EQ(game.tables.clouds[0].frame, 179);
  EXPECT_EQ(game.tables.clouds[0].x, -2);
  engine.random = StateWhere([](RandomSource& r) {
    return Random(r, 0, 100) > 80 && Random(r, 0, 100) > 80 && Random(r, 0, 100) > 40;
  });
  DrawClouds(game.tables);
  EXPECT_EQ(game.tables.clouds[0].frame, 0);

  G().timeStep = 100;  // three steps
  DrawClouds(game.tables);
  EXPECT_EQ(game.tables.clouds[0].frame, 3);
  EXPECT_EQ(game.tables.clouds[0].x, -6);

  // Past its own width off the left edge a cloud comes back on the right.
  game.tables.clouds[0].x = -800 + 2;
  DrawClouds(game.tables);
  EXPECT_EQ(game.tables.clouds[0].x, -800);
  DrawClouds(game.tables);
  EXPECT_EQ(game.tables.clouds[0].x, 801);
}

TEST_F(LampCloudTest, CloudsAreAddedOnScreenWithTheirPicture) {
  for (int i = 0; i < 60; ++i) {
    CreatePicture(G(), 880 + i, 16, 16);
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 16; ++x) SetPixel(G(), 880 + i, x, y, 0xff000000u | static_cast<uint32_t>(i + 1));
  }
  game.tables.clouds[0] = CloudRecord{100, 100, 179, 1};
  G().timeStep = 1;
  ClearScreen(G(), 0xff000100u);
  engine.random = StateWhere([](RandomSource& r) { return Random(r, 0, 100) <= 80; });
  DrawClouds(game.tables);
  EXPECT_EQ(ScreenPixel(G(), 100, 100), 0xff000100u + 60u) << "picture 939, added";
  EXPECT_EQ(G().additive, 0);
}

}  // namespace
