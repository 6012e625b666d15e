// What `vxpic info` tells of each kind: kind, size, frames as the game cuts
// them, and what the game leaves out (short files, hidden tiles, depths it
// does not read).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "gfx/picture_file.h"
#include "vxpic_test_support.h"

namespace {

using namespace vxpic_test;

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

std::string Le(int64_t v, int bytes) {
  std::string s;
  for (int i = 0; i < bytes; ++i) s += static_cast<char>((v >> (8 * i)) & 0xff);
  return s;
}

// A strip written by hand: the count, the directory pairs and the stream.
std::string Strip(const std::vector<int32_t>& pairs, int32_t streamValues) {
  std::string s = std::to_string(199 + streamValues) + "\n";
  for (size_t i = 0; i < 200; ++i) s += std::to_string(i < pairs.size() ? pairs[i] : 0) + " ";
  for (int32_t i = 0; i < streamValues; ++i) s += "257 ";
  return s + "\n";
}

class VxpicInfo : public VxpicTest {};

TEST_F(VxpicInfo, Vx1FramesAndShortFiles) {
  const vxpic::Picture strip = Pattern(384, 64);
  ASSERT_TRUE(WriteVx1("walker.vx1", 384, 64, strip.pixels.data()));
  RunResult r = RunVxpic({"info", "walker.vx1"});
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out, "file: walker.vx1\nkind: .vx1 picture\nsize: 384 x 64\nframes: 6 of 64 x 64\n");

  // 70 x 20: three whole frames and ten columns over; the file stops after
  // the first of its 20 rows.
  std::ofstream("odd.vx1", std::ios::binary) << Le(70, 2) + Le(20, 2) + std::string(6 + 210, '\x11');
  r = RunVxpic({"info", "odd.vx1"});
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_TRUE(Has(r.out, "frames: 3 of 20 x 20, and 10 columns after the last whole frame\n")) << r.out;
  EXPECT_TRUE(Has(r.out, "short: the file has 220 bytes of the 4210 its header needs")) << r.out;
}

TEST_F(VxpicInfo, BitmapDepths) {
  const std::string header = "BM" + Le(0, 8) + Le(54, 4) + Le(40, 4) + Le(6, 4) + Le(2, 4) + Le(1, 2);
  std::ofstream("grey.bmp", std::ios::binary) << header + Le(8, 2) + std::string(24, '\0');
  RunResult r = RunVxpic({"info", "grey.bmp"});
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_TRUE(Has(
      r.out, "kind: bitmap, 8 bits per pixel (the game reads 24 and 32 bits and shows other depths grey)"))
      << r.out;
  EXPECT_TRUE(Has(r.out, "size: 6 x 2\nframes: 3 of 2 x 2\n")) << r.out;
  std::ofstream("true.bmp", std::ios::binary) << header + Le(24, 2) + std::string(24 + 2 * 20, '\0');
  r = RunVxpic({"info", "true.bmp"});
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_TRUE(Has(r.out, "kind: bitmap, 24 bits per pixel\nsize: 6 x 2\nframes: 3 of 2 x 2\n")) << r.out;
  EXPECT_FALSE(Has(r.out, "short"));
}

TEST_F(VxpicInfo, StripTilesAndTheirPalette) {
  fs::create_directories("data");
  // Sides 4, 4, 4, 2: the game shows three tiles.
  std::ofstream("data/txtrs_c.901") << Strip({0, 4, 16, 4, 32, 4, 48, 2}, 26);
  RunResult r = RunVxpic({"info", "data/txtrs_c.901"});
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(
      r.out,
      "file: data/txtrs_c.901\nkind: texture strip\nvalues: 225\nsize: 12 x 4\nframes: 3 tiles of 4 x 4\n"
      "hidden: the directory goes on with tile 3 of side 2, which the game does not show (it shows the "
      "tiles of tile 0's side, at most 99)\npalette: data/pal_c.000 (not found)\n");
  ASSERT_TRUE(WritePalette("data/pal_c.000", TestPalette()));
  r = RunVxpic({"info", "data/txtrs_c.901"});
  EXPECT_TRUE(Has(r.out, "palette: data/pal_c.000\n")) << r.out;
  r = RunVxpic({"info", "data/txtrs_c.901", "--palette", "elsewhere.000"});
  EXPECT_TRUE(Has(r.out, "palette: elsewhere.000 (not found)\n")) << r.out;

  // A larger tile after tile 0 ends the strip just as well.
  std::ofstream("data/txtrs_c.903") << Strip({0, 2, 4, 3}, 7);
  r = RunVxpic({"info", "data/txtrs_c.903"});
  EXPECT_TRUE(Has(
      r.out, "size: 2 x 2\nframes: 1 tiles of 2 x 2\nhidden: the directory goes on with tile 1 of side 3"))
      << r.out;

  // to-png says the hidden tile is left out.
  r = RunVxpic({"to-png", "data/txtrs_c.901", "s.png"});
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_TRUE(Has(r.err, "the tiles from tile 3 on are not shown by the game")) << r.err;

  // A count past 1,000,000: kind and count, then the reason, exit 1.
  std::ofstream("data/txtrs_c.902") << "1000001 0 4\n";
  r = RunVxpic({"info", "data/txtrs_c.902"});
  EXPECT_EQ(r.code, 1);
  EXPECT_TRUE(Has(r.out, "values: 1000001\n"));
  EXPECT_TRUE(Has(r.err, "its value count 1000001 is above 1000000")) << r.err;
}

TEST_F(VxpicInfo, PngFiles) {
  vxpic::Picture pic = Pattern(10, 5);
  pic.pixels[3] &= 0x7fffffffu;
  pic.pixels[9] &= 0x00ffffffu;
  ASSERT_TRUE(WritePicturePng("a.png", pic, true));
  RunResult r = RunVxpic({"info", "a.png"});
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out,
            "file: a.png\nkind: PNG, 8 bits per channel, RGBA\nsize: 10 x 5\nframes: 2 of 5 x 5\n"
            "alpha: 2 pixels are not fully opaque\n");

  // A kind vxpic does not read: the header is told, then the refusal.
  RawPng deep;
  deep.width = 3;
  deep.bitDepth = 16;
  deep.rows = {std::vector<uint8_t>(18, 1)};
  ASSERT_TRUE(WriteRawPng("deep.dat", deep));  // recognised by its signature, not its name
  r = RunVxpic({"info", "deep.dat"});
  EXPECT_EQ(r.code, 1);
  EXPECT_TRUE(Has(r.out, "kind: PNG, 16 bits per channel, RGB\nsize: 3 x 1\n")) << r.out;
  EXPECT_TRUE(Has(r.err, "16 bits per channel")) << r.err;
}

}  // namespace
