// The player's folder over the generated set: which layer a name is read
// from, that every reader of the game (records, pictures and their palette,
// samples, level object files) reads through it, and that what the game
// writes (the editor's level files) lands in the player's folder alone.
#include "platform/game_files.h"
#include "platform/regular_file.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#if !defined(_WIN32)
#include <sys/stat.h>
#endif

#include "config/configuration.h"
#include "game/placement_file.h"
#include "game/placements.h"
#include "gfx/picture_file.h"
#include "monsters/monster_fixture.h"
#include "sound/sound_context.h"
#include "sound/wave_bytes.h"
#include "sound/wave_file.h"

namespace {

namespace fs = std::filesystem;
using vxtest::ReadFile;
using vxtest::WriteFile;

// The scratch folder is the player's folder; "gen" inside it the generated set.
class GameFilesTest : public vxtest::MonsterTest {
 protected:
  void SetUp() override {
    MonsterTest::SetUp();
    generated = (folder / "gen").string();
    fs::create_directories(generated);
    platform::SetGeneratedSet(generated + "/", {"data/a.vx1", "data/b.vx1", "data/c.vx1", "data/none.vx1",
                                                "data/p.vx1", "data/pal_c.000", "data/s.wav",
                                                "data/lvobj02.txt", "ini/main.ini", "music/dec1.exe"});
  }
  std::string Gen(const std::string& name) const { return generated + "/" + name; }
  void WriteGenerated(const std::string& name, const std::string& text) const { WriteFile(Gen(name), text); }
  // The colour of the top-left pixel of a picture as the game reads it, or 0.
  static uint32_t FirstPixel(const char* name) {
    EngineLog quiet;
    uint32_t* pixels = nullptr;
    int32_t w = 0, h = 0;
    if (vxReadPic(quiet, name, pixels, w, h) != kPictureRead) return 0;
    const uint32_t first = pixels[0];
    std::free(pixels);
    return first;
  }

