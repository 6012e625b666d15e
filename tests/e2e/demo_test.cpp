// Demos made and played by the real program: a headless recording of the
// recorded playthrough's opening plays back to the same trace; the saved
// game the play started from travels in the demo; the clock readings of
// the random source's re-seed are the demo's, not the playback's clock;
// damaged demos are refused with a message that says why; a recording
// of a real window under Xvfb, with key presses from a scripted player,
// plays in step headless and in a window; and a recorded focus loss pauses
// the watched game without shrinking the window it is watched in.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
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

const std::string kE2e = std::string(VX_SOURCE_DIR) + "/tests/e2e/";
// Ticks of the recorded playthrough's opening where the player walks in
// the first room: a pad button is held there.
constexpr int kPadFrom = 43, kPadTo = 80;

struct Outcome {
  int status = -1;
  std::string output;
};

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::string Join(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& l : lines) text += l + "\n";
  return text;
}

class Demo : public ::testing::Test {
 protected:
  fs::path dir;

  void SetUp() override {
    const std::string& data = vxtest::GeneratedDataSet();
    ASSERT_FALSE(data.empty());
    std::string pattern = (fs::temp_directory_path() / "vxdemo-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir = pattern;
    fs::create_directories(dir / "game" / "ini");
    fs::create_symlink(fs::path(data) / "data", dir / "game" / "data");
    std::ofstream(dir / "game" / "ini" / "main.ini")
        << "5,,,1\n6,,,0\n13,,,1\n15,,,0\n17,,,0\n19,,,0\n20,,,1\n13131313,,,\n";
  }
  void TearDown() override {
    std::error_code ec;
    if (!dir.empty() && !HasFailure()) fs::remove_all(dir, ec);
  }

  fs::path Game() const { return dir / "game"; }

  Outcome Vxgame(const std::string& args) {
    const std::string cmd = vxtest::ProgramCommand(VX_GAME_BINARY) + " --root " + Game().string() + " " +
                            args + " >" + (dir / "out.txt").string() + " 2>&1";
    Outcome r;
    const int status = std::system(cmd.c_str());
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.output = vxtest::ReadFile((dir / "out.txt").string());
    return r;
  }

  // A headless recording of the first `frames` frames of an input script.
  std::string Record(const std::string& script, int frames, const std::string& name = "rec.dem",
                     const std::string& extra = "") {
    const std::string demo = (dir / name).string();
    const Outcome r = Vxgame("--headless --input " + kE2e + script + " --frames " + std::to_string(frames) +
                             " --record " + demo + " " + extra);
    EXPECT_EQ(r.status, 0) << r.output;
    EXPECT_NE(r.output.find("written"), std::string::npos) << r.output;
    return demo;
  }

  Outcome Play(const std::string& demo, const std::string& extra = "") {
    return Vxgame("--headless --play " + demo + " " + extra);
  }

  std::string Write(const std::string& name, const std::string& text) {
    const std::string path = (dir / name).string();
    std::ofstream(path, std::ios::binary) << text;
    return path;
  }
};

TEST_F(Demo, AHeadlessRecordingPlaysBackToTheSameGameFrameForFrame) {
  const std::string demo = Record("playthrough.txt", 900, "rec.dem", "--trace " + (dir / "t1.txt").string());
  const Outcome played = Play(demo, "--trace " + (dir / "t2.txt").string());
  EXPECT_EQ(played.status, 0) << played.output;
  EXPECT_NE(played.output.find("in step: 901 frames"), std::string::npos) << played.output;
  const std::string t1 = vxtest::ReadFile((dir / "t1.txt").string());
  EXPECT_FALSE(t1.empty());
  EXPECT_EQ(t1, vxtest::ReadFile((dir / "t2.txt").string()));
  // A check every 35 frames and one at the end.
  const std::string text = vxtest::ReadFile(demo);
  EXPECT_NE(text.find("\n#check 35 "), std::string::npos);
  EXPECT_NE(text.find("\n#check 875 "), std::string::npos);
  EXPECT_NE(text.find("\n#end "), std::string::npos);
}

TEST_F(Demo, TheSavedGameThePlayStartedFromTravelsInTheDemo) {
  fs::copy_file(kE2e + "playthrough_midrun.sav", Game() / "gamesave.sav");
  const std::string demo =
      Record("playthrough_resume.txt", 700, "rec.dem", "--trace " + (dir / "t1.txt").string());
  EXPECT_NE(vxtest::ReadFile(demo).find("\n#file gamesave.sav "), std::string::npos);
  // Played where there is no save at all: the game continues the embedded one.
  fs::remove(Game() / "gamesave.sav");
  fs::remove(Game() / "gamesave.sav.bak");
  const Outcome played = Play(demo, "--trace " + (dir / "t2.txt").string());
  EXPECT_EQ(played.status, 0) << played.output;
  EXPECT_NE(played.output.find("in step"), std::string::npos) << played.output;
  EXPECT_EQ(vxtest::ReadFile((dir / "t1.txt").string()), vxtest::ReadFile((dir / "t2.txt").string()));
  EXPECT_NE(vxtest::ReadFile((dir / "t2.txt").string()).find(" level 19 "), std::string::npos)
      << "the embedded save was not continued";
  // The game the playback ran saved in a folder of its own.
  EXPECT_FALSE(fs::exists(Game() / "gamesave.sav"));
}

TEST_F(Demo, ThePlayerSaveIsLeftAloneByAPlayback) {
  const std::string demo = Record("playthrough.txt", 1600);  // past the first room changes, which save
  ASSERT_TRUE(fs::exists(Game() / "gamesave.sav"));
  const std::string mine = "my own save\n";
  Write("game/gamesave.sav", mine);
  const Outcome played = Play(demo);
  EXPECT_EQ(played.status, 0) << played.output;
  EXPECT_EQ(vxtest::ReadFile((Game() / "gamesave.sav").string()), mine);
}

// The random source re-seeds from the clock when two draws pass 80: the
// tick's line then holds three readings, the re-seed's beside the two
// frames' timings (the one taken in the same frame 0 ms apart). Moving
// only that reading must change the game.
TEST_F(Demo, TheReseedReadsTheRecordedClock) {
  const std::string demo = Record("playthrough.txt", 1200, "rec.dem", "--trace " + (dir / "t.txt").string());
  // The mode of each frame: a tick whose frames and those of the tick
  // before are all in play reads the clock twice, for the frame timing,
  // unless the random source re-seeds.
  std::map<long long, long long> mode;
  for (const std::string& line : Lines(vxtest::ReadFile((dir / "t.txt").string()))) {
    std::istringstream words(line);
    std::string key;
    long long frame = 0, m = 0;
    words >> key >> frame >> key >> m;
    mode[frame] = m;
  }
  const auto inPlay = [&](long long tick) {  // tick T runs frames 2T - 4 and 2T - 3
    for (long long f = 2 * tick - 6; f <= 2 * tick - 3; ++f)
      if (mode.count(f) == 0 || mode[f] != 1) return false;
    return true;
  };
  std::vector<std::string> lines = Lines(vxtest::ReadFile(demo));
  bool edited = false;
  for (std::string& line : lines) {
    std::istringstream words(line);
    std::string tick, word;
    std::vector<long long> d;
    words >> tick >> word;
    if (word != "clock" || !inPlay(std::atoll(tick.c_str()))) continue;
    for (long long v; words >> v;) d.push_back(v);
    if (d.size() != 3) continue;
    if (d[1] == 0) {  // the re-seed in the first frame, its timing right after
      d[0] += 1000;
      d[1] -= 1000;
    } else if (d[2] == 0) {  // in the second frame
      d[1] += 1000;
      d[2] -= 1000;
    } else {
      continue;
    }
    line = tick + " clock " + std::to_string(d[0]) + " " + std::to_string(d[1]) + " " + std::to_string(d[2]);
    edited = true;
    break;
  }
  ASSERT_TRUE(edited) << "no re-seed was recorded in the game frames";
  const Outcome played = Play(Write("edited.dem", Join(lines)));
  EXPECT_EQ(played.status, 4) << played.output;
  EXPECT_NE(played.output.find("out of step at frame"), std::string::npos) << played.output;
  // The demo as recorded is in step.
  EXPECT_EQ(Play(demo).status, 0);
}

// A pad button remapped in the settings reaches the game as the key of its
// record: the same game, frame for frame, as that key pressed on the
// keyboard; and a recording of it plays back in step (the settings file
// travels in the demo, the button as the pad gave it).
TEST_F(Demo, ARemappedPadButtonPlaysAsItsKeyAndInStep) {
  std::string opening;
  for (const std::string& line : Lines(vxtest::ReadFile(kE2e + "playthrough.txt"))) {
    if (std::atoi(line.c_str()) >= kPadFrom) break;
    opening += line + "\n";
  }
  const std::string from = std::to_string(kPadFrom), to = std::to_string(kPadTo);
  const std::string byKey =
      Write("key-script.txt", opening + from + " keydown RIGHT\n" + to + " keyup RIGHT\n");
  const std::string byPad = Write("pad-script.txt", opening + from + " paddown Y\n" + to + " padup Y\n");
  const std::string frames = " --frames " + std::to_string(kPadTo + 30);
  // A trace's lines, so that a difference shows its first frame.
  const auto Trace = [&](const std::string& name) { return Lines(vxtest::ReadFile((dir / name).string())); };
  const auto FirstDifference = [](const std::vector<std::string>& a, const std::vector<std::string>& b) {
    for (size_t i = 0; i < a.size() && i < b.size(); ++i)
      if (a[i] != b[i]) return a[i] + "\n" + b[i];
    if (a.size() == b.size()) return std::string();
    return "lengths " + std::to_string(a.size()) + ", " + std::to_string(b.size());
  };

  Outcome r = Vxgame("--headless --input " + byPad + frames + " --trace " + (dir / "own.txt").string());
  ASSERT_EQ(r.status, 0) << r.output;
  std::ofstream(Game() / "ini" / "main.ini")
      << "5,,,1\n6,,,0\n13,,,1\n15,,,0\n17,,,0\n19,,,0\n20,,,1\n40,PAD_Y,RIGHT,0\n13131313,,,\n";
  r = Vxgame("--headless --input " + byKey + frames + " --trace " + (dir / "key.txt").string());
  ASSERT_EQ(r.status, 0) << r.output;
  const std::string demo = (dir / "pad.dem").string();
  r = Vxgame("--headless --input " + byPad + frames + " --record " + demo + " --trace " +
             (dir / "pad.txt").string());
  ASSERT_EQ(r.status, 0) << r.output;
  EXPECT_NE(FirstDifference(Trace("own.txt"), Trace("key.txt")), "") << "Y's own meaning walks nowhere";
  EXPECT_EQ(FirstDifference(Trace("pad.txt"), Trace("key.txt")), "") << "Y remapped is not the key RIGHT";
  EXPECT_NE(vxtest::ReadFile(demo).find("\n" + from + " paddown Y\n"), std::string::npos);

  const Outcome played = Play(demo, "--trace " + (dir / "played.txt").string());
  EXPECT_EQ(played.status, 0) << played.output;
  EXPECT_NE(played.output.find("in step"), std::string::npos) << played.output;
  EXPECT_EQ(FirstDifference(Trace("played.txt"), Trace("pad.txt")), "");
  EXPECT_GE(Trace("played.txt").size(), static_cast<size_t>(kPadTo + 30));
}

TEST_F(Demo, DamagedDemosAreRefusedWithTheReason) {
  fs::copy_file(kE2e + "playthrough_midrun.sav", Game() / "gamesave.sav");
  const std::string demo = Record("playthrough_resume.txt", 400);
  const std::vector<std::string> lines = Lines(vxtest::ReadFile(demo));
  const auto edited = [&](const std::string& from, const std::string& to) {
    std::vector<std::string> out = lines;
    for (std::string& l : out)
      if (l.rfind(from, 0) == 0) {
        l = to + l.substr(from.size());
        break;
      }
    return Write("edited.dem", Join(out));
  };

  Outcome r = Play(edited("#engine vx_engine 1.13m", "#engine vx_engine 1.12"));
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.output.find("not played: it was recorded by 'vx_engine 1.12', this is 'vx_engine 1.13m'"),
            std::string::npos)
      << r.output;
  r = Play(edited("#engine vx_engine 1.13m", "#engine vx_engine 1.12"), "--force");
  EXPECT_EQ(r.status, 0) << r.output;

