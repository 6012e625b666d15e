// The menus as a new user meets them, in the real program run headless on
// the generated data set: the title, the game, the pause screen, saving and
// quitting from the keyboard, and continuing the saved game next time.
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
  int32_t frame = 0, mode = 0, level = 0, health = 0;
};

class MenuFlow : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(vxtest::GeneratedDataSet().empty());
    std::string pattern = (fs::temp_directory_path() / "vxmenus-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir = pattern;
    // The pictures of the generated set; settings, log and save of our own.
    fs::create_directory_symlink(fs::path(vxtest::GeneratedDataSet()) / "data", dir / "data");
    fs::create_directories(dir / "ini");
    std::ofstream(dir / "ini/main.ini")
        << "5,windowed,,1\n6,log,,1\n13,sound,,0\n17,music,,0\n20,english,,1\n";
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(dir, ec);
  }
  // Runs the program with an input script; the exit code.
  int Run(const std::string& script, const std::string& extra = "") {
    std::ofstream(dir / "in.txt") << script;
    const std::string cmd = vxtest::ProgramCommand(VX_GAME_BINARY) + " --headless --frames 600 --root " +
                            dir.string() + " --input " + (dir / "in.txt").string() + " --trace " +
                            (dir / "trace.txt").string() + " " + extra + " >/dev/null 2>" +
                            (dir / "stderr.txt").string();
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
        if (word == "health") s >> t.health;
      }
      lines.push_back(t);
    }
    return lines;
  }
  // The modes the run went through, each once per visit.
  std::vector<int32_t> Modes() {
    std::vector<int32_t> modes;
    for (const TraceLine& t : Trace()) {
      if (modes.empty() || modes.back() != t.mode) modes.push_back(t.mode);
    }
    return modes;
  }
  std::string Log() {
    std::ifstream in(dir / "en1_log.txt");
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
  }

  fs::path dir;
};

// A key pressed at one tick and let go at the next.
std::string Key(int32_t tick, const char* key) {
  return std::to_string(tick) + " keydown " + key + "\n" + std::to_string(tick + 1) + " keyup " + key + "\n";
}

// The first start as a new user plays it: Enter on the title, any key to
// end the credits; in the game the help comes up first (Enter), then, with
// no saved game yet, the new-game screen (Enter saves and starts). Enter
// three times more, for introductions of whatever the first place shows
// (in the game Enter does nothing); then Escape opens the pause screen,
// where Space saves and quits.
const std::string kFirstStart = Key(15, "ENTER") + Key(30, "SPACE") + Key(50, "ENTER") + Key(60, "ENTER") +
                                Key(70, "ENTER") + Key(74, "ENTER") + Key(78, "ENTER") + Key(85, "ESCAPE") +
                                Key(95, "SPACE");

TEST_F(MenuFlow, TheTitleLeadsToTheGameAndThePauseScreenQuitsFromTheKeyboard) {
  ASSERT_EQ(Run(kFirstStart, "--screenshot 25:" + (dir / "title.png").string() +
                                 " --screenshot 185:" + (dir / "pause.png").string()),
            0);
  // Loading, title, fade, credits, fade, game ... pause; the program ends
  // from the menu, well before the frame limit.
  const std::vector<int32_t> modes = Modes();
  ASSERT_GE(modes.size(), 7u);
  EXPECT_EQ(std::vector<int32_t>(modes.begin(), modes.begin() + 6), (std::vector<int32_t>{0, 5, 4, 2, 4, 1}));
  EXPECT_EQ(modes.back(), 5);
  EXPECT_LT(Trace().back().frame, 250);
  const std::string log = Log();
  EXPECT_NE(log.find("vxEngExit"), std::string::npos) << "ended through the quit answer";
  EXPECT_EQ(log.find("window closed"), std::string::npos);
  EXPECT_TRUE(fs::exists(dir / "title.png"));
  EXPECT_TRUE(fs::exists(dir / "pause.png"));
}

// Needs the game world: a new game with a living player whose first frame
// shows the help screen.
TEST_F(MenuFlow, TheNextStartOffersToContinueAndPutsThePlayerBackInTheSavedLevel) {
  // First start: the help, no saved game yet (Enter starts and saves), then
  // pause, save and quit.
  ASSERT_EQ(Run(kFirstStart), 0);
  bool alive = false;
  for (const TraceLine& t : Trace()) alive = alive || (t.mode == 1 && t.health > 0);
  if (!alive) GTEST_SKIP() << "the game world does not start a living player yet";
  ASSERT_TRUE(fs::exists(dir / "gamesave.sav"));

  // A save from another level: line 121 starts with the level number.
  std::string save;
  {
    std::ifstream in(dir / "gamesave.sav", std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    save = s.str();
  }
  const size_t at = save.find("\n121,main vars 1, ,") + 19;
  ASSERT_NE(at, std::string::npos + 19);
  save.replace(at, save.find(',', at) - at, "7");
  std::ofstream(dir / "gamesave.sav", std::ios::binary) << save;

  // Next start: the help offers the saved game; Enter continues it.
  ASSERT_EQ(Run(Key(15, "ENTER") + Key(30, "SPACE") + Key(50, "ENTER") + Key(60, "ENTER") + "100 close\n"),
            0);
  // The game goes on in the saved level (where an introduction may come up).
  bool playing = false;
  for (const TraceLine& t : Trace()) playing = playing || (t.mode == 1 && t.level == 7);
  EXPECT_TRUE(playing);
  EXPECT_EQ(Trace().back().level, 7);
}

}  // namespace
