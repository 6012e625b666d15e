// The fight and the editor as a new user meets them, in the real program run
// headless on the generated data set: on level 2 the first kill starts the
// time bar, killing every walker in time wins the room and saves it, letting
// the time run out restarts the room with more time; the editor opens from
// its key sequence, places objects and writes "data/lvobj02.txt".
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "datagen/generated_data_set.h"
#include "support/programs.h"

namespace {

namespace fs = std::filesystem;

struct TraceLine {
  int32_t frame = 0, mode = 0, level = 0, fight = 0, time = 0, result = 0;
};

class FightAndEditor : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(vxtest::GeneratedDataSet().empty());
    std::string pattern = (fs::temp_directory_path() / "vxfight-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir = pattern;
    // The generated files, one link each, so that a level file the editor
    // writes replaces its link and never the shared data set.
    fs::create_directories(dir / "data");
    for (const auto& e : fs::directory_iterator(fs::path(vxtest::GeneratedDataSet()) / "data")) {
      fs::create_symlink(e.path(), dir / "data" / e.path().filename());
    }
    fs::create_directories(dir / "ini");
    std::ofstream(dir / "ini/main.ini") << "5,windowed,,1\n13,sound,,0\n17,music,,0\n20,english,,1\n";
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(dir, ec);
  }
  int Run(const std::string& script, int32_t frames) {
    std::ofstream(dir / "in.txt") << script;
    const std::string cmd = vxtest::ProgramCommand(VX_GAME_BINARY) + " --headless --level 2 --frames " +
                            std::to_string(frames) + " --root " + dir.string() + " --input " +
                            (dir / "in.txt").string() + " --trace " + (dir / "trace.txt").string() +
                            " >/dev/null 2>" + (dir / "stderr.txt").string();
    const int status = std::system(cmd.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  std::vector<TraceLine> Trace() {
    std::vector<TraceLine> lines;
    std::ifstream in(dir / "trace.txt");
    for (std::string line; std::getline(in, line);) {
      std::istringstream s(line);
      TraceLine t;
      for (std::string word; s >> word;) {
        if (word == "frame") s >> t.frame;
        if (word == "mode") s >> t.mode;
        if (word == "level") s >> t.level;
        if (word == "fight") s >> t.fight;
        if (word == "time") s >> t.time;
        if (word == "result") s >> t.result;
      }
      lines.push_back(t);
    }
    return lines;
  }
  // The fight time in the first frame of each fight.
  std::vector<int32_t> FightStarts() {
    std::vector<int32_t> starts;
    int32_t previous = -1;
    for (const TraceLine& t : Trace()) {
      if (t.fight == 1 && previous != 1) starts.push_back(t.time);
      previous = t.fight;
    }
    return starts;
  }
  std::string Read(const std::string& rel) {
    std::ifstream in(dir / rel, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
  }

  fs::path dir;
};

std::string Key(int32_t tick, const char* key) {
  return std::to_string(tick) + " keydown " + key + "\n" + std::to_string(tick + 1) + " keyup " + key + "\n";
}
std::string Click(int32_t tick, int32_t x, int32_t y) {
  return std::to_string(tick) + " mousemove " + std::to_string(x) + " " + std::to_string(y) + "\n" +
         std::to_string(tick + 1) + " lbuttondown\n" + std::to_string(tick + 2) + " lbuttonup\n";
}

// Up the step and the wall stump, where the gun lies, and on to the bridge
// where the walkers are; Enter now and then for the introductions.
std::string ToTheBridge() {
  std::string s = "20 keydown RIGHT\n20 keydown UP\n32 keyup UP\n50 keyup RIGHT\n";
  for (int32_t t = 35; t < 400; t += 10) s += Key(t, "RETURN");
  return s;
}

TEST_F(FightAndEditor, KillingEveryWalkerInTimeWinsTheRoomAndSavesIt) {
  std::string script = ToTheBridge();
  for (int32_t t = 40; t < 120; t += 3) script += Key(t, "SPACE");  // firing to the right
  ASSERT_EQ(Run(script, 300), 0);
  const std::vector<int32_t> starts = FightStarts();
  ASSERT_EQ(starts.size(), 1u);
  EXPECT_EQ(starts[0], 79) << "35 for each of the two walkers left, 10 more, one frame gone";
  bool won = false;
  for (const TraceLine& t : Trace()) won = won || (t.fight == -1 && t.result >= 107 && t.result <= 109);
  EXPECT_TRUE(won);
  EXPECT_NE(Read("gamesave.sav").find("\n111,screen stats h, ,0,0,-1,"), std::string::npos);
}

TEST_F(FightAndEditor, LettingTheTimeRunOutRestartsTheRoomWithMoreTime) {
  // One shot starts the fight; then away to the left until the time is up,
  // back, and another shot.
  const std::string script = ToTheBridge() + Key(52, "SPACE") + "60 keydown LEFT\n100 keyup LEFT\n" +
                             "120 keydown RIGHT\n123 keyup RIGHT\n" + Key(125, "SPACE") + Key(130, "SPACE");
  ASSERT_EQ(Run(script, 400), 0);
  const std::vector<int32_t> starts = FightStarts();
  ASSERT_EQ(starts.size(), 2u);
  EXPECT_EQ(starts[0], 79);
  EXPECT_EQ(starts[1], 95) << "eased by 8 per walker: 43 each";
  for (const TraceLine& t : Trace()) EXPECT_FALSE(t.result >= 107 && t.result <= 109) << t.frame;
}

TEST_F(FightAndEditor, TheEditorPlacesObjectsAndWritesTheLevelFile) {
  const std::string before = Read("data/lvobj02.txt");
  ASSERT_FALSE(before.empty());
  // Delete, Shift, Caps Lock; then the walker (cell 0) to (200, 420), the
  // shooting walker (cell 1) to (120, 420), and "wr" (cell 100).
  const std::string script = Key(20, "DELETE") + Key(22, "SHIFT") + Key(24, "CAPSLOCK") + Click(30, 420, 20) +
                             Click(34, 200, 420) + Click(38, 420, 60) + Click(42, 120, 420) +
                             Click(46, 660, 420);
  ASSERT_EQ(Run(script, 120), 0);
  bool editor = false;
  for (const TraceLine& t : Trace()) editor = editor || t.mode == 3;
  EXPECT_TRUE(editor);
  const std::string after = Read("data/lvobj02.txt");
  EXPECT_FALSE(fs::is_symlink(dir / "data/lvobj02.txt"));
  EXPECT_EQ(Read(fs::path(vxtest::GeneratedDataSet()) / "data/lvobj02.txt"), before)
      << "the data set untouched";
  // The level's own objects first, then the two new ones in the first free
  // records.
  const size_t first = before.find("\n4, , ,");
  ASSERT_NE(first, std::string::npos);
  EXPECT_EQ(after.substr(0, first), before.substr(0, first));
  EXPECT_NE(after.find("\n4, , ,1,200,420,0,0,0,0,0,0,0\n5, , ,1,120,420,1,0,0,0,0,0,0\n"),
            std::string::npos);
  EXPECT_EQ(after.size() - after.rfind("13131313,not found,not found"),
            std::string("13131313,not found,not found,0,0,0,0,0,0,0,0,0,0\n\n").size());
}

}  // namespace