  r = Play(edited("#data none", "#data 0123456789abcdef"));
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.output.find("recorded with the data set 0123456789abcdef, this game folder has none"),
            std::string::npos)
      << r.output;

  // Cut short: refused, or played as far as it goes.
  const std::string cut = Write("cut.dem", Join(std::vector<std::string>(lines.begin(), lines.end() - 60)));
  r = Play(cut);
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.output.find("cut short (it has no end record)"), std::string::npos) << r.output;
  r = Play(cut, "--force");
  EXPECT_EQ(r.status, 0) << r.output;
  EXPECT_NE(r.output.find("cut short; in step up to frame"), std::string::npos) << r.output;

  // Cut inside the embedded saved game.
  size_t b64 = 0;
  while (b64 < lines.size() && lines[b64].rfind("#b64", 0) != 0) ++b64;
  r = Play(Write("cut2.dem", Join(std::vector<std::string>(lines.begin(), lines.begin() + b64 + 3))));
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.output.find("is cut short or damaged"), std::string::npos) << r.output;

  // Edited numbers.
  r = Play(edited("#check 70 ", "#check 70 f"));
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.output.find("a check line takes a frame and a checksum"), std::string::npos) << r.output;
  std::string check70;
  for (const std::string& l : lines)
    if (l.rfind("#check 70 ", 0) == 0) check70 = l;
  ASSERT_FALSE(check70.empty());
  const char last = check70.back() == '0' ? '1' : '0';
  r = Play(edited(check70, check70.substr(0, check70.size() - 1) + last));
  EXPECT_EQ(r.status, 4) << r.output;
  EXPECT_NE(r.output.find("out of step at frame 70"), std::string::npos) << r.output;
  r = Play(edited("5 ", "5x "));
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.output.find("expected a tick number"), std::string::npos) << r.output;

  r = Play(Write("not.dem", "1 keydown RETURN\n"));
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.output.find("not a demo"), std::string::npos) << r.output;
}

