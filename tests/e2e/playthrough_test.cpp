// The whole game played by the real program, headless, from the recorded
// input script (tests/e2e/playthrough.txt, written by `playthrough record`):
// the title, a new game, every fight of the route won, every room change,
// the moon chamber and the three ending screens, after which the program
// ends itself. The recorder wrote down the game state at each room change
// and each fight's end (playthrough_checks.txt); the replay must meet them
// frame for frame, so a ledge that moved or a fight that went otherwise
// shows here as the first check missed.
//
// The second run stops the same recording just after the route enters the
// last stair, and a fresh program continues the saved game from the title
// and plays on to the ending with playthrough_resume.txt.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "datagen/generated_data_set.h"
#include "support/engine_test.h"
#include "support/programs.h"

namespace {

namespace fs = std::filesystem;

// The fields of a trace line or a check line by name; a check line's
// comment ("# room") is kept as its note.
struct Fields {
  std::map<std::string, long long> values;
  std::string note;
  long long operator[](const std::string& key) const {
    const auto it = values.find(key);
    return it == values.end() ? -99999 : it->second;
  }
};

Fields ParseLine(const std::string& line) {
  Fields f;
  std::istringstream words(line);
  for (std::string key; words >> key;) {
    if (key == "#") {
      std::getline(words, f.note);
      break;
    }
    std::string value;
    if (!(words >> value)) break;
    f.values[key] = std::strtoll(value.c_str(), nullptr, 0);
  }
  return f;
}

std::vector<Fields> ReadLines(const fs::path& file) {
  std::vector<Fields> out;
  std::ifstream in(file);
  for (std::string line; std::getline(in, line);)
    if (!line.empty() && line[0] != '#') out.push_back(ParseLine(line));
  return out;
}

const std::string kE2e = std::string(VX_SOURCE_DIR) + "/tests/e2e/";

// The route as the arrows point it, levels in the order the run is in them.
const std::vector<long long> kRoute = {2, 1, 0, 1, 2, 3, 4, 3, 8, 9, 8, 7, 6, 5, 10, 15, 16, 17, 18, 19, 24};

class Playthrough : public ::testing::Test {
 protected:
  fs::path dir;

