#include "gfx/picture_file.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "support/engine_test.h"

namespace {

using Pixels = std::vector<uint32_t>;

struct Picture {
  int32_t status = -1, width = -7, height = -7;
  Pixels pixels;
  bool buffer = false, spareBytesClear = false;
};

// Reads a picture and copies it out, checking the spare bytes the 3-byte
// readers rely on are there and cleared.
Picture Read(const std::string& name) {
  EngineLog log;
  Picture p;
  uint32_t* pixels = nullptr;
  p.status = vxReadPic(log, name.c_str(), pixels, p.width, p.height);
  if (pixels == nullptr) return p;
  p.buffer = true;
  p.pixels.assign(pixels, pixels + static_cast<size_t>(p.width) * static_cast<size_t>(p.height));
  const uint8_t* bytes = reinterpret_cast<const uint8_t*>(pixels);
  p.spareBytesClear = true;
  for (int64_t i = int64_t{p.width} * p.height * 4; i < PictureBufferBytes(p.width, p.height); ++i) {
    p.spareBytesClear &= bytes[i] == 0;
  }
  std::free(pixels);
  return p;
}

void Put(std::string& s, size_t at, int64_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) s[at + static_cast<size_t>(i)] = static_cast<char>((v >> (8 * i)) & 0xff);
}

std::string Vx1Header(int32_t width, int32_t height) {
  std::string s(10, '\0');
  Put(s, 0, width, 2);
  Put(s, 2, height, 2);
  return s;
}

std::string Bgr(int b, int g, int r) {
  return {static_cast<char>(b), static_cast<char>(g), static_cast<char>(r)};
}

std::string BitmapHeader(int64_t width, int64_t height, int32_t bits, int64_t offset = 54) {
  std::string s(54, '\0');
  s[0] = 'B';
  s[1] = 'M';
  Put(s, 10, offset, 4);
  Put(s, 18, width, 4);
  Put(s, 22, height, 4);
  Put(s, 28, bits, 2);
  return s;
}

// A strip file written by hand: the count, the directory and the stream.
std::string Strip(const std::vector<int32_t>& pairs, const std::vector<int32_t>& stream) {
  std::string s = std::to_string(199 + stream.size()) + "\n";
  for (size_t i = 0; i < 200; ++i) s += std::to_string(i < pairs.size() ? pairs[i] : 0) + " ";
  for (int32_t v : stream) s += std::to_string(v) + " ";
  return s;
}

// Entry i: blue i / 4, green 0, red 63 - i / 4 (6-bit values).
PaletteValues RampPalette() {
  PaletteValues p{};
  for (size_t i = 0; i < 256; ++i) {
    p[i] = static_cast<int32_t>(i / 4);
    p[kPaletteRedStart + i] = static_cast<int32_t>(63 - i / 4);
  }
  return p;
}

uint32_t Ramp(int32_t index) { return PaletteColour(RampPalette(), index); }

class PictureTest : public vxtest::EngineTest {
 protected:
  void SetUp() override {
    vxtest::EngineTest::SetUp();
    std::filesystem::create_directories("data");
    ASSERT_TRUE(WritePalette(kPaletteFileName, RampPalette()));
  }
};

TEST_F(PictureTest, Vx1RowsRunBottomUpAsBlueGreenRed) {
  std::string file = Vx1Header(3, 2);
  file += Bgr(10, 20, 30) + Bgr(1, 0, 0) + Bgr(2, 0, 0);  // bottom row B0 B1 B2
  file += Bgr(3, 0, 0) + Bgr(4, 0, 0) + Bgr(0, 0, 5);     // top row T0 T1 T2
  vxtest::WriteFile("p.vx1", file);
  const Picture p = Read("p.vx1");
  ASSERT_EQ(p.status, kPictureRead);
  EXPECT_EQ(p.width, 3);
  EXPECT_EQ(p.height, 2);
  EXPECT_EQ(p.pixels, (Pixels{0xff000003, 0xff000004, 0xff050000, 0xff1e140a, 0xff000001, 0xff000002}));
  EXPECT_TRUE(p.spareBytesClear);
}

