// Runs the real vxgame program headless, as a user or a script would.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "support/engine_test.h"
#include "support/programs.h"

namespace {

namespace fs = std::filesystem;

// Runs are held to 4 GiB of address space, so a program that reads without
// bound fails instead of taking the machine's memory. The sanitizers reserve
// far more address space than they use, so there the cap is left off.
#if defined(__SANITIZE_ADDRESS__)
const std::string kMemoryCap;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
const std::string kMemoryCap;
#else
const std::string kMemoryCap = "ulimit -v 4194304; ";
#endif
#else
const std::string kMemoryCap = "ulimit -v 4194304; ";
#endif

class VxgameHeadless : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "vxgame-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir = pattern;
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(dir, ec);
  }
  void WriteGameFile(const std::string& rel, const std::string& text) {
    const fs::path p = dir / rel;
    fs::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << text;
  }
  // Runs vxgame with arguments; returns its exit code, stderr in `err`. A
  // run that takes over a minute is stopped (exit code 137).
  int Run(const std::string& args) {
    const fs::path errFile = dir / "stderr.txt";
    const std::string cmd = kMemoryCap + "timeout -s KILL 60 " + vxtest::ProgramCommand(VX_GAME_BINARY) +
                            " " + args + " >" + (dir / "stdout.txt").string() + " 2>" + errFile.string();
    const int status = std::system(cmd.c_str());
    std::ifstream in(errFile);
    std::ostringstream s;
    s << in.rdbuf();
    err = s.str();
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  std::vector<std::string> LogLines() {
    std::ifstream in(dir / "en1_log.txt");
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
      // The picture reader adds its own lines for every file it is asked for.
      if (line.rfind("vxReadPic", 0) == 0) continue;
      lines.push_back(line);
    }
    return lines;
  }

  fs::path dir;
  std::string err;
};

TEST_F(VxgameHeadless, WindowedRunLogsAStartAndAShutDownThroughTheWindow) {
  WriteGameFile("ini/main.ini", "6,log,,1\n5,windowed,,1\n");
  ASSERT_EQ(Run("--headless --frames 100 --root " + dir.string()), 0) << err;
  const std::vector<std::string> expected = {
      "this is vx_engine_1 log. program started!",
      "vxGetRes status:1280,1024 windowed status:-1",
      "vxscrHini start",
      "vxscrHini fin",
      "vxInitDirectSound started",
      "DirectSoundCreate ok",
      "SetCooperativeLevel ok",
      "vxInitDirectSound finished. error status: 0",
      "vxscrHtoSCREEN start",
      "Start copying mem thru DC of GDI",
      "StretchDIBits num of copyed lines: 600",
      "vxscrHtoSCREEN higher_res pass",
      "vxscrHtoSCREEN fin",
      "window closed. so, logover!",
      ""};
  EXPECT_EQ(LogLines(), expected);

  // A second run leaves only its own log.
  ASSERT_EQ(Run("--headless --frames 3 --root " + dir.string()), 0) << err;
  EXPECT_EQ(LogLines(), expected);
}

TEST_F(VxgameHeadless, FullScreenRunLogsTheDisplaySetUp) {
  WriteGameFile("ini/main.ini", "0,size,,800,600\n5,windowed,,0\n6,log,,1\n");
  ASSERT_EQ(Run("--headless --frames 10 --root " + dir.string()), 0) << err;
  const std::vector<std::string> lines = LogLines();
  const std::vector<std::string> head = {"this is vx_engine_1 log. program started!",
                                         "vxGetRes status:800,600 windowed status:0",
                                         "vxscrHini start",
                                         "vxscrHini fin",
                                         "vxDDrawINI start",
                                         "DirectDrawCreate pass ok",
                                         "SetCooperativeLevel pass ok",
                                         "SetDisplayMode pass ok:800,600,32",
                                         "CreateSurface pass ok:",
                                         "vxDDrawINI fin. error status:0"};
  ASSERT_GE(lines.size(), head.size());
  EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + head.size()), head);
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "vxscrHtoSCREEN start"), 1);
  EXPECT_NE(std::find(lines.begin(), lines.end(), "vxscrHtoSCREEN original_res pass"), lines.end());
  EXPECT_EQ(lines.back(), "");
  EXPECT_EQ(lines[lines.size() - 2], "window closed. so, logover!");
}

