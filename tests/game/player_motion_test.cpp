// The body on its rolling leg: resting, walking, jumping and climbing on
// hand-made masks, and the rules of one frame (probe pushes with their
// exceptions, nudges, the drawn mean and its jitter filter, the speed
// limit, the jump's draws and its buffer, the mask test's edges).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "game/player_fixture.h"
#include "gfx/angles.h"
#include "random/random_source.h"

namespace {

using vxtest::DrawsBetween;
using vxtest::PlayerTest;

class PlayerMotion : public PlayerTest {
 protected:
  // Six starts that differ in random state and leg angle.
  static void Vary(int32_t start) {
    SeedRandom(engine.random, static_cast<Extended>(100 + 37 * start));
    game.player.angle = (start * 61 % 360) * 256;
  }
  // Walks right from x = 250 and jumps once, 70 pixels before a step at
  // x = 400 of the given height; true when he ends up on top of it.
  bool ClearsStepWithOneJump(int32_t height, int32_t start) {
    DrawMask([height](int32_t x, int32_t y) { return y >= kFloor || (x >= 400 && y >= kFloor - height); });
    Place(250, 420);
    Vary(start);
    Frames(40);
    bool jumped = false;
    for (int32_t f = 0; f < 300 && Px() < 480; ++f) {
      const bool jump = !jumped && Px() >= 330;
      Frames(1, 0, -1, jump ? -1 : 0);
      jumped = jumped || game.player.jumpCooldown > 0;
    }
    return Px() >= 480 && Py() < kFloor - height;
  }
};

TEST_F(PlayerMotion, DroppedOntoFlatGroundHeComesToRestAndTheDrawnPositionHolds) {
  FlatFloor();
  for (const int32_t angle : {0, 45, 90, 200}) {
    Place(400, 380);
    game.player.angle = angle * 256;
    Frames(100);
    // Standing: the leg's lower end on the floor, the body above it.
    const int32_t restY = Py();
    EXPECT_GE(restY, kFloor - 43) << angle;
    EXPECT_LE(restY, kFloor - 20) << angle;
    int32_t rawChanges = 0, drawnChanges = 0, drawnMoves = 0;
    int32_t lastX = game.player.x, lastDrawX = game.player.drawX, lastDrawY = game.player.drawY;
    for (int32_t f = 0; f < 200; ++f) {
      Frames(1);
      ASSERT_LE(std::abs(Py() - restY), 1) << angle;
      rawChanges += game.player.x != lastX;
      if (game.player.drawX != lastDrawX || game.player.drawY != lastDrawY) {
        ++drawnChanges;
        drawnMoves = std::max(drawnMoves, std::abs(WholePixel(game.player.drawX) - WholePixel(lastDrawX)));
      }
      lastX = game.player.x;
      lastDrawX = game.player.drawX;
      lastDrawY = game.player.drawY;
    }
    // The leg keeps settling pixel by pixel; the drawn position follows
    // only now and then, and by small steps.
    EXPECT_GT(rawChanges, 100) << angle;
    EXPECT_LT(drawnChanges, 40) << angle;
    EXPECT_LE(drawnMoves, 2) << angle;
  }
}

TEST_F(PlayerMotion, HoldingRightWalksAtASteadySpeedAndLeftTurnsHimBack) {
  FlatFloor();
  Place(100, 420);
  Frames(30);
  Frames(24, 0, -1);  // up to speed
  EXPECT_EQ(game.player.facing, 2);
  // One turn of the leg takes 24 frames (15 degrees a frame); over whole
  // turns the speed is steady.
  std::vector<int32_t> perTurn;
  for (int32_t turn = 0; turn < 4; ++turn) {
    const int32_t x0 = Px();
    Frames(24, 0, -1);
    perTurn.push_back(Px() - x0);
  }
  for (const int32_t d : perTurn) {
    EXPECT_GE(d, 75) << "about 3.5 pixels a frame";
    EXPECT_LE(d, 100);
    EXPECT_LE(std::abs(d - perTurn[0]), 12);
  }
  const int32_t far = Px();
  Frames(1, -1, 0);
  EXPECT_EQ(game.player.facing, 1);
  Frames(120, -1, 0);
  EXPECT_LT(Px(), far - 250);
  const int32_t x0 = Px();
  Frames(24, -1, 0);
  EXPECT_GE(x0 - Px(), 75);
  EXPECT_LE(x0 - Px(), 100);
}

TEST_F(PlayerMotion, OneJumpClearsAStepOfTheLevelsHeightButNotOneTwiceAsHigh) {
  // The levels ask for steps of up to 70 pixels.
  for (int32_t start = 0; start < 6; ++start) {
    EXPECT_TRUE(ClearsStepWithOneJump(70, start)) << start;
    EXPECT_FALSE(ClearsStepWithOneJump(140, start)) << start;
  }
  // Walking alone, the rolling leg takes small steps but not those.
  DrawMask([](int32_t x, int32_t y) { return y >= kFloor || (x >= 400 && y >= kFloor - 70); });
  Place(250, 420);
  Frames(200, 0, -1);
  EXPECT_LT(Px(), 400);
}

TEST_F(PlayerMotion, AStandingJumpRisesAboutNinetyFivePixels) {
  FlatFloor();
  Place(200, 400);
  Frames(60);
  const int32_t restY = Py();
  int32_t top = restY;
  Frames(1, 0, 0, -1);
  EXPECT_EQ(game.player.jumpCooldown, 12);
  for (int32_t f = 0; f < 40; ++f) {
    Frames(1);
    top = std::min(top, Py());
  }
  EXPECT_GE(restY - top, 90);
  EXPECT_LE(restY - top, 105);
  EXPECT_LE(std::abs(Py() - restY), 1);  // down again
}

TEST_F(PlayerMotion, HoldingJumpJumpsAgainAtMostEveryThirteenFramesAndOnlyFromGround) {
  FlatFloor();
  Place(200, 400);
  Frames(60);
  // Each jump draws two numbers; nothing else draws here.
  std::vector<int32_t> jumpFrames;
  for (int32_t f = 0; f < 100; ++f) {
    const RandomSource before = engine.random;
    Frames(1, 0, 0, -1);
    const int32_t draws = DrawsBetween(before, engine.random);
    ASSERT_TRUE(draws == 0 || draws == 2) << f;
    if (draws == 2) jumpFrames.push_back(f);
  }
  ASSERT_GE(jumpFrames.size(), 2u);
  for (size_t i = 1; i < jumpFrames.size(); ++i) EXPECT_GE(jumpFrames[i] - jumpFrames[i - 1], 13);
  // In the air there is nothing to jump from.
  DrawMask([](int32_t, int32_t) { return false; });
  Place(200, 100);
  const RandomSource before = engine.random;
  Frames(20, 0, 0, -1);
  EXPECT_EQ(DrawsBetween(before, engine.random), 0);
}

TEST_F(PlayerMotion, AJumpPressIsRememberedForFourFramesOnceTheLastJumpIsTwoFramesOld) {
  DrawMask([](int32_t, int32_t) { return false; });
  Place(200, 100);
  game.player.jumpCooldown = 11;
  Frames(1, 0, 0, -1);
  EXPECT_EQ(game.player.jumpBuffer, 0);  // too soon after the last jump
  game.player.jumpCooldown = 10;
  Frames(1, 0, 0, -1);
  EXPECT_EQ(game.player.jumpBuffer, 3);  // set to 4, one frame gone
  // A remembered press jumps on touching ground without the key.
  FlatFloor();
  Place(200, 400);
  Frames(60);
  RandomSource before = engine.random;
  game.player.jumpBuffer = 1;
  Frames(1);
  EXPECT_EQ(DrawsBetween(before, engine.random), 2);
  EXPECT_LT(game.player.velY, 0);
  Frames(60);
  before = engine.random;
  game.player.jumpBuffer = 0;
  Frames(1);
  EXPECT_EQ(DrawsBetween(before, engine.random), 0);
}

TEST_F(PlayerMotion, TheJumpMovesXByTheFirstDrawAndYByTheSecond) {
  FlatFloor();
  for (int32_t start = 0; start < 8; ++start) {
    Place(300, 400);
    Vary(start);
    game.player.angle = 0;
    Frames(60);
    const GameState before = game;
    const RandomSource random = engine.random;
    RandomSource copy = random;
    const int32_t dx = Random(copy, -3, 3);
    Frames(1, 0, 0, -1);
    const int32_t jumpedX = game.player.x;
    ASSERT_EQ(DrawsBetween(random, engine.random), 2);
    // The same frame without the jump, for everything else that moves x.
    game = before;
    engine.random = random;
    Frames(1);
    EXPECT_NEAR((jumpedX - game.player.x) / 65536.0, dx, 0.5) << start;
  }
}

TEST_F(PlayerMotion, HoldingJumpAgainstAWallClimbsIt) {
  // Each jump starts from a touch, and a wall touches as a floor does.
  DrawMask([](int32_t x, int32_t y) { return y >= kFloor || x >= 400; });
  Place(300, 420);
  Frames(150, 0, -1, -1);
  EXPECT_LT(Py(), kFloor - 200);
}

TEST_F(PlayerMotion, AProbeThatWasNeverFreeNeverPushes) {
  DrawMask([](int32_t, int32_t) { return true; });
  Place(400, 300);
  game.player.x += 0x8000;
  const int32_t x = game.player.x, y = game.player.y;
  Frames(3);
  // Only gravity moved him: down, and not sideways.
  EXPECT_EQ(game.player.x, x);
  EXPECT_GT(game.player.y, y);
  for (int32_t i = 0; i <= 100; ++i) ASSERT_EQ(game.player.probeFreeX[i], kOffScreen);
}

// A solid mask where only probe i remembers a free point 10 pixels to the
// right of where it is: its push moves the body sideways unless the angle
// makes that end of the leg the upper one.
class ProbePushExceptions : public PlayerTest,
                            public ::testing::WithParamInterface<std::tuple<int32_t, int32_t, bool>> {};

TEST_P(ProbePushExceptions, SidewaysPushSkippedOnlyForTheUpperEnd) {
  const auto [probe, degrees, skipped] = GetParam();
  DrawMask([](int32_t, int32_t) { return true; });
  Place(400, 300);
  game.player.x += 0x8000;  // the nudges stay inside the pixel
  game.player.angle = degrees * 256;
  // Probe `probe` as the first sub-step finds it.
  const int32_t cx = 400 - 15, cy = 300 - 20 + 40, r = (29 * 800) >> 10;
  int32_t ax = cx, ay = cy - r, bx = cx, by = cy + r;
  RotatePoint(engine.gfx, ax, ay, degrees, cx, cy);
  RotatePoint(engine.gfx, bx, by, degrees, cx, cy);
  game.player.probeFreeX[probe] = ((100 - probe) * ax + probe * bx) / 100 + 10;
  game.player.probeFreeY[probe] = ((100 - probe) * ay + probe * by) / 100;
  const int32_t x = game.player.x;
  Frames(1);
  EXPECT_EQ(game.player.x - x, skipped ? 0 : 10 * 65536) << probe << " at " << degrees;
}

INSTANTIATE_TEST_SUITE_P(Ends, ProbePushExceptions,
                         ::testing::Values(std::tuple{95, 180, true}, std::tuple{95, 111, true},
                                           std::tuple{95, 249, true}, std::tuple{95, 110, false},
                                           std::tuple{95, 250, false}, std::tuple{90, 180, false},
                                           std::tuple{91, 180, true}, std::tuple{5, 0, true},
                                           std::tuple{5, 69, true}, std::tuple{5, 291, true},
                                           std::tuple{5, 70, false}, std::tuple{5, 290, false},
                                           std::tuple{10, 0, false}, std::tuple{9, 0, true},
                                           std::tuple{50, 0, false}, std::tuple{50, 180, false}));

TEST_F(PlayerMotion, LeftAndRightTogetherCancelAndLeaveHimFacingRight) {
  DrawMask([](int32_t, int32_t) { return false; });
  Place(400, 300);
  game.player.facing = 1;
  Frames(1, -1, -1);
  EXPECT_EQ(game.player.facing, 2);
  EXPECT_EQ(game.player.angle, 11520);
  EXPECT_EQ(game.player.velX, 0);
}

TEST_F(PlayerMotion, TheRollWrapsAtAFullTurn) {
  DrawMask([](int32_t, int32_t) { return false; });
  Place(400, 300);
  game.player.angle = 100;
  Frames(1, 0, -1);  // the first sub-step goes below 0
  EXPECT_EQ(game.player.angle, 100 - 11 * 352 + 92160);
  game.player.angle = 92160 - 352 * 11;
  Frames(1, -1, 0);  // lands exactly on a full turn, which is kept
  EXPECT_EQ(game.player.angle, 92160);
  Frames(1, -1, 0);
  EXPECT_EQ(game.player.angle, 352 * 11);
}

TEST_F(PlayerMotion, SpeedIsLimitedToThreePixelsPerSubStepAtFullScale) {
  DrawMask([](int32_t, int32_t) { return false; });
  const int64_t limit = (0x30000 * 800) >> 10;
  for (const int32_t v : {10 * 65536, -10 * 65536, static_cast<int32_t>(limit + 1200), 0x7fff0000}) {
    Place(100, 100);
    game.player.velX = v;
    game.player.velY = -v;
    const int64_t x = game.player.x, y = game.player.y;
    Frames(1);
    // Drag first, then the limit, in every sub-step.
    int64_t vx = v, vy = -v, px = x, py = y;
    for (int32_t s = 0; s < 11; ++s) {
      vy += (42 * 800 >> 10) * 16;
      vx -= vx / 128;
      vy -= vy / 128;
      vx = std::clamp(vx, -limit, limit);
      vy = std::clamp(vy, -limit, limit);
      px += vx;
      py += vy;
      if (s == 3) py += 0x2000;
      if (s == 4) py -= 0x2000;
    }
    EXPECT_EQ(game.player.velX, vx) << v;
    EXPECT_EQ(game.player.velY, vy) << v;
    EXPECT_EQ(game.player.x, px) << v;
    EXPECT_EQ(game.player.y, py) << v;
  }
}

TEST_F(PlayerMotion, TheNudgesCancelAndTheDrawnPositionIsTheMeanOfTheSubSteps) {
  DrawMask([](int32_t, int32_t) { return false; });
  Place(400, 100);
  const int32_t x = game.player.x, y = game.player.y;
  Frames(1);
  EXPECT_EQ(game.player.x, x);
  // x: -1/32 after the first sub-step, +1/32 after the second and third,
  // back after the fourth; so the mean is x + (1/32) / 11.
  EXPECT_EQ(game.player.drawX, x + 0x800 / 11);
  // y falls under gravity (with drag), plus 1/8 in the fourth sub-step.
  int64_t vy = 0, py = y, sum = 0;
  for (int32_t s = 0; s < 11; ++s) {
    if (s == 3) py += 0x2000;
    if (s == 4) py -= 0x2000;
    vy += (42 * 800 >> 10) * 16;
    vy -= vy / 128;
    py += vy;
    sum += py;
  }
  EXPECT_EQ(game.player.y, py);
  EXPECT_EQ(game.player.drawY, sum / 11);
  EXPECT_EQ(game.player.subStepCount, 11);
  EXPECT_EQ(game.player.drawAngle, game.player.angle);
}

TEST_F(PlayerMotion, TheDrawnPositionHoldsWithinOnePixelSidewaysAndLessThanOneUpwards) {
  DrawMask([](int32_t, int32_t) { return false; });
  Place(400, 100);
  const GameState start = game;
  Frames(1);
  const int32_t meanX = game.player.drawX, meanY = game.player.drawY;
  struct Case {
    int32_t dx, dy;  // lastDraw - mean, 16.16
    bool held;
  };
  const Case cases[] = {
      {0, 0, true},        {0x1ffff, 0, true},   {0x20000, 0, false},
      {-0x10000, 0, true}, {-0x10001, 0, false}, {0, 0xffff, true},
      {0, 0x10000, false}, {0, -1, false},       {-0x10000, 0xffff, true},
  };
  for (const Case& c : cases) {
    game = start;
    game.player.lastDrawX = meanX + c.dx;
    game.player.lastDrawY = meanY + c.dy;
    Frames(1);
    if (c.held) {
      EXPECT_EQ(game.player.drawX, meanX + c.dx) << c.dx << "," << c.dy;
      EXPECT_EQ(game.player.drawY, meanY + c.dy) << c.dx << "," << c.dy;
    } else {
      EXPECT_EQ(game.player.drawX, meanX) << c.dx << "," << c.dy;
      EXPECT_EQ(game.player.lastDrawX, meanX) << c.dx << "," << c.dy;
      EXPECT_EQ(game.player.lastDrawY, meanY) << c.dx << "," << c.dy;
    }
  }
  // Far off (the reset's -1313.0) never holds, without overflowing.
  game = start;
  game.player.lastDrawX = INT32_MIN;
  Frames(1);
  EXPECT_EQ(game.player.drawX, meanX);
}

TEST_F(PlayerMotion, TheMaskTestClampsXButNotY) {
  DrawMask([](int32_t x, int32_t y) { return x == 1 || x == 798 || y == 0 || y == 599; });
  EXPECT_TRUE(IsSolid(game, -1, 300));  // taken as x = 1
  EXPECT_TRUE(IsSolid(game, -500, 300));
  EXPECT_FALSE(IsSolid(game, 0, 300));   // 0 itself is not moved
  EXPECT_TRUE(IsSolid(game, 800, 300));  // taken as x = 798
  EXPECT_FALSE(IsSolid(game, 799, 300));
  EXPECT_TRUE(IsSolid(game, 400, 0));
  EXPECT_FALSE(IsSolid(game, 400, -1));  // above and below the mask is free
  EXPECT_FALSE(IsSolid(game, 400, 600));
  game.levelState.maskSlot = 1300;
  EXPECT_FALSE(IsSolid(game, 1, 300));
}

TEST_F(PlayerMotion, FarOffPositionsWrapInsteadOfOverflowing) {
  DrawMask([](int32_t, int32_t) { return false; });
  Place(400, 100);
  game.player.x = INT32_MAX - 0x100;
  game.player.y = INT32_MIN + 0x100;
  game.player.velX = 0x20000;
  Frames(2, 0, -1, -1);
  EXPECT_LT(game.player.x, 0);  // wrapped around, as 32-bit sums do
  EXPECT_EQ(game.player.subStepCount, 11);
}

}  // namespace