TEST_F(PictureTest, Vx1ShortFilesAndRefusedSizes) {
  // Unsupplied pixels, including one with only two of its bytes, are opaque black.
  vxtest::WriteFile("short.vx1", Vx1Header(2, 2) + Bgr(1, 2, 3) + Bgr(4, 5, 6) + Bgr(7, 8, 9) + "\x0a\x0b");
  EXPECT_EQ(Read("short.vx1").pixels, (Pixels{0xff090807, 0xff000000, 0xff030201, 0xff060504}));

  // Sides of 0 or less (signed 16-bit), past 16384, or an area past 64 Mi pixels.
  for (auto [w, h] : {std::pair{0, 5}, {5, 0}, {-3, 4}, {4, 0xfffe}, {20000, 1}, {1, 16385}, {8193, 8193}}) {
    vxtest::WriteFile("bad.vx1", Vx1Header(w, h) + Bgr(1, 2, 3));
    const Picture p = Read("bad.vx1");
    EXPECT_EQ(p.status, 0) << w << "x" << h;
    EXPECT_FALSE(p.buffer);
    EXPECT_EQ(p.width, static_cast<int16_t>(w));  // sizes are still reported
  }
  vxtest::WriteFile("tiny.vx1", "\x05");  // height bytes missing: 0
  EXPECT_EQ(Read("tiny.vx1").status, 0);
  vxtest::WriteFile("edge.vx1", Vx1Header(16384, 1));
  EXPECT_EQ(Read("edge.vx1").pixels, Pixels(16384, 0xff000000));

  const Picture missing = Read("none.vx1");
  EXPECT_EQ(missing.status, 0);
  EXPECT_EQ(missing.width, -7);  // outputs untouched
}

TEST_F(PictureTest, OnlyExactExtensionSpellingsAreRecognised) {
  const std::string vx1 = Vx1Header(1, 1) + Bgr(1, 2, 3);
  const std::string bmp = BitmapHeader(1, 1, 24) + Bgr(1, 2, 3) + '\0';
  for (const char* name : {"a.vx1", "a.VX1", "vx1", "a.bmp", "a.BMP"}) {
    vxtest::WriteFile(name, name[std::string(name).size() - 1] == '1' ? vx1 : bmp);
    EXPECT_EQ(Read(name).status, kPictureRead) << name;
  }
  for (const char* name : {"a.Vx1", "a.vX1", "a.vx1 ", "a.Bmp", "a.bMP", "a.9x1", "a.1a2", "x1", ""}) {
    vxtest::WriteFile(name, vx1);
    EXPECT_EQ(Read(name).status, 0) << name;
  }
}

