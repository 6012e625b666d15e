// Runs the real vxgame program headless, as a user or a script would.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "support/engine_test.h"

namespace {

namespace fs = std::filesystem;

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
  // Runs vxgame with arguments; returns its exit code, stderr in `err`.
  int Run(const std::string& args) {
    const fs::path errFile = dir / "stderr.txt";
    const std::string cmd = std::string(VX_GAME_BINARY) + " " + args + " >" + (dir / "stdout.txt").string() +
                            " 2>" + errFile.string();
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

}  // namespace
