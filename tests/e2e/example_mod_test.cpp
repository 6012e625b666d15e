// The player's files over the generated set, in the real program: the
// example mod of docs/example-mod installed in a player's folder shows its
// green walkers and its third walker, the list names what it replaces, a
// player's file that does not load is named at start-up, and the editor
// writes into the player's folder. The data set is the build's own, found
// beside the program as an installed game finds its own.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "assets/data_set_check.h"
#include "support/programs.h"
#include "vxpic/png_file.h"

namespace {

namespace fs = std::filesystem;

const fs::path kDataSet = fs::path(VX_BINARY_DIR) / "dataset";
const fs::path kMod = fs::path(VX_SOURCE_DIR) / "docs/example-mod";

// Sound and music off (no decoders to wait for), the log on.
constexpr const char* kQuietSettings = "5,windowed,,1\n6,log,,1\n13,sound,,0\n17,music,,0\n20,english,,1\n";

class ExampleMod : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!fs::exists(kDataSet / kManifestFile)) GTEST_SKIP() << "the data set is not built";
    std::string pattern = (fs::temp_directory_path() / "vxmod-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir = pattern;
    mine = dir / "xdg/vxgame";
    fs::create_directories(mine / "ini");
    std::ofstream(mine / "ini/main.ini") << kQuietSettings;
  }
  void TearDown() override {
    std::error_code ec;
    if (!dir.empty()) fs::remove_all(dir, ec);
  }
  static std::string Slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
  }
  int Shell(const std::string& command) {
    const std::string cmd =
        command + " >'" + (dir / "out.txt").string() + "' 2>'" + (dir / "err.txt").string() + "'";
    const int status = std::system(cmd.c_str());
    out = Slurp(dir / "out.txt");
    err = Slurp(dir / "err.txt");
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  // vxgame in the player's folder under a temporary XDG data home.
  int Run(const std::string& args) {
    return Shell("HOME='" + dir.string() + "' XDG_DATA_HOME='" + (dir / "xdg").string() + "' " +
                 vxtest::ProgramCommand(VX_GAME_BINARY) + " " + args);
  }
  // Level 2 after 119 frames: the walkers on the bridge.
  int PlayLevel2(const std::string& extra = "") {
    return Run("--headless --level 2 --frames 120 --screenshot 119:'" + (dir / "shot.png").string() +
               "' --trace '" + (dir / "trace.txt").string() + "'" + extra);
  }
  void InstallMod() {
    fs::create_directories(mine / "data");
    for (const auto& e : fs::directory_iterator(kMod / "data"))
      fs::copy_file(e.path(), mine / "data" / e.path().filename(), fs::copy_options::overwrite_existing);
  }
  // A field of the trace's last line.
  int64_t LastTrace(const std::string& field) {
    std::ifstream in(dir / "trace.txt");
    std::string line, last;
    while (std::getline(in, line)) last = line;
    std::istringstream words(last);
    for (std::string w; words >> w;)
      if (w == field && words >> w) return std::stoll(w);
    ADD_FAILURE() << "no field " << field << " in: " << last;
    return -1;
  }
  // Clearly green pixels over the bridge, where the walkers of level 2 are.
  int GreenOnTheBridge() {
    vxpic::Picture shot;
    vxpic::PngHeader header;
    std::string error;
    if (!vxpic::ReadPng((dir / "shot.png").string(), shot, header, error)) {
      ADD_FAILURE() << error;
      return -1;
    }
    int n = 0;
    for (int32_t y = 400; y < 480; ++y) {
      for (int32_t x = 480; x < 800; ++x) {
        const uint32_t p = shot.At(x, y);
        const int r = (p >> 16) & 255, g = (p >> 8) & 255, b = p & 255;
        n += g > 90 && g > r + 40 && g > b + 40 ? 1 : 0;
      }
    }
    return n;
  }
  // Whether the data set's file is still as its manifest says.
  static bool DataSetKeeps(const std::string& path) {
    std::vector<ManifestEntry> entries;
    if (!ReadManifest((kDataSet / kManifestFile).string(), entries)) return false;
    for (const ManifestEntry& e : entries) {
      if (e.path != path) continue;
      uint64_t size = 0, sum = 0;
      return FileChecksum((kDataSet / path).string(), size, sum) && size == e.size && sum == e.checksum;
    }
    return false;
  }

  fs::path dir, mine;
  std::string out, err;
};

