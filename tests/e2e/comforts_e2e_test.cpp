// vxgame as a new player meets it: the game folder chosen by the XDG rules
// and laid over the data set, a damaged data set named at start-up,
// screenshots by key and by option, and honest exit codes.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "datagen/generated_data_set.h"
#include "support/programs.h"

namespace {

namespace fs = std::filesystem;

class VxgameComforts : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "vxcomfort-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir = pattern;
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(dir, ec);
  }
  // A game folder made of links to the generated data set; files a test
  // changes are replaced, never written through a link.
  fs::path LinkedGameFolder() {
    const std::string& source = vxtest::GeneratedDataSet();
    const fs::path game = dir / "game";
    fs::copy(source, game, fs::copy_options::recursive | fs::copy_options::create_hard_links);
    fs::remove(game / "done");
    return game;
  }
  void Replace(const fs::path& file, const std::string& bytes) {
    fs::remove(file);
    std::ofstream(file, std::ios::binary) << bytes;
  }
  static std::string Slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
  }
  // Runs vxgame with an environment prefix and arguments.
  int Run(const std::string& env, const std::string& args) {
    const std::string cmd = env + " " + vxtest::ProgramCommand(VX_GAME_BINARY) + " " + args + " >'" +
                            (dir / "out.txt").string() + "' 2>'" + (dir / "err.txt").string() + "'";
    const int status = std::system(cmd.c_str());
    out = Slurp(dir / "out.txt");
    err = Slurp(dir / "err.txt");
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  fs::path dir;
  std::string out, err;
};

TEST_F(VxgameComforts, MissingShortAndChangedDataFilesAreNamed) {
  const fs::path game = LinkedGameFolder();
  {
    std::string ini = Slurp(game / "ini/main.ini");
    ini.replace(ini.find("6,log"), 0, "6,log on,,1\n");  // the first record 6 wins
    Replace(game / "ini/main.ini", ini);
  }
  fs::remove(game / "data/txtrs_c.906");
  const std::string back = Slurp(game / "data/back1.vx1");
  Replace(game / "data/back1.vx1", back.substr(0, back.size() / 2));
  Replace(game / "data/lvobj03.txt", Slurp(game / "data/lvobj03.txt") + "\n");
  const std::string args = "--headless --frames 40 --root '" + game.string() + "'";
  ASSERT_EQ(Run("", args), 0) << err;
  EXPECT_NE(err.find("vxgame: data file missing: data/txtrs_c.906\n"), std::string::npos) << err;
  EXPECT_NE(err.find("vxgame: data file damaged: data/back1.vx1 (cut short: "), std::string::npos) << err;
  EXPECT_EQ(err.find("lvobj03"), std::string::npos) << err;  // a change is not damage
  EXPECT_EQ(err.find("main.ini"), std::string::npos) << err;
  const std::string log = Slurp(game / "en1_log.txt");
  EXPECT_NE(log.find("data set: missing data/txtrs_c.906\n"), std::string::npos) << log;
  EXPECT_NE(log.find("data set: damaged data/back1.vx1 (cut short: "), std::string::npos);
  EXPECT_NE(log.find("data set: changed since it was installed: data/lvobj03.txt\n"), std::string::npos);
  EXPECT_NE(log.find("data set: changed since it was installed: ini/main.ini\n"), std::string::npos);
  // The picture reader says "read" only for what it read.
  EXPECT_EQ(log.find("vxReadPic fin read data/txtrs_c.906"), std::string::npos);
  EXPECT_NE(log.find("vxReadPic fin. cannot read data/txtrs_c.906"), std::string::npos);
  EXPECT_NE(log.find("vxReadPic fin read data/font1.vx1"), std::string::npos);

  // --strict stops before anything runs.
  fs::remove(game / "en1_log.txt");
  EXPECT_EQ(Run("", args + " --strict"), 3);
  EXPECT_NE(err.find("data/txtrs_c.906"), std::string::npos);
  EXPECT_NE(err.find("data/back1.vx1"), std::string::npos);
  EXPECT_FALSE(fs::exists(game / "en1_log.txt"));

  // Only the player's changes left: nothing on stderr, even with --strict.
  fs::copy_file(fs::path(vxtest::GeneratedDataSet()) / "data/txtrs_c.906", game / "data/txtrs_c.906");
  Replace(game / "data/back1.vx1", back);
  EXPECT_EQ(Run("", args + " --strict"), 0);
  EXPECT_EQ(err, "");
}