  std::string generated;
};

TEST_F(GameFilesTest, ANameIsReadFromThePlayersFolderFirst) {
  EXPECT_EQ(platform::GeneratedSet(), generated) << "a trailing slash is dropped";
  WriteGenerated("data/a.vx1", "generated");
  EXPECT_EQ(platform::GameFile("data/a.vx1"), Gen("data/a.vx1"));
  EXPECT_EQ(platform::GameFile("./music/dec1.exe"), Gen("music/dec1.exe"));
  EXPECT_EQ(platform::GameFile("data/none.vx1"), Gen("data/none.vx1")) << "missing in both: missing";
  EXPECT_FALSE(platform::PlayersFile("data/a.vx1"));
  // What a game once wrote into the generated set's folder is not the set's.
  WriteGenerated("gamesave.sav", "someone else's game");
  WriteGenerated("music/floor1.wav", "decoded there");
  EXPECT_EQ(platform::GameFile("gamesave.sav"), "gamesave.sav");
  EXPECT_EQ(platform::GameFile("./music/floor1.wav"), "./music/floor1.wav");

  WriteFile("data/a.vx1", "the player's");
  EXPECT_EQ(platform::GameFile("data/a.vx1"), "data/a.vx1");
  EXPECT_TRUE(platform::PlayersFile("data/a.vx1"));
  // Anything of that name hides the generated file, so that a mistake in
  // the player's folder shows instead of silently falling through.
  fs::create_directories("data/b.vx1");
  WriteGenerated("data/b.vx1", "generated");
  EXPECT_EQ(platform::GameFile("data/b.vx1"), "data/b.vx1");
  fs::create_symlink("nowhere", "data/c.vx1");
  EXPECT_EQ(platform::GameFile("data/c.vx1"), "data/c.vx1");

  EXPECT_EQ(platform::GameFile("/abs/data/a.vx1"), "/abs/data/a.vx1");
  EXPECT_EQ(platform::GameFile(""), "");
  platform::SetGeneratedSet("", {"data/none.vx1"});
  EXPECT_EQ(platform::GameFile("data/none.vx1"), "data/none.vx1") << "one layer: names as they are";
}

TEST_F(GameFilesTest, RecordsPicturesPalettesAndSamplesComeThroughTheLayers) {
  // Settings: the player's ini hides the generated one whole.
  WriteGenerated("ini/main.ini", "13,sound,,1\n17,music,,1\n");
  EXPECT_EQ(ReadConfigValue(engine.records, 17), 1);
  WriteFile("ini/main.ini", "13,sound,,0\n");
  EXPECT_EQ(ReadConfigValue(engine.records, 13), 0);
  EXPECT_EQ(ReadConfigValue(engine.records, 17), 0) << "no record merging between the layers";

  // Pictures, and a strip of the player's coloured through the generated palette.
  const uint32_t red = 0xffc00000u, green = 0xff00c000u;
  fs::create_directories(Gen("data"));
  ASSERT_TRUE(WriteVx1(Gen("data/p.vx1").c_str(), 1, 1, &red));
  EXPECT_EQ(FirstPixel("data/p.vx1"), red);
  fs::create_directories("data");
  ASSERT_TRUE(WriteVx1("data/p.vx1", 1, 1, &green));
  EXPECT_EQ(FirstPixel("data/p.vx1"), green);
  uint32_t colours[256] = {};
  colours[1] = 0x00fc0000u;
  ASSERT_TRUE(WritePalette(Gen(kPaletteFileName).c_str(), MakePalette(colours)));
  ASSERT_TRUE(WriteTextureStrip("data/txtrs_c.906", {StripTile{1, {1}}}));
  EXPECT_EQ(FirstPixel("data/txtrs_c.906"), 0xfffc0000u);
  colours[1] = 0x000000fcu;
  ASSERT_TRUE(WritePalette(kPaletteFileName, MakePalette(colours)));
  EXPECT_EQ(FirstPixel("data/txtrs_c.906"), 0xff0000fcu) << "the player's palette hides the generated one";

  // Samples.
  ASSERT_EQ(vxInitDirectSound(engine.sound), 0);
  WriteGenerated("data/s.wav", vxtest::PcmWave(1, 22050, 8, std::string(100, '\x80')));
  EXPECT_EQ(LoadWave(engine.sound, 3, "data/s.wav"), kWaveLoaded);
  WriteFile("data/s.wav", "not a sample");
  EXPECT_EQ(LoadWave(engine.sound, 4, "data/s.wav"), kWaveNotPcm) << "the player's file is the one read";
}

TEST_F(GameFilesTest, OneListingAnswersAsEachNameAskedAlone) {
  const std::vector<std::string> names = {"a.vx1", "b.vx1", "c.vx1", "p.vx1", "s.wav", "none.vx1",
                                          "mine.vx1", "gone.vx1", "pipe.vx1"};
  const auto asked = [&] {
    std::vector<bool> one;
    for (const std::string& n : names)
      one.push_back(platform::IsRegularFile(platform::GameFile(("data/" + n).c_str()).c_str()));
    return one;
  };
  // Without a data folder of the player's, the generated files alone.
  WriteGenerated("data/a.vx1", "generated");
  WriteGenerated("data/b.vx1", "generated");
  WriteGenerated("data/c.vx1", "generated");
  WriteGenerated("data/mine.vx1", "written there, not listed");
  EXPECT_EQ(platform::RegularGameFiles("data", names), asked());
  EXPECT_EQ(asked(), (std::vector<bool>{true, true, true, false, false, false, false, false, false}));

  // The player's: a file, one hiding a generated file, a folder and a
  // broken link hiding others, and a pipe (never waited on).
  WriteFile("data/mine.vx1", "the player's");
  WriteFile("data/a.vx1", "the player's");
  fs::create_directories("data/b.vx1");
  fs::create_symlink("nowhere", "data/c.vx1");
#if !defined(_WIN32)
  ASSERT_EQ(mkfifo("data/pipe.vx1", 0600), 0);
#endif
  EXPECT_EQ(platform::RegularGameFiles("data", names), asked());
  EXPECT_EQ(asked(), (std::vector<bool>{true, false, false, false, false, false, true, false, false}));

  // Without a generated set, the player's folder is the game.
  platform::SetGeneratedSet("", {});
  EXPECT_EQ(platform::RegularGameFiles("data", names), asked());
  EXPECT_EQ(platform::RegularGameFiles("nofolder", names), std::vector<bool>(names.size(), false));
}

TEST_F(GameFilesTest, TheEditorWritesLevelFilesIntoThePlayersFolder) {
  PlacementRecord records[kPlacementCount] = {};
  records[0] = {1, 300, 200, 0, {}, {}};
  const std::string shipped = FormatPlacements(records);
  WriteGenerated("data/lvobj02.txt", shipped);
  g.level = 2;
  LoadPlacements(g);
  EXPECT_EQ(g.tables.placements[0].x, 300);

  fs::create_directories("data");  // as the start of the game makes it
  AddPlacement(g.tables, 120, 420, 1);
  SavePlacements(g);
  EXPECT_EQ(ReadFile(Gen("data/lvobj02.txt")), shipped) << "the generated set is never written";
  ASSERT_TRUE(fs::is_regular_file("data/lvobj02.txt"));
  ClearPlacements(g.tables);
  LoadPlacements(g);
  EXPECT_EQ(g.tables.placements[1].x, 120) << "read back from the player's folder";
  EXPECT_EQ(g.tables.placements[1].type, 1);

  // A level the player adds has a file of the player's only.
  g.level = 3;
  SavePlacements(g);
  EXPECT_TRUE(fs::is_regular_file("data/lvobj03.txt"));
  EXPECT_FALSE(fs::exists(Gen("data/lvobj03.txt")));
}

}  // namespace
