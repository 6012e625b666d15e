#include <gtest/gtest.h>

#include <random>
#include <set>

#include "gfx/angles.h"
#include "gfx/draw_fixture.h"
#include "gfx/drawing.h"
#include "gfx/image_slots.h"
#include "reference/reference_drawing.h"

namespace {

class DrawTransformTest : public vxtest::DrawFixture {
 protected:
  // Supersampling off, the corners an upright rectangle: the direct stretch.
  void Stretch(int32_t slot, int32_t x1, int32_t y1, int32_t x4, int32_t y4) {
    SetSupersampling(gfx, 0);
    DrawToCorners(gfx, slot, x1, y1, x4, y1, x1, y4, x4, y4, -1);
    SetSupersampling(gfx, 1);
  }

  // `draw(fullWalk)` at each kernel level leaves what it leaves as plain
  // full walks.
  template <typename Draw>
  void ExpectFullWalksAtEveryKernelLevel(Draw draw) {
    for (const cpu::KernelLevel kernels : kAllKernels) {
      ASSERT_TRUE(SameAsPlain(
          [&] {
            cpu::ForceKernelLevel(kernels);
            draw(false);
          },
          [&] {
            cpu::ForceKernelLevel(cpu::KernelLevel::kPlain);
            draw(true);
          }))
          << "kernel level " << static_cast<int32_t>(kernels);
    }
  }
};

constexpr uint32_t kColour = 0xff204080u;

TEST_F(DrawTransformTest, UnturnedRotationCoversTheFrameAtDoubleResolution) {
  Picture(10, 8, 8, kColour);
  ClearScreen(gfx, 0xff000000u);
  SetDrawMode(gfx, -2);
  DrawRotated(gfx, 10, 100, 100, 0);
  // The walks stop one step short of each far edge, so the last column and
  // row are covered by half (the corner by a quarter) and averaged.
  for (int32_t y = 100; y <= 106; ++y) {
    for (int32_t x = 100; x <= 106; ++x) ASSERT_EQ(At(x, y), kColour) << x << "," << y;
  }
  EXPECT_EQ(At(107, 100), 0xff102040u);
  EXPECT_EQ(At(100, 107), 0xff102040u);
  EXPECT_EQ(At(107, 107), 0xff081020u);
  EXPECT_EQ(At(108, 100), 0xff000000u);
  EXPECT_EQ(At(99, 100), 0xff000000u);
  EXPECT_EQ(At(100, 99), 0xff000000u);
  // Angle 360 is no turn at all.
  std::vector<uint32_t> first = screen;
  ClearScreen(gfx, 0xff000000u);
  DrawRotated(gfx, 10, 100, 100, 360);
  EXPECT_EQ(screen, first);
}

TEST_F(DrawTransformTest, QuarterTurnIsCounterClockwise) {
  ImageSlot& s = Picture(10, 16, 16);
  for (int32_t i = 0; i < 256; ++i) s.pixels[i] = i % 16 < 8 ? 0xffff0000u : 0xff0000ffu;
  SetDrawMode(gfx, -2);
  DrawRotated(gfx, 10, 200, 200, 90);
  // The right half (blue) turns up to the top, the left half (red) down.
  EXPECT_EQ(At(208, 203), 0xff0000ffu);
  EXPECT_EQ(At(203, 203), 0xff0000ffu);
  EXPECT_EQ(At(208, 212), 0xffff0000u);
  EXPECT_EQ(At(212, 212), 0xffff0000u);
}

TEST_F(DrawTransformTest, DirectStretchMapsSourceBlocksAndBlendsToAlphaZero) {
  ImageSlot& s = Picture(10, 2, 2);
  s.pixels[0] = 0xff000001u;
  s.pixels[1] = 0xff000002u;
  s.pixels[2] = 0xff000003u;
  s.pixels[3] = 0xffc86432u;
  SetDrawMode(gfx, -2);
  Stretch(10, 10, 10, 13, 13);
  EXPECT_EQ(gfx.x4, 13);
  EXPECT_EQ(At(10, 10), 0xff000001u);
  EXPECT_EQ(At(11, 11), 0xff000001u);
  EXPECT_EQ(At(12, 10), 0xff000002u);
  EXPECT_EQ(At(10, 12), 0xff000003u);
  EXPECT_EQ(At(13, 13), 0xffc86432u);
  EXPECT_EQ(At(14, 13), 0u);

  // Blending goes through the mix even at a = 255 and leaves alpha 0.
  ResetDrawMode(gfx);
  for (int32_t x = 20; x <= 23; ++x) At(x, 23) = 0x00102030u;
  Stretch(10, 20, 20, 23, 23);
  EXPECT_EQ(At(22, 23), 0x00c76331u);
  SetDrawMode(gfx, -1);
  At(30, 30) = 0x80f0f0f0u;
  At(31, 31) = 0x80f0f0f0u;
  Stretch(10, 30, 30, 31, 31);
  EXPECT_EQ(At(30, 30), 0x00f0f0f1u);
  EXPECT_EQ(At(31, 31), 0x00ffffffu);
}

TEST_F(DrawTransformTest, DirectStretchClipsAndTrimsByTheScaledSpan) {
  ImageSlot& s = Picture(10, 4, 1);
  for (int32_t i = 0; i < 4; ++i) s.pixels[i] = 0xff000000u | static_cast<uint32_t>(i + 1) * 0x10u;
  SetDrawMode(gfx, -2);
  Stretch(10, -2, 5, 5, 5);  // 8 wide, starts two pixels left of the screen
  EXPECT_EQ(At(0, 5), 0xff000020u);
  EXPECT_EQ(At(1, 5), 0xff000020u);
  EXPECT_EQ(At(2, 5), 0xff000030u);
  EXPECT_EQ(At(5, 5), 0xff000040u);

  s.visibleRight[0] = 2;  // trims 2 · 7 / 5 = 2 destination pixels
  ResetDrawMode(gfx);
  Stretch(10, 0, 50, 7, 50);
  EXPECT_NE(At(5, 50), 0u);
  EXPECT_EQ(At(6, 50), 0u);
  EXPECT_EQ(At(7, 50), 0u);
  // Not when the rectangle is cut at the top or on the right.
  Stretch(10, 0, -1, 7, 60);
  EXPECT_NE(At(7, 30), 0u);
  Stretch(10, 795, 70, 802, 70);
  EXPECT_NE(At(799, 70), 0u);
}

TEST_F(DrawTransformTest, EachPixelIsBlendedAtMostOncePerCall) {
  Picture(10, 8, 8, 0x804080c0u);
  ClearScreen(gfx, 0xfe101010u);
  SetDrawMode(gfx, 200);
  SetSupersampling(gfx, 0);
  DrawToCorners(gfx, 10, 100, 100, 160, 130, 80, 170, 140, 200, -1);
  SetSupersampling(gfx, 1);
  // One blend of the source over the background; alpha 128 has no marker bit.
  uint32_t once = 0x80000000u;
  for (int i = 0; i < 3; ++i) {
    const uint32_t sb = (0x804080c0u >> (8 * i)) & 255;
    once |= ((sb * 128 + 0x10 * 127) >> 8) << (8 * i);
  }
  int64_t blended = 0;
  for (int32_t y = 0; y < 600; ++y) {
    for (int32_t x = 0; x < 800; ++x) {
      const uint32_t p = At(x, y);
      const bool inArea = x >= 80 && x <= 160 && y >= 100 && y <= 200;
      if (!inArea) {
        ASSERT_EQ(p, 0xfe101010u) << x << "," << y;
      } else if (p == once) {
        ++blended;
      } else {
        ASSERT_EQ(p, 0xff101010u) << x << "," << y;  // marked, not drawn on
      }
    }
  }
  EXPECT_GT(blended, 3000);  // the quadrilateral covers about 4000 pixels
}

TEST_F(DrawTransformTest, SupersampledAreaKeepsTheMarkerBitOnUntouchedPixels) {
  Picture(10, 8, 8, 0xff808080u);
  ClearScreen(gfx, 0x00203040u);
  DrawToCorners(gfx, 10, 300, 300, 330, 305, 295, 330, 325, 335, -1);
  EXPECT_EQ(At(295, 300), 0x01203040u);  // inside the corners' box, not covered
  EXPECT_EQ(At(294, 300), 0x00203040u);
  EXPECT_EQ(At(312, 318), 0xff808080u);  // well inside the quadrilateral
  EXPECT_EQ(At(331, 336), 0x00203040u);
}

TEST_F(DrawTransformTest, ClippedWalksMatchTheFullWalks) {
  std::mt19937 rng(77);
  std::uniform_int_distribution<int32_t> place(-300, 1000);
  std::uniform_int_distribution<int32_t> size(-150, 150);
  for (int round = 0; round < 300; ++round) {
    const int32_t w = 1 + static_cast<int32_t>(rng() % 30);
    const int32_t h = 1 + static_cast<int32_t>(rng() % 30);
    const int32_t slot = 100 + round;
    RandomPicture(slot, w, h, rng);
    if (round % 2 == 0) ComputeRowSpans(gfx, slot);
    const int32_t modes[] = {-2, -1, 255, 128, static_cast<int32_t>(rng() % 256)};
    SetDrawMode(gfx, modes[round % 5]);
    SetSupersampling(gfx, round % 3 == 0 ? 0 : 1);
    int32_t c[8];
    const int32_t ox = place(rng), oy = place(rng) * 3 / 4;
    for (int i = 0; i < 8; ++i) c[i] = (i % 2 == 0 ? ox : oy) + size(rng);
    const int32_t frame = w / h > 1 ? static_cast<int32_t>(rng() % (w / h)) : -1;
    const int32_t angle = static_cast<int32_t>(rng() % 400);
    // The plain side also runs the scalar forms of the block passes.
    const cpu::KernelLevel kernels = kAllKernels[round % 3];
    if (round % 4 == 1) {
      ASSERT_TRUE(SameAsPlain(
          [&] {
            cpu::ForceKernelLevel(kernels);
            DrawRotatedFrame(gfx, slot, c[0], c[1], angle, frame);
          },
          [&] {
            cpu::ForceKernelLevel(cpu::KernelLevel::kPlain);
            reference::DrawRotatedFrameFullWalk(gfx, slot, c[0], c[1], angle, frame);
          }))
          << "round " << round;
    } else {
      ASSERT_TRUE(SameAsPlain(
          [&] {
            cpu::ForceKernelLevel(kernels);
            DrawToCorners(gfx, slot, c[0], c[1], c[2], c[3], c[4], c[5], c[6], c[7], frame);
          },
          [&] {
            cpu::ForceKernelLevel(cpu::KernelLevel::kPlain);
            reference::DrawToCornersFullWalk(gfx, slot, c[0], c[1], c[2], c[3], c[4], c[5], c[6], c[7],
                                             frame);
          }))
          << "round " << round;
    }
  }
}

// Pieces cut from a creature as the debris are: an oval body with soft
// edges over a transparent square, most of each row outside it. Turned
// through every angle, overlapping each other and the screen's edges, the
// supersampled blits that copy only the blocks their walks reach must leave
// what the full walks over the whole area leave, the marker bit included.
TEST_F(DrawTransformTest, TurnedPiecesMatchTheFullWalksAtEveryKernelLevel) {
  std::mt19937 rng(31);
  for (int32_t slot = 40; slot < 44; ++slot) {
    const int32_t side = 40 + 60 * (slot - 40);
    ImageSlot& s = Picture(slot, side, side);
    const int32_t c = side / 2;
    for (int32_t y = 0; y < side; ++y) {
      for (int32_t x = 0; x < side; ++x) {
        const int32_t d = (x - c) * (x - c) * 4 + (y - c) * (y - c) * 9;
        const int32_t rim = c * c * 3;
        if (d > rim || x < side / 3) continue;  // the cut leaves the left third to another piece
        const uint32_t alpha = d > rim * 7 / 8 ? static_cast<uint32_t>(rng() % 255) + 1 : 255u;
        s.pixels[y * side + x] = alpha << 24 | (static_cast<uint32_t>(rng()) & 0xffffffu);
      }
    }
    ComputeRowSpans(gfx, slot);
  }
  const auto drawPieces = [&](bool fullWalk) {
    for (int32_t i = 0; i < 48; ++i) {
      const int32_t slot = 40 + i % 4;
      const int32_t half = PictureHeight(gfx, slot) / 2;
      const int32_t cx = -60 + (i * 211) % 920, cy = -60 + (i * 137) % 720;
      int32_t xs[4] = {cx - half, cx + half, cx - half, cx + half};
      int32_t ys[4] = {cy - half, cy - half, cy + half, cy + half};
      for (int32_t k = 0; k < 4; ++k) RotatePoint(gfx, xs[k], ys[k], (i * 37) % 360, cx, cy);
      SetDrawMode(gfx, i % 7 == 3 ? -1 : (i % 5 == 2 ? 160 : 255));
      if (fullWalk) {
        reference::DrawToCornersFullWalk(gfx, slot, xs[0], ys[0], xs[1], ys[1], xs[2], ys[2], xs[3], ys[3],
                                         -1);
      } else {
        DrawToCorners(gfx, slot, xs[0], ys[0], xs[1], ys[1], xs[2], ys[2], xs[3], ys[3], -1);
      }
      ResetDrawMode(gfx);
    }
  };
  ExpectFullWalksAtEveryKernelLevel(drawPieces);
}

// Quads of every slope and size, turned, mirrored and a little sheared,
// partly off the screen, over strips of frames (the last one column short)
// whose rows have transparent margins of their own, holes and soft edges,
// in every ink, opacity 0 included (its walks copy blocks and write
// nothing): the blits that copy only the blocks their walks reach leave
// what the full walks leave.
TEST_F(DrawTransformTest, RandomTurnedQuadsMatchTheFullWalksAtEveryKernelLevel) {
  std::mt19937 rng(2718);
  const int32_t sides[] = {1, 2, 3, 7, 16, 33, 64, 97, 150};
  for (int32_t i = 0; i < 9; ++i) {
    const int32_t side = sides[i];
    const int32_t frames = 1 + i % 3;
    const int32_t width = side * frames - (i % 2 == 1 && side > 1 ? 1 : 0);
    ImageSlot& s = Picture(50 + i, width, side);
    for (int32_t y = 0; y < side; ++y) {
      const int32_t left = static_cast<int32_t>(rng() % (side / 3 + 1));
      const int32_t right = static_cast<int32_t>(rng() % (side / 3 + 1));
      for (int32_t x = 0; x < width; ++x) {
        const int32_t column = x % side;
        const uint32_t colour = static_cast<uint32_t>(rng()) & 0xffffffu;
        const uint32_t kind = static_cast<uint32_t>(rng() % 8);
        uint32_t alpha = kind == 0 ? 0u : (kind == 1 ? static_cast<uint32_t>(rng() % 254) + 1 : 255u);
        if (column < left || column >= side - right) alpha = 0;
        s.pixels[int64_t{y} * width + x] = alpha << 24 | colour;
      }
    }
    ComputeRowSpans(gfx, 50 + i);
  }
  struct Draw {
    bool rotation;
    int32_t slot, frame, mode, angle;
    int32_t c[8];
  };
  std::vector<Draw> draws;
  for (int32_t i = 0; i < 150; ++i) {
    Draw d{};
    const int32_t strip = static_cast<int32_t>(rng() % 9);
    d.slot = 50 + strip;
    const int32_t frames = (PictureWidth(gfx, d.slot) + 1) / sides[strip];
    d.frame = frames == 1 && i % 2 == 0 ? -1 : static_cast<int32_t>(rng() % frames);
    const int32_t modes[] = {-2, -1, 255, 128, 0, 1 + static_cast<int32_t>(rng() % 254)};
    d.mode = modes[i % 6];
    const int32_t nearAxis[] = {0, 1, 89, 90, 91, 180, 269, 270, 359};
    d.angle = i % 5 == 0 ? nearAxis[rng() % 9] : static_cast<int32_t>(rng() % 360);
    const int32_t cx = -100 + static_cast<int32_t>(rng() % 1000);
    const int32_t cy = -100 + static_cast<int32_t>(rng() % 800);
    d.rotation = i % 3 == 0;
    if (d.rotation) {
      d.c[0] = cx - sides[strip] / 2;
      d.c[1] = cy - sides[strip] / 2;
    } else {
      // Mostly small, now and then as large as a big creature's piece.
      const int32_t most = i % 7 == 0 ? 320 : 90;
      const int32_t hw = static_cast<int32_t>(rng() % most) / 2, hh = static_cast<int32_t>(rng() % most) / 2;
      const int32_t sx = i % 4 == 1 ? -1 : 1, sy = i % 5 == 2 ? -1 : 1;  // mirrored, upside down
      const int32_t xs[4] = {cx - sx * hw, cx + sx * hw, cx - sx * hw, cx + sx * hw};
      const int32_t ys[4] = {cy - sy * hh, cy - sy * hh, cy + sy * hh, cy + sy * hh};
      for (int32_t k = 0; k < 4; ++k) {
        int32_t x = xs[k], y = ys[k];
        RotatePoint(gfx, x, y, d.angle, cx, cy);
        const int32_t shear = i % 2 == 0 ? 2 : 0;
        d.c[2 * k] = x + static_cast<int32_t>(rng() % 5) - 2 + shear * (k % 2);
        d.c[2 * k + 1] = y + static_cast<int32_t>(rng() % 5) - 2;
      }
    }
    draws.push_back(d);
  }
  const auto drawAll = [&](bool fullWalk) {
    for (const Draw& d : draws) {
      SetDrawMode(gfx, d.mode);
      const int32_t* c = d.c;
      if (d.rotation && fullWalk) {
        reference::DrawRotatedFrameFullWalk(gfx, d.slot, c[0], c[1], d.angle, d.frame);
      } else if (d.rotation) {
        DrawRotatedFrame(gfx, d.slot, c[0], c[1], d.angle, d.frame);
      } else if (fullWalk) {
        reference::DrawToCornersFullWalk(gfx, d.slot, c[0], c[1], c[2], c[3], c[4], c[5], c[6], c[7],
                                         d.frame);
      } else {
        DrawToCorners(gfx, d.slot, c[0], c[1], c[2], c[3], c[4], c[5], c[6], c[7], d.frame);
      }
    }
    ResetDrawMode(gfx);
  };
  ExpectFullWalksAtEveryKernelLevel(drawAll);
}

// Upright and mirrored areas at double resolution (how the weapon poses are
// halved), whose rows are walked as plain runs: each ink, a picture with
// transparent margins and holes, areas half off the screen and rows that
// end in already copied blocks.
TEST_F(DrawTransformTest, UprightSupersampledAreasMatchTheFullWalks) {
  std::mt19937 rng(5);
  ImageSlot& s = Picture(60, 120, 90);
  for (int32_t y = 0; y < 90; ++y) {
    for (int32_t x = 0; x < 120; ++x) {
      const bool inside = x > 20 + y % 7 && x < 100 - y % 5 && (x / 9 + y / 11) % 4 != 0;
      const uint32_t alpha = inside ? (x % 13 == 0 ? static_cast<uint32_t>(rng() % 255) + 1 : 255u) : 0u;
      s.pixels[y * 120 + x] = alpha << 24 | (static_cast<uint32_t>(rng()) & 0xffffffu);
    }
  }
  ComputeRowSpans(gfx, 60);
  struct Area {
    int32_t x0, y0, x1, y1;
  };
  const Area areas[] = {{100, 100, 340, 340}, {-90, 400, 150, 640}, {700, -50, 900, 100},
                        {300, 200, 330, 480}, {250, 150, 260, 160}, {10, 10, 799, 30}};
  const auto drawAreas = [&](bool fullWalk) {
    int32_t i = 0;
    for (const Area& a : areas) {
      for (const int32_t mode : {-2, -1, 255, 140}) {
        SetDrawMode(gfx, mode);
        // Right way round, then mirrored as the left-facing poses are.
        const bool mirrored = ++i % 2 == 0;
        const int32_t l = mirrored ? a.x1 : a.x0, r = mirrored ? a.x0 : a.x1;
        if (fullWalk) {
          reference::DrawToCornersFullWalk(gfx, 60, l, a.y0, r, a.y0, l, a.y1, r, a.y1, -1);
        } else {
          DrawToCorners(gfx, 60, l, a.y0, r, a.y0, l, a.y1, r, a.y1, -1);
        }
      }
    }
    ResetDrawMode(gfx);
  };
  ExpectFullWalksAtEveryKernelLevel(drawAreas);
}

TEST_F(DrawTransformTest, LongThinQuadIsClippedToTheScreen) {
  Picture(10, 4, 4, kColour);
  SetDrawMode(gfx, -2);
  DrawToCorners(gfx, 10, -100000, 300, 100000, 300, -100000, 302, 100000, 302, -1);
  const std::vector<uint32_t> fast = screen;
  ClearScreen(gfx, 0);
  reference::DrawToCornersFullWalk(gfx, 10, -100000, 300, 100000, 300, -100000, 302, 100000, 302, -1);
  EXPECT_EQ(fast, screen);
  for (int32_t x = 0; x < 800; ++x) ASSERT_EQ(At(x, 300), kColour) << x;
}

TEST_F(DrawTransformTest, OversizedTwistedOrFarAwayQuadsDrawNothing) {
  Picture(10, 4, 4, kColour);
  SetSupersampling(gfx, 0);
  // A box of 2800 x 2800 pixels fits the work area; 2801 x 2801 does not.
  DrawToCorners(gfx, 10, 0, 0, 2799, 5, 0, 2799, 2799, 2799, -1);
  EXPECT_EQ(At(400, 300), kColour);
  ClearScreen(gfx, 0);
  const std::vector<uint32_t> blank = screen;
  DrawToCorners(gfx, 10, 0, 0, 2800, 5, 0, 2800, 2800, 2800, -1);
  EXPECT_EQ(screen, blank);
  // Folded over itself: a small box, but edges millions of steps long.
  DrawToCorners(gfx, 10, 0, 300, 3000000, 301, 3000000, 300, 0, 301, -1);
  EXPECT_EQ(screen, blank);
  SetSupersampling(gfx, 1);
  DrawToCorners(gfx, 10, -2000000000, -2000000000, 2000000000, -2000000000, -2000000000, 2000000000,
                2000000000, 2000000000, -1);
  DrawToCorners(gfx, 10, 2147483647, 2147483647, -2147483647, 2147483647, 2147483647, -2147483647,
                -2147483647, -2147483647, -1);
  DrawRotated(gfx, 10, 2147483600, -2147483600, 45);
  EXPECT_EQ(screen, blank);
}

TEST_F(DrawTransformTest, FrameLimitAllowsAFrameOneColumnShortWithoutReadingPastIt) {
  ImageSlot& s = Picture(10, 23, 8, 0xff00ff00u);  // (23 + 1) / 8 = 3 frames, the last one column short
  s.pixels[8 * 23 - 1] = 0xffff0000u;
  SetDrawMode(gfx, -2);
  std::vector<uint32_t> blank = screen;
  DrawRotatedFrame(gfx, 10, 100, 100, 30, 3);
  DrawToCorners(gfx, 10, 0, 0, 40, 0, 0, 40, 40, 40, 3);
  EXPECT_EQ(screen, blank);
  DrawRotatedFrame(gfx, 10, 100, 100, 30, 2);
  SetSupersampling(gfx, 0);
  DrawToCorners(gfx, 10, 300, 300, 363, 300, 300, 363, 363, 363, 2);
  DrawToCorners(gfx, 10, 400, 300, 463, 310, 400, 363, 463, 363, 2);
  SetSupersampling(gfx, 1);
  EXPECT_EQ(At(310, 310), 0xff00ff00u);
  EXPECT_EQ(At(355, 362), 0xffff0000u);
  EXPECT_EQ(At(356, 362), 0u);  // the short frame's missing column is not drawn
  EXPECT_EQ(At(363, 362), 0u);
  EXPECT_NE(Changed(blank), 0);
  // DrawFrame keeps to whole frames.
  blank = screen;
  DrawFrame(gfx, 10, 500, 500, 2);
  EXPECT_EQ(screen, blank);

  // A one-pixel strip has a second frame with no column at all: turned or
  // stretched, it takes nothing from the picture (the sanitizer build sees
  // any read past its one pixel) and copies nothing onto the screen.
  Picture(11, 1, 1, 0xffff0000u);
  for (uint32_t& p : screen) p = 0xff336699u;
  for (const int32_t supersampling : {1, 0}) {
    SetSupersampling(gfx, supersampling);
    DrawToCorners(gfx, 11, 200, 200, 240, 205, 195, 240, 236, 244, 1);
    DrawRotatedFrame(gfx, 11, 500, 200, 30, 1);
  }
  SetSupersampling(gfx, 1);
  for (const uint32_t p : screen) ASSERT_EQ(p | draw_detail::kMarkerBit, 0xff336699u | draw_detail::kMarkerBit);
}

class DrawScaleTest : public vxtest::DrawFixture {
 protected:
  void SetUp() override {
    DrawFixture::SetUp();
    ImageSlot& s = Picture(10, 4, 4);
    for (int32_t i = 0; i < 16; ++i)
      s.pixels[i] = 0xff000000u | static_cast<uint32_t>(i * 16 + 8) * 0x010101u;
  }
};

TEST_F(DrawScaleTest, DoublingRepeatsEachPixelAndUsesTheScreenAsScratch) {
  ClearScreen(gfx, 0xff777777u);
  SetDrawMode(gfx, -1);
  ScalePicture(gfx, 20, 10, 1, 0, 2048, 2048);
  ASSERT_EQ(PictureWidth(gfx, 20), 8);
  ASSERT_EQ(PictureHeight(gfx, 20), 8);
  for (int32_t y = 0; y < 7; ++y) {
    for (int32_t x = 0; x < 7; ++x)
      ASSERT_EQ(GetPixel(gfx, 20, x, y), gfx.slots[10].pixels[(y / 2) * 4 + x / 2]);
  }
  // The last column is half covered; the rest of its block is the cleared screen.
  const uint32_t source = gfx.slots[10].pixels[3];
  EXPECT_EQ(GetPixel(gfx, 20, 7, 0), 0xff000000u | ((source & 0xfefefeu) >> 1));
  // The scratch rectangle (inclusive) is cleared again; the mode is reset.
  EXPECT_EQ(At(8, 8), 0u);
  EXPECT_EQ(At(9, 0), 0xff777777u);
  EXPECT_EQ(gfx.opacity, 255);
  EXPECT_EQ(gfx.additive, 0);
  EXPECT_EQ(gfx.supersampling, 1);
}

TEST_F(DrawScaleTest, UniformTakesTheLargerFactorAndOneToOneCopies) {
  ScalePicture(gfx, 20, 10, 1, -1, 512, 2048);
  EXPECT_EQ(PictureWidth(gfx, 20), 8);
  EXPECT_EQ(PictureHeight(gfx, 20), 8);
  ScalePicture(gfx, 21, 10, 1, 0, 1024, 1024);
  for (int32_t i = 0; i < 16; ++i) EXPECT_EQ(GetPixel(gfx, 21, i % 4, i / 4), gfx.slots[10].pixels[i]);
  ScalePicture(gfx, 22, 10, 1, 0, 3072, 1024);
  EXPECT_EQ(PictureWidth(gfx, 22), 12);
  EXPECT_EQ(PictureHeight(gfx, 22), 4);
}

TEST_F(DrawScaleTest, ImpossibleSizesLeaveTheDestinationEmpty) {
  ScalePicture(gfx, 20, 10, 1, 0, -2048, 1024);
  ScalePicture(gfx, 21, 10, 1, 0, 100, 1024);  // 4 · 100 / 1024 = 0 wide
  ScalePicture(gfx, 22, 10, 1, 0, 2147483647, 2147483647);
  ScalePicture(gfx, 23, 10, 1, 1, 1024, 250000);  // 976 x 976 would not fit on the screen
  ScalePicture(gfx, 24, 11, 1, 0, 2048, 2048);    // empty source
  ScalePicture(gfx, 1200, 10, 1, 0, 2048, 2048);
  for (int32_t slot = 20; slot <= 24; ++slot) EXPECT_FALSE(HasPixels(gfx, slot)) << slot;
  for (uint32_t p : screen) ASSERT_EQ(p, 0u);
}

}  // namespace
