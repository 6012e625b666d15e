// The real program, headless on the generated data set, when its save
// cannot be written or its saved game is damaged: the player sees it in a
// message box, save and quit does not quit silently, and stderr and the
// log name the file and the reason.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
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

// The game with a time limit: a minute natively, five under an emulator.
std::string GameCommand() {
  const char* limit = vxtest::ProgramWrapper().empty() ? "60" : "300";
  return std::string("timeout -s KILL ") + limit + " " + vxtest::ProgramCommand(VX_GAME_BINARY);
}

class SaveFailureE2e : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(vxtest::GeneratedDataSet().empty());
    std::string pattern = (fs::temp_directory_path() / "vxsavefail-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir = pattern;
    fs::create_directory_symlink(fs::path(vxtest::GeneratedDataSet()) / "data", dir / "data");
    Settings(true);
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(dir, ec);
  }
  void Settings(bool english) {
    fs::create_directories(dir / "ini");
    std::ofstream(dir / "ini/main.ini")
        << "5,windowed,,1\n6,log,,1\n13,sound,,0\n17,music,,0\n20,english,," << (english ? 1 : 0) << "\n";
  }
  // Runs the program with an input script (at most 600 frames and a
  // minute); the exit code.
  int Run(const std::string& script, const std::string& extra = "") {
    std::ofstream(dir / "in.txt") << script;
    const std::string cmd = GameCommand() + " --headless --frames 600 --root " + dir.string() + " --input " +
                            (dir / "in.txt").string() + " --trace " + (dir / "trace.txt").string() + " " +
                            extra + " >/dev/null 2>" + (dir / "stderr.txt").string();
    const int status = std::system(cmd.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  std::string Text(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
  }
  // The last frame of the trace.
  int32_t LastFrame() {
    std::istringstream in(Text(dir / "trace.txt"));
    int32_t last = -1;
    for (std::string line; std::getline(in, line);) {
      std::istringstream s(line);
      for (std::string word; s >> word;) {
        if (word == "frame") s >> last;
      }
    }
    return last;
  }
  // The menu screens shown, each once per visit.
  std::vector<int32_t> Screens() {
    std::istringstream in(Text(dir / "trace.txt"));
    std::vector<int32_t> screens;
    for (std::string line; std::getline(in, line);) {
      std::istringstream s(line);
      int32_t mode = -1, menu = -1;
      for (std::string word; s >> word;) {
        if (word == "mode") s >> mode;
        if (word == "menu") s >> menu;
      }
      if (mode == 5 && (screens.empty() || screens.back() != menu)) screens.push_back(menu);
      if (mode != 5 && !screens.empty() && screens.back() != -1) screens.push_back(-1);
    }
    return screens;
  }

  fs::path dir;
};

std::string Key(int32_t tick, const char* key) {
  return std::to_string(tick) + " keydown " + key + "\n" + std::to_string(tick + 1) + " keyup " + key + "\n";
}

// The title (Enter), the credits (Space), the help (Enter), the new-game
// screen (Enter starts and saves). That save fails (a folder stands at the
// save's name), and the game says so once (Enter goes on). Then pause,
// save and quit: it fails, the failure screen shows; Enter tries again and
// fails again; Space quits without saving.
const std::string kFailingStart = Key(15, "ENTER") + Key(30, "SPACE") + Key(50, "ENTER") + Key(60, "ENTER") +
                                  Key(90, "ENTER") + Key(100, "ESCAPE") + Key(110, "SPACE") +
                                  Key(120, "ENTER") + Key(130, "SPACE");

TEST_F(SaveFailureE2e, AFailedSaveIsShownAndSaveAndQuitLetsThePlayerChoose) {
  fs::create_directory(dir / "gamesave.sav");
  for (const bool english : {true, false}) {
    SCOPED_TRACE(english ? "english" : "russian");
    Settings(english);
    const std::string lang = english ? "en" : "ru";
    ASSERT_EQ(Run(kFailingStart, " --screenshot 150:" + (dir / ("during-" + lang + ".png")).string() +
                                     " --screenshot 235:" + (dir / ("quit-" + lang + ".png")).string()),
              0);
    // Title, help, new game; the failed save's notice; pause; the failure
    // screen (twice: shown, then shown again after the failed retry, which
    // keeps it), where the program ends, well before the frame limit.
    const std::vector<int32_t> screens = Screens();
    const std::vector<int32_t> tail = {-1, 39, -1, 1, 38};
    ASSERT_GE(screens.size(), tail.size());
    EXPECT_EQ(std::vector<int32_t>(screens.end() - static_cast<ptrdiff_t>(tail.size()), screens.end()), tail);
    EXPECT_LT(LastFrame(), 400);
    const std::string err = Text(dir / "stderr.txt");
    EXPECT_NE(
        err.find(
            "vxgame: cannot save the game: refusing to write gamesave.sav: a folder stands at that name"),
        std::string::npos)
        << err;
    size_t lines = 0;
    for (size_t p = err.find("cannot save the game"); p != std::string::npos;
         p = err.find("cannot save the game", p + 1))
      ++lines;
    EXPECT_EQ(lines, 3u) << "the new game's save, save and quit, and the second try: " << err;
    const std::string log = Text(dir / "en1_log.txt");
    EXPECT_NE(log.find("cannot save the game: refusing to write gamesave.sav"), std::string::npos);
    EXPECT_TRUE(fs::is_directory(dir / "gamesave.sav"));
    for (const char* shot : {"during-", "quit-"}) EXPECT_TRUE(fs::exists(dir / (shot + lang + ".png")));
  }
}

// A save cut short (every data line there, the end line not) with no
// backup: the next start keeps it aside, starts a new game and says so.
TEST_F(SaveFailureE2e, ADamagedSaveIsKeptAsideAndShown) {
  ASSERT_EQ(Run(Key(15, "ENTER") + Key(30, "SPACE") + Key(50, "ENTER") + Key(60, "ENTER") + "90 close\n"), 0);
  ASSERT_TRUE(fs::is_regular_file(dir / "gamesave.sav"));
  const std::string whole = Text(dir / "gamesave.sav");
  const std::string cut = whole.substr(0, whole.size() - 40);
  for (const bool english : {true, false}) {
    SCOPED_TRACE(english ? "english" : "russian");
    Settings(english);
    fs::remove(dir / "gamesave.sav.damaged");
    std::ofstream(dir / "gamesave.sav", std::ios::binary) << cut;
    const std::string lang = english ? "en" : "ru";
    ASSERT_EQ(Run(Key(15, "ENTER") + Key(30, "SPACE") + Key(50, "ENTER") + Key(60, "ENTER") + "120 close\n",
                  " --screenshot 160:" + (dir / ("damaged-" + lang + ".png")).string()),
              0);
    const std::vector<int32_t> screens = Screens();
    EXPECT_NE(std::find(screens.begin(), screens.end(), 40), screens.end()) << "the damaged save is shown";
    EXPECT_EQ(Text(dir / "gamesave.sav.damaged"), cut);
    const std::string err = Text(dir / "stderr.txt");
    EXPECT_NE(err.find("vxgame: gamesave.sav is damaged (it ends before its end line); it is kept as "
                       "gamesave.sav.damaged; a new game starts"),
              std::string::npos)
        << err;
    EXPECT_NE(Text(dir / "gamesave.sav"), cut) << "the new game's save";
    EXPECT_TRUE(fs::exists(dir / ("damaged-" + lang + ".png")));
  }
}

std::string Click(int32_t tick, int32_t x, int32_t y) {
  return std::to_string(tick) + " mousemove " + std::to_string(x) + " " + std::to_string(y) + "\n" +
         std::to_string(tick + 1) + " lbuttondown\n" + std::to_string(tick + 2) + " lbuttonup\n";
}

// The editor's "wr" where a folder stands at the level file's name: the
// failure screen comes up over the editor; Enter tries again (and fails
// again), Space goes back to the editor.
TEST_F(SaveFailureE2e, TheEditorsFailedWriteIsShownAndGoesBackToTheEditor) {
  fs::remove(dir / "data");
  fs::create_directories(dir / "data");
  for (const auto& e : fs::directory_iterator(fs::path(vxtest::GeneratedDataSet()) / "data")) {
    fs::create_symlink(e.path(), dir / "data" / e.path().filename());
  }
  fs::remove(dir / "data/lvobj02.txt");
  fs::create_directory(dir / "data/lvobj02.txt");
  const std::string script = Key(20, "DELETE") + Key(22, "SHIFT") + Key(24, "CAPSLOCK") + Click(30, 420, 20) +
                             Click(34, 200, 420) + Click(46, 660, 420) + Key(60, "RETURN") +
                             Key(70, "SPACE") + "90 close\n";
  std::ofstream(dir / "in.txt") << script;
  const std::string cmd =
      GameCommand() + " --headless --level 2 --frames 200 --root " + dir.string() + " --input " +
      (dir / "in.txt").string() + " --trace " + (dir / "trace.txt").string() +
      " --screenshot 100:" + (dir / "editor.png").string() + " >/dev/null 2>" + (dir / "stderr.txt").string();
  const int status = std::system(cmd.c_str());
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  std::vector<int32_t> modes;
  std::istringstream in(Text(dir / "trace.txt"));
  for (std::string line; std::getline(in, line);) {
    std::istringstream w(line);
    int32_t mode = -1, menu = -1;
    for (std::string word; w >> word;) {
      if (word == "mode") w >> mode;
      if (word == "menu") w >> menu;
    }
    const int32_t visit = mode == 5 ? 500 + menu : mode;
    if (modes.empty() || modes.back() != visit) modes.push_back(visit);
  }
  // Game, editor, the failure screen (41), the editor again to the end.
  const std::vector<int32_t> tail = {3, 541, 3};
  ASSERT_GE(modes.size(), tail.size());
  EXPECT_EQ(std::vector<int32_t>(modes.end() - 3, modes.end()), tail);
  const std::string err = Text(dir / "stderr.txt");
  EXPECT_NE(
      err.find("vxgame: cannot write the level file: refusing to write data/lvobj02.txt: a folder stands at "
               "that name"),
      std::string::npos)
      << err;
  EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 2) << "the write and the second try: " << err;
  EXPECT_TRUE(fs::is_directory(dir / "data/lvobj02.txt"));
  EXPECT_TRUE(fs::exists(dir / "editor.png"));
}

}  // namespace
