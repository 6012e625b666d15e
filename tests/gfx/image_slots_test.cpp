#include "gfx/image_slots.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "gfx/draw_internal.h"
#include "gfx/picture_file.h"
#include "platform/cpu_features.h"
#include "support/engine_test.h"

namespace {

using Pixels = std::vector<uint32_t>;

class ImageSlotTest : public vxtest::EngineTest {
 protected:
  void SetUp() override {
    vxtest::EngineTest::SetUp();
    std::filesystem::create_directories("data");
  }

  // Creates a picture in `slot` from its rows of pixels.
  void Make(int32_t slot, int32_t width, const Pixels& pixels) {
    const int32_t height = static_cast<int32_t>(pixels.size()) / width;
    CreatePicture(gfx, slot, width, height);
    ASSERT_EQ(PictureWidth(gfx, slot), width);
    for (int32_t i = 0; i < width * height; ++i)
      SetPixel(gfx, slot, i % width, i / width, pixels[static_cast<size_t>(i)]);
  }

  Pixels Get(int32_t slot) {
    Pixels out;
    for (int32_t y = 0; y < PictureHeight(gfx, slot); ++y) {
      for (int32_t x = 0; x < PictureWidth(gfx, slot); ++x) out.push_back(GetPixel(gfx, slot, x, y));
    }
    return out;
  }

  int32_t Alpha(int32_t slot, int32_t x, int32_t y) {
    return static_cast<int32_t>(GetPixel(gfx, slot, x, y) >> 24);
  }

  std::vector<uint8_t> Bytes(int32_t slot, size_t count) {
    const uint8_t* p = reinterpret_cast<const uint8_t*>(PixelAddress(gfx, slot, 0, 0));
    return {p, p + count};
  }

