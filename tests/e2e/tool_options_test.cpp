// Every program answers --help on stdout and refuses an unknown option
// with a message, without doing any of its work (no files written).
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/cpu_features.h"
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
  if (!fs::exists(bench + "/bench_presenter")) GTEST_SKIP() << "the benchmark programs are not built here";
  for (const char* name :
       {"effects_gallery", "monster_gallery", "bench_loading", "bench_frame", "bench_monsters"})
    Check(bench + "/" + name, 2);
  // The Google Benchmark programs answer and refuse through the library.
  for (const char* name : {"bench_presenter", "bench_drawing", "bench_effects", "bench_player"})
    Check(bench + "/" + name, 1, "--benchmark_filter");
}

// --level on every program here: an unknown name or a level above the
// processor's best is refused with a message before any work, and --help
// names the option.
TEST_F(ToolOptions, BenchmarkKernelLevel) {
  const std::string bench = VX_BENCH_DIR;
  const cpu::KernelLevel best = cpu::BestKernelLevel();
  int32_t checked = 0;
  for (const char* name :
       {"effects_gallery", "monster_gallery", "bench_loading", "bench_frame", "bench_monsters",
        "bench_presenter", "bench_drawing", "bench_effects", "bench_player", "bench_random"}) {
    const std::string program = bench + "/" + name;
    SCOPED_TRACE(program);
    if (!fs::exists(program)) continue;
    ++checked;
    const Result bad = Run(program, "--level sse3");
    EXPECT_EQ(bad.code, 2) << bad.out << bad.err;
    EXPECT_NE(bad.err.find("'sse3'"), std::string::npos) << bad.err;
    const Result missing = Run(program, "--level");
    EXPECT_EQ(missing.code, 2) << missing.err;
    if (best != cpu::KernelLevel::kAvx512) {
      const Result above = Run(program, "--level=avx512");
      EXPECT_EQ(above.code, 2) << above.out << above.err;
      EXPECT_NE(above.err.find(std::string("best it runs is ") + cpu::KernelLevelName(best)),
                std::string::npos)
          << above.err;
    }
    EXPECT_TRUE(FolderEmpty());
    if (std::string(name) == "bench_random") continue;  // the library's help only
    const Result help = Run(program, "--level plain --help");
    EXPECT_EQ(help.code, 0) << help.err;
    EXPECT_NE(help.out.find("--level plain|sse2|avx2|avx512"), std::string::npos) << help.out;
  }
  if (checked == 0) GTEST_SKIP() << "the benchmark programs are not built here";
}

}  // namespace