bool Have(const char* program) {
  return std::system((std::string("command -v ") + program + " >/dev/null 2>&1").c_str()) == 0;
}

// Under the sanitizers, the X libraries that SDL loads for a real window
// keep a few small blocks to the end, which the leak check would report as
// the game's; a windowed run leaves the leak check out (its headless
// playback keeps it).
const std::string kWindowedEnv = "ASAN_OPTIONS=\"${ASAN_OPTIONS}:detect_leaks=0\" ";

// A person's play in a real window: the SDL backend, the real timer and
// clock, key presses through the X server. Played headless, where the
// clock is another, it is the same game only if every reading that counts
// was recorded.
TEST_F(Demo, ARealWindowedRecordingPlaysInStepHeadlessAndInAWindow) {
  if (!Have("xvfb-run") || !Have("xdotool"))
    GTEST_SKIP() << "xvfb-run and xdotool are needed (scripts/install-deps.sh)";
  if (!vxtest::ProgramWrapper().empty()) GTEST_SKIP() << "a window needs the native program";
  const std::string demo = (dir / "window.dem").string();
  const std::string record = kWindowedEnv + "xvfb-run -a -s '-screen 0 1024x768x24' " + kE2e + "window_player.sh " +
                             VX_GAME_BINARY + " " + Game().string() + " " + demo + " 450 >" +
                             (dir / "rec.txt").string() + " 2>&1";
  ASSERT_EQ(std::system(record.c_str()), 0) << vxtest::ReadFile((dir / "rec.txt").string());
  const std::string text = vxtest::ReadFile(demo);
  EXPECT_NE(text.find(" keydown RIGHT\n"), std::string::npos) << "the player's keys did not reach the game";
  bool reseed = false;
  for (const std::string& line : Lines(text)) {
    std::istringstream words(line);
    std::string tick, word;
    words >> tick >> word;
    int readings = 0;
    for (long long v; words >> v;) ++readings;
    reseed = reseed || (word == "clock" && readings == 3 && std::atoll(tick.c_str()) > 100);
  }
  EXPECT_TRUE(reseed) << "no re-seed was recorded in the game frames";

  fs::remove(Game() / "gamesave.sav");
  const Outcome played = Play(demo);
  EXPECT_EQ(played.status, 0) << played.output;
  EXPECT_NE(played.output.find("in step: 451 frames"), std::string::npos) << played.output;

  // In a window, run fast by the viewer's key.
  const std::string watch = kWindowedEnv + "xvfb-run -a -s '-screen 0 1024x768x24' sh -c 'SDL_AUDIODRIVER=dummy " +
                            std::string(VX_GAME_BINARY) + " --root " + Game().string() + " --play " + demo +
                            " & timeout 20 xdotool search --sync --onlyvisible --name vx_engine >/dev/null; "
                            "xdotool mousemove 512 384; sleep 2; xdotool key f; wait $!' >" +
                            (dir / "watch.txt").string() + " 2>&1";
  EXPECT_EQ(std::system(watch.c_str()), 0);
  const std::string watched = vxtest::ReadFile((dir / "watch.txt").string());
  EXPECT_NE(watched.find("fast at frame"), std::string::npos) << watched;
  EXPECT_NE(watched.find("in step: 451 frames"), std::string::npos) << watched;
}

}  // namespace

