// The loading schedule against the generated data set and against small
// hand-made pictures: slots, sizes and preparation, the level pictures with
// their flags and names, and the image cuts of the creature strips.
#include "assets/loading.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "assets/image_preparation.h"
#include "datagen/generated_data_set.h"
#include "gfx/image_slots.h"
#include "gfx/picture_file.h"
#include "shell/globals.h"
#include "shell/window.h"
#include "support/engine_test.h"

namespace {

namespace fs = std::filesystem;

class LoadingTest : public vxtest::EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    StartWindowed();
  }
  GfxContext& gfx() { return engine.gfx; }
  bool Loaded(int32_t slot) { return HasPixels(gfx(), slot) && gfx().slots[slot].state == kLoaded; }
  void ExpectSize(int32_t slot, int32_t w, int32_t h) {
    EXPECT_TRUE(Loaded(slot)) << slot;
    EXPECT_EQ(PictureWidth(gfx(), slot), w) << slot;
    EXPECT_EQ(PictureHeight(gfx(), slot), h) << slot;
  }
  // The size of a picture file, as read by the game.
  std::pair<int32_t, int32_t> FileSize(const char* name) {
    uint32_t* px = nullptr;
    int32_t w = 0, h = 0;
    EngineLog quiet;
    if (vxReadPic(quiet, name, px, w, h) != kPictureRead) w = h = -1;
    std::free(px);
    return {w, h};
  }
  void ExpectFile(int32_t slot, const char* name) {
    const auto [w, h] = FileSize(name);
    ASSERT_GT(w, 0) << name;
    ExpectSize(slot, w, h);
  }
  uint32_t Alpha(int32_t slot, int32_t x, int32_t y) { return GetPixel(gfx(), slot, x, y) >> 24; }
  // A picture file made of a pattern: pixel (x, y) = x + 16 y + base (never black).
  static void WritePattern(const std::string& name, int32_t w, int32_t h, uint32_t base) {
    std::vector<uint32_t> px(static_cast<size_t>(w) * h);
    for (int32_t y = 0; y < h; ++y)
      for (int32_t x = 0; x < w; ++x)
        px[static_cast<size_t>(y) * w + x] = 0xff000000u | (base + x + 256u * y);
    fs::create_directories(fs::path(name).parent_path());
    ASSERT_TRUE(WriteVx1(name.c_str(), w, h, px.data()));
  }
};

