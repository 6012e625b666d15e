// The recorded route of level 2 played by the real program, headless, as a
// new player would: through the title and the first screens of a new game,
// then the arrow keys from the start of level 2 off its right edge into
// level 3.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "datagen/generated_data_set.h"
#include "support/engine_test.h"
#include "support/programs.h"

namespace {

namespace fs = std::filesystem;

struct TraceLine {
  int64_t frame = 0;
  int32_t mode = 0, level = 0, x = 0, y = 0, result = 0;
};

std::vector<TraceLine> ReadTrace(const fs::path& file) {
  std::vector<TraceLine> out;
  std::ifstream in(file);
  for (std::string line; std::getline(in, line);) {
    std::istringstream words(line);
    TraceLine t;
    for (std::string key; words >> key;) {
      long long v = 0;
      if (!(words >> v)) break;
      if (key == "frame") t.frame = v;
      if (key == "mode") t.mode = static_cast<int32_t>(v);
      if (key == "level") t.level = static_cast<int32_t>(v);
      if (key == "x") t.x = static_cast<int32_t>(v);
      if (key == "y") t.y = static_cast<int32_t>(v);
      if (key == "result") t.result = static_cast<int32_t>(v);
    }
    out.push_back(t);
  }
  return out;
}

TEST(Level2Route, TheRecordedRouteWalksFromTheStartIntoLevelThree) {
  const std::string& data = vxtest::GeneratedDataSet();
  ASSERT_FALSE(data.empty());
  if (!fs::exists(fs::path(data) / "data" / "fore3ph.vx1"))
    GTEST_SKIP() << "the data set has no level masks yet";
  std::string pattern = (fs::temp_directory_path() / "vxroute-XXXXXX").string();
  ASSERT_NE(mkdtemp(pattern.data()), nullptr);
  const fs::path dir = pattern;
  fs::create_symlink(fs::path(data) / "data", dir / "data");
  fs::create_directories(dir / "ini");
  // Windowed, no log, sound on, music off (no decoders), arrows, English.
  std::ofstream(dir / "ini" / "main.ini")
      << "5,,,1\n6,,,0\n13,,,1\n15,,,0\n17,,,0\n19,,,0\n20,,,1\n13131313,,,\n";
  const std::string script = std::string(VX_SOURCE_DIR) + "/tests/e2e/level2_route.txt";
  const std::string cmd = vxtest::ProgramCommand(VX_GAME_BINARY) + " --headless --root " + dir.string() +
                          " --input " + script + " --trace " + (dir / "trace.txt").string() +
                          " >/dev/null 2>" + (dir / "err.txt").string();
  const int status = std::system(cmd.c_str());
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << vxtest::ReadFile((dir / "err.txt").string());
  const std::vector<TraceLine> trace = ReadTrace(dir / "trace.txt");
  // In the game on level 2 first, then on level 3, never dead on the way.
  const auto inGame = [](const TraceLine& t, int32_t level) { return t.mode == 1 && t.level == level; };
  auto onTwo = std::find_if(trace.begin(), trace.end(), [&](const TraceLine& t) { return inGame(t, 2); });
  ASSERT_NE(onTwo, trace.end()) << "the game never started on level 2";
  auto onThree = std::find_if(onTwo, trace.end(), [&](const TraceLine& t) { return inGame(t, 3); });
  ASSERT_NE(onThree, trace.end()) << "the route did not reach level 3";
  for (auto t = onTwo; t != onThree; ++t) EXPECT_NE(t->result, 105) << "died at frame " << t->frame;
  // Entered from the left edge.
  EXPECT_LT(onThree->x, 100);
  std::error_code ec;
  fs::remove_all(dir, ec);
}

}  // namespace