TEST_F(VxgameHeadless, NoLogWhenSwitchedOff) {
  WriteGameFile("ini/main.ini", "6,log,,0\n5,windowed,,1\n");
  WriteGameFile("en1_log.txt", "old log\n");
  ASSERT_EQ(Run("--headless --frames 5 --root " + dir.string()), 0) << err;
  std::ifstream in(dir / "en1_log.txt");
  std::string first;
  std::getline(in, first);
  EXPECT_EQ(first, "old log");  // neither deleted nor written
}

TEST_F(VxgameHeadless, InputScriptDrivesTicksAndCloses) {
  WriteGameFile("ini/main.ini", "5,windowed,,1\n");
  WriteGameFile("in.txt", "2 keydown RIGHT\n3 keyup RIGHT\n20 close\n");
  ASSERT_EQ(Run("--headless --input " + (dir / "in.txt").string() + " --trace " + (dir / "t.txt").string() +
                " --root " + dir.string()),
            0)
      << err;
  std::ifstream in(dir / "t.txt");
  int frames = 0;
  for (std::string line; std::getline(in, line);) ++frames;
  EXPECT_EQ(frames, 35);  // ticks 2..19: one frame, then two per tick
}

// The fields of one trace line, by name.
std::map<std::string, std::string> TraceFields(const std::string& line) {
  std::istringstream in(line);
  std::map<std::string, std::string> fields;
  for (std::string key, value; in >> key >> value;) fields[key] = value;
  return fields;
}