  GfxContext& gfx = engine.gfx;
};

TEST_F(ImageSlotTest, QueriesAnswerZeroOutsideThePictureAndForInvalidSlots) {
  Make(7, 3, {1, 2, 3, 4, 5, 6});
  EXPECT_EQ(GetPixel(gfx, 7, 2, 1), 6u);
  for (auto [x, y] : {std::pair{3, 0}, {0, 2}, {-1, 0}, {0, -1}}) {
    EXPECT_EQ(GetPixel(gfx, 7, x, y), 0u) << x << "," << y;
    EXPECT_EQ(PixelAddress(gfx, 7, x, y), nullptr);
    SetPixel(gfx, 7, x, y, 99);
  }
  EXPECT_EQ(Get(7), (Pixels{1, 2, 3, 4, 5, 6}));

  for (int32_t slot : {-1, 1200, 8}) {  // invalid numbers and an empty slot
    EXPECT_EQ(GetPixel(gfx, slot, 0, 0), 0u) << slot;
    EXPECT_EQ(PictureWidth(gfx, slot) + PictureHeight(gfx, slot) + FrameCount(gfx, slot), 0);
    EXPECT_FALSE(HasPixels(gfx, slot));
    SetPixel(gfx, slot, 0, 0, 1);
  }
  CreatePicture(gfx, 1200, 2, 2);
  CreatePicture(gfx, 1199, 2, 2);
  EXPECT_TRUE(HasPixels(gfx, 1199));
  gfx.highestSlot = 100;  // the context's own highest number is honoured
  EXPECT_EQ(PictureWidth(gfx, 1199), 0);
}

TEST_F(ImageSlotTest, SlotsAreFilledOnlyOnce) {
  std::vector<uint32_t> a(8, 0x00112233), b(18, 0x00445566);
  ASSERT_TRUE(WriteVx1("data/a.vx1", 4, 2, a.data()));
  ASSERT_TRUE(WriteVx1("data/b.vx1", 6, 3, b.data()));
  LoadPicture(gfx, 5, "data/a.vx1");
  LoadPicture(gfx, 5, "data/b.vx1");
  CreatePicture(gfx, 5, 9, 9);
  EXPECT_EQ(gfx.slots[5].state, kLoaded);
  EXPECT_EQ(PictureWidth(gfx, 5), 4);
  EXPECT_EQ(PictureHeight(gfx, 5), 2);
  EXPECT_EQ(GetPixel(gfx, 5, 3, 1), 0xff112233u);
  EXPECT_EQ(RowSpan(gfx, 5, 1, 0).left, 0);  // spans exist and start cleared

  CreatePicture(gfx, 6, 2, 2);
  LoadPicture(gfx, 6, "data/b.vx1");
  EXPECT_EQ(Get(6), Pixels(4, 0));
}

TEST_F(ImageSlotTest, FailedLoadsAndEmptySizesLeaveTheSlotEmpty) {
  vxtest::WriteFile("data/zero.vx1", std::string(10, '\0'));
  for (const char* name : {"data/missing.vx1", "data/zero.vx1", "data/a.Vx1", "data/none.000"}) {
    LoadPicture(gfx, 9, name);
    EXPECT_EQ(gfx.slots[9].state, 0) << name;
    EXPECT_EQ(PictureWidth(gfx, 9), 0);
  }
  for (auto [w, h] : {std::pair{0, 4}, {4, 0}, {-1, 4}, {16385, 1}, {8193, 8193}}) {
    CreatePicture(gfx, 9, w, h);
    EXPECT_EQ(gfx.slots[9].state, 0) << w << "x" << h;
  }
  CreatePicture(gfx, 9, 96, 32);
  CreatePicture(gfx, 10, 100, 32);
  CreatePicture(gfx, 11, 31, 32);
  EXPECT_EQ(Get(9), Pixels(96 * 32, 0));
  EXPECT_EQ(FrameCount(gfx, 9), 3);
  EXPECT_EQ(FrameCount(gfx, 10), 3);
  EXPECT_EQ(FrameCount(gfx, 11), 0);
}

TEST_F(ImageSlotTest, CopyFromScreenClipsToTheScreen) {
  Pixels screen(8 * 6);
  for (uint32_t i = 0; i < screen.size(); ++i) screen[i] = 1000 + i;
  gfx.backBuffer = screen.data();
  gfx.screenWidth = 8;
  gfx.screenHeight = 6;
  // At (-2, 4): slot rows 0, 1 come from screen rows 4, 5; slot columns 2, 3
  // from screen columns 0, 1.
  Make(20, 4, Pixels(16, 7));
  CopyFromScreen(gfx, 20, -2, 4);
  EXPECT_EQ(Get(20), (Pixels{7, 7, 1032, 1033, 7, 7, 1040, 1041, 7, 7, 7, 7, 7, 7, 7, 7}));
  Make(21, 4, Pixels(8, 7));
  CopyFromScreen(gfx, 21, 6, -1);
  CopyFromScreen(gfx, 21, 8, 0);  // wholly outside
  EXPECT_EQ(Get(21), (Pixels{7, 7, 7, 7, 1006, 1007, 7, 7}));
}

TEST_F(ImageSlotTest, CopyPictureNeedsEqualSizes) {
  Make(30, 10, Pixels(100, 5));
  Make(31, 10, Pixels(110, 6));
  Make(32, 10, Pixels(100, 8));
  CopyPicture(gfx, 31, 30);
  CopyPicture(gfx, 30, 31);
  CopyPicture(gfx, 30, 33);  // empty source
  EXPECT_EQ(Get(31), Pixels(110, 6));
  EXPECT_EQ(Get(30), Pixels(100, 5));
  CopyPicture(gfx, 30, 32);
  EXPECT_EQ(Get(30), Pixels(100, 8));
}

TEST_F(ImageSlotTest, PrepareAlphaModes) {
  Make(40, 5, {0xff000000, 0x00c8c8c8, 0x001e140a, 0x00010000, 0x80646464});
  const std::vector<std::pair<int32_t, std::vector<int32_t>>> modes = {
      {0, {255, 255, 255, 255, 255}}, {1, {0, 255, 255, 255, 255}}, {2, {0, 255, 30, 0, 150}},
      {3, {0, 255, 90, 1, 255}},      {4, {0, 255, 90, 1, 255}},    {-1, {0, 255, 90, 1, 255}}};
  for (const auto& [mode, alphas] : modes) {
    PrepareAlpha(gfx, 40, mode);
    for (int32_t x = 0; x < 5; ++x)
      EXPECT_EQ(Alpha(40, x, 0), alphas[static_cast<size_t>(x)]) << mode << "," << x;
  }
  EXPECT_EQ(GetPixel(gfx, 40, 2, 0) & 0xffffffu, 0x1e140au);
}

TEST_F(ImageSlotTest, SoftenEdgesLowersAlphaByDarkNeighbours) {
  // The centre of a 5 × 5 bright picture with 0..4 dark neighbours
  // (brightness 6 or 7).
  const uint32_t bright = 0xff808080;
  const int32_t expected[5] = {255, 170, 85, 31, 31};
  for (int32_t n = 0; n < 5; ++n) {
    ResetAllState();
    Pixels pixels(25, bright);
    const size_t around[4] = {11, 13, 7, 17};
    for (int32_t k = 0; k < n; ++k) pixels[around[k]] = k % 2 == 0 ? 0xff020202 : 0xff030202;
    Make(50, 5, pixels);
    SoftenEdges(gfx, 50);
    EXPECT_EQ(Alpha(50, 2, 2), expected[n]) << n;
    EXPECT_EQ(GetPixel(gfx, 50, 2, 2) & 0xffffffu, 0x808080u);
  }
  // Brightness 8 is not dark; 2 or less is transparent even on the border;
  // other border pixels keep their alpha.
  ResetAllState();
  Pixels pixels(9, bright);
  pixels[3] = 0xff030302;  // (0, 1): 8
  pixels[1] = 0x40010100;  // (1, 0): 2
  pixels[7] = 0x80000003;  // (1, 2): 3
  Make(51, 3, pixels);
  SoftenEdges(gfx, 51);
  EXPECT_EQ(Alpha(51, 1, 1), 85);  // two dark neighbours; counting 8 as dark would give 31
  EXPECT_EQ(Alpha(51, 1, 0), 0);
  EXPECT_EQ(Alpha(51, 0, 1), 255);
  EXPECT_EQ(Alpha(51, 1, 2), 0x80);
}

TEST_F(ImageSlotTest, RowSpansMeasureLeadingAndTrailingEmptyColumns) {
  const uint32_t red = 0xffff0000, black = 0xff000000, clearRed = 0x00ff0000;
  Make(60, 4,
       {black, black, red, black,    // opaque 1,1; visible 0,0
        black, black, black, black,  // opaque 3,0
        clearRed, 0, red, 0,         // opaque 0,1; visible 1,1
        0xff000001, 0, 0, 0});       // opaque 0,3; visible 0,3
  ComputeRowSpans(gfx, 60);
  const std::vector<std::pair<int32_t, int32_t>> expected = {{1, 1}, {0, 0}, {3, 0}, {0, 0},
                                                             {0, 1}, {1, 1}, {0, 3}, {0, 3}};
  for (int32_t row = 0; row < 4; ++row) {
    for (int32_t kind = 0; kind < 2; ++kind) {
      const RowSpanEnds e = RowSpan(gfx, 60, row, kind);
      EXPECT_EQ(std::pair(e.left, e.right), expected[static_cast<size_t>(row * 2 + kind)])
          << row << "," << kind;
    }
  }
  for (auto [row, kind] : {std::pair{-1, 0}, {4, 0}, {0, 2}}) {
    const RowSpanEnds e = RowSpan(gfx, 60, row, kind);
    EXPECT_EQ(e.left + e.right, 0) << row << "," << kind;
  }
}

// Pictures of every width up to 40 (vector lanes past a row's end), rows
// empty, coloured only at one end, or black with alpha: the vector scans
// and the alpha pass leave what the plain ones leave, at every level.
TEST_F(ImageSlotTest, FastSpansAndAlphaMatchThePlainOnes) {
  uint32_t seed = 21;
  const auto next = [&seed] { return seed = seed * 1664525u + 1013904223u; };
  int32_t slot = 100;
  for (int32_t width = 1; width <= 40; ++width) {
    for (const cpu::KernelLevel level :
         {cpu::BestKernelLevel(), cpu::KernelLevel::kSse2, cpu::KernelLevel::kPlain}) {
      const int32_t height = 12;
      Pixels pixels(static_cast<size_t>(width * height), 0);
      for (int32_t y = 0; y < height; ++y) {
        // Row kinds: empty, one pixel at a random column, black but
        // visible, or random pixels a third of them empty.
        for (int32_t x = 0; x < width; ++x) {
          uint32_t& p = pixels[static_cast<size_t>(y * width + x)];
          const uint32_t r = next();
          switch (y % 4) {
            case 0:
              break;
            case 1:
              if (x == static_cast<int32_t>(r % static_cast<uint32_t>(width))) p = next() | 1u;
              break;
            case 2:  // and the faintest: alpha 1 without colour, colour 1 without alpha
              p = y % 8 == 2 ? (r % 3 == 0 ? 0xff000000u : 0)
                             : (r % 3 == 0 ? 0x01000000u : (r % 3 == 1 ? 1u : 0));
              break;
            default:
              p = r % 3 == 0 ? 0 : (r % 3 == 1 ? (r & 0xff000000u) : (r & 0x00ffffffu));
          }
        }
      }
      for (int32_t mode = 0; mode <= 3; ++mode) {
        Make(slot, width, pixels);
        Make(slot + 1, width, pixels);
        cpu::ForceKernelLevel(level);
        PrepareAlpha(gfx, slot, mode);
        ComputeRowSpans(gfx, slot);
        draw_detail::PrepareAlphaPlain(gfx, slot + 1, mode);
        draw_detail::ComputeRowSpansPlain(gfx, slot + 1);
        cpu::ResetKernelLevel();
        ASSERT_EQ(Get(slot), Get(slot + 1)) << width << " mode " << mode;
        for (int32_t y = 0; y < height; ++y) {
          for (int32_t kind = 0; kind < 2; ++kind) {
            const RowSpanEnds a = RowSpan(gfx, slot, y, kind);
            const RowSpanEnds b = RowSpan(gfx, slot + 1, y, kind);
            ASSERT_EQ(std::pair(a.left, a.right), std::pair(b.left, b.right)) << width << " row " << y;
          }
        }
        slot += 2;
      }
    }
  }
}

// The packing at every kernel level against the plain loop, over the whole
// pixel buffer (the last quarter keeps its unpacked bytes), for sizes
// around the vector step and a screen.
TEST_F(ImageSlotTest, PackingIsThePlainLoopAtEveryKernelLevel) {
  uint32_t x = 7;
  int32_t slot = 100;
  for (const auto& [w, h] : {std::pair{1, 1},
                             {3, 3},
                             {5, 1},
                             {6, 1},
                             {7, 1},
                             {10, 1},
                             {11, 1},
                             {12, 1},
                             {16, 1},
                             {19, 1},
                             {27, 3},
                             {64, 5},
                             {800, 600}}) {
    Pixels pixels(static_cast<size_t>(w) * h);
    for (uint32_t& p : pixels) {
      x = x * 1103515245u + 12345u;
      p = x ^ (x >> 15);
    }
    for (const cpu::KernelLevel level : {cpu::KernelLevel::kPlain, cpu::KernelLevel::kSse2,
                                         cpu::KernelLevel::kAvx2, cpu::KernelLevel::kAvx512}) {
      Make(slot, w, pixels);
      Make(slot + 1, w, pixels);
      cpu::ForceKernelLevel(level);
      PackTo24(gfx, slot);
      cpu::ResetKernelLevel();
      draw_detail::PackTo24Plain(gfx, slot + 1);
      ASSERT_EQ(Bytes(slot, 4 * pixels.size()), Bytes(slot + 1, 4 * pixels.size()))
          << w << " x " << h << " at level " << static_cast<int>(level);
      slot += 2;
    }
  }
}

// Packed a band of rows at a time, top to bottom, in bands of every
// height: the same bytes, spare ones included, as the whole at once.
TEST_F(ImageSlotTest, PackingInBandsOfRowsGivesTheWholePacking) {
  uint32_t x = 7;
  int32_t slot = 400;
  for (const auto& [w, h] : {std::pair{1, 5}, {3, 7}, {11, 4}, {12, 9}, {27, 6}, {800, 24}}) {
    Pixels pixels(static_cast<size_t>(w) * h);
    for (uint32_t& p : pixels) {
      x = x * 1103515245u + 12345u;
      p = x ^ (x >> 15);
    }
    Make(slot, w, pixels);
    draw_detail::PackTo24Plain(gfx, slot);
    for (const cpu::KernelLevel level :
         {cpu::KernelLevel::kPlain, cpu::KernelLevel::kSse2, cpu::KernelLevel::kAvx2}) {
      for (const int32_t band : {1, 2, 3, 8, h}) {
        Make(slot + 1, w, pixels);
        cpu::ForceKernelLevel(level);
        for (int32_t top = 0; top < h; top += band) PackTo24Rows(gfx, slot + 1, top, top + band);
        cpu::ResetKernelLevel();
        ASSERT_EQ(Bytes(slot + 1, 4 * pixels.size()), Bytes(slot, 4 * pixels.size()))
            << w << " x " << h << " in bands of " << band << " at level " << static_cast<int>(level);
        ReleasePicture(gfx, slot + 1);
      }
    }
    slot += 2;
  }
  // Rows outside the picture are not packed.
  Make(slot, 2, {0x01020304u, 0x05060708u});
  PackTo24Rows(gfx, slot, -3, 0);
  PackTo24Rows(gfx, slot, 1, 9);
  EXPECT_EQ(gfx.slots[slot].pixels[0], 0x01020304u);
}

TEST_F(ImageSlotTest, PackingRewritesThePixelsInPlace) {
  Make(70, 3, {0xff030201, 0x80060504, 0x00090807, 0xff0c0b0a, 0xff0f0e0d, 0xff121110});
  PackTo24(gfx, 70);
  EXPECT_EQ(gfx.slots[70].state, kLoaded);
  std::vector<uint8_t> expected;
  for (uint8_t i = 1; i <= 18; ++i) expected.push_back(i);
  EXPECT_EQ(Bytes(70, 18), expected);

  // b + g + (r · 171 / 256) / 2, modulo 256.
  Make(71, 2, {0x00c8140a, 0xffffffff, 0xff000000, 0xff010000, 0xff00807f, 0xff030000});
  PackToLuma8(gfx, 71);
  EXPECT_EQ(Bytes(71, 6), (std::vector<uint8_t>{96, 83, 0, 0, 255, 1}));
}

}  // namespace