TEST_F(LoadingTest, EveryStepFillsItsSlotsFromTheGeneratedDataSet) {
  LinkGeneratedData();
  for (int32_t step = 0; step <= 8; ++step)
    LoadAssetsStep(game.levelPictures, game.level, step, engine.gfx, engine.effects, engine.sound);
  const int32_t w = engine.gfx.screenWidth, h = engine.gfx.screenHeight;
  // Step 0.
  ExpectFile(413, "data/dback1.vx1");
  for (int32_t s = 390; s <= 393; ++s) ExpectFile(s, ("data/dem" + std::to_string(s - 389) + ".vx1").c_str());
  ExpectFile(730, "data/dback2.vx1");
  ExpectFile(731, "data/dback3.vx1");
  ExpectSize(406, w, h);
  ExpectFile(408, "data/enter.vx1");
  // A1 makes the black corner of the key cap transparent, the cap opaque.
  EXPECT_EQ(Alpha(408, 0, 0), 0u);
  EXPECT_GT(Alpha(408, 40, 60), 200u);
  // Step 1.
  ExpectSize(1, 480, 480);
  for (int32_t s = 670; s <= 694; ++s) ExpectSize(s, 240, 240);
  ExpectFile(719, "data/hback1.vx1");
  for (int32_t s = 720; s <= 723; ++s)
    ExpectFile(s, ("data/sboss" + std::to_string(s - 719) + ".vx1").c_str());
  // Step 2: fog at three sizes and as 8-bit maps, moons, fonts.
  ExpectSize(13, w, h);
  for (int32_t i = 0; i < 60; ++i) {
    const auto [fw, fh] = FileSize(("data/fog/fogp" + std::to_string(i + 20) + ".vx1").c_str());
    ExpectSize(820 + i, fw, fh);
    ExpectSize(880 + i, fw * w / 1024, fh * (h * 1024 / 768) / 1024);
    ExpectSize(940 + i, fw * (15360 / (fw + 1)) / 1024, fh * (15360 / (fh + 1)) / 1024);
    ExpectSize(740 + i, PictureWidth(gfx(), 880 + i), PictureHeight(gfx(), 880 + i));
  }
  for (int32_t s = 380; s <= 383; ++s)
    ExpectFile(s, ("data/moonrp" + std::to_string(s - 379) + ".vx1").c_str());
  ExpectFile(101, "data/txtrs_c.900");
  ExpectFile(102, "data/txtrs_c.905");
  ExpectFile(104, "data/txtrs_c.909");
  // Step 5 and 8: the interface pictures among the (later) world set.
  ExpectFile(32, "data/megbord.vx1");
  ExpectFile(35, "data/arr_l.vx1");
  ExpectFile(36, "data/arr_r.vx1");
  ExpectFile(37, "data/arr_u.vx1");
  ExpectFile(38, "data/arr_d.vx1");
  ExpectSize(30, 55, 55);
  ExpectSize(31, 80, 80);
  ExpectFile(400, "data/mback2.vx1");
  for (int32_t s = 401; s <= 405; ++s)
    ExpectFile(s, ("data/ment" + std::to_string(s - 401) + ".vx1").c_str());
  ExpectFile(407, "data/space.vx1");
  ExpectFile(5, "data/tind2.vx1");
  ExpectFile(6, "data/tindw.vx1");
  // The slots of the world set are filled exactly when the data set has
  // their file (a slot made from another follows that one's file).
  const struct {
    int32_t slot;
    const char* file;
  } world[] = {{20, "lg1"},      {21, "mz2"},      {23, "mz2"},      {120, "daemon3"},
               {121, "daemon3"}, {415, "daemon3"}, {138, "bullet1"}, {140, "bullet1"},
               {40, "nihonto1"}, {220, "back1"},   {250, "fore1"}};
  for (const auto& [slot, file] : world) {
    const bool present =
        fs::exists(fs::path(vxtest::GeneratedDataSet()) / "data" / (std::string(file) + ".vx1"));
    EXPECT_EQ(Loaded(slot), present) << slot;
  }
  // The level pictures of level 0 were asked for at the end of steps 2..8.
  EXPECT_EQ(game.levelPictures.loaded[0], -1);
  EXPECT_EQ(game.levelPictures.foregroundFile, "data/fore1.vx1");
}

TEST_F(LoadingTest, FogPictureFiveComesFromFogp25) {
  LinkGeneratedData();
  LoadAssetsStep(game.levelPictures, game.level, 2, engine.gfx, engine.effects, engine.sound);
  uint32_t* px = nullptr;
  int32_t w = 0, h = 0;
  EngineLog quiet;
  ASSERT_EQ(vxReadPic(quiet, "data/fog/fogp25.vx1", px, w, h), kPictureRead);
  ASSERT_EQ(PictureWidth(gfx(), 825), w);
  const uint32_t* slot = PixelAddress(gfx(), 825, 0, 0);
  ASSERT_NE(slot, nullptr);
  EXPECT_TRUE(std::equal(px, px + static_cast<size_t>(w) * h, slot));
  std::free(px);
  // The neighbours hold other pictures of the sequence.
  EXPECT_FALSE(std::equal(PixelAddress(gfx(), 824, 0, 0), PixelAddress(gfx(), 824, 0, 0) + w * h, slot));
}

