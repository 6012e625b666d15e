#include "gfx/image_slots.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "gfx/picture_file.h"
#include "support/engine_test.h"

namespace {

class ImageSlotTest : public vxtest::EngineTest {
 protected:
  void SetUp() override {
    vxtest::EngineTest::SetUp();
    std::filesystem::create_directories("data");
  }

  GfxContext& gfx = engine.gfx;

  // Creates a picture in `slot` from rows of pixels.
  void Make(int32_t slot, int32_t width, const std::vector<uint32_t>& pixels) {
    const int32_t height = static_cast<int32_t>(pixels.size()) / width;
    CreatePicture(gfx, slot, width, height);
    ASSERT_EQ(PictureWidth(gfx, slot), width);
    for (int32_t i = 0; i < width * height; ++i) SetPixel(gfx, slot, i % width, i / width, pixels[static_cast<size_t>(i)]);
  }

  std::vector<uint32_t> Pixels(int32_t slot) {
    std::vector<uint32_t> out;
    for (int32_t y = 0; y < PictureHeight(gfx, slot); ++y) {
      for (int32_t x = 0; x < PictureWidth(gfx, slot); ++x) out.push_back(GetPixel(gfx, slot, x, y));
    }
    return out;
  }

  uint8_t Alpha(int32_t slot, int32_t x, int32_t y) { return static_cast<uint8_t>(GetPixel(gfx, slot, x, y) >> 24); }

