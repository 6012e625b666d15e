// Where the game runs: the XDG data home, the choice between --root, a
// portable folder and the player's own folder over the data set, and a
// folder of the versions that filled it with copies giving up the copies
// without touching what the player made or changed.
#include "shell/game_folder.h"

#include <gtest/gtest.h>

#include "assets/data_set_check.h"
#include "support/engine_test.h"

namespace {

namespace fs = std::filesystem;
using vxtest::ReadFile;
using vxtest::WriteFile;

TEST(GameFolder, XdgDataHomeFollowsTheRules) {
  EXPECT_EQ(XdgDataHome("/data/home", "/home/ann"), "/data/home");
  EXPECT_EQ(XdgDataHome(nullptr, "/home/ann"), "/home/ann/.local/share");
  EXPECT_EQ(XdgDataHome("", "/home/ann"), "/home/ann/.local/share");              // empty: unset
  EXPECT_EQ(XdgDataHome("relative/dir", "/home/ann"), "/home/ann/.local/share");  // relative: invalid
  EXPECT_EQ(XdgDataHome(nullptr, nullptr), "");
  EXPECT_EQ(XdgDataHome(nullptr, "not/absolute"), "");
}

class GameFolderTest : public vxtest::EngineTest {
 protected:
  // A data set of three files with its manifest, in "dataset".
  void MakeDataSet(const std::string& version) {
    WriteFile("dataset/ini/main.ini", "5,,,1\n" + version);
    WriteFile("dataset/data/text1.txt", "1,text " + version + ",,\n");
    WriteFile("dataset/data/p.dat", "picture " + version);
    ASSERT_TRUE(WriteManifest("dataset/manifest.txt",
                              DescribeFiles("dataset", {"ini/main.ini", "data/text1.txt", "data/p.dat"})));
  }
  PlayersFolderReport Prepare() {
    PlayersFolderReport r;
    std::string error;
    EXPECT_TRUE(PreparePlayersFolder("home/vxgame", r, error)) << error;
    return r;
  }
};

TEST_F(GameFolderTest, ChoosesRootThenPortableThenThePlayersOwn) {
  const fs::path program = folder / "bin";
  fs::create_directories(program / "game");
  GameFolderChoice c;
  std::string error;
  // --root wins, and must exist.
  ASSERT_TRUE(ChooseGameFolder((folder / "bin").string(), program, {}, "/x", c, error));
  EXPECT_EQ(c.kind, GameFolderChoice::Kind::Root);
  EXPECT_FALSE(ChooseGameFolder((folder / "none").string(), program, {}, "/x", c, error));
  EXPECT_NE(error.find("does not exist"), std::string::npos);
  // A game folder beside the program is a build's or an unpacked copy's
  // until it is marked portable.
  MakeDataSet("1");
  const std::vector<fs::path> places = {folder / "nowhere", folder / "dataset"};
  ASSERT_TRUE(ChooseGameFolder("", program, places, (folder / "home").string(), c, error)) << error;
  EXPECT_EQ(c.kind, GameFolderChoice::Kind::PerUser);
  EXPECT_EQ(c.folder, folder / "home" / "vxgame");
  EXPECT_EQ(c.dataSet, folder / "dataset");
  WriteFile("bin/game/portable", "");
  ASSERT_TRUE(ChooseGameFolder("", program, places, (folder / "home").string(), c, error));
  EXPECT_EQ(c.kind, GameFolderChoice::Kind::Portable);
  EXPECT_EQ(c.folder, program / "game");
  fs::remove("bin/game/portable");
  // No data set: only a whole game folder of an earlier version can be played.
  const std::vector<fs::path> none = {folder / "nowhere"};
  EXPECT_FALSE(ChooseGameFolder("", program, none, (folder / "home").string(), c, error));
  EXPECT_NE(error.find("no data set"), std::string::npos);
  WriteFile("home/vxgame/gamesave.sav", "saved");
  EXPECT_FALSE(ChooseGameFolder("", program, none, (folder / "home").string(), c, error));
  WriteFile("home/vxgame/manifest.txt", "");
  ASSERT_TRUE(ChooseGameFolder("", program, none, (folder / "home").string(), c, error)) << error;
  EXPECT_TRUE(c.dataSet.empty());
  // A data set that is the player's folder itself is one layer.
  ASSERT_TRUE(ChooseGameFolder("", program, {folder / "home/vxgame"}, (folder / "home").string(), c, error));
  EXPECT_TRUE(c.dataSet.empty());
  // No home at all.
  EXPECT_FALSE(ChooseGameFolder("", program, places, "", c, error));
  EXPECT_NE(error.find("--root"), std::string::npos);
}

TEST_F(GameFolderTest, ANewPlayersFolderGetsItsWritableFoldersAndNoCopies) {
  MakeDataSet("1");
  const PlayersFolderReport r = Prepare();
  EXPECT_EQ(r.removed + r.kept, 0);
  EXPECT_TRUE(fs::is_directory("home/vxgame/data"));
  EXPECT_TRUE(fs::is_directory("home/vxgame/music"));
  EXPECT_FALSE(fs::exists("home/vxgame/ini"));
  EXPECT_FALSE(fs::exists("home/vxgame/manifest.txt"));
}

TEST_F(GameFolderTest, AFolderOfCopiesKeepsOnlyWhatThePlayerChanged) {
  // As an earlier version left it: the data set copied in, with its manifest.
  MakeDataSet("1");
  fs::create_directories("home");
  fs::copy("dataset", "home/vxgame", fs::copy_options::recursive);
  WriteFile("home/vxgame/data/p.dat", "my own picture");
  WriteFile("home/vxgame/gamesave.sav", "saved");
  WriteFile("home/vxgame/music/floor1.wav", "decoded");
  fs::remove("home/vxgame/data/text1.txt");
  const PlayersFolderReport r = Prepare();
  EXPECT_EQ(r.removed, 1);  // the settings, as installed
  EXPECT_EQ(r.kept, 1);
  EXPECT_FALSE(fs::exists("home/vxgame/ini/main.ini"));
  EXPECT_FALSE(fs::exists("home/vxgame/manifest.txt"));
  EXPECT_EQ(ReadFile("home/vxgame/data/p.dat"), "my own picture");
  EXPECT_EQ(ReadFile("home/vxgame/gamesave.sav"), "saved");
  EXPECT_EQ(ReadFile("home/vxgame/music/floor1.wav"), "decoded");
  EXPECT_EQ(ReadFile("dataset/data/p.dat"), "picture 1") << "the data set is never touched";
  // Done once: a second start finds nothing to give up.
  const PlayersFolderReport again = Prepare();
  EXPECT_EQ(again.removed + again.kept, 0);
  EXPECT_EQ(ReadFile("home/vxgame/data/p.dat"), "my own picture");
}

}  // namespace