TEST_F(LoadingTest, LevelPicturesLoadOncePerLevelAndMarkLevelsWithoutPictures) {
  WritePattern("data/fore1.vx1", 8, 6, 0x101010);
  WritePattern("data/fore1ph.vx1", 8, 6, 0x202020);
  engine.log.enabled = -1;
  OpenLog(engine.log);
  game.level = 0;
  LoadLevelPictures(game.levelPictures, game.level, engine.gfx, engine.effects);
  ExpectSize(250, 8, 6);
  ExpectSize(251, 8, 6);
  EXPECT_EQ(game.levelPictures.loaded[0], -1);
  EXPECT_EQ(game.levelPictures.foregroundFile, "data/fore1.vx1");
  EXPECT_EQ(game.levelPictures.maskFile, "data/fore1ph.vx1");
  LoadLevelPictures(game.levelPictures, game.level, engine.gfx,
                    engine.effects);  // the second entry reads nothing
  CloseLog(engine.log);
  const std::string log = vxtest::ReadFile(kLogFileName);
  size_t reads = 0;
  for (size_t at = log.find("trying read: data/fore1.vx1\n"); at != std::string::npos;
       at = log.find("trying read: data/fore1.vx1\n", at + 1))
    ++reads;
  EXPECT_EQ(reads, 1u);

  // Level 12 has no pictures: nothing is read, the level is still marked.
  game.level = 12;
  LoadLevelPictures(game.levelPictures, game.level, engine.gfx, engine.effects);
  EXPECT_EQ(game.levelPictures.loaded[12], -1);
  EXPECT_EQ(game.levelPictures.foregroundFile, " ");
  EXPECT_EQ(game.levelPictures.maskFile, " ");
  for (int32_t s = 252; s <= 283; ++s) EXPECT_FALSE(Loaded(s)) << s;
  // Numbers outside the flags load and mark nothing, and do not crash.
  for (int32_t level : {-1, 201, 100000, -2147483647 - 1}) {
    game.level = level;
    LoadLevelPictures(game.levelPictures, game.level, engine.gfx, engine.effects);
    EXPECT_EQ(game.levelPictures.foregroundFile, " ");
  }
  game.level = 200;
  LoadLevelPictures(game.levelPictures, game.level, engine.gfx, engine.effects);
  EXPECT_EQ(game.levelPictures.loaded[200], -1);
  // The table: level 24 uses the last pair of slots, level 15 follows 10's.
  LevelPictureFiles f{};
  ASSERT_TRUE(FindLevelPictures(24, f));
  EXPECT_STREQ(f.foreground, "data/fore25.vx1");
  EXPECT_EQ(f.foregroundSlot, 282);
  EXPECT_EQ(f.maskSlot, 283);
  ASSERT_TRUE(FindLevelPictures(15, f));
  EXPECT_EQ(f.foregroundSlot, 272);
  EXPECT_STREQ(f.mask, "data/fore16ph.vx1");
  for (int32_t level : {11, 14, 20, 23, 25}) EXPECT_FALSE(FindLevelPictures(level, f)) << level;
}

// A strip of `frames` square frames of side h, each pixel distinct.
void MakeStrip(int32_t slot, int32_t frames, int32_t h) {
  GfxContext& g = engine.gfx;
  CreatePicture(g, slot, frames * h, h);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < frames * h; ++x)
      SetPixel(g, slot, x, y, 0xff000000u | (static_cast<uint32_t>(x) << 8) | static_cast<uint32_t>(y + 1));
}

TEST_F(LoadingTest, MirroredStripMirrorsEachFrameInPlace) {
  MakeStrip(100, 3, 4);
  MakeMirroredStrip(engine.gfx, 110, 100);
  ExpectSize(110, 12, 4);
  for (int32_t k = 0; k < 3; ++k)
    for (int32_t r = 0; r < 4; ++r)
      for (int32_t c = 0; c < 4; ++c)
        EXPECT_EQ(GetPixel(gfx(), 110, k * 4 + 3 - c, r), GetPixel(gfx(), 100, k * 4 + c, r));
  // An empty source makes nothing; a destination filled earlier at another
  // size is written only where both pictures have pixels.
  MakeMirroredStrip(engine.gfx, 111, 99);
  EXPECT_FALSE(Loaded(111));
  CreatePicture(gfx(), 112, 3, 2);
  MakeMirroredStrip(engine.gfx, 112, 100);
  ExpectSize(112, 3, 2);
  EXPECT_EQ(GetPixel(gfx(), 112, 0, 0), GetPixel(gfx(), 100, 3, 0));
}

