// Round trips through vxpic for every kind of game picture, at the sizes
// where bitmap row padding, odd index counts and the strip's tile limit
// bite: what the game reads of the written file is the PNG, pixel for pixel,
// and what to-png writes of it is the PNG again.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "datagen/generated_data_set.h"
#include "gfx/picture_file.h"
#include "vxpic/png_file.h"
#include "vxpic_test_support.h"

namespace {

using namespace vxpic_test;
using vxpic::Picture;

Picture ReadPngOrFail(const std::string& name, vxpic::PngHeader* header = nullptr) {
  Picture p;
  vxpic::PngHeader h;
  std::string error;
  EXPECT_TRUE(vxpic::ReadPng(name, p, h, error)) << name << ": " << error;
  if (header != nullptr) *header = h;
  return p;
}

// A strip picture of `tiles` square tiles whose pixels are palette colours,
// each tile its own run of indices.
Picture PaletteStrip(int32_t side, int32_t tiles) {
  Picture p;
  p.width = side * tiles;
  p.height = side;
  for (int32_t y = 0; y < side; ++y)
    for (int32_t x = 0; x < p.width; ++x)
      p.pixels.push_back(PaletteColour(TestPalette(), (x / side * 7 + y * side + x % side) % 256));
  return p;
}

class VxpicRoundTrip : public VxpicTest {};

TEST_F(VxpicRoundTrip, Vx1AtOddSizes) {
  for (auto [w, h] : {std::pair{1, 1}, {5, 3}, {6, 3}, {3, 7}}) {
    SCOPED_TRACE(std::to_string(w) + " x " + std::to_string(h));
    const Picture pic = Pattern(w, h);
    ASSERT_TRUE(WritePicturePng("in.png", pic, false));
    const RunResult in = RunVxpic({"from-png", "in.png", "p.vx1"});
    ASSERT_EQ(in.code, 0) << in.err;
    EXPECT_EQ(fs::file_size("p.vx1"), 10u + 3u * static_cast<unsigned>(w * h));
    const Picture game = GameRead("p.vx1");
    EXPECT_EQ(game.width, w);
    EXPECT_EQ(game.height, h);
    EXPECT_EQ(game.pixels, pic.pixels);

    const RunResult out = RunVxpic({"to-png", "p.vx1", "out.png"});
    ASSERT_EQ(out.code, 0) << out.err;
    vxpic::PngHeader header;
    EXPECT_EQ(ReadPngOrFail("out.png", &header).pixels, pic.pixels);
    EXPECT_EQ(header.colourType, PNG_COLOR_TYPE_RGB);  // a .vx1 picture has no alpha to write
  }
}

TEST_F(VxpicRoundTrip, Vx1FileComesBackByteForByte) {
  const Picture pic = Pattern(5, 4);
  ASSERT_TRUE(WriteVx1("a.vx1", pic.width, pic.height, pic.pixels.data()));
  ASSERT_EQ(RunVxpic({"to-png", "a.vx1", "a.png"}).code, 0);
  ASSERT_EQ(RunVxpic({"from-png", "a.png", "b.vx1"}).code, 0);
  EXPECT_EQ(Slurp("b.vx1"), Slurp("a.vx1"));
}

TEST_F(VxpicRoundTrip, BitmapsKeepRowPaddingAndAlpha) {
  // 24 bits: rows of 1, 5 and 6 pixels are padded to 4, 16 and 20 bytes.
  for (auto [w, stride] : {std::pair{1, 4}, {5, 16}, {6, 20}, {4, 12}}) {
    SCOPED_TRACE(w);
    const Picture pic = Pattern(w, 3);
    ASSERT_TRUE(WritePicturePng("in.png", pic, true));  // an alpha channel that is opaque everywhere
    ASSERT_EQ(RunVxpic({"from-png", "in.png", "p.bmp"}).code, 0);
    const std::string file = Slurp("p.bmp");
    ASSERT_EQ(file.size(), 54u + 3u * static_cast<unsigned>(stride));
    EXPECT_EQ(file[28], 24);
    EXPECT_EQ(GameRead("p.bmp").pixels, pic.pixels);
    ASSERT_EQ(RunVxpic({"to-png", "p.bmp", "out.png"}).code, 0);
    EXPECT_EQ(ReadPngOrFail("out.png").pixels, pic.pixels);
  }
  // 32 bits when any pixel is translucent; the game reads its alpha.
  Picture pic = Pattern(5, 2);
  pic.pixels[1] = (pic.pixels[1] & 0xffffffu) | 0x80000000u;
  pic.pixels[7] &= 0xffffffu;
  ASSERT_TRUE(WritePicturePng("a.png", pic, true));
  ASSERT_EQ(RunVxpic({"from-png", "a.png", "A.BMP"}).code, 0);
  EXPECT_EQ(Slurp("A.BMP")[28], 32);
  EXPECT_EQ(GameRead("A.BMP").pixels, pic.pixels);
  ASSERT_EQ(RunVxpic({"to-png", "A.BMP", "b.png"}).code, 0);
  vxpic::PngHeader header;
  EXPECT_EQ(ReadPngOrFail("b.png", &header).pixels, pic.pixels);
  EXPECT_EQ(header.colourType, PNG_COLOR_TYPE_RGBA);
}

TEST_F(VxpicRoundTrip, StripsUpToNinetyNineTiles) {
  fs::create_directories("data");
  ASSERT_TRUE(WritePalette("data/pal_c.000", TestPalette()));
  // One 1 x 1 tile; tiles of 25 and 36 indices (an odd count pads the
  // stream); two tiles of 5; and the 99 tiles the game shows at most.
  for (auto [side, tiles] : {std::pair{1, 1}, {5, 1}, {6, 1}, {5, 2}, {3, 99}}) {
    SCOPED_TRACE(std::to_string(tiles) + " tiles of " + std::to_string(side));
    const Picture pic = PaletteStrip(side, tiles);
    ASSERT_TRUE(WritePicturePng("in.png", pic, false));
    const RunResult in = RunVxpic({"from-png", "in.png", "data/txtrs_c.123"});
    ASSERT_EQ(in.code, 0) << in.err;
    const Picture game = GameRead("data/txtrs_c.123");
    EXPECT_EQ(game.width, side * tiles);
    EXPECT_EQ(game.height, side);
    EXPECT_EQ(game.pixels, pic.pixels);
    ASSERT_EQ(RunVxpic({"to-png", "data/txtrs_c.123", "out.png"}).code, 0);
    EXPECT_EQ(ReadPngOrFail("out.png").pixels, pic.pixels);
  }
}

TEST_F(VxpicRoundTrip, StripWithItsPaletteNamedElsewhere) {
  fs::create_directories("art");
  ASSERT_TRUE(WritePalette("art/colours.000", TestPalette()));
  const Picture pic = PaletteStrip(4, 3);
  ASSERT_TRUE(WritePicturePng("in.png", pic, false));
  // No pal_c.000 beside the strip: the tool says where it looked.
  const RunResult missing = RunVxpic({"from-png", "in.png", "s.321"});
  EXPECT_EQ(missing.code, 1);
  EXPECT_NE(missing.err.find("cannot open the palette pal_c.000"), std::string::npos) << missing.err;
  EXPECT_NE(missing.err.find("--palette"), std::string::npos);
  EXPECT_FALSE(fs::exists("s.321"));

  ASSERT_EQ(RunVxpic({"from-png", "in.png", "s.321", "--palette", "art/colours.000"}).code, 0);
  ASSERT_EQ(RunVxpic({"to-png", "--palette", "art/colours.000", "s.321", "out.png"}).code, 0);
  EXPECT_EQ(ReadPngOrFail("out.png").pixels, pic.pixels);
}

TEST_F(VxpicRoundTrip, PngKindsArriveAsTheirColours) {
  // Grey of 2 bits, grey with an opaque alpha, and a 4-bit palette image:
  // each sample reaches the picture as stored, with no gamma applied.
  RawPng grey;
  grey.width = 4;
  grey.bitDepth = 2;
  grey.colourType = PNG_COLOR_TYPE_GRAY;
  grey.rows = {{0b00011011}};
  ASSERT_TRUE(WriteRawPng("grey.png", grey));
  ASSERT_EQ(RunVxpic({"from-png", "grey.png", "grey.vx1"}).code, 0);
  EXPECT_EQ(GameRead("grey.vx1").pixels,
            (std::vector<uint32_t>{0xff000000, 0xff555555, 0xffaaaaaa, 0xffffffff}));

  RawPng greyAlpha;
  greyAlpha.width = 2;
  greyAlpha.colourType = PNG_COLOR_TYPE_GRAY_ALPHA;
  greyAlpha.rows = {{7, 255, 200, 255}};
  ASSERT_TRUE(WriteRawPng("ga.png", greyAlpha));
  ASSERT_EQ(RunVxpic({"from-png", "ga.png", "ga.vx1"}).code, 0);
  EXPECT_EQ(GameRead("ga.vx1").pixels, (std::vector<uint32_t>{0xff070707, 0xffc8c8c8}));

  RawPng indexed;
  indexed.width = 3;
  indexed.bitDepth = 4;
  indexed.colourType = PNG_COLOR_TYPE_PALETTE;
  indexed.palette = {{1, 2, 3}, {250, 128, 0}, {0, 9, 99}};
  indexed.rows = {{0x21, 0x00}};
  ASSERT_TRUE(WriteRawPng("pal.png", indexed));
  ASSERT_EQ(RunVxpic({"from-png", "pal.png", "pal.vx1"}).code, 0);
  EXPECT_EQ(GameRead("pal.vx1").pixels, (std::vector<uint32_t>{0xff000963, 0xfffa8000, 0xff010203}));
}

TEST_F(VxpicRoundTrip, GeneratedFontStripComesBackExactly) {
  // The real palette and a real strip of the default data set.
  const std::string& set = vxtest::GeneratedDataSet();
  ASSERT_FALSE(set.empty());
  fs::create_directories("data");
  fs::copy_file(fs::path(set) / "data/pal_c.000", "data/pal_c.000");
  fs::copy_file(fs::path(set) / "data/txtrs_c.906", "data/txtrs_c.906");
  const Picture before = GameRead("data/txtrs_c.906");
  ASSERT_GT(before.width, before.height);
  ASSERT_EQ(RunVxpic({"to-png", "data/txtrs_c.906", "font.png"}).code, 0);
  ASSERT_EQ(RunVxpic({"from-png", "font.png", "data/txtrs_c.906"}).code, 0);
  EXPECT_EQ(GameRead("data/txtrs_c.906").pixels, before.pixels);
}

TEST_F(VxpicRoundTrip, PaletteSheetShowsEveryEntry) {
  fs::create_directories("data");
  ASSERT_TRUE(WritePalette("data/pal_c.000", TestPalette()));
  ASSERT_EQ(RunVxpic({"palette", "sheet.png"}).code, 0);
  const Picture sheet = ReadPngOrFail("sheet.png");
  ASSERT_EQ(sheet.width, 256);
  ASSERT_EQ(sheet.height, 256);
  for (int32_t n = 0; n < 256; ++n) {
    const int32_t x = n % 16 * 16, y = n / 16 * 16;
    EXPECT_EQ(sheet.At(x, y), PaletteColour(TestPalette(), n)) << n;
    EXPECT_EQ(sheet.At(x + 15, y + 15), PaletteColour(TestPalette(), n)) << n;
  }
}

}  // namespace