TEST_F(VxgameComforts, ThePlayersOwnFolderFollowsXdgAndKeepsTheirFiles) {
  if (!fs::exists(fs::path(VX_BINARY_DIR) / "dataset/manifest.txt"))
    GTEST_SKIP() << "the data set is not built";
  fs::create_directories(dir / "home");
  const std::string home = "HOME='" + (dir / "home").string() + "' ";
  // XDG_DATA_HOME set: the folder is under it, made on the first start
  // with the folders the game writes into; the data set stays where it is.
  const std::string xdg = "XDG_DATA_HOME='" + (dir / "xdg").string() + "' ";
  ASSERT_EQ(Run(home + xdg, "--headless --frames 5"), 0) << err;
  const fs::path mine = dir / "xdg/vxgame";
  EXPECT_TRUE(fs::is_directory(mine / "data"));
  EXPECT_TRUE(fs::is_directory(mine / "music"));
  EXPECT_FALSE(fs::exists(mine / "data/font1.vx1")) << "read from the data set, not copied";
  EXPECT_FALSE(fs::exists(mine / "manifest.txt"));
  EXPECT_FALSE(fs::exists(dir / "home/.local"));
  // The player's settings and saved game survive the next start.
  fs::create_directories(mine / "ini");
  std::ofstream(mine / "ini/main.ini")
      << Slurp(fs::path(VX_BINARY_DIR) / "dataset/ini/main.ini") << "30,scaling,,1\n";
  const std::string settings = Slurp(mine / "ini/main.ini");
  std::ofstream(mine / "gamesave.sav") << "saved";
  ASSERT_EQ(Run(home + xdg, "--headless --frames 5"), 0) << err;
  EXPECT_EQ(Slurp(mine / "ini/main.ini"), settings);
  EXPECT_EQ(Slurp(mine / "gamesave.sav"), "saved");
  // Unset, empty or relative: HOME's .local/share.
  for (const std::string& none : {std::string("env -u XDG_DATA_HOME "), std::string("XDG_DATA_HOME= "),
                                  std::string("XDG_DATA_HOME=relative ")}) {
    fs::remove_all(dir / "home/.local");
    ASSERT_EQ(Run(home + none, "--headless --frames 5"), 0) << none << err;
    EXPECT_TRUE(fs::is_directory(dir / "home/.local/share/vxgame/data")) << none;
  }
}

TEST_F(VxgameComforts, ScreenshotsByKeyAndByOptionAndHonestExits) {
  const fs::path game = LinkedGameFolder();
  const std::string root = " --root '" + game.string() + "'";
  std::ofstream(dir / "f12.txt") << "30 keydown F12\n30 keyup F12\n40 close\n";
  ASSERT_EQ(Run("", "--headless --input '" + (dir / "f12.txt").string() + "'" + root), 0) << err;
  ASSERT_TRUE(fs::is_directory(game / "screenshots"));
  int shots = 0;
  for (const auto& e : fs::directory_iterator(game / "screenshots")) {
    ++shots;
    EXPECT_EQ(Slurp(e.path()).substr(1, 3), "PNG");
    EXPECT_NE(out.find(e.path().filename().string()), std::string::npos) << out;
  }
  EXPECT_EQ(shots, 1);

  // A screenshot the run can write, and the ones it cannot.
  const std::string shot = (dir / "a.png").string();
  EXPECT_EQ(Run("", "--headless --frames 20 --screenshot 20:'" + shot + "'" + root), 0) << err;
  EXPECT_TRUE(fs::exists(shot));
  EXPECT_EQ(
      Run("", "--headless --frames 20 --screenshot 5:'" + (dir / "no/such/x.png").string() + "'" + root), 2);
  EXPECT_NE(err.find("does not exist"), std::string::npos) << err;
  EXPECT_EQ(Run("", "--headless --frames 20 --screenshot 21:'" + shot + "'" + root), 2);
  EXPECT_NE(err.find("never reached"), std::string::npos) << err;
  EXPECT_EQ(Run("", "--headless --frames 20 --screenshot 0:'" + shot + "'" + root), 2);
  // A run that ends early, closed by its script, before the frame.
  std::ofstream(dir / "close.txt") << "5 close\n";
  fs::remove(shot);
  EXPECT_EQ(Run("", "--headless --input '" + (dir / "close.txt").string() + "' --screenshot 100:'" + shot +
                        "'" + root),
            2);
  EXPECT_NE(err.find("the run ended after"), std::string::npos) << err;
  EXPECT_FALSE(fs::exists(shot));
}

}  // namespace