TEST_F(LoadingTest, BodyPiecesCutTheFirstFrameIntoThreeParts) {
  MakeStrip(100, 2, 60);
  MakeBodyPieces(engine.gfx, 104, 103, 102, 100, 2);
  for (int32_t s = 102; s <= 104; ++s) ExpectSize(s, 60, 60);
  // Mode 2 on a 60-pixel frame: columns 31 to 59 go to the first piece.
  for (int32_t r : {0, 30, 59}) {
    EXPECT_EQ(GetPixel(gfx(), 104, 30, r), 0u);
    EXPECT_EQ(GetPixel(gfx(), 104, 31, r), GetPixel(gfx(), 100, 31, r));
    EXPECT_EQ(GetPixel(gfx(), 104, 59, r), GetPixel(gfx(), 100, 59, r));
  }
  // Left of the cut: lower-left where h - c + r > 2h/3, upper-left otherwise.
  EXPECT_EQ(GetPixel(gfx(), 103, 0, 0), GetPixel(gfx(), 100, 0, 0));    // 60 > 40
  EXPECT_EQ(GetPixel(gfx(), 102, 30, 0), GetPixel(gfx(), 100, 30, 0));  // 30 <= 40
  EXPECT_EQ(GetPixel(gfx(), 103, 30, 0), 0u);
  EXPECT_EQ(GetPixel(gfx(), 103, 30, 11), GetPixel(gfx(), 100, 30, 11));  // 41 > 40
  // Every pixel of the frame lands in exactly one piece; frame 1 in none.
  for (int32_t r = 0; r < 60; ++r)
    for (int32_t c = 0; c < 60; ++c) {
      const int32_t owners = (GetPixel(gfx(), 102, c, r) != 0) + (GetPixel(gfx(), 103, c, r) != 0) +
                             (GetPixel(gfx(), 104, c, r) != 0);
      ASSERT_EQ(owners, 1) << c << "," << r;
    }
  // Modes 0 and 1 put the cut at 2h/3 and 14h/24.
  MakeBodyPieces(engine.gfx, 114, 113, 112, 100, 0);
  EXPECT_EQ(GetPixel(gfx(), 114, 40, 5), 0u);
  EXPECT_NE(GetPixel(gfx(), 114, 41, 5), 0u);
  MakeBodyPieces(engine.gfx, 124, 123, 122, 100, 1);
  EXPECT_EQ(GetPixel(gfx(), 124, 35, 5), 0u);
  EXPECT_NE(GetPixel(gfx(), 124, 36, 5), 0u);
  // An empty source cuts nothing.
  MakeBodyPieces(engine.gfx, 134, 133, 132, 98, 0);
  EXPECT_FALSE(Loaded(134));
}

TEST_F(LoadingTest, PoseImagesCopyRightFacingThenLeftFacingFrames) {
  MakeStrip(100, 3, 5);
  MakeMirroredStrip(engine.gfx, 101, 100);
  MakePoseImages(engine.gfx, 200, 101, 100, 3);
  for (int32_t k = 0; k < 3; ++k) {
    ExpectSize(200 + k, 5, 5);
    ExpectSize(203 + k, 5, 5);
    EXPECT_EQ(GetPixel(gfx(), 200 + k, 1, 2), GetPixel(gfx(), 100, k * 5 + 1, 2));
    EXPECT_EQ(GetPixel(gfx(), 203 + k, 1, 2), GetPixel(gfx(), 101, k * 5 + 1, 2));
    EXPECT_EQ(GetPixel(gfx(), 203 + k, 1, 2), GetPixel(gfx(), 100, k * 5 + 3, 2));
  }
  EXPECT_FALSE(Loaded(206));
  // More poses than frames: the missing frames stay empty, nothing is read
  // beyond the strip.
  MakePoseImages(engine.gfx, 300, 101, 100, 5);
  ExpectSize(304, 5, 5);
  EXPECT_EQ(GetPixel(gfx(), 304, 2, 2), 0u);
}

