#include "gfx/picture_file.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "gfx/image_slots.h"
#include "support/engine_test.h"

namespace {

struct Picture {
  int32_t status = -1;
  int32_t width = -7;
  int32_t height = -7;
  std::vector<uint32_t> pixels;
  bool buffer = false;
  bool spareBytesClear = false;
};

// Reads a picture and copies it out; also checks that the buffer carries the
// spare bytes, cleared, that the 3-byte readers rely on.
Picture Read(const std::string& name) {
  EngineLog log;
  Picture p;
  uint32_t* pixels = nullptr;
  p.status = vxReadPic(log, name.c_str(), pixels, p.width, p.height);
  if (pixels != nullptr) {
    p.buffer = true;
    p.pixels.assign(pixels, pixels + static_cast<size_t>(p.width) * static_cast<size_t>(p.height));
    const uint8_t* bytes = reinterpret_cast<const uint8_t*>(pixels);
    const int64_t end = PictureBufferBytes(p.width, p.height);
    p.spareBytesClear = true;
    for (int64_t i = int64_t{p.width} * p.height * 4; i < end; ++i) p.spareBytesClear &= bytes[i] == 0;
    std::free(pixels);
  }
  return p;
}

void Put16(std::string& s, size_t at, int32_t v) {
  s[at] = static_cast<char>(v & 0xff);
  s[at + 1] = static_cast<char>((v >> 8) & 0xff);
}

void Put32(std::string& s, size_t at, int64_t v) {
  for (int i = 0; i < 4; ++i) s[at + static_cast<size_t>(i)] = static_cast<char>((v >> (8 * i)) & 0xff);
}

std::string Vx1Header(int32_t width, int32_t height) {
  std::string s(10, '\0');
  Put16(s, 0, width);
  Put16(s, 2, height);
  return s;
}

std::string Bgr(int b, int g, int r) { return {static_cast<char>(b), static_cast<char>(g), static_cast<char>(r)}; }

// A bitmap header with the fields the reader looks at; pixel data follows at 54.
std::string BitmapHeader(int64_t width, int64_t height, int32_t bits, int64_t offset = 54) {
  std::string s(54, '\0');
  s[0] = 'B';
  s[1] = 'M';
  Put32(s, 10, offset);
  Put32(s, 14, 40);
  Put32(s, 18, width);
  Put32(s, 22, height);
  Put16(s, 26, 1);
  Put16(s, 28, bits);
  return s;
}

// Runs in a scratch game folder with its "data" folder.
class PictureTest : public vxtest::EngineTest {
 protected:
  void SetUp() override {
    vxtest::EngineTest::SetUp();
    std::filesystem::create_directories("data");
  }
};

using PictureVx1 = PictureTest;

TEST_F(PictureVx1, RowsRunBottomUpAndBytesAreBlueGreenRed) {
  // File rows: bottom B0 B1 B2, then top T0 T1 T2.
  std::string file = Vx1Header(3, 2);
  file += Bgr(10, 20, 30) + Bgr(1, 0, 0) + Bgr(2, 0, 0);  // B0 B1 B2
  file += Bgr(3, 0, 0) + Bgr(4, 0, 0) + Bgr(0, 0, 5);     // T0 T1 T2
  vxtest::WriteFile("p.vx1", file);
  const Picture p = Read("p.vx1");
  ASSERT_EQ(p.status, kPictureRead);
  EXPECT_EQ(p.width, 3);
  EXPECT_EQ(p.height, 2);
  const std::vector<uint32_t> expected = {0xff000003, 0xff000004, 0xff050000,   // T0 T1 T2
                                          0xff1e140a, 0xff000001, 0xff000002};  // B0 B1 B2
  EXPECT_EQ(p.pixels, expected);
  EXPECT_TRUE(p.spareBytesClear);
}

TEST_F(PictureVx1, ShortFileKeepsItsSizeAndClearsMissingPixelsToOpaqueBlack) {
  std::string file = Vx1Header(2, 2);
  file += Bgr(1, 2, 3) + Bgr(4, 5, 6);  // bottom row
  file += Bgr(7, 8, 9) + "\x0a\x0b";    // top row: one pixel and two bytes of another
  vxtest::WriteFile("short.vx1", file);
  const Picture p = Read("short.vx1");
  ASSERT_EQ(p.status, kPictureRead);
  const std::vector<uint32_t> expected = {0xff090807, 0xff000000, 0xff030201, 0xff060504};
  EXPECT_EQ(p.pixels, expected);

  vxtest::WriteFile("header.vx1", Vx1Header(4, 3));
  const Picture h = Read("header.vx1");
  ASSERT_EQ(h.status, kPictureRead);
  EXPECT_EQ(h.pixels, std::vector<uint32_t>(12, 0xff000000));
}

TEST_F(PictureVx1, RefusedSizesGiveNoPicture) {
  // Sides of 0 or less (the header is signed 16-bit), a file too short to
  // hold a size, a side past 16384 and an area past 64 Mi pixels.
  const std::vector<std::pair<int32_t, int32_t>> sizes = {{0, 5}, {5, 0}, {-3, 4}, {4, 0xfffe},
                                                          {20000, 1}, {1, 16385}, {8193, 8193}};
  for (const auto& [w, h] : sizes) {
    vxtest::WriteFile("bad.vx1", Vx1Header(w, h) + Bgr(1, 2, 3));
    const Picture p = Read("bad.vx1");
    EXPECT_EQ(p.status, 0) << w << "x" << h;
    EXPECT_FALSE(p.buffer);
  }
  vxtest::WriteFile("tiny.vx1", "\x05");
  EXPECT_EQ(Read("tiny.vx1").status, 0);

  vxtest::WriteFile("neg.vx1", Vx1Header(-3, 4));
  const Picture p = Read("neg.vx1");
  EXPECT_EQ(p.width, -3);  // sizes are still reported for an opened file
  EXPECT_EQ(p.height, 4);

  vxtest::WriteFile("edge.vx1", Vx1Header(16384, 1));
  EXPECT_EQ(Read("edge.vx1").status, kPictureRead);
}

TEST_F(PictureVx1, MissingFileLeavesOutputsUntouched) {
  const Picture p = Read("data/none.vx1");
  EXPECT_EQ(p.status, 0);
  EXPECT_EQ(p.width, -7);
  EXPECT_EQ(p.height, -7);
}

using PictureName = PictureTest;

TEST_F(PictureName, OnlyExactExtensionSpellingsAreRecognised) {
  const std::string vx1 = Vx1Header(1, 1) + Bgr(1, 2, 3);
  const std::string bmp = BitmapHeader(1, 1, 24) + Bgr(1, 2, 3) + std::string(1, '\0');
  for (const char* name : {"a.vx1", "a.VX1", "vx1"}) {
    vxtest::WriteFile(name, vx1);
    EXPECT_EQ(Read(name).status, kPictureRead) << name;
  }
  for (const char* name : {"a.bmp", "a.BMP"}) {
    vxtest::WriteFile(name, bmp);
    EXPECT_EQ(Read(name).status, kPictureRead) << name;
  }
  for (const char* name : {"a.Vx1", "a.vX1", "a.vx1 ", "a.Bmp", "a.bMP", "a.png", "a.9x1", "a.1a2"}) {
    vxtest::WriteFile(name, vx1);
    EXPECT_EQ(Read(name).status, 0) << name;
  }
  vxtest::WriteFile("x1", vx1);
  EXPECT_EQ(Read("x1").status, 0);
  EXPECT_EQ(Read("").status, 0);
}

using PictureBitmap = PictureTest;

TEST_F(PictureBitmap, TwentyFourBitRowsSkipTheirPadding) {
  // Widths 5, 6 and 4 give rows of 16, 20 and 12 bytes.
  for (int32_t width : {5, 6, 4}) {
    const size_t rowBytes = (static_cast<size_t>(width) * 3 + 3) / 4 * 4;
    std::string file = BitmapHeader(width, 2, 24);
    std::vector<uint32_t> expected(static_cast<size_t>(width) * 2);
    for (int32_t n = 0; n < 2; ++n) {  // file row n is picture row 1 - n
      std::string row;
      for (int32_t x = 0; x < width; ++x) {
        const int v = n * 16 + x + 1;
        row += Bgr(v, v + 100, v + 200);
        expected[static_cast<size_t>((1 - n) * width + x)] =
            0xff000000u | static_cast<uint32_t>((v + 200) << 16 | (v + 100) << 8 | v);
      }
      row.resize(rowBytes, '\x77');  // padding bytes must not show up as pixels
      file += row;
    }
    vxtest::WriteFile("p.bmp", file);
    const Picture p = Read("p.bmp");
    ASSERT_EQ(p.status, kPictureRead) << width;
    EXPECT_EQ(p.width, width);
    EXPECT_EQ(p.height, 2);
    EXPECT_EQ(p.pixels, expected) << width;
  }
}

TEST_F(PictureBitmap, ThirtyTwoBitKeepsAlphaAndHasNoPadding) {
  std::string file = BitmapHeader(3, 2, 32, 60) + std::string(6, '\x55');  // data offset 60
  file += std::string("\x01\x02\x03\x04\x05\x06\x07\x08\x09\x0a\x0b\x0c", 12);  // bottom row
  file += std::string("\x10\x20\x30\x00\x11\x21\x31\x80\x12\x22\x32\xff", 12);  // top row
  vxtest::WriteFile("p.BMP", file);
  const Picture p = Read("p.BMP");
  ASSERT_EQ(p.status, kPictureRead);
  const std::vector<uint32_t> expected = {0x00302010, 0x80312111, 0xff322212,
                                          0x04030201, 0x08070605, 0x0c0b0a09};
  EXPECT_EQ(p.pixels, expected);
}

TEST_F(PictureBitmap, OtherDepthsGiveAGreyPictureOfTheirSize) {
  for (int32_t bits : {8, 1, 16, 0}) {
    vxtest::WriteFile("p.bmp", BitmapHeader(7, 3, bits) + std::string(1024, '\x01'));
    const Picture p = Read("p.bmp");
    ASSERT_EQ(p.status, kPictureRead) << bits;
    EXPECT_EQ(p.width, 7);
    EXPECT_EQ(p.height, 3);
    EXPECT_EQ(p.pixels, std::vector<uint32_t>(21, 0xff646464)) << bits;
  }
}

TEST_F(PictureBitmap, HeaderFieldsUseTheirLow16Bits) {
  // Upper halves are ignored: width 0x00010002 reads as 2, offset 0x00100036 as 54.
  std::string file = BitmapHeader(0x00010002, 0x00020001, 24, 0x00100036);
  file += Bgr(1, 2, 3) + Bgr(4, 5, 6) + std::string(2, '\0');
  vxtest::WriteFile("p.bmp", file);
  const Picture p = Read("p.bmp");
  ASSERT_EQ(p.status, kPictureRead);
  EXPECT_EQ(p.width, 2);
  EXPECT_EQ(p.height, 1);
  EXPECT_EQ(p.pixels, (std::vector<uint32_t>{0xff030201, 0xff060504}));
}

TEST_F(PictureBitmap, NegativeZeroAndOversizeSizesGiveNoPicture) {
  // A top-down bitmap (negative height), empty sizes, and sizes past the bounds.
  const std::vector<std::pair<int64_t, int64_t>> sizes = {{4, -4}, {-4, 4}, {0, 3}, {3, 0}, {20000, 2}, {8193, 8193}};
  for (const auto& [w, h] : sizes) {
    vxtest::WriteFile("p.bmp", BitmapHeader(w, h, 24) + std::string(64, '\x01'));
    const Picture p = Read("p.bmp");
    EXPECT_EQ(p.status, 0) << w << "x" << h;
    EXPECT_FALSE(p.buffer);
  }
  vxtest::WriteFile("head.bmp", std::string("BM\x10\x00", 4));  // header cut short: sizes read as 0
  EXPECT_EQ(Read("head.bmp").status, 0);
}

TEST_F(PictureBitmap, MissingPixelDataIsClearedAndTheSizeKept) {
  // Data offset past the end of the file: opaque black for 24 bits.
  vxtest::WriteFile("far.bmp", BitmapHeader(2, 2, 24, 4000) + std::string(16, '\x09'));
  const Picture far = Read("far.bmp");
  ASSERT_EQ(far.status, kPictureRead);
  EXPECT_EQ(far.pixels, std::vector<uint32_t>(4, 0xff000000));

  // Reading stops inside the second pixel of the bottom row; 32-bit pixels
  // that were not supplied have no alpha either.
  std::string file = BitmapHeader(2, 2, 32) + std::string("\x01\x02\x03\x04\x05\x06", 6);
  vxtest::WriteFile("short.bmp", file);
  const Picture p = Read("short.bmp");
  ASSERT_EQ(p.status, kPictureRead);
  EXPECT_EQ(p.pixels, (std::vector<uint32_t>{0, 0, 0x04030201, 0}));
}

// --- Texture strips ----------------------------------------------------------

std::string Directory(const std::vector<int32_t>& pairs) {
  std::string s;
  for (int32_t i = 0; i < kStripDirectoryValues; ++i) {
    s += std::to_string(static_cast<size_t>(i) < pairs.size() ? pairs[static_cast<size_t>(i)] : 0) + " ";
  }
  return s;
}

// A strip file: the count, the directory and the packed stream.
std::string Strip(const std::vector<int32_t>& pairs, const std::vector<int32_t>& stream) {
  std::string s = std::to_string(199 + stream.size()) + "\n" + Directory(pairs) + "\n";
  for (int32_t v : stream) s += std::to_string(v) + " ";
  return s + "\n";
}

// A palette whose entry i has blue i / 4, green 0, red 63 - i / 4 (6-bit).
PaletteValues RampPalette() {
  PaletteValues p{};
  for (size_t i = 0; i < 256; ++i) {
    p[i] = static_cast<int32_t>(i / 4);
    p[kPaletteRedStart + i] = static_cast<int32_t>(63 - i / 4);
  }
  return p;
}

class PictureStrip : public PictureTest {
 protected:
  void SetUp() override {
    PictureTest::SetUp();
    ASSERT_TRUE(WritePalette(kPaletteFileName, RampPalette()));
  }
  static uint32_t Colour(int32_t index) { return PaletteColour(RampPalette(), index); }
};

TEST_F(PictureStrip, PacksTwoIndicesPerValueAndStoresTileRowsBottomUp) {
  // Two 2 × 2 tiles. Tile 0 starts at position 0, tile 1 at position 5, so it
  // begins in the low byte of a value. Values: 0x0102, 0x0304, 0x0506, 0x0708,
  // 0xff09 (written signed, as -247).
  vxtest::WriteFile("data/t.100", Strip({0, 2, 5, 2}, {0x0102, 0x0304, 0x0506, 0x0708, -247}));
  const Picture p = Read("data/t.100");
  ASSERT_EQ(p.status, kPictureRead);
  EXPECT_EQ(p.width, 4);
  EXPECT_EQ(p.height, 2);
  // Tile 0: bottom row = positions 0,1 (indices 1,2), top row = 2,3 (3,4).
  // Tile 1: bottom row = positions 5,6 (6,7), top row = 7,8 (8,0xff).
  const std::vector<uint32_t> expected = {Colour(3), Colour(4), Colour(8), Colour(0xff),
                                          Colour(1), Colour(2), Colour(6), Colour(7)};
  EXPECT_EQ(p.pixels, expected);
  EXPECT_TRUE(p.spareBytesClear);
}

TEST_F(PictureStrip, TakesTheLeadingTilesOfTheFirstSide) {
  // Sides 32, 32, 32, 16: three tiles, 96 × 32.
  const std::vector<int32_t> stream(32 * 32 * 3 / 2 + 128, 0x0101);
  vxtest::WriteFile("data/t.000", Strip({0, 32, 1024, 32, 2048, 32, 3072, 16, 0, 32}, stream));
  const Picture p = Read("data/t.000");
  ASSERT_EQ(p.status, kPictureRead);
  EXPECT_EQ(p.width, 96);
  EXPECT_EQ(p.height, 32);
  EXPECT_EQ(p.pixels, std::vector<uint32_t>(96 * 32, Colour(1)));

  // At most 99 tiles are examined even when all 100 directory pairs agree.
  std::vector<int32_t> pairs;
  for (int32_t j = 0; j < 100; ++j) pairs.insert(pairs.end(), {0, 1});
  vxtest::WriteFile("data/t.001", Strip(pairs, {0}));
  const Picture all = Read("data/t.001");
  ASSERT_EQ(all.status, kPictureRead);
  EXPECT_EQ(all.width, 99);
  EXPECT_EQ(all.height, 1);
}

TEST_F(PictureStrip, PaletteValuesAreSixBitTimesFourModulo256) {
  PaletteValues pal{};
  pal[7] = 63;
  pal[256 + 7] = 0;
  pal[kPaletteRedStart + 7] = 10;
  pal[512] = 63;  // not part of any table
  pal[8] = 64;    // 256 wraps to 0
  pal[256 + 8] = 70;
  pal[kPaletteRedStart + 8] = -1;  // -4 wraps to 252
  ASSERT_TRUE(WritePalette(kPaletteFileName, pal));
  EXPECT_EQ(PaletteColour(pal, 7), 0xff2800fcu);  // blue 252, green 0, red 40
  EXPECT_EQ(PaletteColour(pal, 0), 0xff000000u);
  vxtest::WriteFile("data/t.002", Strip({0, 2}, {0x0708, 0x0000}));
  const Picture p = Read("data/t.002");
  ASSERT_EQ(p.status, kPictureRead);
  EXPECT_EQ(p.pixels, (std::vector<uint32_t>{0xff000000, 0xff000000, 0xff2800fc, 0xfffc1800}));
}

TEST_F(PictureStrip, StreamValuesKeepTheirLow16Bits) {
  // 65535 and -1 carry the same two indices.
  vxtest::WriteFile("data/a.003", Strip({0, 2}, {65535, -1}));
  const Picture p = Read("data/a.003");
  ASSERT_EQ(p.status, kPictureRead);
  EXPECT_EQ(p.pixels, std::vector<uint32_t>(4, Colour(255)));
}

TEST_F(PictureStrip, BrokenStripsGiveNoPictureAndNeverReadOutsideTheirTables) {
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
      {"count above the limit", "1000001\n" + Directory({0, 1}) + " 1\n"},
      {"overflowing count", "99999999999 0 1 1\n"},
      {"negative count", "-5 0 1 1\n"},
      {"empty file", ""},
      {"not numbers", "abc"},
      {"side past the bounds", Strip({0, 16385}, four)},
      {"strip past the bounds", Strip(wide, std::vector<int32_t>(20000, 0))},
  };
  for (const auto& [what, text] : cases) {
    vxtest::WriteFile("data/bad.004", text);
    const Picture p = Read("data/bad.004");
    EXPECT_EQ(p.status, 0) << what;
    EXPECT_FALSE(p.buffer) << what;
  }
  // The last position of the stream is still inside it.
  vxtest::WriteFile("data/ok.004", Strip({2, 1}, {0x0000, 0x0009}));
  const Picture p = Read("data/ok.004");
  ASSERT_EQ(p.status, kPictureRead);
  EXPECT_EQ(p.pixels, std::vector<uint32_t>{Colour(0)});
  vxtest::WriteFile("data/ok.005", Strip({3, 1}, {0x0000, 0x0009}));
  EXPECT_EQ(Read("data/ok.005").pixels, std::vector<uint32_t>{Colour(9)});
}

