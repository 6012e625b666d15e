// The installation: the launcher and the AppStream metainfo validate, and
// `cmake --install` to a prefix gives a game that fills a player's folder
// from the installed data set and runs.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include "support/programs.h"

namespace {

namespace fs = std::filesystem;

std::string Slurp(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

bool Have(const char* tool) {
  return std::system((std::string("command -v ") + tool + " >/dev/null 2>&1").c_str()) == 0;
}

int Shell(const std::string& cmd) {
  const int status = std::system(cmd.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class Installation : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "vxinstall-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir = pattern;
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(dir, ec);
  }
  fs::path dir;
};

TEST_F(Installation, MetainfoAndLauncherValidate) {
  const fs::path dist = fs::path(VX_SOURCE_DIR) / "dist";
  if (!Have("appstreamcli")) GTEST_SKIP() << "no appstreamcli here";
  EXPECT_EQ(Shell("appstreamcli validate --no-net '" + (dist / "org.vxengine.vxgame.metainfo.xml").string() +
                  "' >'" + (dir / "out.txt").string() + "' 2>&1"),
            0)
      << Slurp(dir / "out.txt");
  // The metainfo names the launcher that is installed beside it.
  EXPECT_NE(Slurp(dist / "org.vxengine.vxgame.metainfo.xml").find(">org.vxengine.vxgame.desktop<"),
            std::string::npos);
  if (!Have("desktop-file-validate")) GTEST_SKIP() << "no desktop-file-validate here";
  std::string launcher = Slurp(dist / "org.vxengine.vxgame.desktop.in");
  launcher = std::regex_replace(launcher, std::regex("@VX_BINDIR@"), "/usr/bin");
  std::ofstream(dir / "org.vxengine.vxgame.desktop") << launcher;
  EXPECT_EQ(Shell("desktop-file-validate '" + (dir / "org.vxengine.vxgame.desktop").string() + "' >'" +
                  (dir / "out.txt").string() + "' 2>&1"),
            0)
      << Slurp(dir / "out.txt");
}

TEST_F(Installation, InstalledGameRunsWithThePlayersFolderOverItsDataSet) {
  const fs::path build = VX_BINARY_DIR;
  if (!fs::exists(build / "dataset/manifest.txt")) GTEST_SKIP() << "the data set is not built";
  const fs::path prefix = dir / "prefix";
  ASSERT_EQ(Shell("'" + std::string(VX_CMAKE_COMMAND) + "' --install '" + build.string() + "' --prefix '" +
                  prefix.string() + "' >'" + (dir / "out.txt").string() + "' 2>&1"),
            0)
      << Slurp(dir / "out.txt");
  EXPECT_TRUE(fs::exists(prefix / "bin/vxgame"));
  EXPECT_TRUE(fs::exists(prefix / "libexec/vxgame/musicdec"));
  EXPECT_EQ(Slurp(prefix / "share/vxgame/dataset/manifest.txt"), Slurp(build / "dataset/manifest.txt"));
  const auto perms = fs::status(prefix / "share/vxgame/dataset/music/dec1.exe").permissions();
  EXPECT_NE(perms & fs::perms::owner_exec, fs::perms::none);
  const std::string launcher = Slurp(prefix / "share/applications/org.vxengine.vxgame.desktop");
  EXPECT_NE(launcher.find("Exec=" + (prefix / "bin/vxgame").string() + "\n"), std::string::npos) << launcher;
  EXPECT_TRUE(fs::exists(prefix / "share/metainfo/org.vxengine.vxgame.metainfo.xml"));
  const std::string icon = Slurp(prefix / "share/icons/hicolor/256x256/apps/org.vxengine.vxgame.png");
  ASSERT_GT(icon.size(), 24u);
  EXPECT_EQ(icon.substr(1, 3), "PNG");
  EXPECT_EQ(icon.substr(16, 8), std::string("\0\0\1\0\0\0\1\0", 8));  // 256 x 256

  const std::string game = "HOME='" + dir.string() + "' XDG_DATA_HOME='" + (dir / "xdg").string() + "' " +
                           vxtest::ProgramCommand((prefix / "bin/vxgame").string()) + " ";
  const std::string output = " >'" + (dir / "out.txt").string() + "' 2>&1";
  ASSERT_EQ(Shell(game + "--headless --frames 3" + output), 0) << Slurp(dir / "out.txt");
  EXPECT_TRUE(fs::is_directory(dir / "xdg/vxgame/data"));
  EXPECT_FALSE(fs::exists(dir / "xdg/vxgame/data/font1.vx1")) << "the installed data set is read in place";
  // The player's folder lies over the installed data set.
  ASSERT_EQ(Shell(game + "--list-overrides" + output), 0) << Slurp(dir / "out.txt");
  EXPECT_NE(Slurp(dir / "out.txt")
                .find("replace files of the data set " + (prefix / "share/vxgame/dataset").string()),
            std::string::npos)
      << Slurp(dir / "out.txt");
}

}  // namespace