TEST_F(PictureTest, BitmapDepthsAndRowPadding) {
  // 24 bits: widths 5, 6 and 4 give rows of 16, 20 and 12 bytes.
  for (int32_t width : {5, 6, 4}) {
    std::string file = BitmapHeader(width, 2, 24);
    Pixels expected(static_cast<size_t>(width) * 2);
    for (int32_t n = 0; n < 2; ++n) {  // file row n is picture row 1 - n
      std::string row;
      for (int32_t x = 0; x < width; ++x) {
        const int v = n * 16 + x + 1;
        row += Bgr(v, v + 100, v + 200);
        expected[static_cast<size_t>((1 - n) * width + x)] =
            0xff000000u | static_cast<uint32_t>((v + 200) << 16 | (v + 100) << 8 | v);
      }
      row.resize((row.size() + 3) / 4 * 4, '\x77');
      file += row;
    }
    vxtest::WriteFile("p.bmp", file);
    EXPECT_EQ(Read("p.bmp").pixels, expected) << width;
  }
  // 32 bits at a data offset of 60: alpha kept, no padding.
  vxtest::WriteFile("p32.bmp", BitmapHeader(3, 1, 32, 60) + std::string(6, '\x55') +
                                   std::string("\x10\x20\x30\x00\x11\x21\x31\x80\x12\x22\x32\xff", 12));
  EXPECT_EQ(Read("p32.bmp").pixels, (Pixels{0x00302010, 0x80312111, 0xff322212}));
  // Other depths: grey of the header's size.
  for (int32_t bits : {8, 1, 16}) {
    vxtest::WriteFile("p8.bmp", BitmapHeader(7, 3, bits) + std::string(1024, '\x01'));
    const Picture p = Read("p8.bmp");
    EXPECT_EQ(p.width, 7);
    EXPECT_EQ(p.pixels, Pixels(21, 0xff646464)) << bits;
  }
  // Only the low 16 bits of each field count.
  vxtest::WriteFile("low.bmp",
                    BitmapHeader(0x10002, 0x20001, 24, 0x100036) + Bgr(1, 2, 3) + Bgr(4, 5, 6) + "xx");
  const Picture low = Read("low.bmp");
  EXPECT_EQ(low.height, 1);
  EXPECT_EQ(low.pixels, (Pixels{0xff030201, 0xff060504}));
}

TEST_F(PictureTest, BitmapRefusedSizesAndMissingData) {
  // Top-down (negative height), empty and oversized pictures.
  for (auto [w, h] : {std::pair{4, -4}, {-4, 4}, {0, 3}, {3, 0}, {20000, 2}, {8193, 8193}}) {
    vxtest::WriteFile("p.bmp", BitmapHeader(w, h, 24) + std::string(64, '\x01'));
    EXPECT_FALSE(Read("p.bmp").buffer) << w << "x" << h;
  }
  vxtest::WriteFile("head.bmp", std::string("BM\x10\x00", 4));
  EXPECT_EQ(Read("head.bmp").status, 0);
  // Data offset past the end: the header's size, cleared to opaque black.
  vxtest::WriteFile("far.bmp", BitmapHeader(2, 2, 24, 4000) + std::string(16, '\x09'));
  EXPECT_EQ(Read("far.bmp").pixels, Pixels(4, 0xff000000));
  // Reading stops inside a pixel; unsupplied 32-bit pixels have no alpha either.
  vxtest::WriteFile("short.bmp", BitmapHeader(2, 2, 32) + std::string("\x01\x02\x03\x04\x05\x06", 6));
  EXPECT_EQ(Read("short.bmp").pixels, (Pixels{0, 0, 0x04030201, 0}));
}

TEST_F(PictureTest, StripPacksTwoIndicesPerValueWithTileRowsBottomUp) {
  // Two 2 × 2 tiles; tile 1 starts at position 7, in the low byte of a value.
  // -247 and 65535 keep their low 16 bits (0xff09, 0xffff).
  vxtest::WriteFile("data/t.100", Strip({0, 2, 7, 2}, {0x0102, 0x0304, 0x0506, 0x0708, -247, 65535}));
  const Picture p = Read("data/t.100");
  ASSERT_EQ(p.status, kPictureRead);
  EXPECT_EQ(p.width, 4);
  EXPECT_EQ(p.height, 2);
  EXPECT_EQ(p.pixels, (Pixels{Ramp(3), Ramp(4), Ramp(9), Ramp(0xff), Ramp(1), Ramp(2), Ramp(8), Ramp(0xff)}));
  EXPECT_TRUE(p.spareBytesClear);

  // Sides 32, 32, 32, 16: three tiles, 96 × 32.
  vxtest::WriteFile("data/t.000",
                    Strip({0, 32, 1024, 32, 2048, 32, 3072, 16, 0, 32}, std::vector<int32_t>(1600, 0x0101)));
  const Picture three = Read("data/t.000");
  EXPECT_EQ(three.width, 96);
  EXPECT_EQ(three.height, 32);
  EXPECT_EQ(three.pixels, Pixels(96 * 32, Ramp(1)));
  // At most 99 tiles even when all 100 directory pairs agree.
  vxtest::WriteFile("data/t.001", Strip(std::vector<int32_t>(200, 1), {0}));
  EXPECT_EQ(Read("data/t.001").width, 99);
}