TEST_F(PictureStrip, MissingFilesGiveNoPicture) {
  EXPECT_EQ(Read("data/none.006").status, 0);
  vxtest::WriteFile("data/t.006", Strip({0, 1}, {0x0102}));
  ASSERT_EQ(Read("data/t.006").status, kPictureRead);
  std::filesystem::remove(kPaletteFileName);
  EXPECT_EQ(Read("data/t.006").status, 0);
}

TEST_F(PictureStrip, ShortPaletteReadsItsMissingValuesAsZero) {
  vxtest::WriteFile(kPaletteFileName, "40 41 42");
  vxtest::WriteFile("data/t.007", Strip({0, 1}, {0x0201}));
  const Picture p = Read("data/t.007");
  ASSERT_EQ(p.status, kPictureRead);
  EXPECT_EQ(p.pixels, std::vector<uint32_t>{0xff0000a8});  // entry 2: blue 42 · 4 = 168
}

// --- Log lines ---------------------------------------------------------------

using PictureLog = PictureTest;

TEST_F(PictureLog, WritesStartPaletteAndEndLines) {
  ASSERT_TRUE(WritePalette(kPaletteFileName, RampPalette()));
  vxtest::WriteFile("data/t.010", Strip({0, 1}, {0}));
  vxtest::WriteFile("data/p.vx1", Vx1Header(1, 1) + Bgr(1, 1, 1));
  EngineLog log;
  log.enabled = 1;
  log.stream.open("log.txt", std::ios::binary);
  uint32_t* pixels = nullptr;
  int32_t w = 0, h = 0;
  for (const char* name : {"data/t.010", "data/p.vx1", "data/none.vx1", "data/x.txt"}) {
    if (vxReadPic(log, name, pixels, w, h) == kPictureRead) std::free(pixels);
  }
  log.stream.close();
  EXPECT_EQ(vxtest::ReadFile("log.txt"),
            "vxReadPic start. trying read: data/t.010\n"
            "vxReadPic trying read system file: data/pal_c.000\n"
            "vxReadPic fin read data/t.010\n"
            "vxReadPic start. trying read: data/p.vx1\n"
            "vxReadPic fin read data/p.vx1\n"
            "vxReadPic start. trying read: data/none.vx1\n"
            "vxReadPic fin read data/none.vx1\n"
            "vxReadPic start. trying read: data/x.txt\n"
            "vxReadPic fin read data/x.txt\n");
}

