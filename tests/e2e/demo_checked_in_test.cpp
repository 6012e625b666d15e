// A demo recorded in a real window on x86-64 (tests/e2e/window_demo.dem:
// 601 frames of the title, the menus and play, with the real clock's
// readings and the mouse) played headless by this build: the same game,
// frame for frame, on whatever processor runs the tests.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "datagen/generated_data_set.h"
#include "support/engine_test.h"
#include "support/programs.h"

namespace {

namespace fs = std::filesystem;

TEST(CheckedInDemo, PlaysInStepHeadless) {
  const std::string& data = vxtest::GeneratedDataSet();
  ASSERT_FALSE(data.empty());
  std::string pattern = (fs::temp_directory_path() / "vxdemo-XXXXXX").string();
  ASSERT_NE(mkdtemp(pattern.data()), nullptr);
  const fs::path dir = pattern;
  fs::create_symlink(fs::path(data) / "data", dir / "data");
  const std::string cmd = vxtest::ProgramCommand(VX_GAME_BINARY) + " --headless --root " + dir.string() +
                          " --play " + VX_SOURCE_DIR + "/tests/e2e/window_demo.dem >" +
                          (dir / "out.txt").string() + " 2>&1";
  const int status = std::system(cmd.c_str());
  const std::string out = vxtest::ReadFile((dir / "out.txt").string());
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << out;
  EXPECT_NE(out.find("in step: 601 frames"), std::string::npos) << out;
  // The playback ran in a folder of its own: the game's save is not here.
  EXPECT_FALSE(fs::exists(dir / "gamesave.sav"));
  std::error_code ec;
  if (!HasFailure()) fs::remove_all(dir, ec);
}

}  // namespace