  void SetUp() override {
    const std::string& data = vxtest::GeneratedDataSet();
    ASSERT_FALSE(data.empty());
    std::string pattern = (fs::temp_directory_path() / "vxplay-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir = pattern;
    fs::create_symlink(fs::path(data) / "data", dir / "data");
    fs::create_directories(dir / "ini");
    // Windowed, no log, sound on, music off (no decoders), arrows, English:
    // the settings the recording was made with.
    std::ofstream(dir / "ini" / "main.ini")
        << "5,,,1\n6,,,0\n13,,,1\n15,,,0\n17,,,0\n19,,,0\n20,,,1\n13131313,,,\n";
  }
  void TearDown() override {
    std::error_code ec;
    if (!dir.empty() && !HasFailure()) fs::remove_all(dir, ec);
  }

  // vxgame on the script; its exit status.
  int Play(const std::string& script, const std::string& trace, const std::string& extra = "") {
    const std::string cmd = vxtest::ProgramCommand(VX_GAME_BINARY) + " --headless --root " + dir.string() +
                            " --input " + kE2e + script + " --trace " + (dir / trace).string() + " " + extra +
                            " >/dev/null 2>" + (dir / "err.txt").string();
    const int status = std::system(cmd.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  // Every check of `checks` met by the trace line of its frame.
  static void ExpectChecks(const std::vector<Fields>& trace, const std::vector<Fields>& checks) {
    std::map<long long, const Fields*> byFrame;
    for (const Fields& t : trace) byFrame[t["frame"]] = &t;
    for (const Fields& c : checks) {
      const auto it = byFrame.find(c["frame"]);
      ASSERT_NE(it, byFrame.end()) << "the run ended before frame " << c["frame"] << " (" << c.note << ")";
      for (const char* key : {"mode", "level", "x", "y", "fight", "time"})
        ASSERT_EQ((*it->second)[key], c[key])
            << key << " at frame " << c["frame"] << " (" << c.note << ", level " << c["level"] << ")";
    }
  }

  // The levels the game is played in, in order, each run of frames once.
  static std::vector<long long> LevelsPlayed(const std::vector<Fields>& trace) {
    std::vector<long long> levels;
    for (const Fields& t : trace)
      if (t["mode"] == 1 && (levels.empty() || levels.back() != t["level"])) levels.push_back(t["level"]);
    return levels;
  }

  // The program ended itself on the last ending screen, in the frame the
  // recording ended in (the script's close, long after, is a safeguard):
  // its last frame shows menu screen 37, after 35 and 36.
  static void ExpectEnding(const std::vector<Fields>& trace, const std::vector<Fields>& checks) {
    ASSERT_FALSE(trace.empty());
    ASSERT_FALSE(checks.empty());
    const Fields& last = trace.back();
    EXPECT_NE(checks.back().note.find("the program ends"), std::string::npos);
    EXPECT_EQ(last["frame"], checks.back()["frame"])
        << "the program did not end itself where the recording did";
    EXPECT_EQ(last["mode"], 5);
    EXPECT_EQ(last["menu"], 37);
    bool saw35 = false, saw36 = false;
    for (const Fields& t : trace) {
      saw35 = saw35 || (t["mode"] == 5 && t["menu"] == 35);
      saw36 = saw36 || (t["mode"] == 5 && t["menu"] == 36 && saw35);
    }
    EXPECT_TRUE(saw35 && saw36) << "the ending screens 35 and 36 were not shown in order";
  }

  static int Wins(const std::vector<Fields>& checks) {
    int wins = 0;
    for (const Fields& c : checks) wins += c.note.find("fight won") != std::string::npos ? 1 : 0;
    return wins;
  }
};

TEST_F(Playthrough, TheRecordedRunWinsEveryFightAndReachesTheEnding) {
  ASSERT_EQ(Play("playthrough.txt", "trace.txt"), 0) << vxtest::ReadFile((dir / "err.txt").string());
  // Kept where asked, so that the whole trace of one processor can be
  // compared with another's, frame for frame.
  if (const char* keep = std::getenv("VX_PLAYTHROUGH_TRACE")) {
    std::error_code ec;
    fs::copy_file(dir / "trace.txt", keep, fs::copy_options::overwrite_existing, ec);
    EXPECT_FALSE(ec) << "the trace could not be kept at " << keep << ": " << ec.message();
  }
  const std::vector<Fields> trace = ReadLines(dir / "trace.txt");
  const std::vector<Fields> checks = ReadLines(kE2e + "playthrough_checks.txt");
  ASSERT_GT(checks.size(), kRoute.size());
  ExpectChecks(trace, checks);
  EXPECT_EQ(LevelsPlayed(trace), kRoute);
  // Fifteen levels hold a fight; the shaft and the moon chamber do not.
  EXPECT_EQ(Wins(checks), 15);
  ExpectEnding(trace, checks);
}

TEST_F(Playthrough, AMidRunSaveLoadedInAFreshProgramPlaysOnToTheEnding) {
  // The first program stops a few frames after the room change into the
  // last stair (level 19, with rows 0 and 1 won) wrote its save.
  const std::vector<Fields> checks = ReadLines(kE2e + "playthrough_checks.txt");
  long long intoLastStair = -1;
  for (const Fields& c : checks)
    if (c.note.find("room") != std::string::npos && c["level"] == 19 && intoLastStair < 0)
      intoLastStair = c["frame"];
  ASSERT_GT(intoLastStair, 0) << "the recording never enters level 19";
  ASSERT_EQ(Play("playthrough.txt", "trace1.txt", "--frames " + std::to_string(intoLastStair + 4)), 0)
      << vxtest::ReadFile((dir / "err.txt").string());
  ASSERT_TRUE(fs::exists(dir / "gamesave.sav"));
  EXPECT_EQ(vxtest::ReadFile((dir / "gamesave.sav").string()),
            vxtest::ReadFile(kE2e + "playthrough_midrun.sav"))
      << "the save differs from the one the rest of the run was recorded from";

  ASSERT_EQ(Play("playthrough_resume.txt", "trace2.txt"), 0) << vxtest::ReadFile((dir / "err.txt").string());
  const std::vector<Fields> trace = ReadLines(dir / "trace2.txt");
  const std::vector<Fields> checks2 = ReadLines(kE2e + "playthrough_resume_checks.txt");
  ExpectChecks(trace, checks2);
  // The start shows the new game's level 2 behind the first screens; the
  // continue answer then loads the saved game into the last stair.
  const std::vector<long long> levels = LevelsPlayed(trace);
  EXPECT_EQ(levels, (std::vector<long long>{2, 19, 24})) << "the saved game did not continue in level 19";
  ExpectEnding(trace, checks2);
}

}  // namespace