TEST_F(ExampleMod, TheGreenWalkersAndTheThirdWalkerShowOnlyWithTheModInstalled) {
  ASSERT_EQ(PlayLevel2(), 0) << err;
  EXPECT_EQ(err, "");
  EXPECT_EQ(LastTrace("level"), 2);
  EXPECT_EQ(LastTrace("monsters"), 3) << "two walkers and the second kind, from the data set";
  const int before = GreenOnTheBridge();
  EXPECT_LT(before, 20);

  InstallMod();
  ASSERT_EQ(PlayLevel2(), 0) << err;
  EXPECT_EQ(err, "") << "the player's files are changes, not damage";
  EXPECT_EQ(LastTrace("monsters"), 4) << "the mod's level file: three walkers and the second kind";
  const int after = GreenOnTheBridge();
  EXPECT_GT(after, 400) << "the repainted walkers; " << before << " green pixels before";
  const std::string log = Slurp(mine / "en1_log.txt");
  EXPECT_NE(log.find("data set: your own file: data/daemon3.vx1\n"), std::string::npos) << log;
  EXPECT_NE(log.find("data set: your own file: data/lvobj02.txt\n"), std::string::npos);

  ASSERT_EQ(Run("--list-overrides"), 0) << err;
  EXPECT_NE(out.find("3 of your files in " + mine.string() + " replace files of the data set "),
            std::string::npos)
      << out;
  EXPECT_NE(out.find("\ndata/daemon3.vx1\n"), std::string::npos) << out;
  EXPECT_NE(out.find("\ndata/lvobj02.txt\n"), std::string::npos) << out;
  EXPECT_NE(out.find("\nini/main.ini\n"), std::string::npos) << out;
  EXPECT_TRUE(DataSetKeeps("data/daemon3.vx1"));
  EXPECT_TRUE(DataSetKeeps("data/lvobj02.txt"));
}

// Every file the game reads comes through the layers: over a player's folder
// that holds only the settings the game plays frame for frame as it does in
// one folder holding the data set and the same settings.
TEST_F(ExampleMod, AnEmptyPlayersFolderPlaysAsTheDataSetInOneFolder) {
  const fs::path whole = dir / "whole";
  fs::copy(kDataSet, whole, fs::copy_options::recursive | fs::copy_options::create_hard_links);
  fs::remove(whole / "ini/main.ini");
  std::ofstream(whole / "ini/main.ini") << kQuietSettings;
  const std::string args = "--headless --level 2 --frames 150 --trace '" + (dir / "trace.txt").string() + "'";
  ASSERT_EQ(Run(args + " --root '" + whole.string() + "'"), 0) << err;
  const std::string oneFolder = Slurp(dir / "trace.txt");
  ASSERT_EQ(Run(args), 0) << err;
  EXPECT_EQ(err, "");
  EXPECT_GT(oneFolder.size(), 150u * 100u);
  EXPECT_EQ(Slurp(dir / "trace.txt"), oneFolder);
  // The same files read, in the same order; only the start-up check words
  // the changed settings file in each folder's way.
  const auto readLines = [](const std::string& log) {
    std::string kept;
    std::istringstream lines(log);
    for (std::string line; std::getline(lines, line);)
      if (line.rfind("data set: ", 0) != 0) kept += line + "\n";
    return kept;
  };
  const std::string log = readLines(Slurp(mine / "en1_log.txt"));
  EXPECT_NE(log.find("vxReadPic fin read data/daemon3.vx1\n"), std::string::npos);
  EXPECT_EQ(log, readLines(Slurp(whole / "en1_log.txt")));
  // One folder has nothing over anything; its list names what changed in it.
  ASSERT_EQ(Run("--list-overrides --root '" + whole.string() + "'"), 0) << err;
  EXPECT_NE(out.find(" is a game folder of one layer; no file lies over another. Changed since written:\n"
                     "ini/main.ini\n"),
            std::string::npos)
      << out;
}

