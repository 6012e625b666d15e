// The memory budget of the image slots: files whose small headers declare
// large pictures must not take the slots past it, whatever their kind.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "gfx/image_slots.h"
#include "gfx/picture_file.h"
#include "support/engine_test.h"

namespace {

std::string Le(int64_t v, int bytes) {
  std::string s;
  for (int i = 0; i < bytes; ++i) s += static_cast<char>((v >> (8 * i)) & 0xff);
  return s;
}

// Headers only: the pixels the files lack are filled in by the reader.
std::string Vx1Declaring(int32_t width, int32_t height) {
  return Le(width, 2) + Le(height, 2) + std::string(6, '\0');
}
std::string BitmapDeclaring(int32_t width, int32_t height) {
  return "BM" + std::string(8, '\0') + Le(54, 4) + std::string(4, '\0') + Le(width, 4) + Le(height, 4) +
         std::string(2, '\0') + Le(24, 2) + std::string(24, '\0');
}

class PictureBudget : public vxtest::EngineTest {
 protected:
  void SetUp() override {
    vxtest::EngineTest::SetUp();
    std::filesystem::create_directories("data");
    engine.log.enabled = 1;
    OpenLog(engine.log);
    PaletteValues palette{};
    ASSERT_TRUE(WritePalette(kPaletteFileName, palette));
    StripTile tile;
    tile.side = 100;
    tile.indices.assign(100 * 100, 7);
    ASSERT_TRUE(WriteTextureStrip("data/strip.900", {tile, tile}));  // 200 x 100
  }
  // The log lines that start with `prefix`.
  std::vector<std::string> LogLines(const std::string& prefix) {
    engine.log.stream.flush();
    std::vector<std::string> out;
    std::istringstream in(vxtest::ReadFile(kLogFileName));
    for (std::string line; std::getline(in, line);)
      if (line.rfind(prefix, 0) == 0) out.push_back(line);
    return out;
  }
  bool Loaded(int32_t slot) { return HasPixels(gfx, slot) && gfx.slots[slot].state == kLoaded; }

  GfxContext& gfx = engine.gfx;
};

TEST_F(PictureBudget, ALoadThatWouldPassTheBudgetLeavesItsSlotEmpty) {
  vxtest::WriteFile("data/a.vx1", Vx1Declaring(200, 100));
  vxtest::WriteFile("data/a.bmp", BitmapDeclaring(200, 100));
  const int64_t each = PictureHeldBytes(200, 100);
  EXPECT_EQ(each, 100 * (200 * 4 + 4) + 10 + (200 * 4 + 4) + 4 * 100 * 4);
  // Room for three such pictures and most of a fourth.
  gfx.pictureBudget = 4 * each - 1;
  LoadPicture(gfx, 1, "data/a.vx1");
  LoadPicture(gfx, 2, "data/a.bmp");
  LoadPicture(gfx, 3, "data/strip.900");
  ASSERT_TRUE(Loaded(1) && Loaded(2) && Loaded(3));
  EXPECT_EQ(gfx.pictureBytes, 3 * each);
  EXPECT_TRUE(LogLines("vxReadPic over").empty());

  // Each kind is refused as a missing file is: no picture, no size.
  for (const char* name : {"data/a.vx1", "data/a.bmp", "data/strip.900"}) {
    LoadPicture(gfx, 4, name);
    EXPECT_FALSE(Loaded(4)) << name;
    EXPECT_EQ(PictureWidth(gfx, 4), 0);
  }
  CreatePicture(gfx, 4, 200, 100);
  EXPECT_FALSE(Loaded(4));
  EXPECT_EQ(gfx.pictureBytes, 3 * each);
  EXPECT_EQ(LogLines("vxReadPic over"),
            (std::vector<std::string>{"vxReadPic over memory budget. not read: data/a.vx1",
                                      "vxReadPic over memory budget. not read: data/a.bmp",
                                      "vxReadPic over memory budget. not read: data/strip.900"}));
  EXPECT_EQ(LogLines("CreatePicture"), std::vector<std::string>{"CreatePicture over memory budget. slot:4"});

  // The bytes left count, not the number of pictures: a smaller one fits.
  CreatePicture(gfx, 5, 100, 100);
  EXPECT_TRUE(Loaded(5));
  // A picture given back makes room again.
  const int64_t before = gfx.pictureBytes;
  ReleasePicture(gfx, 1);
  EXPECT_EQ(gfx.pictureBytes, before - each);
  LoadPicture(gfx, 4, "data/a.bmp");
  EXPECT_TRUE(Loaded(4));
  EXPECT_LE(gfx.pictureBytes, gfx.pictureBudget);

  // The reset starts a new count.
  ResetAllState();
  EXPECT_EQ(engine.gfx.pictureBytes, 0);
  EXPECT_EQ(engine.gfx.pictureBudget, kPictureBudgetBytes);
  EXPECT_EQ(kPictureBudgetBytes, int64_t{2} << 30);
}

TEST_F(PictureBudget, TheReaderRefusesBeforeTakingMemoryAndAcceptsAnExactFit) {
  vxtest::WriteFile("data/big.vx1", Vx1Declaring(16384, 4096));
  const int64_t held = PictureHeldBytes(16384, 4096);
  EngineLog quiet;
  uint32_t* pixels = nullptr;
  int32_t w = 0, h = 0;
  // Refused: nothing is allocated, the declared size is still reported.
  EXPECT_EQ(vxReadPic(quiet, "data/big.vx1", pixels, w, h, held - 1), 0);
  EXPECT_EQ(pixels, nullptr);
  EXPECT_EQ(w, 16384);
  vxtest::WriteFile("data/small.vx1", Vx1Declaring(3, 2));
  ASSERT_EQ(vxReadPic(quiet, "data/small.vx1", pixels, w, h, PictureHeldBytes(3, 2)), kPictureRead);
  std::free(pixels);
  pixels = nullptr;
  EXPECT_EQ(vxReadPic(quiet, "data/small.vx1", pixels, w, h, PictureHeldBytes(3, 2) - 1), 0);
  EXPECT_EQ(pixels, nullptr);

  // The whole budget: 2 GiB hold seven pictures of 16384 x 4096, not eight.
  EXPECT_LE(7 * held, kPictureBudgetBytes);
  EXPECT_GT(8 * held, kPictureBudgetBytes);
}

}  // namespace