namespace {

// Record 37 of the configuration records every game in a window into
// demos/ of the game folder, a new file each time.
TEST_F(Demo, TheSettingRecordsEveryWindowedGameIntoTheDemosFolder) {
  if (!Have("xvfb-run")) GTEST_SKIP() << "xvfb-run is needed (scripts/install-deps.sh)";
  if (!vxtest::ProgramWrapper().empty()) GTEST_SKIP() << "a window needs the native program";
  std::ofstream(Game() / "ini" / "main.ini")
      << "5,,,1\n6,,,0\n13,,,1\n15,,,0\n17,,,0\n19,,,0\n20,,,1\n37,,,1\n13131313,,,\n";
  const std::string run = kWindowedEnv + "SDL_AUDIODRIVER=dummy xvfb-run -a -s '-screen 0 1024x768x24' " +
                          std::string(VX_GAME_BINARY) + " --root " + Game().string() + " --frames 60 >" +
                          (dir / "run.txt").string() + " 2>&1";
  ASSERT_EQ(std::system(run.c_str()), 0) << vxtest::ReadFile((dir / "run.txt").string());
  ASSERT_EQ(std::system(run.c_str()), 0) << vxtest::ReadFile((dir / "run.txt").string());
  std::vector<fs::path> demos;
  for (const auto& e : fs::directory_iterator(Game() / "demos")) demos.push_back(e.path());
  ASSERT_EQ(demos.size(), 2u);
  for (const fs::path& d : demos) {
    EXPECT_EQ(d.extension(), ".dem");
    const Outcome played = Play(d.string());
    EXPECT_EQ(played.status, 0) << played.output;
    EXPECT_NE(played.output.find("in step: 61 frames"), std::string::npos) << played.output;
  }
  // A headless run is not recorded.
  EXPECT_EQ(Vxgame("--headless --frames 10").status, 0);
  EXPECT_EQ(std::distance(fs::directory_iterator(Game() / "demos"), fs::directory_iterator()), 2);
}

}  // namespace

