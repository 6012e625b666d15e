#include <gtest/gtest.h>

#include <numeric>
#include <random>

#include "gfx/draw_fixture.h"
#include "gfx/drawing.h"
#include "gfx/image_slots.h"
#include "reference/reference_drawing.h"
#include "support/guarded_memory.h"

namespace {

class DrawBlitTest : public vxtest::DrawFixture {};

// Each byte (s · a + d · (255 - a)) >> 8.
uint32_t Mix(uint32_t s, uint32_t d, uint32_t a) {
  uint32_t out = 0;
  for (int i = 0; i < 3; ++i) {
    const uint32_t sb = (s >> (8 * i)) & 255;
    const uint32_t db = (d >> (8 * i)) & 255;
    out |= ((sb * a + db * (255 - a)) >> 8) << (8 * i);
  }
  return out;
}

TEST_F(DrawBlitTest, BlendingTakesTheSmallerOfOpacityAndSourceAlpha) {
  ImageSlot& s = Picture(10, 4, 1);
  s.pixels[0] = 0xffc86432u;  // opaque
  s.pixels[1] = 0x00ffffffu;  // transparent
  s.pixels[2] = 0x64102030u;  // alpha 100
  s.pixels[3] = 0xff0a0b0cu;
  for (int x = 0; x < 4; ++x) At(20 + x, 7) = 0xff102030u;
  SetDrawMode(gfx, 128);
  DrawPicture(gfx, 10, 20, 7);
  EXPECT_EQ(At(20, 7), Mix(0xffc86432u, 0xff102030u, 128) | 0x80000000u);
  EXPECT_EQ(At(20, 7), 0x806b4130u);
  EXPECT_EQ(At(21, 7), 0xff102030u);  // alpha 0 leaves the destination alone
  EXPECT_EQ(At(22, 7), Mix(0x64102030u, 0xff102030u, 100) | 0x64000000u);

  ResetDrawMode(gfx);
  DrawPicture(gfx, 10, 20, 8);
  EXPECT_EQ(At(20, 8), 0xffc86432u);  // a = 255 copies the whole value
  EXPECT_EQ(At(22, 8), Mix(0x64102030u, 0, 100) | 0x64000000u);

  // Opacity 0 still blends (with a = 0) every pixel that is not transparent.
  SetDrawMode(gfx, 0);
  At(23, 9) = 0xff808080u;
  DrawPicture(gfx, 10, 20, 9);
  EXPECT_EQ(At(23, 9), 0x007f7f7fu);
}

TEST_F(DrawBlitTest, AdditiveSaturatesEveryByteAndPlainCopyKeepsAlpha) {
  ImageSlot& s = Picture(10, 2, 1);
  s.pixels[0] = 0x80c80a64u;
  s.pixels[1] = 0x00000001u;
  At(0, 0) = 0x90640a9bu;
  At(1, 0) = 0x01020304u;
  SetDrawMode(gfx, -1);
  DrawPicture(gfx, 10, 0, 0);
  EXPECT_EQ(At(0, 0), 0xffff14ffu);  // 200 + 100 gives 255, alpha too
  EXPECT_EQ(At(1, 0), 0x01020305u);

  s.pixels[1] = 0x00abcdefu;
  SetDrawMode(gfx, -2);
  DrawPicture(gfx, 10, 0, 1);
  EXPECT_EQ(At(0, 1), 0x80c80a64u);
  EXPECT_EQ(At(1, 1), 0x00abcdefu);
}

TEST_F(DrawBlitTest, RowSpansLimitBlendingAndAdding) {
  ImageSlot& s = Picture(10, 6, 2, 0xff0000ffu);
  // Spans are trusted: they name columns to skip even where pixels are opaque.
  s.visibleLeft[0] = 2;
  s.visibleRight[0] = 1;
  s.opaqueLeft[1] = 1;
  DrawPicture(gfx, 10, 0, 0);
  EXPECT_EQ(At(1, 0), 0u);
  EXPECT_EQ(At(2, 0), 0xff0000ffu);
  EXPECT_EQ(At(4, 0), 0xff0000ffu);
  EXPECT_EQ(At(5, 0), 0u);
  EXPECT_EQ(At(0, 1), 0xff0000ffu);  // blending uses the visible spans only
  ClearScreen(gfx, 0);
  SetDrawMode(gfx, -1);
  DrawPicture(gfx, 10, 0, 0);
  EXPECT_EQ(At(0, 0), 0xff0000ffu);  // adding uses the opaque spans only
  EXPECT_EQ(At(0, 1), 0u);
  EXPECT_EQ(At(1, 1), 0xff0000ffu);
}

TEST_F(DrawBlitTest, FramesAreSquaresOfTheStrip) {
  ImageSlot& s = Picture(11, 9, 3);  // 3 frames of 3 x 3
  for (int32_t x = 0; x < 9; ++x) {
    for (int32_t y = 0; y < 3; ++y) s.pixels[y * 9 + x] = 0xff000000u | static_cast<uint32_t>(x / 3 + 1);
  }
  DrawFrame(gfx, 11, 100, 100, 2);
  EXPECT_EQ(At(100, 100), 0xff000003u);
  EXPECT_EQ(At(102, 102), 0xff000003u);
  EXPECT_EQ(At(103, 100), 0u);
  std::vector<uint32_t> before = screen;
  DrawFrame(gfx, 11, 200, 100, 3);  // frame = frame count
  DrawFrame(gfx, 11, 200, 100, -2);
  DrawFrame(gfx, 12, 200, 100, -1);    // empty slot
  DrawFrame(gfx, 1200, 200, 100, -1);  // past the last slot
  DrawFrame(gfx, -1, 200, 100, -1);
  EXPECT_EQ(Changed(before), 0);
  DrawFrame(gfx, 11, 200, 100, -1);
  EXPECT_EQ(At(208, 102), 0xff000003u);
  EXPECT_EQ(At(200, 100), 0xff000001u);
}

TEST_F(DrawBlitTest, PicturesClipAtEveryScreenEdge) {
  ImageSlot& s = Picture(10, 5, 4);
  for (int32_t i = 0; i < 20; ++i) s.pixels[i] = 0xff000000u | static_cast<uint32_t>(i + 1);
  for (int32_t mode : {-2, -1, 255}) {
    SetDrawMode(gfx, mode);
    ClearScreen(gfx, 0);
    DrawPicture(gfx, 10, -2, -3);    // top-left corner: row 3, columns 2..4 show
    DrawPicture(gfx, 10, 797, 598);  // bottom-right: rows 0..1, columns 0..2
    DrawPicture(gfx, 10, -5, 100);   // just beside the left edge: nothing
    DrawPicture(gfx, 10, 800, 100);
    DrawPicture(gfx, 10, 100, -4);
    DrawPicture(gfx, 10, 100, 600);
    EXPECT_EQ(At(0, 0), 0xff000000u | 18);
    EXPECT_EQ(At(2, 0), 0xff000000u | 20);
    EXPECT_EQ(At(3, 0), 0u);
    EXPECT_EQ(At(0, 1), 0u);
    EXPECT_EQ(At(797, 598), 0xff000000u | 1);
    EXPECT_EQ(At(799, 599), 0xff000000u | 8);
    int64_t drawn = 0;
    for (uint32_t p : screen) drawn += p != 0 ? 1 : 0;
    EXPECT_EQ(drawn, 3 + 6) << mode;
  }
}

TEST_F(DrawBlitTest, FastRowsMatchThePlainBlitOnRandomPictures) {
  std::mt19937 rng(99);
  for (int round = 0; round < 450; ++round) {
    const int32_t w = 1 + static_cast<int32_t>(rng() % 70);
    const int32_t h = 1 + static_cast<int32_t>(rng() % 40);
    const int32_t slot = 100 + round;
    ImageSlot& s = RandomPicture(slot, w, h, rng);
    if ((round / 3) % 2 == 1) {
      // Runs of one alpha, as in drawn pictures: whole groups opaque or clear.
      for (int64_t i = 1; i < int64_t{w} * h; ++i)
        if (rng() % 8 != 0) s.pixels[i] = (s.pixels[i] & 0xffffffu) | (s.pixels[i - 1] & 0xff000000u);
    }
    if (round % 2 == 0) ComputeRowSpans(gfx, slot);
    const int32_t x = static_cast<int32_t>(rng() % 900) - 60;
    const int32_t y = static_cast<int32_t>(rng() % 700) - 50;
    const int32_t frames = w / h;
    const int32_t frame = frames > 0 ? static_cast<int32_t>(rng() % (frames + 2)) - 1 : -1;
    const int32_t modes[] = {-2, -1, 255, 0, 1, 128, 254, static_cast<int32_t>(rng() % 256)};
    SetDrawMode(gfx, modes[round % 8]);
    cpu::ForceKernelLevel(kAllKernels[round % 3]);
    ASSERT_TRUE(SameAsPlain([&] { DrawFrame(gfx, slot, x, y, frame); },
                            [&] { reference::DrawFrame(gfx, slot, x, y, frame); }))
        << "round " << round << " " << w << "x" << s.height << " at " << x << "," << y << " frame " << frame;
  }
}

TEST_F(DrawBlitTest, Packed24NeedsEightVisibleColumnsAndCopiesOpaque) {
  ImageSlot& s = Picture(20, 10, 2);
  uint8_t* bytes = reinterpret_cast<uint8_t*>(s.pixels);
  for (int i = 0; i < 60; ++i) bytes[i] = static_cast<uint8_t>(i + 1);
  std::vector<uint32_t> before = screen;
  DrawPacked24(gfx, 20, -3, 0);  // 7 columns on screen
  DrawPacked24(gfx, 20, 793, 0);
  EXPECT_EQ(Changed(before), 0);
  DrawPacked24(gfx, 20, -2, 0);      // 8 columns
  EXPECT_EQ(At(0, 0), 0xff090807u);  // column 2: bytes 7, 8, 9
  EXPECT_EQ(At(7, 1), 0xff3c3b3au);  // row 1, column 9: bytes 58, 59, 60
  EXPECT_EQ(At(8, 0), 0u);
}

TEST_F(DrawBlitTest, Packed24MatchesThePlainCopy) {
  std::mt19937 rng(5);
  for (int round = 0; round < 100; ++round) {
    const int32_t w = 1 + static_cast<int32_t>(rng() % 60);
    const int32_t h = 1 + static_cast<int32_t>(rng() % 30);
    const int32_t slot = 300 + round;
    RandomPicture(slot, w, h, rng);
    PackTo24(gfx, slot);
    const int32_t x = static_cast<int32_t>(rng() % 900) - 60;
    const int32_t y = static_cast<int32_t>(rng() % 700) - 50;
    cpu::ForceKernelLevel(kAllKernels[round % 3]);
    ASSERT_TRUE(SameAsPlain([&] { DrawPacked24(gfx, slot, x, y); },
                            [&] { reference::DrawPacked24(gfx, slot, x, y); }))
        << "round " << round;
  }
}

// The packed row copy of every form against its definition (each pixel its
// three bytes and an opaque alpha), on every length up to 64 and a few long
// rows, each row's last byte the last readable one before an inaccessible
// page: a form that reads a byte past the row faults, one that writes a
// pixel outside it changes the guards around it.
TEST_F(DrawBlitTest, Packed24RowsMatchTheirDefinitionAndReadNothingPastTheRow) {
  std::vector<int32_t> counts(65);
  std::iota(counts.begin(), counts.end(), 0);
  counts.insert(counts.end(), {797, 798, 799, 800, 801, 802, 803, 1365});
  vxtest::GuardedArray<uint8_t> packed(3 * static_cast<size_t>(counts.back()));
  ASSERT_NE(packed.data(), nullptr);
  std::mt19937 rng(24);
  std::vector<uint8_t> bytes(packed.size());
  for (uint8_t& b : bytes) b = static_cast<uint8_t>(rng());
  packed.Assign(bytes);
  constexpr uint32_t kGuard = 0x5a5a5a5au;
  for (const cpu::KernelLevel level : kAllKernels) {
    cpu::ForceKernelLevel(level);
    for (const int32_t count : counts) {
      const uint8_t* src = packed.data() + packed.size() - 3 * static_cast<size_t>(count);
      std::vector<uint32_t> want(static_cast<size_t>(count) + 8, kGuard);
      for (int32_t i = 0; i < count; ++i) {
        const uint8_t* p = src + 3 * i;
        want[4 + static_cast<size_t>(i)] = p[0] | p[1] << 8 | p[2] << 16 | 0xff000000u;
      }
      std::vector<uint32_t> got(want.size(), kGuard);
      draw_detail::CopyPacked24Row(got.data() + 4, src, count);
      ASSERT_EQ(got, want) << "level " << cpu::KernelLevelName(cpu::ActiveKernelLevel()) << ", " << count
                           << " pixels";
    }
  }
}

// A picture drawn a band of screen rows at a time, in bands of any height,
// gives the whole drawing, in every mode, clipped anywhere.
TEST_F(DrawBlitTest, DrawingInBandsOfRowsGivesTheWholeDrawing) {
  std::mt19937 rng(31);
  for (int round = 0; round < 120; ++round) {
    const int32_t w = 1 + static_cast<int32_t>(rng() % 90);
    const int32_t h = 1 + static_cast<int32_t>(rng() % 60);
    const int32_t slot = 500 + round;
    RandomPicture(slot, w, h, rng);
    const bool packed = round % 4 == 3;
    if (packed) {
      PackTo24(gfx, slot);
    } else if (round % 2 == 0) {
      ComputeRowSpans(gfx, slot);
    }
    const int32_t x = static_cast<int32_t>(rng() % 900) - 60;
    const int32_t y = static_cast<int32_t>(rng() % 700) - 50;
    const int32_t band = 1 + static_cast<int32_t>(rng() % 20);
    const int32_t modes[] = {-2, -1, 255, 128};
    SetDrawMode(gfx, modes[round % 4]);
    const auto whole = [&] {
      if (packed) {
        DrawPacked24(gfx, slot, x, y);
      } else {
        DrawFrame(gfx, slot, x, y, -1);
      }
    };
    const auto inBands = [&] {
      for (int32_t top = -band; top < 620; top += band) {
        if (packed) {
          DrawPacked24Rows(gfx, slot, x, y, top, top + band);
        } else {
          DrawFrameRows(gfx, slot, x, y, -1, top, top + band);
        }
      }
    };
    ASSERT_TRUE(SameAsPlain(inBands, whole)) << "round " << round << " bands of " << band;
  }
}

}  // namespace
