// The options screen in the real program, run headless on the generated
// data set: opened from the pause screen, the language changed, closed
// again, the game goes on exactly as it would have without the visit; and
// what was changed is in the configuration at the next start.
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

struct Line {
  int32_t mode = 0;
  std::string state;  // the line without its frame number
};

class OptionsRun : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(vxtest::GeneratedDataSet().empty());
    std::string pattern = (fs::temp_directory_path() / "vxoptions-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir = pattern;
    fs::create_directory_symlink(fs::path(vxtest::GeneratedDataSet()) / "data", dir / "data");
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(dir, ec);
  }
  // A fresh folder but for the data: no saved game, no log.
  void Settings(const std::string& text) {
    for (const auto& entry : fs::directory_iterator(dir)) {
      if (entry.path().filename() != "data") fs::remove_all(entry.path());
    }
    fs::create_directories(dir / "ini");
    std::ofstream(dir / "ini/main.ini", std::ios::binary) << text;
  }
  std::string SettingsNow() {
    std::ifstream in(dir / "ini/main.ini", std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
  }
  int Run(const std::string& script, int32_t frames, const std::string& extra = "") {
    std::ofstream(dir / "in.txt") << script;
    const std::string cmd = vxtest::ProgramCommand(VX_GAME_BINARY) + " --headless --frames " +
                            std::to_string(frames) + " --root " + dir.string() + " --input " +
                            (dir / "in.txt").string() + " --trace " + (dir / "trace.txt").string() + " " +
                            extra + " >/dev/null 2>" + (dir / "stderr.txt").string();
    const int status = std::system(cmd.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  std::vector<Line> Trace() {
    std::vector<Line> lines;
    std::ifstream in(dir / "trace.txt");
    for (std::string text; std::getline(in, text);) {
      std::istringstream s(text);
      Line l;
      std::string word, value;
      while (s >> word >> value) {
        if (word == "frame") continue;
        if (word == "mode") l.mode = std::stoi(value);
        l.state += word + " " + value + " ";
      }
      lines.push_back(l);
    }
    return lines;
  }
  fs::path dir;
};

std::string Key(int32_t tick, const char* key) {
  return std::to_string(tick) + " keydown " + key + "\n" + std::to_string(tick + 1) + " keyup " + key + "\n";
}

// Title, credits, the help and the new game, some play, then the pause
// screen at tick 85.
const std::string kToThePause = Key(15, "ENTER") + Key(30, "SPACE") + Key(50, "ENTER") + Key(60, "ENTER") +
                                Key(70, "ENTER") + Key(74, "ENTER") + Key(78, "ENTER") +
                                "80 keydown RIGHT\n" + Key(85, "ESCAPE") + "86 keyup RIGHT\n";
const std::string kSettings = "5,windowed,,1\n13,sound,,0\n17,music,,0\n20,english,,1\n";

// The pause screen's frames are the same in number either way: the visit
// to the options (ten ticks, twenty frames) only puts off the answer.
TEST_F(OptionsRun, OpeningOptionsFromThePauseChangesNothingOfTheGame) {
  Settings(kSettings);
  ASSERT_EQ(Run(kToThePause + Key(110, "ENTER") + "112 keydown LEFT\n", 300), 0);
  const std::vector<Line> plain = Trace();

  Settings(kSettings);
  const int32_t away = 10;
  const std::string visit = Key(95, "O") + Key(97, "DOWN") + Key(99, "DOWN") + Key(101, "DOWN") +
                            Key(103, "RIGHT") + Key(95 + away, "ESCAPE");
  ASSERT_EQ(
      Run(kToThePause + visit + Key(110 + away, "ENTER") + std::to_string(112 + away) + " keydown LEFT\n",
          300 + 2 * away,
          "--screenshot 196:" + (dir / "options-en.png").string() +
              " --screenshot 204:" + (dir / "options-ru.png").string()),
      0);
  std::vector<Line> visited;
  int32_t inOptions = 0;
  for (const Line& l : Trace()) {
    if (l.mode == 6) {
      ++inOptions;
    } else {
      visited.push_back(l);
    }
  }
  EXPECT_EQ(inOptions, 2 * away);
  ASSERT_EQ(visited.size(), plain.size());
  bool played = false;
  for (size_t i = 0; i < plain.size(); ++i) {
    ASSERT_EQ(visited[i].state, plain[i].state) << "line " << i;
    played = played || (i > 0 && plain[i - 1].mode == 5 && plain[i].mode != 5);
  }
  EXPECT_TRUE(played) << "the game went on after the pause";
  // The language was changed and written, the rest of the file kept.
  EXPECT_EQ(SettingsNow(), "5,windowed,,1\n13,sound,,0\n17,music,,0\n20,english,,0\n");
  EXPECT_TRUE(fs::exists(dir / "options-en.png"));
  EXPECT_TRUE(fs::exists(dir / "options-ru.png"));
}

// A new player's round: from the title, the music quieter and a key
// remapped; the next start reads them (the log names no bad record).
TEST_F(OptionsRun, ChangesFromTheTitleHoldAtTheNextStart) {
  Settings("5,windowed,,1\n6,log,,1\n13,sound,,0\n17,music,,1\n20,english,,1\n13131313,end,,\nmy notes\n");
  // Title shown from about tick 12: O, music volume down twice, up past
  // the top to the keys page, walk left gets J, back twice.
  const std::string script = Key(20, "O") + Key(22, "DOWN") + Key(24, "LEFT") + Key(26, "LEFT") +
                             Key(28, "UP") + Key(30, "UP") + Key(32, "UP") + Key(34, "RETURN") +
                             Key(36, "RETURN") + Key(38, "J") + Key(40, "ESCAPE") + Key(42, "ESCAPE") +
                             "46 close\n";
  ASSERT_EQ(Run(script, 200), 0);
  const std::string file = SettingsNow();
  EXPECT_NE(file.find("17,music,,1\n"), std::string::npos) << file;
  EXPECT_NE(file.find("36,music volume (0 to 100),,80\n"), std::string::npos) << file;
  EXPECT_NE(file.find("40,J,LEFT,0\n13131313,end,,\nmy notes\n"), std::string::npos) << file;
  // The next start: J walks left and the log has nothing against the file.
  ASSERT_EQ(Run(Key(15, "ENTER") + "40 close\n", 100), 0);
  std::ifstream log(dir / "en1_log.txt");
  std::ostringstream s;
  s << log.rdbuf();
  EXPECT_EQ(s.str().find("settings: "), std::string::npos) << s.str();
}

}  // namespace