namespace {

// The recorded player left the game two seconds in and did not come back
// before closing it. Watched in a real window the game pauses as it did
// (the playback stays in step), but the window keeps its size: a watcher
// samples it until the game ends.
TEST_F(Demo, ARecordedFocusLossPausesTheGameButLeavesTheWatchedWindowItsSize) {
  if (!Have("xvfb-run") || !Have("xdotool"))
    GTEST_SKIP() << "xvfb-run and xdotool are needed (scripts/install-deps.sh)";
  if (!vxtest::ProgramWrapper().empty()) GTEST_SKIP() << "a window needs the native program";
  Write("away.txt", "30 keydown RETURN\n31 keyup RETURN\n40 activate 0\n300 close\n");
  const std::string demo = (dir / "away.dem").string();
  const Outcome rec = Vxgame("--headless --input " + (dir / "away.txt").string() + " --record " + demo);
  ASSERT_EQ(rec.status, 0) << rec.output;
  ASSERT_NE(vxtest::ReadFile(demo).find("\n40 activate 0\n"), std::string::npos);

  const std::string sizes = (dir / "sizes.txt").string();
  const std::string watch =
      kWindowedEnv + "xvfb-run -a -s '-screen 0 1024x768x24' sh -c 'SDL_AUDIODRIVER=dummy " +
      std::string(VX_GAME_BINARY) + " --root " + Game().string() + " --play " + demo +
      " & game=$!; w=$(timeout 20 xdotool search --sync --onlyvisible --name vx_engine | head -n 1); "
      "while kill -0 $game 2>/dev/null; do xdotool getwindowgeometry $w 2>/dev/null | "
      "sed -n \"s/^ *Geometry: //p\" >>" + sizes + "; sleep 0.2; done; wait $game' >" +
      (dir / "watch.txt").string() + " 2>&1";
  EXPECT_EQ(std::system(watch.c_str()), 0);
  const std::string watched = vxtest::ReadFile((dir / "watch.txt").string());
  EXPECT_NE(watched.find("in step: "), std::string::npos) << watched;
  const std::vector<std::string> seen = Lines(vxtest::ReadFile(sizes));
  // The game runs about 15 s (300 ticks), the last 13 s away: long enough
  // for several samples after the loss even where start-up is slow (the
  // sanitizer build loads for seconds before the window shows).
  ASSERT_GE(seen.size(), 3u) << watched;
  const auto other = std::find_if(seen.begin(), seen.end(), [](const std::string& s) { return s != "800x600"; });
  EXPECT_EQ(other, seen.end()) << "while watched, the window was " << *other << " (sample "
                               << (other - seen.begin() + 1) << " of " << seen.size() << ")";
}

}  // namespace