  std::vector<uint8_t> Bytes(int32_t slot, size_t count) {
    const uint8_t* p = reinterpret_cast<const uint8_t*>(PixelAddress(gfx, slot, 0, 0));
    return std::vector<uint8_t>(p, p + count);
  }
};

void WriteSolidVx1(const char* name, int32_t width, int32_t height, uint32_t colour) {
  const std::vector<uint32_t> pixels(static_cast<size_t>(width) * static_cast<size_t>(height), colour);
  ASSERT_TRUE(WriteVx1(name, width, height, pixels.data()));
}

TEST_F(ImageSlotTest, QueriesAnswerZeroOutsideThePictureAndForInvalidSlots) {
  Make(7, 3, {1, 2, 3, 4, 5, 6});
  EXPECT_EQ(GetPixel(gfx, 7, 2, 1), 6u);
  for (auto [x, y] : {std::pair{3, 0}, {0, 2}, {-1, 0}, {0, -1}}) {
    EXPECT_EQ(GetPixel(gfx, 7, x, y), 0u) << x << "," << y;
    EXPECT_EQ(PixelAddress(gfx, 7, x, y), nullptr);
    SetPixel(gfx, 7, x, y, 99);
  }
  EXPECT_EQ(Pixels(7), (std::vector<uint32_t>{1, 2, 3, 4, 5, 6}));

  for (int32_t slot : {-1, 1200, 8}) {  // invalid numbers and an empty slot
    EXPECT_EQ(GetPixel(gfx, slot, 0, 0), 0u) << slot;
    EXPECT_EQ(PixelAddress(gfx, slot, 0, 0), nullptr);
    EXPECT_EQ(PictureWidth(gfx, slot), 0);
    EXPECT_EQ(PictureHeight(gfx, slot), 0);
    EXPECT_EQ(FrameCount(gfx, slot), 0);
    EXPECT_FALSE(HasPixels(gfx, slot));
    EXPECT_EQ(UsableSlot(gfx, slot), nullptr);
    SetPixel(gfx, slot, 0, 0, 1);
    CreatePicture(gfx, slot == 8 ? -1 : slot, 2, 2);
    LoadPicture(gfx, slot == 8 ? 1200 : slot, "data/a.vx1");
  }
  EXPECT_FALSE(HasPixels(gfx, 8));

  // The highest number is valid; the context's own limit is honoured.
  CreatePicture(gfx, 1199, 2, 2);
  EXPECT_TRUE(HasPixels(gfx, 1199));
  gfx.highestSlot = 100;
  EXPECT_EQ(PictureWidth(gfx, 1199), 0);
  CreatePicture(gfx, 101, 2, 2);
  gfx.highestSlot = kHighestSlot;
  EXPECT_FALSE(HasPixels(gfx, 101));
}

TEST_F(ImageSlotTest, LoadingFillsAnEmptySlotOnlyOnce) {
  WriteSolidVx1("data/a.vx1", 4, 2, 0x00112233);
  WriteSolidVx1("data/b.vx1", 6, 3, 0x00445566);
  LoadPicture(gfx, 5, "data/a.vx1");
  LoadPicture(gfx, 5, "data/b.vx1");
  EXPECT_EQ(gfx.slots[5].state, kLoaded);
  EXPECT_EQ(PictureWidth(gfx, 5), 4);
  EXPECT_EQ(PictureHeight(gfx, 5), 2);
  EXPECT_EQ(GetPixel(gfx, 5, 3, 1), 0xff112233u);
  // Row spans exist, one entry per row, and start cleared.
  EXPECT_EQ(RowSpan(gfx, 5, 1, 0).left, 0);
  EXPECT_EQ(RowSpan(gfx, 5, 1, 1).right, 0);

  CreatePicture(gfx, 5, 9, 9);
  EXPECT_EQ(PictureWidth(gfx, 5), 4);

  CreatePicture(gfx, 6, 2, 2);
  LoadPicture(gfx, 6, "data/b.vx1");
  EXPECT_EQ(PictureWidth(gfx, 6), 2);
  EXPECT_EQ(GetPixel(gfx, 6, 0, 0), 0u);
}

TEST_F(ImageSlotTest, FailedLoadsLeaveTheSlotEmptyAndUsableLater) {
  vxtest::WriteFile("data/zero.vx1", std::string(10, '\0'));
  for (const char* name : {"data/missing.vx1", "data/zero.vx1", "data/a.Vx1", "data/none.000"}) {
    LoadPicture(gfx, 9, name);
    EXPECT_EQ(gfx.slots[9].state, 0) << name;
    EXPECT_EQ(PictureWidth(gfx, 9), 0);
    EXPECT_FALSE(HasPixels(gfx, 9));
  }
  WriteSolidVx1("data/a.vx1", 2, 2, 0);
  LoadPicture(gfx, 9, "data/a.vx1");
  EXPECT_EQ(PictureWidth(gfx, 9), 2);
}

TEST_F(ImageSlotTest, CreatedPicturesAreClearedAndEmptySizesAreRefused) {
  CreatePicture(gfx, 3, 5, 4);
  EXPECT_EQ(gfx.slots[3].state, kLoaded);
  EXPECT_EQ(Pixels(3), std::vector<uint32_t>(20, 0));
  for (auto [w, h] : {std::pair{0, 4}, {4, 0}, {-1, 4}, {4, -1}, {16385, 1}, {8193, 8193}}) {
    CreatePicture(gfx, 4, w, h);
    EXPECT_EQ(gfx.slots[4].state, 0) << w << "x" << h;
    EXPECT_FALSE(HasPixels(gfx, 4));
  }
}

TEST_F(ImageSlotTest, FrameCountIsWidthOverHeight) {
  CreatePicture(gfx, 10, 96, 32);
  CreatePicture(gfx, 11, 100, 32);
  CreatePicture(gfx, 12, 31, 32);
  EXPECT_EQ(FrameCount(gfx, 10), 3);
  EXPECT_EQ(FrameCount(gfx, 11), 3);
  EXPECT_EQ(FrameCount(gfx, 12), 0);
}

TEST_F(ImageSlotTest, CopyFromScreenClipsToTheScreen) {
  std::vector<uint32_t> screen(8 * 6);
  for (uint32_t i = 0; i < screen.size(); ++i) screen[i] = 1000 + i;
  gfx.backBuffer = screen.data();
  gfx.screenWidth = 8;
  gfx.screenHeight = 6;
  Make(20, 4, std::vector<uint32_t>(16, 7));
  // Top-left corner at (-2, 4): slot rows 0 and 1 come from screen rows 4
  // and 5, slot columns 2 and 3 from screen columns 0 and 1.
  CopyFromScreen(gfx, 20, -2, 4);
  EXPECT_EQ(Pixels(20), (std::vector<uint32_t>{7, 7, 1032, 1033, 7, 7, 1040, 1041,  //
                                               7, 7, 7, 7, 7, 7, 7, 7}));
  Make(21, 4, std::vector<uint32_t>(8, 7));
  CopyFromScreen(gfx, 21, 6, -1);  // right edge, one row above the screen
  EXPECT_EQ(Pixels(21), (std::vector<uint32_t>{7, 7, 7, 7, 1006, 1007, 7, 7}));
  CopyFromScreen(gfx, 21, 8, 0);  // wholly outside
  CopyFromScreen(gfx, 21, 0, 6);
  EXPECT_EQ(Pixels(21), (std::vector<uint32_t>{7, 7, 7, 7, 1006, 1007, 7, 7}));
  Make(22, 8, std::vector<uint32_t>(48, 7));
  CopyFromScreen(gfx, 22, 0, 0);
  EXPECT_EQ(Pixels(22), screen);
}

TEST_F(ImageSlotTest, CopyPictureNeedsEqualSizes) {
  Make(30, 10, std::vector<uint32_t>(100, 5));
  Make(31, 10, std::vector<uint32_t>(110, 6));
  Make(32, 10, std::vector<uint32_t>(100, 8));
  CopyPicture(gfx, 31, 30);
  CopyPicture(gfx, 30, 31);
  EXPECT_EQ(Pixels(31), std::vector<uint32_t>(110, 6));
  EXPECT_EQ(Pixels(30), std::vector<uint32_t>(100, 5));
  CopyPicture(gfx, 30, 32);
  EXPECT_EQ(Pixels(30), std::vector<uint32_t>(100, 8));
  CopyPicture(gfx, 30, 33);  // empty source
  CopyPicture(gfx, 1200, 30);
  EXPECT_EQ(Pixels(30), std::vector<uint32_t>(100, 8));
}

TEST_F(ImageSlotTest, PrepareAlphaModes) {
  const std::vector<uint32_t> colours = {0xff000000, 0x00c8c8c8, 0x001e140a, 0x00010000, 0x80646464};
  Make(40, 5, colours);
  PrepareAlpha(gfx, 40, 0);
  for (int32_t x = 0; x < 5; ++x) EXPECT_EQ(Alpha(40, x, 0), 255) << x;
  PrepareAlpha(gfx, 40, 1);
  EXPECT_EQ(Alpha(40, 0, 0), 0);
  EXPECT_EQ(Alpha(40, 3, 0), 255);
  PrepareAlpha(gfx, 40, 2);
  EXPECT_EQ(Alpha(40, 1, 0), 255);  // (200, 200, 200)
  EXPECT_EQ(Alpha(40, 2, 0), 30);   // (10, 20, 30)
  EXPECT_EQ(Alpha(40, 3, 0), 0);    // 1 / 2
  PrepareAlpha(gfx, 40, 3);
  EXPECT_EQ(Alpha(40, 2, 0), 90);
  EXPECT_EQ(Alpha(40, 3, 0), 1);    // 3 / 2
  EXPECT_EQ(Alpha(40, 4, 0), 255);  // 450 capped
  EXPECT_EQ(GetPixel(gfx, 40, 2, 0) & 0xffffffu, 0x1e140au);  // colour untouched
  PrepareAlpha(gfx, 40, 4);  // unknown modes change nothing
  PrepareAlpha(gfx, 40, -1);
  EXPECT_EQ(Alpha(40, 2, 0), 90);
}

TEST_F(ImageSlotTest, SoftenEdgesLowersAlphaByDarkNeighbours) {
  // A 5 × 5 picture; the centre (2, 2) and its neighbours are set per case.
  const uint32_t bright = 0xff808080, dark = 0xff020202, dim = 0xff030202;  // 6 and 7 are dark
  struct Case {
    int32_t darkNeighbours;
    uint8_t alpha;
  };
  for (const Case c : {Case{0, 255}, Case{1, 170}, Case{2, 85}, Case{3, 31}, Case{4, 31}}) {
    ResetAllState();
    std::vector<uint32_t> pixels(25, bright);
    const size_t around[4] = {11, 13, 7, 17};
    for (int32_t n = 0; n < c.darkNeighbours; ++n) pixels[around[n]] = n % 2 == 0 ? dark : dim;
    Make(50, 5, pixels);
    SoftenEdges(gfx, 50);
    EXPECT_EQ(Alpha(50, 2, 2), c.alpha) << c.darkNeighbours;
    EXPECT_EQ(GetPixel(gfx, 50, 2, 2) & 0xffffffu, 0x808080u);
  }

  // Brightness 8 is not dark; brightness 2 or less becomes transparent even
  // at the border; other border pixels keep their alpha.
  ResetAllState();
  std::vector<uint32_t> pixels(9, bright);
  pixels[3] = 0xff030302;  // (0, 1): brightness 8, a border pixel
  pixels[1] = 0x40010100;  // (1, 0): brightness 2
  pixels[7] = 0x80000003;  // (1, 2): brightness 3, a border pixel
  Make(51, 3, pixels);
  SoftenEdges(gfx, 51);
  EXPECT_EQ(Alpha(51, 1, 1), 85);  // two dark neighbours (2 and 3); 8 would make it 31
  EXPECT_EQ(Alpha(51, 1, 0), 0);
  EXPECT_EQ(Alpha(51, 0, 1), 255);
  EXPECT_EQ(Alpha(51, 1, 2), 0x80);
  EXPECT_EQ(GetPixel(gfx, 51, 1, 0) & 0xffffffu, 0x010100u);
}

TEST_F(ImageSlotTest, SoftenEdgesReadsColourNotTheAlphaItHasChanged) {
  // Every interior pixel has a dark neighbour, so each keeps two thirds of its
  // own alpha whatever order the pass runs in.
  std::vector<uint32_t> pixels(4 * 4, 0xff404040);
  pixels[0] = 0xff000000;
  pixels[5] = 0xff010101;
  Make(52, 4, pixels);
  SoftenEdges(gfx, 52);
  EXPECT_EQ(Alpha(52, 1, 1), 255);  // brightness 3, no dark neighbour
  pixels[5] = 0xff000001;
  ResetAllState();
  Make(52, 4, pixels);
  SoftenEdges(gfx, 52);
  EXPECT_EQ(Alpha(52, 1, 1), 0);
  EXPECT_EQ(Alpha(52, 2, 1), 170);
  EXPECT_EQ(Alpha(52, 1, 2), 170);
  EXPECT_EQ(Alpha(52, 2, 2), 255);
}

TEST_F(ImageSlotTest, RowSpansMeasureLeadingAndTrailingEmptyColumns) {
  const uint32_t red = 0xffff0000, black = 0xff000000, clearRed = 0x00ff0000;
  Make(60, 4,
       {black, black, red, black,         // opaque 1,1; visible 0,0
        red, red, red, red,               // nothing empty
        black, black, black, black,       // all black: left is the last x, right 0
        clearRed, 0, red, 0,              // opaque 0,1; visible 1,1
        0xff000001, 0, 0, 0});            // opaque 0,3; visible 0,3
  ComputeRowSpans(gfx, 60);
  auto spans = [&](int32_t row, int32_t kind) {
    const RowSpanEnds e = RowSpan(gfx, 60, row, kind);
    return std::pair{e.left, e.right};
  };
  EXPECT_EQ(spans(0, 0), std::pair(1, 1));
  EXPECT_EQ(spans(0, 1), std::pair(0, 0));
  EXPECT_EQ(spans(1, 0), std::pair(0, 0));
  EXPECT_EQ(spans(2, 0), std::pair(3, 0));
  EXPECT_EQ(spans(2, 1), std::pair(0, 0));
  EXPECT_EQ(spans(3, 0), std::pair(0, 1));
  EXPECT_EQ(spans(3, 1), std::pair(1, 1));
  EXPECT_EQ(spans(4, 0), std::pair(0, 3));
  EXPECT_EQ(spans(4, 1), std::pair(0, 3));
  for (auto [row, kind] : {std::pair{-1, 0}, {5, 0}, {0, 2}, {0, -1}}) {
    EXPECT_EQ(spans(row, kind), std::pair(0, 0)) << row << "," << kind;
  }
  EXPECT_EQ(RowSpan(gfx, 61, 0, 0).left, 0);
}

TEST_F(ImageSlotTest, PackTo24WritesThreeBytesPerPixelInRowMajorOrder) {
  Make(70, 3, {0xff030201, 0x80060504, 0x00090807, 0xff0c0b0a, 0xff0f0e0d, 0xff121110});
  PackTo24(gfx, 70);
  EXPECT_EQ(gfx.slots[70].state, kLoaded);
  std::vector<uint8_t> expected;
  for (uint8_t i = 1; i <= 18; ++i) expected.push_back(i);
  EXPECT_EQ(Bytes(70, 18), expected);
}

TEST_F(ImageSlotTest, PackToLuma8WrapsInEightBits) {
  // b + g + (r · 171 / 256) / 2, modulo 256.
  Make(71, 2, {0x00c8140a, 0xffffffff, 0xff000000, 0xff010000, 0xff00807f, 0xff030000});
  PackToLuma8(gfx, 71);
  EXPECT_EQ(Bytes(71, 6), (std::vector<uint8_t>{96, 83, 0, 0, 255, 1}));
}

TEST_F(ImageSlotTest, StripInASlotKeepsItsFramesAndPreparation) {
  uint32_t colours[256] = {};
  colours[1] = 0x00fcfcfc;
  ASSERT_TRUE(WritePalette(kPaletteFileName, MakePalette(colours)));
  std::vector<StripTile> tiles(3, StripTile{4, std::vector<uint8_t>(16, 1)});
  tiles[1].indices[5] = 0;
  ASSERT_TRUE(WriteTextureStrip("data/s.900", tiles));
  LoadPicture(gfx, 103, "data/s.900");
  EXPECT_EQ(PictureWidth(gfx, 103), 12);
  EXPECT_EQ(FrameCount(gfx, 103), 3);
  PrepareAlpha(gfx, 103, 1);
  EXPECT_EQ(GetPixel(gfx, 103, 5, 1), 0u);
  EXPECT_EQ(GetPixel(gfx, 103, 6, 1), 0xfffcfcfcu);
}

}  // namespace
