// Where the game runs: the XDG data home, the choice between --root, a
// portable folder and the player's own folder, and filling that folder from
// the data set without touching what the player made or changed.
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
  FillReport Fill() {
    FillReport r;
    std::string error;
    EXPECT_TRUE(FillGameFolder("dataset", "home/vxgame", r, error)) << error;
    return r;
  }
  static std::vector<std::string> Changed() {
    std::vector<ManifestEntry> m;
    EXPECT_TRUE(ReadManifest("home/vxgame/manifest.txt", m));
    const fs::path previous = fs::current_path();
    fs::current_path("home/vxgame");
    std::vector<std::string> out;
    for (const DataSetFinding& f : CheckDataSet(m)) out.push_back(f.path);
    fs::current_path(previous);
    return out;
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
  // No data set and no folder yet: nothing to run in.
  EXPECT_FALSE(ChooseGameFolder("", program, {folder / "nowhere"}, (folder / "home").string(), c, error));
  EXPECT_NE(error.find("no data set"), std::string::npos);
  // No home at all.
  EXPECT_FALSE(ChooseGameFolder("", program, places, "", c, error));
  EXPECT_NE(error.find("--root"), std::string::npos);
}

TEST_F(GameFolderTest, FirstStartCopiesEverythingLaterStartsOnlyWhatIsMissing) {
  MakeDataSet("1");
  FillReport r = Fill();
  EXPECT_EQ(r.copied, 3);
  EXPECT_EQ(ReadFile("home/vxgame/data/p.dat"), "picture 1");
  EXPECT_EQ(ReadFile("home/vxgame/manifest.txt"), ReadFile("dataset/manifest.txt"));
  EXPECT_EQ(Changed(), std::vector<std::string>{});
  // The player's settings, saved game and screenshots are not the data set's.
  WriteFile("home/vxgame/ini/main.ini", "5,,,1\n30,,,2\n");
  WriteFile("home/vxgame/gamesave.sav", "saved");
  fs::remove("home/vxgame/data/text1.txt");
  r = Fill();
  EXPECT_EQ(r.copied, 1);
  EXPECT_EQ(r.updated + r.kept, 0);
  EXPECT_EQ(ReadFile("home/vxgame/ini/main.ini"), "5,,,1\n30,,,2\n");
  EXPECT_EQ(ReadFile("home/vxgame/gamesave.sav"), "saved");
  EXPECT_EQ(Changed(), std::vector<std::string>{"ini/main.ini"});
}

TEST_F(GameFolderTest, ANewDataSetReplacesOnlyWhatThePlayerDidNotChange) {
  MakeDataSet("1");
  Fill();
  WriteFile("home/vxgame/data/p.dat", "my own picture");
  MakeDataSet("2");
  const FillReport r = Fill();
  EXPECT_EQ(r.updated, 2);  // the settings and the text, untouched since the first start
  EXPECT_EQ(r.kept, 1);
  EXPECT_EQ(ReadFile("home/vxgame/data/text1.txt"), "1,text 2,,\n");
  EXPECT_EQ(ReadFile("home/vxgame/data/p.dat"), "my own picture");
  // The manifest still describes the picture as installed, so the player's
  // version stays a change.
  EXPECT_EQ(Changed(), std::vector<std::string>{"data/p.dat"});
  // A folder from before manifests: identical files are simply adopted.
  fs::remove("home/vxgame/manifest.txt");
  const FillReport again = Fill();
  EXPECT_EQ(again.copied + again.updated, 0);
  EXPECT_EQ(again.kept, 1);
}

}  // namespace