TEST_F(ExampleMod, TheStripIsWhatVxpicMakesOfTheRepaintedPicture) {
  const fs::path made = dir / "daemon3.vx1";
  ASSERT_EQ(Shell(vxtest::ProgramCommand(VX_VXPIC_BINARY) + " from-png '" + (kMod / "walker.png").string() +
                  "' '" + made.string() + "'"),
            0)
      << err;
  EXPECT_EQ(Slurp(made), Slurp(kMod / "data/daemon3.vx1"));
  ASSERT_EQ(Shell(vxtest::ProgramCommand(VX_VXPIC_BINARY) + " info '" + made.string() + "'"), 0);
  EXPECT_NE(out.find("frames: 6 of 72 x 72"), std::string::npos) << out;
}

TEST_F(ExampleMod, APlayersFileThatDoesNotLoadIsNamedAtStartUp) {
  InstallMod();
  const std::string strip = Slurp(mine / "data/daemon3.vx1");
  std::ofstream(mine / "data/daemon3.vx1", std::ios::binary | std::ios::trunc) << strip.substr(0, 1000);
  ASSERT_EQ(Run("--headless --frames 3"), 0);
  EXPECT_NE(err.find("vxgame: your file does not load: " + (mine / "data/daemon3.vx1").string() +
                     " (cut short: 93322 bytes needed, 1000 there)\n"),
            std::string::npos)
      << err;
  EXPECT_EQ(err.find("lvobj02"), std::string::npos) << "a change that loads is no news";
  EXPECT_EQ(err.find("data file"), std::string::npos) << "the data set itself is whole";
  EXPECT_EQ(Run("--headless --frames 3 --strict"), 3);
  ASSERT_EQ(Run("--list-overrides"), 0);
  EXPECT_NE(out.find("\ndata/daemon3.vx1 (does not load: cut short: "), std::string::npos) << out;
  // Deleted, the data set's walker is back and nothing is said.
  fs::remove(mine / "data/daemon3.vx1");
  EXPECT_EQ(Run("--headless --frames 3 --strict"), 0);
  EXPECT_EQ(err, "");
}

std::string Key(int32_t tick, const char* key) {
  return std::to_string(tick) + " keydown " + key + "\n" + std::to_string(tick + 1) + " keyup " + key + "\n";
}
std::string Click(int32_t tick, int32_t x, int32_t y) {
  return std::to_string(tick) + " mousemove " + std::to_string(x) + " " + std::to_string(y) + "\n" +
         std::to_string(tick + 1) + " lbuttondown\n" + std::to_string(tick + 2) + " lbuttonup\n";
}

TEST_F(ExampleMod, TheEditorWritesTheLevelFileIntoThePlayersFolder) {
  // Delete, Shift, Caps Lock; the walker (cell 0) to (200, 420); "wr" (cell 100).
  std::ofstream(dir / "in.txt") << Key(20, "DELETE") + Key(22, "SHIFT") + Key(24, "CAPSLOCK") +
                                       Click(30, 420, 20) + Click(34, 200, 420) + Click(46, 660, 420);
  ASSERT_EQ(Run("--headless --level 2 --frames 120 --input '" + (dir / "in.txt").string() + "'"), 0) << err;
  const std::string written = Slurp(mine / "data/lvobj02.txt");
  EXPECT_EQ(written.rfind("0, , ,1,560,456,0,", 0), 0u) << "the data set's placements first";
  EXPECT_NE(written.find("\n4, , ,1,200,420,0,0,0,0,0,0,0\n"), std::string::npos) << written;
  EXPECT_TRUE(DataSetKeeps("data/lvobj02.txt"));
  // The next start reads the player's level.
  ASSERT_EQ(PlayLevel2(), 0) << err;
  EXPECT_EQ(LastTrace("monsters"), 4);
}

}  // namespace