TEST_F(LoadingTest, DeathPieceOfTheBodyIsItsFirstFrame) {
  // Frame 0 of the sword body strip red, the other ten blue.
  std::vector<uint32_t> px(110 * 10, 0xff0000ffu);
  for (int32_t y = 0; y < 10; ++y)
    for (int32_t x = 0; x < 10; ++x) px[static_cast<size_t>(y) * 110 + x] = 0xffff0000u;
  fs::create_directories("data");
  ASSERT_TRUE(WriteVx1("data/mz2.vx1", 110, 10, px.data()));
  LoadAssetsStep(game.levelPictures, game.level, 5, engine.gfx, engine.effects, engine.sound);
  ExpectSize(31, 80, 80);
  int32_t red = 0, blue = 0;
  for (int32_t y = 0; y < 80; ++y)
    for (int32_t x = 0; x < 80; ++x) {
      const uint32_t p = GetPixel(gfx(), 31, x, y);
      red += ((p >> 16) & 255) > 128 ? 1 : 0;
      blue += (p & 255) > 128 ? 1 : 0;
    }
  EXPECT_GT(red, 80 * 80 / 2);
  EXPECT_EQ(blue, 0);
}

TEST_F(LoadingTest, CreatureStepCutsEveryStripAndMirrorsThePlayersBody) {
  WritePattern("data/daemon3.vx1", 6 * 8, 8, 0x404040);
  WritePattern("data/daemon13.vx1", 5 * 8, 8, 0x404040);
  WritePattern("data/mz2.vx1", 11 * 10, 10, 0x303030);
  WritePattern("data/bullet1.vx1", 12, 12, 0x505050);
  LoadAssetsStep(game.levelPictures, game.level, 5, engine.gfx, engine.effects, engine.sound);
  LoadAssetsStep(game.levelPictures, game.level, 6, engine.gfx, engine.effects, engine.sound);
  ExpectSize(21, 110, 10);
  ExpectSize(23, 110, 10);
  EXPECT_EQ(GetPixel(gfx(), 23, 9, 3), GetPixel(gfx(), 21, 0, 3));
  EXPECT_FALSE(Loaded(26));  // no gun body strip in this folder
  ExpectSize(121, 48, 8);
  for (int32_t s = 122; s <= 124; ++s) ExpectSize(s, 8, 8);
  for (int32_t s = 415; s <= 426; ++s) ExpectSize(s, 8, 8);
  EXPECT_FALSE(Loaded(427));
  // The ground boss: pieces only, no mirror and no poses of its own.
  EXPECT_FALSE(Loaded(188));
  for (int32_t s = 189; s <= 191; ++s) ExpectSize(s, 8, 8);
  // The shot strip is cut once it is loaded, in step 7.
  EXPECT_FALSE(Loaded(140));
  LoadAssetsStep(game.levelPictures, game.level, 7, engine.gfx, engine.effects, engine.sound);
  for (int32_t s = 140; s <= 142; ++s) ExpectSize(s, 12, 12);
  EXPECT_FALSE(Loaded(139));
}

TEST_F(LoadingTest, UnknownStepsLoadNothing) {
  for (int32_t step : {-1, 9, 10, 1000})
    LoadAssetsStep(game.levelPictures, game.level, step, engine.gfx, engine.effects, engine.sound);
  // (Slots from 1001 on hold the effects' light maps, made at start-up.)
  for (int32_t s = 0; s <= 1000; ++s) ASSERT_FALSE(Loaded(s)) << s;
  EXPECT_EQ(game.levelPictures.loaded[0], 0);
}

}  // namespace