TEST_F(PictureLog, DisabledLogStaysEmpty) {
  EngineLog log;
  log.stream.open("log.txt", std::ios::binary);
  uint32_t* pixels = nullptr;
  int32_t w = 0, h = 0;
  EXPECT_EQ(vxReadPic(log, "data/none.vx1", pixels, w, h), 0);
  log.stream.close();
  EXPECT_EQ(vxtest::ReadFile("log.txt"), "");
}

// --- Writers -----------------------------------------------------------------

using PictureWriter = PictureTest;

TEST_F(PictureWriter, Vx1RoundTripsColourAndWritesTheLayout) {
  const std::vector<uint32_t> pixels = {0x12345678, 0x00abcdef, 0xff000001,   // top row
                                        0x80102030, 0x00000000, 0x7fffffff};  // bottom row
  ASSERT_TRUE(WriteVx1("w.vx1", 3, 2, pixels.data()));
  const std::string bytes = vxtest::ReadFile("w.vx1");
  ASSERT_EQ(bytes.size(), 10u + 18u);
  EXPECT_EQ(bytes.substr(0, 10), std::string("\x03\x00\x02\x00\0\0\0\0\0\0", 10));
  EXPECT_EQ(bytes.substr(10, 3), "\x30\x20\x10");  // the bottom row comes first
  const Picture p = Read("w.vx1");
  ASSERT_EQ(p.status, kPictureRead);
  for (size_t i = 0; i < pixels.size(); ++i) EXPECT_EQ(p.pixels[i], pixels[i] | 0xff000000u) << i;

  EXPECT_FALSE(WriteVx1("z.vx1", 0, 2, pixels.data()));
  EXPECT_FALSE(WriteVx1("z.vx1", 32768, 1, pixels.data()));
  EXPECT_FALSE(WriteVx1("no/such/folder/z.vx1", 3, 2, pixels.data()));
}

