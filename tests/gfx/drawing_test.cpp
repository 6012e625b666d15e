#include "gfx/drawing.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "gfx/angles.h"
#include "gfx/draw_fixture.h"
#include "gfx/frame_timing.h"
#include "reference/reference_drawing.h"

namespace {

using DrawStateTest = vxtest::DrawFixture;
using DrawFillTest = vxtest::DrawFixture;
using DrawLineTest = vxtest::DrawFixture;
using DrawGeometryTest = vxtest::DrawFixture;
using DrawTimingTest = vxtest::DrawFixture;

TEST_F(DrawStateTest, DrawModesSetOpacityAndAdditiveFlag) {
  EXPECT_EQ(gfx.supersampling, 1);  // the start-up state
  EXPECT_NE(gfx.workBuffer, nullptr);
  SetDrawMode(gfx, -2);
  EXPECT_EQ(gfx.opacity, kPlainCopy);
  EXPECT_EQ(gfx.additive, 0);
  SetDrawMode(gfx, -1);
  EXPECT_EQ(gfx.opacity, 255);
  EXPECT_EQ(gfx.additive, -1);
  SetDrawMode(gfx, 128);
  EXPECT_EQ(gfx.opacity, 128);
  EXPECT_EQ(gfx.additive, 0);
  SetDrawMode(gfx, 300);
  EXPECT_EQ(gfx.opacity, 255);
  SetDrawMode(gfx, -7);
  EXPECT_EQ(gfx.opacity, 0);
  SetDrawMode(gfx, -1);
  ResetDrawMode(gfx);
  EXPECT_EQ(gfx.opacity, 255);
  EXPECT_EQ(gfx.additive, 0);
  SetSupersampling(gfx, 0);
  EXPECT_EQ(gfx.supersampling, 0);
  SetSupersampling(gfx, -5);
  EXPECT_EQ(gfx.supersampling, 1);
}

TEST_F(DrawFillTest, FillRectIsInclusiveAndTwoPixelsWide) {
  FillRect(gfx, 10, 5, 11, 5, 0xff123456u);
  EXPECT_EQ(At(10, 5), 0xff123456u);
  EXPECT_EQ(At(11, 5), 0xff123456u);
  std::vector<uint32_t> expected(screen.size(), 0);
  expected[5 * 800 + 10] = expected[5 * 800 + 11] = 0xff123456u;
  EXPECT_EQ(screen, expected);
}

TEST_F(DrawFillTest, FillRectClampsToTheScreenAndRejectsEmptyOrOutsideRectangles) {
  FillRect(gfx, -50, -50, 2, 1, 7);
  EXPECT_EQ(At(0, 0), 7u);
  EXPECT_EQ(At(2, 1), 7u);
  EXPECT_EQ(At(3, 1), 0u);
  EXPECT_EQ(At(0, 2), 0u);
  FillRect(gfx, 797, 598, 5000, 5000, 8);
  EXPECT_EQ(At(799, 599), 8u);
  EXPECT_EQ(At(797, 598), 8u);
  EXPECT_EQ(At(796, 598), 0u);

  std::vector<uint32_t> before = screen;
  FillRect(gfx, 20, 20, 19, 30, 9);  // x1 > x2
  FillRect(gfx, 20, 20, 30, 19, 9);  // y1 > y2
  // Wholly beside each edge: nothing, not a stripe along the edge.
  FillRect(gfx, -30, 10, -1, 20, 9);
  FillRect(gfx, 800, 10, 900, 20, 9);
  FillRect(gfx, 10, -30, 20, -1, 9);
  FillRect(gfx, 10, 600, 20, 700, 9);
  EXPECT_EQ(Changed(before), 0);
}

TEST_F(DrawFillTest, ClearScreenAndSinglePixelsStayOnScreen) {
  ClearScreen(gfx, 0xff00ff00u);
  EXPECT_EQ(At(0, 0), 0xff00ff00u);
  EXPECT_EQ(At(799, 599), 0xff00ff00u);
  PutScreenPixel(gfx, 799, 599, 5);
  EXPECT_EQ(ScreenPixel(gfx, 799, 599), 5u);
  EXPECT_EQ(ScreenPixelAddress(gfx, 799, 599), &At(799, 599));
  std::vector<uint32_t> before = screen;
  for (auto [x, y] : {std::pair{-1, 0}, {0, -1}, {800, 0}, {0, 600}}) {
    PutScreenPixel(gfx, x, y, 1);
    EXPECT_EQ(ScreenPixel(gfx, x, y), 0u);
    EXPECT_EQ(ScreenPixelAddress(gfx, x, y), nullptr);
  }
  EXPECT_EQ(Changed(before), 0);
}

TEST_F(DrawLineTest, EndPointIsNotPlotted) {
  DrawLine(gfx, 0, 0, 3, 0, 1);
  EXPECT_EQ(At(0, 0), 1u);
  EXPECT_EQ(At(1, 0), 1u);
  EXPECT_EQ(At(2, 0), 1u);
  EXPECT_EQ(At(3, 0), 0u);
  std::vector<uint32_t> before = screen;
  DrawLine(gfx, 40, 40, 40, 40, 1);
  EXPECT_EQ(Changed(before), 0);
}

TEST_F(DrawLineTest, StepsFollowTheErrorTerm) {
  // dx = 4, dy = 2: s = 32768, e starts at 0, so the walk goes straight,
  // diagonal, straight, diagonal.
  DrawLine(gfx, 10, 10, 14, 12, 1);
  EXPECT_EQ(At(10, 10), 1u);
  EXPECT_EQ(At(11, 10), 1u);
  EXPECT_EQ(At(12, 11), 1u);
  EXPECT_EQ(At(13, 11), 1u);
  EXPECT_EQ(At(14, 12), 0u);
  // Steep and backwards: the straight step is vertical.
  DrawLine(gfx, 50, 50, 49, 46, 2);
  EXPECT_EQ(At(50, 50), 2u);
  EXPECT_EQ(At(50, 49), 2u);
  EXPECT_EQ(At(50, 48), 2u);
  EXPECT_EQ(At(49, 47), 2u);
}

TEST_F(DrawLineTest, ClippedWalkPlotsExactlyTheFullWalksPixels) {
  std::mt19937 rng(1234);
  for (int i = 0; i < 800; ++i) {
    const int32_t range = i % 3 == 0 ? 3000 : (i % 3 == 1 ? 40000 : 900);
    std::uniform_int_distribution<int32_t> coordinate(-range, range + 800);
    int32_t p[4];
    for (int32_t& v : p) v = coordinate(rng);
    if (i % 4 == 0) p[3] = p[1] + static_cast<int32_t>(rng() % 7) - 3;  // nearly flat lines
    if (i % 4 == 1) p[2] = p[0] + static_cast<int32_t>(rng() % 7) - 3;  // nearly upright lines
    ASSERT_TRUE(SameAsPlain([&] { DrawLine(gfx, p[0], p[1], p[2], p[3], 0xffffffffu); },
                            [&] { reference::DrawLine(gfx, p[0], p[1], p[2], p[3], 0xffffffffu); }))
        << "line " << p[0] << "," << p[1] << " - " << p[2] << "," << p[3];
  }
}

TEST_F(DrawLineTest, FarOffScreenLinesAreClippedNotWalked) {
  DrawLine(gfx, -2000000000, -2000000000, 2000000000, 2000000000, 3);
  DrawLine(gfx, -2147483647, 300, 2147483647, 300, 4);
  DrawLine(gfx, 100, -2147483647, 100, 2147483647, 5);
  DrawLine(gfx, -2147483647, -2147483647, -2147483647 + 5, 2147483647, 6);  // never on screen
  // The exact diagonal passes through every (i, i); the flat and steep lines
  // cover their row and column (the vertical one is drawn over the others).
  for (int32_t i = 0; i < 600; ++i) {
    if (i != 100 && i != 300) {
      EXPECT_EQ(At(i, i), 3u) << i;
    }
    EXPECT_EQ(At(100, i), 5u);
  }
  for (int32_t x = 0; x < 800; ++x) {
    if (x != 100 && x != 300) {
      EXPECT_EQ(At(x, 300), 4u) << x;
    }
  }
}

TEST_F(DrawGeometryTest, AngleTablesComeOutOfTheCircleWalk) {
  EXPECT_EQ(gfx.sine[90], 1023);
  EXPECT_EQ(gfx.sine[270], -1025);
  EXPECT_EQ(gfx.sine[0], 0);
  EXPECT_EQ(gfx.versine[0], 0);
  EXPECT_EQ(gfx.versine[90], 1024);
  EXPECT_EQ(gfx.versine[180], 2047);
  const double pi = std::acos(-1.0);
  for (int t = 0; t < 360; ++t) {
    EXPECT_NEAR(gfx.sine[t], 1024 * std::sin(t * pi / 180), 2.0) << t;
    EXPECT_NEAR(gfx.versine[t], 1024 * (1 - std::cos(t * pi / 180)), 2.0) << t;
  }
}

TEST_F(DrawGeometryTest, DirectionOfIsClockwiseFromUp) {
  // The table's walk leaves each straight direction with the degree of the
  // last step that rounds onto it: one degree short of the ideal value, and
  // the full turn's overshoot clamped to 359 (values from an independent
  // re-run of the walk).
  EXPECT_EQ(DirectionOf(gfx, 10, 0, 0, 0), 89);
  EXPECT_EQ(DirectionOf(gfx, 0, -10, 0, 0), 359);
  EXPECT_EQ(DirectionOf(gfx, 0, 10, 0, 0), 180);
  EXPECT_EQ(DirectionOf(gfx, -10, 0, 0, 0), 269);
  EXPECT_EQ(DirectionOf(gfx, 0, -300, 0, 0), 359);
  EXPECT_EQ(DirectionOf(gfx, 110, 95, 100, 100), DirectionOf(gfx, 10, -5, 0, 0));
  EXPECT_NEAR(DirectionOf(gfx, 10, -10, 0, 0), 45, 1);
  EXPECT_NEAR(DirectionOf(gfx, -10, 10, 0, 0), 225, 1);
  // Extreme coordinates neither overflow nor leave the table.
  const int32_t d = DirectionOf(gfx, 2147483647, -2147483647 - 1, -2147483647 - 1, 2147483647);
  EXPECT_NEAR(d, 45, 1);
  for (int32_t a = 0; a < 360; a += 7) {
    const double r = a * std::acos(-1.0) / 180;
    const int32_t x = static_cast<int32_t>(std::lround(1000 * std::sin(r)));
    const int32_t y = static_cast<int32_t>(std::lround(-1000 * std::cos(r)));
    const int32_t got = DirectionOf(gfx, x, y, 0, 0);
    EXPECT_LE(std::min((got - a + 360) % 360, (a - got + 360) % 360), 2) << a << " gave " << got;
  }
}

TEST_F(DrawGeometryTest, RotatePointTurnsCounterClockwiseOnScreen) {
  int32_t x = 150, y = 40;
  RotatePoint(gfx, x, y, 360, 50, 40);
  EXPECT_EQ(x, 150);
  EXPECT_EQ(y, 40);
  RotatePoint(gfx, x, y, -1, 50, 40);
  EXPECT_EQ(x, 150);
  RotatePoint(gfx, x, y, 0, 50, 40);
  EXPECT_EQ(x, 150);
  EXPECT_EQ(y, 40);
  // A quarter turn takes the point right of the centre up above it:
  // y - (100 · 1023 >> 10) = 40 - 99.
  RotatePoint(gfx, x, y, 90, 50, 40);
  EXPECT_EQ(x, 50);
  EXPECT_EQ(y, -59);
  EXPECT_EQ(Sign(-7), -1);
  EXPECT_EQ(Sign(0), 0);
  EXPECT_EQ(Sign(2147483647), 1);
}

TEST_F(DrawTimingTest, FrameTimeIsInUnitsOf1024thSecondAndAtLeastOne) {
  backend->SetClock(5000);
  FrameTime(gfx);
  backend->SetClock(6000);
  EXPECT_EQ(FrameTime(gfx), 1024);
  EXPECT_EQ(FrameTime(gfx), 1);  // no time passed
  backend->SetClock(6028);
  EXPECT_EQ(FrameTime(gfx), 28);  // 28 · 1024 / 1000 = 28.67
}

TEST_F(DrawTimingTest, SmoothingSettlesAndDerivesTheFrameValues) {
  backend->SetClock(1000);
  InitFrameTiming(gfx);
  backend->SetClock(1030);
  InitFrameTiming(gfx);  // 30 ms: 30 units, unscaled
  EXPECT_EQ(gfx.previousFrameTime, 30);
  EXPECT_EQ(gfx.smoothedFrameTime, 30);
  backend->SetClock(1058);
  UpdateFrameTiming(gfx);  // (216 · 30 + 10240 · 28) / 256 = 1145
  EXPECT_EQ(gfx.previousFrameTime, 28);
  EXPECT_EQ(gfx.smoothedFrameTime, 1145);
  EXPECT_EQ(gfx.measuredFps, 262144 / 1146);
  EXPECT_EQ(gfx.timeStep, (22 * 1145 + 81920) / 8192);
  int32_t clock = 1058;
  for (int i = 0; i < 200; ++i) {
    clock += 28;
    backend->SetClock(clock);
    UpdateFrameTiming(gfx);
  }
  EXPECT_NEAR(gfx.smoothedFrameTime, 28 * 256, 8);
  EXPECT_EQ(gfx.measuredFps, 36);
  EXPECT_EQ(gfx.timeStep, 29);
  EXPECT_EQ(gfx.sizeScale, 800);
  EXPECT_EQ(gfx.heightScale, 800);
  std::vector<uint32_t> big(1024 * 768);
  InitGraphics(gfx, big.data(), 1024, 768);
  EXPECT_EQ(gfx.sizeScale, 1024);  // the reference screen
  EXPECT_EQ(gfx.heightScale, 1024);
}

TEST_F(DrawTimingTest, LongPausesKeepTheValuesSound) {
  backend->SetClock(0);
  InitFrameTiming(gfx);
  // Hours between two frames (an inactive window) must not wrap the
  // smoothed value negative or divide by zero.
  int32_t clock = 0;
  for (int i = 0; i < 40; ++i) {
    clock += 1000 * 60 * 60 * 5;
    if (clock < 0) clock = 0;
    backend->SetClock(clock);
    UpdateFrameTiming(gfx);
    ASSERT_GT(gfx.smoothedFrameTime, 0);
    EXPECT_GE(gfx.measuredFps, 1);
    EXPECT_EQ(gfx.timeStep, 1024);
  }
  // The clock going back (wrapping) counts as the shortest frame.
  backend->SetClock(10);
  EXPECT_EQ(FrameTime(gfx), 1);
}

}  // namespace