TEST_F(PictureTest, PaletteValuesAreSixBitTimesFourModulo256) {
  PaletteValues pal{};
  pal[7] = 63;
  pal[kPaletteRedStart + 7] = 10;
  pal[512] = 63;  // in no table
  pal[8] = 64;    // 256 wraps to 0
  pal[256 + 8] = 70;
  pal[kPaletteRedStart + 8] = -1;
  ASSERT_TRUE(WritePalette(kPaletteFileName, pal));
  vxtest::WriteFile("data/t.002", Strip({0, 2}, {0x0708, 0}));
  EXPECT_EQ(Read("data/t.002").pixels, (Pixels{0xff000000, 0xff000000, 0xff2800fc, 0xfffc1800}));
  // A short palette reads its missing values as 0.
  vxtest::WriteFile(kPaletteFileName, "40 41 42");
  EXPECT_EQ(Read("data/t.002").pixels, (Pixels{0xff0000a0, 0xff0000a0, 0xff000000, 0xff000000}));
}

TEST_F(PictureTest, BrokenStripsGiveNoPicture) {
  const std::vector<int32_t> four = {0x0102, 0x0304};
  std::vector<int32_t> wide;  // 90 tiles of side 200: 18000 pixels wide
  for (int32_t j = 0; j < 90; ++j) wide.insert(wide.end(), {0, 200});
  const std::vector<std::pair<const char*, std::string>> cases = {
      {"side 0", Strip({0, 0}, four)},
      {"negative side", Strip({0, -2}, four)},
      {"negative start", Strip({-1, 2}, four)},
      {"tile past the stream", Strip({1, 2}, four)},
      {"second tile past the stream", Strip({0, 2, 2, 2}, four)},
      {"no stream", Strip({0, 1}, {})},
      {"count above the limit", "1000001 0 1 1"},
      {"overflowing count", "99999999999 0 1 1"},
      {"negative count", "-5 0 1 1"},
      {"not numbers", "abc"},
      {"side past the bounds", Strip({0, 16385}, four)},
      {"strip past the bounds", Strip(wide, std::vector<int32_t>(20000, 0))},
  };
  for (const auto& [what, text] : cases) {
    vxtest::WriteFile("data/bad.004", text);
    EXPECT_FALSE(Read("data/bad.004").buffer) << what;
  }
  // The last position of the stream is still inside it.
  vxtest::WriteFile("data/ok.005", Strip({3, 1}, {0, 9}));
  EXPECT_EQ(Read("data/ok.005").pixels, Pixels{Ramp(9)});

  EXPECT_EQ(Read("data/none.006").status, 0);
  std::filesystem::remove(kPaletteFileName);
  EXPECT_EQ(Read("data/ok.005").status, 0);
}

TEST_F(PictureTest, LogsStartPaletteAndEndLines) {
  vxtest::WriteFile("data/t.010", Strip({0, 1}, {0}));
  vxtest::WriteFile("data/p.vx1", Vx1Header(1, 1) + Bgr(1, 1, 1));
  EngineLog log;
  log.enabled = 1;
  log.stream.open("log.txt", std::ios::binary);
  uint32_t* pixels = nullptr;
  int32_t w = 0, h = 0;
  for (const char* name : {"data/t.010", "data/p.vx1", "data/x.txt"}) {
    if (vxReadPic(log, name, pixels, w, h) == kPictureRead) std::free(pixels);
  }
  log.stream.close();
  EXPECT_EQ(vxtest::ReadFile("log.txt"),
            "vxReadPic start. trying read: data/t.010\n"
            "vxReadPic trying read system file: data/pal_c.000\n"
            "vxReadPic fin read data/t.010\n"
            "vxReadPic start. trying read: data/p.vx1\n"
            "vxReadPic fin read data/p.vx1\n"
            "vxReadPic start. trying read: data/x.txt\n"
            "vxReadPic fin. cannot read data/x.txt\n");
}

