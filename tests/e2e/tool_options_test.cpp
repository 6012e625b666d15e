// Every program answers --help on stdout and refuses an unknown option
// with a message, without doing any of its work (no files written).
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "support/programs.h"

namespace {

namespace fs = std::filesystem;

struct Result {
  int code = -1;
  std::string out, err;
};

class ToolOptions : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "vxtools-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir = pattern;
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(dir, ec);
  }
  // Runs in an empty folder, so anything the program writes shows.
  Result Run(const std::string& program, const std::string& args) {
    const std::string cmd = "cd '" + dir.string() + "' && " + vxtest::ProgramCommand(program) + " " + args +
                            " >../" + dir.filename().string() + ".out 2>../" + dir.filename().string() +
                            ".err";
    const int status = std::system(cmd.c_str());
    Result r;
    r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.out = Slurp(dir.parent_path() / (dir.filename().string() + ".out"));
    r.err = Slurp(dir.parent_path() / (dir.filename().string() + ".err"));
    return r;
  }
  static std::string Slurp(const fs::path& p) {
    std::ifstream in(p);
    std::ostringstream s;
    s << in.rdbuf();
    std::error_code ec;
    fs::remove(p, ec);
    return s.str();
  }
  bool FolderEmpty() const { return fs::is_empty(dir); }
  void Check(const std::string& program, int refusedCode, const char* helpWord = "usage") {
    SCOPED_TRACE(program);
    if (!fs::exists(program)) GTEST_SKIP() << program << " is not built here";
    const Result help = Run(program, "--help");
    EXPECT_EQ(help.code, 0) << help.err;
    EXPECT_NE(help.out.find(helpWord), std::string::npos) << help.out;
    EXPECT_TRUE(FolderEmpty());
    const Result bad = Run(program, "--no-such-option");
    EXPECT_EQ(bad.code, refusedCode) << bad.out << bad.err;
    EXPECT_NE(bad.err.find("--no-such-option"), std::string::npos) << bad.err;
    EXPECT_TRUE(FolderEmpty());
  }

  fs::path dir;
};

TEST_F(ToolOptions, GameAndTools) {
  Check(VX_GAME_BINARY, 2);
  Check(VX_VXDATA_BINARY, 2);
  Check(VX_MUSICDEC_BINARY, 2);
  Check(VX_ROUTECHECK_BINARY, 2);
  Check(VX_VXPIC_BINARY, 2);
}

TEST_F(ToolOptions, GalleriesAndBenchmarks) {
  const std::string bench = VX_BENCH_DIR;
  for (const char* name :
       {"effects_gallery", "monster_gallery", "bench_loading", "bench_frame", "bench_monsters"})
    Check(bench + "/" + name, 2);
  // The Google Benchmark programs answer and refuse through the library.
  for (const char* name : {"bench_presenter", "bench_drawing", "bench_effects", "bench_player"})
    Check(bench + "/" + name, 1, "--benchmark_filter");
}

}  // namespace
