// What vxpic refuses, and that it says why: PNG kinds it does not read,
// pictures past the game's size bounds, alpha where the kind has none,
// colours outside the palette, strips that are not whole square tiles, and
// bad command lines. A refusal leaves an earlier target file as it was.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "gfx/picture_file.h"
#include "support/programs.h"
#include "vxpic/png_file.h"
#include "vxpic_test_support.h"

namespace {

using namespace vxpic_test;
using vxpic::Picture;

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// A grey 1-bit PNG of any size: small on disk even when huge in pixels.
bool WriteBlankPng(const std::string& name, int32_t w, int32_t h) {
  RawPng p;
  p.width = w;
  p.height = h;
  p.bitDepth = 1;
  p.colourType = PNG_COLOR_TYPE_GRAY;
  p.rows.assign(static_cast<size_t>(h), std::vector<uint8_t>(static_cast<size_t>((w + 7) / 8), 0));
  return WriteRawPng(name, p);
}

class VxpicRefusal : public VxpicTest {
 protected:
  // Runs from-png into `target`, which holds a file beforehand: a refusal
  // must leave it alone.
  RunResult FromPngOver(const std::string& png, const std::string& target,
                        std::vector<std::string> more = {}) {
    earlier_ = "earlier file";
    {
      std::ofstream f(target, std::ios::binary);
      f << earlier_;
    }
    std::vector<std::string> args{"from-png", png, target};
    args.insert(args.end(), more.begin(), more.end());
    return RunVxpic(args);
  }
  bool TargetUntouched(const std::string& target) { return Slurp(target) == earlier_; }