TEST_F(PictureTest, Vx1WriterRoundTrips) {
  const Pixels pixels = {0x12345678, 0x00abcdef, 0xff000001, 0x80102030, 0x00000000, 0x7fffffff};
  ASSERT_TRUE(WriteVx1("w.vx1", 3, 2, pixels.data()));
  const std::string bytes = vxtest::ReadFile("w.vx1");
  EXPECT_EQ(bytes.substr(0, 13),
            std::string("\x03\x00\x02\x00\0\0\0\0\0\0\x30\x20\x10", 13));  // bottom row first
  EXPECT_EQ(bytes.size(), 28u);
  Pixels opaque = pixels;
  for (uint32_t& p : opaque) p |= 0xff000000u;
  EXPECT_EQ(Read("w.vx1").pixels, opaque);
  EXPECT_FALSE(WriteVx1("z.vx1", 0, 2, pixels.data()));
  EXPECT_FALSE(WriteVx1("z.vx1", 32768, 1, pixels.data()));
  EXPECT_FALSE(WriteVx1("no/folder/z.vx1", 3, 2, pixels.data()));
}

TEST_F(PictureTest, StripAndPaletteWritersRoundTrip) {
  uint32_t colours[256];
  for (uint32_t i = 0; i < 256; ++i) colours[i] = (i * 0x010305u * 4u) & 0x00fcfcfcu;
  const PaletteValues palette = MakePalette(colours);
  ASSERT_TRUE(WritePalette(kPaletteFileName, palette));
  // Three 3 × 3 tiles (an odd count of positions), then one of another side.
  std::vector<StripTile> tiles(3, StripTile{3, {}});
  for (size_t j = 0; j < 3; ++j) {
    for (size_t i = 0; i < 9; ++i) tiles[j].indices.push_back(static_cast<uint8_t>(j * 80 + i * 17 + 1));
  }
  tiles.push_back({2, {9, 9, 9, 9}});
  ASSERT_TRUE(WriteTextureStrip("data/w.123", tiles));
  const Picture p = Read("data/w.123");
  ASSERT_EQ(p.width, 9);
  ASSERT_EQ(p.height, 3);
  for (size_t i = 0; i < p.pixels.size(); ++i) {
    const size_t x = i % 9, y = i / 9;
    EXPECT_EQ(p.pixels[i], colours[tiles[x / 3].indices[y * 3 + x % 3]] | 0xff000000u) << i;
  }
  EXPECT_FALSE(WriteTextureStrip("data/w.124", {}));
  EXPECT_FALSE(WriteTextureStrip("data/w.124", {{2, {1, 2, 3}}}));
  EXPECT_FALSE(WriteTextureStrip("data/w.124", std::vector<StripTile>(101, {1, {0}})));
}

TEST_F(PictureTest, QuantisingPicksTheNearestEntryAndTheLowestOnATie) {
  uint32_t colours[256] = {};
  colours[1] = 0x00fc0000;
  colours[2] = colours[3] = 0x000000fc;
  colours[4] = 0x00808080;
  const Pixels pixels = {0xfff00000, 0xff0000ff, 0xff7a8590, 0x00000000, 0xff010101};
  std::vector<uint8_t> indices(pixels.size(), 99);
  QuantiseToPalette(MakePalette(colours), pixels.data(), pixels.size(), indices.data());
  EXPECT_EQ(indices, (std::vector<uint8_t>{1, 2, 4, 0, 0}));
}

}  // namespace