std::vector<std::string> FileLines(const fs::path& file) {
  std::ifstream in(file);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

TEST_F(VxgameHeadless, LevelOptionPlaysThatLevelStraightAfterLoading) {
  WriteGameFile("ini/main.ini", "5,windowed,,1\n");
  const fs::path trace = dir / "t.txt";
  ASSERT_EQ(Run("--headless --level 9 --frames 20 --trace " + trace.string() + " --root " + dir.string()), 0)
      << err;
  std::vector<std::string> lines = FileLines(trace);
  ASSERT_GE(lines.size(), 20u);  // the last tick may run its second frame too
  std::map<std::string, std::string> last = TraceFields(lines[19]);
  EXPECT_EQ(last["frame"], "20");
  EXPECT_EQ(last["mode"], "1");
  EXPECT_EQ(last["level"], "9");
  EXPECT_EQ(last["x"], "289");
  EXPECT_EQ(last["alive"], "-1");
  EXPECT_EQ(last["health"], std::to_string(40 * 65536));
  EXPECT_EQ(last["weapon"], "41");
  EXPECT_EQ(last["result"], "0");
  EXPECT_FALSE(last["random"].empty());
  EXPECT_NE(TraceFields(lines[18])["random"], last["random"]);

  // Without the option the game waits at the title, in level 2.
  ASSERT_EQ(Run("--headless --frames 20 --trace " + trace.string() + " --root " + dir.string()), 0) << err;
  lines = FileLines(trace);
  ASSERT_GE(lines.size(), 20u);
  last = TraceFields(lines[19]);
  EXPECT_EQ(last["mode"], "5");
  EXPECT_EQ(last["level"], "2");
}

TEST_F(VxgameHeadless, BadCommandLinesExitWithTwo) {
  WriteGameFile("ini/main.ini", "5,windowed,,1\n");
  EXPECT_EQ(Run("--frobnicate"), 2);
  EXPECT_NE(err.find("unknown option"), std::string::npos);
  EXPECT_EQ(Run("--headless --frames 5 --root " + (dir / "missing").string()), 2);
  EXPECT_NE(err.find("does not exist"), std::string::npos);
  WriteGameFile("bad.txt", "1 keydown NOSUCHKEY\n");
  EXPECT_EQ(Run("--headless --frames 5 --input " + (dir / "bad.txt").string() + " --root " + dir.string()), 2);
  EXPECT_NE(err.find("line 1"), std::string::npos);
  EXPECT_EQ(Run("--headless --root " + dir.string()), 2);
  EXPECT_EQ(Run("--help"), 0);
  EXPECT_EQ(Run("--version"), 0);
}

TEST_F(VxgameHeadless, AnInactiveRunEndsAtItsFrameLimit) {
  WriteGameFile("ini/main.ini", "5,windowed,,1\n");
  WriteGameFile("in.txt", "5 activate 0\n");
  const fs::path trace = dir / "t.txt";
  ASSERT_EQ(Run("--headless --frames 200 --input " + (dir / "in.txt").string() + " --trace " +
                trace.string() + " --root " + dir.string()),
            0)
      << err;
  EXPECT_EQ(FileLines(trace).size(), 5u);  // frames run in ticks 2 to 4, none after
  EXPECT_EQ(Run("--headless --frames 0 --trace " + trace.string() + " --root " + dir.string()), 0) << err;
  EXPECT_TRUE(FileLines(trace).empty());
}

TEST_F(VxgameHeadless, AFullScreenSizeThatCannotOpenIsNamedOnStandardError) {
  WriteGameFile("ini/main.ini", "0,size,,16385,768\n5,windowed,,0\n");
  EXPECT_EQ(Run("--headless --frames 10 --root " + dir.string()), 1);
  EXPECT_NE(err.find("16385 x 768"), std::string::npos) << err;
  EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
}

TEST_F(VxgameHeadless, InputScriptsMustBePlainFilesOfSaneSize) {
  WriteGameFile("ini/main.ini", "5,windowed,,1\n");
  const std::string tail = " --headless --frames 5 --root " + dir.string();
  fs::create_directories(dir / "folder");
  EXPECT_EQ(Run("--input " + (dir / "folder").string() + tail), 2);
  EXPECT_NE(err.find("not a regular file"), std::string::npos) << err;
  EXPECT_EQ(Run("--input /dev/zero" + tail), 2);
  EXPECT_NE(err.find("not a regular file"), std::string::npos) << err;
  ASSERT_EQ(mkfifo((dir / "pipe").c_str(), 0600), 0);
  EXPECT_EQ(Run("--input " + (dir / "pipe").string() + tail), 2);
  EXPECT_NE(err.find("not a regular file"), std::string::npos) << err;

  WriteGameFile("long.txt", "1 keydown " + std::string(1 << 20, 'K') + "\n");
  EXPECT_EQ(Run("--input " + (dir / "long.txt").string() + tail), 2);
  EXPECT_LT(err.size(), 300u);
  EXPECT_NE(err.find("line 1"), std::string::npos) << err.substr(0, 300);
  WriteGameFile("nul.txt", std::string("1 keydown ENTER\0junk\n", 21));
  EXPECT_EQ(Run("--input " + (dir / "nul.txt").string() + tail), 2);
  EXPECT_NE(err.find("NUL"), std::string::npos) << err;
  {
    std::ofstream big(dir / "big.txt", std::ios::binary);
    big.seekp(64 << 20);  // a sparse file of 64 MiB
    big << '\n';
  }
  EXPECT_EQ(Run("--input " + (dir / "big.txt").string() + tail), 2);
  EXPECT_NE(err.find("larger than"), std::string::npos) << err;
}

TEST_F(VxgameHeadless, NamedPipesInPlaceOfGameFilesDoNotBlock) {
  // The configuration: read as missing (full screen at the desktop size).
  fs::create_directories(dir / "ini");
  ASSERT_EQ(mkfifo((dir / "ini/main.ini").c_str(), 0600), 0);
  EXPECT_EQ(Run("--headless --frames 4 --root " + dir.string()), 0) << err;

  // A music marker: not there, so the music check waits on.
  fs::remove(dir / "ini/main.ini");
  WriteGameFile("ini/main.ini", "5,windowed,,1\n17,music,,1\n");
  for (const char* wav : {"music/floor1.wav", "music/floor2.wav", "music/floor3.wav"})
    WriteGameFile(wav, "x");
  ASSERT_EQ(mkfifo((dir / "music/fin1.txt").c_str(), 0600), 0);
  EXPECT_EQ(Run("--headless --frames 30 --root " + dir.string()), 0) << err;
}

}  // namespace