  std::string earlier_;
};

TEST_F(VxpicRefusal, PngKindsThatAreNotRead) {
  RawPng deep;
  deep.width = 2;
  deep.bitDepth = 16;
  deep.rows = {std::vector<uint8_t>(12, 0x40)};
  ASSERT_TRUE(WriteRawPng("deep.png", deep));
  RunResult r = FromPngOver("deep.png", "p.vx1");
  EXPECT_EQ(r.code, 1);
  EXPECT_TRUE(Has(r.err, "deep.png: 16 bits per channel")) << r.err;
  EXPECT_TRUE(TargetUntouched("p.vx1"));

  RawPng laced = deep;
  laced.bitDepth = 8;
  laced.interlaced = true;
  laced.width = 3;
  laced.height = 3;
  laced.rows.assign(3, std::vector<uint8_t>(9, 0x40));
  ASSERT_TRUE(WriteRawPng("laced.png", laced));
  r = FromPngOver("laced.png", "p.vx1");
  EXPECT_EQ(r.code, 1);
  EXPECT_TRUE(Has(r.err, "laced.png: interlaced")) << r.err;
  EXPECT_TRUE(TargetUntouched("p.vx1"));

  // A PNG cut short, and a file that is no PNG at all.
  ASSERT_TRUE(WritePicturePng("whole.png", Pattern(9, 9), false));
  const std::string whole = Slurp("whole.png");
  std::ofstream("cut.png", std::ios::binary) << whole.substr(0, whole.size() - 30);
  r = FromPngOver("cut.png", "p.vx1");
  EXPECT_EQ(r.code, 1);
  EXPECT_TRUE(Has(r.err, "cut.png: damaged PNG")) << r.err;
  std::ofstream("text.png") << "just text\n";
  r = FromPngOver("text.png", "p.vx1");
  EXPECT_EQ(r.code, 1);
  EXPECT_TRUE(Has(r.err, "text.png: not a PNG file")) << r.err;
  EXPECT_TRUE(TargetUntouched("p.vx1"));
}

TEST_F(VxpicRefusal, SizeBoundsOfTheGame) {
  for (auto [w, h] : {std::pair{16385, 1}, {1, 16385}, {8193, 8193}}) {
    SCOPED_TRACE(std::to_string(w) + " x " + std::to_string(h));
    ASSERT_TRUE(WriteBlankPng("big.png", w, h));
    const RunResult r = FromPngOver("big.png", "p.vx1");
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(Has(r.err, std::to_string(w) + " x " + std::to_string(h) + " is over the size bounds"))
        << r.err;
    EXPECT_TRUE(TargetUntouched("p.vx1"));
  }
  // The largest side the game reads is taken.
  ASSERT_TRUE(WriteBlankPng("edge.png", 16384, 1));
  const RunResult r = RunVxpic({"from-png", "edge.png", "edge.vx1"});
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(GameRead("edge.vx1").width, 16384);
}

TEST_F(VxpicRefusal, AlphaWhereTheKindHasNone) {
  Picture pic = Pattern(4, 2);
  pic.pixels[2] = 0x80ff4003;  // half covered, at (2, 0)
  pic.pixels[5] = 0x00123456;  // not covered at all
  ASSERT_TRUE(WritePicturePng("alpha.png", pic, true));
  RunResult r = FromPngOver("alpha.png", "p.vx1");
  EXPECT_EQ(r.code, 1);
  EXPECT_TRUE(Has(r.err, "2 pixels are not fully opaque (the first at 2, 0, alpha 128)")) << r.err;
  EXPECT_TRUE(Has(r.err, "--flatten"));
  EXPECT_TRUE(TargetUntouched("p.vx1"));

  fs::create_directories("data");
  ASSERT_TRUE(WritePalette("data/pal_c.000", TestPalette()));
  r = FromPngOver("alpha.png", "data/s.100");
  EXPECT_EQ(r.code, 1);
  EXPECT_TRUE(Has(r.err, "a texture strip has no alpha")) << r.err;
  EXPECT_TRUE(TargetUntouched("data/s.100"));

  // Over black: each channel times alpha / 255, rounded; no cover is black.
  r = RunVxpic({"from-png", "alpha.png", "p.vx1", "--flatten"});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_TRUE(Has(r.out, "2 translucent pixels were put over black")) << r.out;
  const Picture game = GameRead("p.vx1");
  ASSERT_EQ(game.pixels.size(), 8u);
  EXPECT_EQ(game.pixels[2], 0xff802002u);  // 255, 64, 3 times 128 / 255: 128, 32.1, 1.5
  EXPECT_EQ(game.pixels[5], 0xff000000u);
  EXPECT_EQ(game.pixels[0], pic.pixels[0]);
}

TEST_F(VxpicRefusal, ColoursOutsideThePalette) {
  fs::create_directories("data");
  ASSERT_TRUE(WritePalette("data/pal_c.000", TestPalette()));
  Picture pic;
  pic.width = 4;
  pic.height = 2;
  for (int32_t i = 0; i < 8; ++i) pic.pixels.push_back(PaletteColour(TestPalette(), i * 30));
  // One channel off by one from entry 90 at (3, 0), and pure white.
  const uint32_t nearly = PaletteColour(TestPalette(), 90) + 1;
  pic.pixels[3] = nearly;
  pic.pixels[6] = 0xffffffffu;
  ASSERT_TRUE(WritePicturePng("off.png", pic, false));
  RunResult r = FromPngOver("off.png", "data/s.100");
  EXPECT_EQ(r.code, 1);
  char colour[16];
  std::snprintf(colour, sizeof colour, "#%06x", nearly & 0xffffffu);
  EXPECT_TRUE(Has(
      r.err,
      std::string("2 pixels have colours that are not in the palette (the first at 3, 0: ") + colour + ")"))
      << r.err;
  EXPECT_TRUE(Has(r.err, "--nearest"));
  EXPECT_TRUE(TargetUntouched("data/s.100"));

  r = RunVxpic({"from-png", "off.png", "data/s.100", "--nearest"});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_TRUE(Has(r.out, "2 pixels took the nearest palette colour")) << r.out;
  Picture want = pic;
  want.pixels[3] = PaletteColour(TestPalette(), 90);
  uint8_t index = 0;
  QuantiseToPalette(TestPalette(), &pic.pixels[6], 1, &index);
  want.pixels[6] = PaletteColour(TestPalette(), index);
  EXPECT_EQ(GameRead("data/s.100").pixels, want.pixels);
}

TEST_F(VxpicRefusal, StripsAreWholeSquareTilesUpToNinetyNine) {
  fs::create_directories("data");
  ASSERT_TRUE(WritePalette("data/pal_c.000", TestPalette()));
  auto strip = [](int32_t w, int32_t h) {
    Picture p;
    p.width = w;
    p.height = h;
    p.pixels.assign(static_cast<size_t>(w) * static_cast<size_t>(h), PaletteColour(TestPalette(), 5));
    return p;
  };
  ASSERT_TRUE(WritePicturePng("seven.png", strip(7, 3), false));
  RunResult r = FromPngOver("seven.png", "data/s.100");
  EXPECT_EQ(r.code, 1);
  EXPECT_TRUE(Has(r.err, "the width 7 must be a whole multiple of the height 3")) << r.err;
  ASSERT_TRUE(WritePicturePng("hundred.png", strip(100, 1), false));
  r = FromPngOver("hundred.png", "data/s.100");
  EXPECT_EQ(r.code, 1);
  EXPECT_TRUE(Has(r.err, "at most 99 tiles, this picture has 100")) << r.err;
  EXPECT_TRUE(TargetUntouched("data/s.100"));
  // More pixels than a strip's 1,000,000 values can carry.
  ASSERT_TRUE(WritePicturePng("wide.png", strip(99 * 143, 143), false));
  r = FromPngOver("wide.png", "data/s.100");
  EXPECT_EQ(r.code, 1);
  EXPECT_TRUE(Has(r.err, "a texture strip holds at most 1999602 pixels")) << r.err;

  ASSERT_TRUE(WritePicturePng("ninetynine.png", strip(99, 1), false));
  r = RunVxpic({"from-png", "ninetynine.png", "data/s.100"});
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_TRUE(Has(r.out, "99 tiles"));
  EXPECT_EQ(GameRead("data/s.100").width, 99);
}

TEST_F(VxpicRefusal, GameFilesTheGameDoesNotRead) {
  // A .vx1 header of 0 x 5, a strip whose tile runs past its stream, a name
  // of no kind: to-png says why and writes nothing.
  std::ofstream("zero.vx1", std::ios::binary) << std::string("\0\0\5\0\0\0\0\0\0\0", 10);
  RunResult r = RunVxpic({"to-png", "zero.vx1", "z.png"});
  EXPECT_EQ(r.code, 1);
  EXPECT_TRUE(Has(r.err, "its header gives the size 0 x 5")) << r.err;
  fs::create_directories("data");
  ASSERT_TRUE(WritePalette("data/pal_c.000", TestPalette()));
  std::string text = "201\n0 4";
  for (int i = 2; i < 202; ++i) text += " 0";
  std::ofstream("data/s.100") << text << "\n";
  r = RunVxpic({"to-png", "data/s.100", "z.png"});
  EXPECT_EQ(r.code, 1);
  EXPECT_TRUE(
      Has(r.err, "tile 0 starts at index 0, which with its 16 pixels is outside the index stream of 4"))
      << r.err;
  r = RunVxpic({"to-png", "notes.txt", "z.png"});
  EXPECT_EQ(r.code, 1);
  EXPECT_TRUE(Has(r.err, "the game reads no picture from this name")) << r.err;
  EXPECT_FALSE(fs::exists("z.png"));
}

TEST_F(VxpicRefusal, AFailedWriteKeepsTheEarlierFile) {
  // The new file is written beside the old one and renamed over it; a
  // folder in the way of that scratch name makes the write fail.
  ASSERT_TRUE(WritePicturePng("in.png", Pattern(3, 2), false));
  fs::create_directory("p.vx1.vxpic-new");
  RunResult r = FromPngOver("in.png", "p.vx1");
  EXPECT_EQ(r.code, 1);
  EXPECT_TRUE(Has(r.err, "in.png into p.vx1: cannot write it")) << r.err;
  EXPECT_TRUE(TargetUntouched("p.vx1"));

  ASSERT_TRUE(WriteVx1("q.vx1", 3, 2, Pattern(3, 2).pixels.data()));
  std::ofstream("out.png") << "earlier file";
  fs::create_directory("out.png.vxpic-new");
  r = RunVxpic({"to-png", "q.vx1", "out.png"});
  EXPECT_EQ(r.code, 1);
  EXPECT_TRUE(Has(r.err, "out.png: cannot write it")) << r.err;
  EXPECT_EQ(Slurp("out.png"), "earlier file");
}

TEST_F(VxpicRefusal, BadCommandLinesExitWithTwo) {
  ASSERT_TRUE(WritePicturePng("in.png", Pattern(2, 2), false));
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
      {{"from-png", "in.png", "p.vx1", "--bogus"}, "unknown option '--bogus'"},
      {{}, "no command"},
      {{"convert", "in.png"}, "unknown command 'convert'"},
      {{"from-png", "in.png"}, "from-png takes two files"},
      {{"info", "a", "b"}, "info takes one file"},
      {{"to-png", "in.png", "x.png", "--nearest"}, "--nearest belongs to from-png"},
      {{"info", "in.png", "--palette"}, "--palette needs a file"},
      // Mixed-case endings are no kind the game reads; a PNG must be named so.
      {{"from-png", "in.png", "p.Vx1"}, "p.Vx1: the game reads no picture from this name"},
      {{"to-png", "p.vx1", "p.vx1"}, "p.vx1: the PNG to write must end in .png"},
  };
  for (const auto& [args, message] : cases) {
    const RunResult r = RunVxpic(args);
    EXPECT_EQ(r.code, 2) << message;
    EXPECT_TRUE(Has(r.err, message)) << r.err;
  }
  EXPECT_FALSE(fs::exists("p.Vx1"));
  const RunResult help = RunVxpic({"--help"});
  EXPECT_EQ(help.code, 0);
  EXPECT_TRUE(Has(help.out, "usage: vxpic info FILE"));
  EXPECT_TRUE(help.err.empty());
}

TEST_F(VxpicRefusal, TheProgramItself) {
  const std::string program = VX_VXPIC_BINARY;
  int status = std::system((vxtest::ProgramCommand(program) + " --help >help.txt 2>&1").c_str());
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_TRUE(Has(Slurp("help.txt"), "usage: vxpic"));
  status = std::system((vxtest::ProgramCommand(program) + " info x.vx1 --size >err.txt 2>&1").c_str());
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 2);
  EXPECT_TRUE(Has(Slurp("err.txt"), "unknown option '--size'"));
}

}  // namespace