TEST_F(PictureWriter, StripAndPaletteRoundTrip) {
  uint32_t colours[256];
  for (uint32_t i = 0; i < 256; ++i) colours[i] = (i * 0x010305u * 4u) & 0x00fcfcfcu;
  const PaletteValues palette = MakePalette(colours);
  ASSERT_TRUE(WritePalette(kPaletteFileName, palette));
  for (int32_t i = 0; i < 256; ++i) EXPECT_EQ(PaletteColour(palette, i), colours[i] | 0xff000000u) << i;

  // Three 3 × 3 tiles (an odd number of positions) and a fourth of another
  // side that the reader does not take.
  std::vector<StripTile> tiles(3);
  for (size_t j = 0; j < tiles.size(); ++j) {
    tiles[j].side = 3;
    for (size_t i = 0; i < 9; ++i) tiles[j].indices.push_back(static_cast<uint8_t>(j * 80 + i * 17 + 1));
  }
  tiles.push_back({2, {9, 9, 9, 9}});
  ASSERT_TRUE(WriteTextureStrip("data/w.123", tiles));
  const Picture p = Read("data/w.123");
  ASSERT_EQ(p.status, kPictureRead);
  ASSERT_EQ(p.width, 9);
  ASSERT_EQ(p.height, 3);
  for (int32_t y = 0; y < 3; ++y) {
    for (int32_t x = 0; x < 9; ++x) {
      const uint8_t index = tiles[static_cast<size_t>(x / 3)].indices[static_cast<size_t>(y * 3 + x % 3)];
      EXPECT_EQ(p.pixels[static_cast<size_t>(y * 9 + x)], colours[index] | 0xff000000u) << x << "," << y;
    }
  }

  EXPECT_FALSE(WriteTextureStrip("data/w.124", {}));
  EXPECT_FALSE(WriteTextureStrip("data/w.124", {{2, {1, 2, 3}}}));
  EXPECT_FALSE(WriteTextureStrip("data/w.124", std::vector<StripTile>(101, {1, {0}})));
}

TEST_F(PictureWriter, QuantisingPicksTheNearestEntryAndTheLowestOnATie) {
  uint32_t colours[256] = {};
  colours[1] = 0x00fc0000;  // red
  colours[2] = 0x000000fc;  // blue
  colours[3] = 0x000000fc;  // blue again: index 2 wins
  colours[4] = 0x00808080;
  const PaletteValues palette = MakePalette(colours);
  const std::vector<uint32_t> pixels = {0xfff00000, 0xff0000ff, 0xff7a8590, 0x00000000, 0xff010101};
  std::vector<uint8_t> indices(pixels.size(), 99);
  QuantiseToPalette(palette, pixels.data(), pixels.size(), indices.data());
  EXPECT_EQ(indices, (std::vector<uint8_t>{1, 2, 4, 0, 0}));
}

}  // namespace
