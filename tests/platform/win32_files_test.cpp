// Files and processes on Windows: the saved game's replacement when the
// file it replaces is read-only or held open by another program, the
// leftovers of an interrupted replacement with their times, and the
// music decoder started detached and waited for through the files it
// writes.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "platform/file_replace.h"
#include "platform/headless/headless_backend.h"
#include "support/engine_test.h"

// After the game's own headers: their message and key names are macros here.
// clang-format off
#include <windows.h>
// clang-format on
#undef ReplaceFile
#undef DeleteFile

namespace {

namespace fs = std::filesystem;
using vxtest::ReadFile;
using vxtest::WriteFile;

class WindowsFiles : public ::testing::Test {
 protected:
  fs::path dir;
  void SetUp() override {
    dir = vxtest::NewScratchFolder("vxwin");
    ASSERT_FALSE(dir.empty());
  }
  void TearDown() override {
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(dir, ec)) SetFileAttributesA(e.path().string().c_str(), 0);
    fs::remove_all(dir, ec);
  }
  std::string Path(const char* name) const { return (dir / name).string(); }
  int Entries() const {
    int n = 0;
    for (const auto& e : fs::directory_iterator(dir)) n += e.is_regular_file() ? 1 : 0;
    return n;
  }
};

TEST_F(WindowsFiles, AReadOnlyFileIsReplacedAsTheFolderAllows) {
  WriteFile(Path("gamesave.sav"), "old");
  ASSERT_TRUE(SetFileAttributesA(Path("gamesave.sav").c_str(), FILE_ATTRIBUTE_READONLY));
  std::string problem;
  ASSERT_TRUE(platform::ReplaceFile(Path("gamesave.sav"), "new", Path("gamesave.sav.bak"), &problem))
      << problem;
  EXPECT_EQ(ReadFile(Path("gamesave.sav")), "new");
  EXPECT_EQ(ReadFile(Path("gamesave.sav.bak")), "old");
  EXPECT_EQ(Entries(), 2) << "a temporary file was left behind";
}

TEST_F(WindowsFiles, AFileHeldOpenWithoutSharingStaysAndTheReasonIsTold) {
  WriteFile(Path("gamesave.sav"), "old");
  HANDLE held = CreateFileA(Path("gamesave.sav").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  std::string problem;
  EXPECT_FALSE(platform::ReplaceFile(Path("gamesave.sav"), "new", "", &problem));
  EXPECT_NE(problem.find("gamesave.sav"), std::string::npos) << problem;
  CloseHandle(held);
  EXPECT_EQ(ReadFile(Path("gamesave.sav")), "old");
  EXPECT_EQ(Entries(), 1) << "the new file's temporary was left behind";
  // Let go, the next save goes through.
  ASSERT_TRUE(platform::ReplaceFile(Path("gamesave.sav"), "new", "", &problem)) << problem;
  EXPECT_EQ(ReadFile(Path("gamesave.sav")), "new");
}

TEST_F(WindowsFiles, LeftoversOfAnEndedProgramAreFoundWithTheirTimes) {
  WriteFile(Path("gamesave.sav"), "save");
  // No process 999999 runs; a folder of such a name is not a file.
  WriteFile(Path("gamesave.sav.tmp.999999.abcdef"), "whole");
  WriteFile(Path("gamesave.sav.tmp"), "older form");
  fs::create_directory(dir / "gamesave.sav.tmp.999998.ghijkl");
  const auto left = platform::LeftoverTemporaries(Path("gamesave.sav"));
  ASSERT_EQ(left.size(), 2u);
  for (const platform::LeftoverFile& f : left) {
    // Nanoseconds since 1970, as on other systems: a file made today.
    EXPECT_GT(f.modified, int64_t{1600000000} * 1000000000);
    EXPECT_NEAR(static_cast<double>(f.modified), static_cast<double>(platform::ModifiedTime(f.path)), 1.0);
  }
  EXPECT_EQ(platform::ModifiedTime(dir.string()), -1);
}

TEST_F(WindowsFiles, TheDecoderIsStartedDetachedAndFinishesOnItsOwn) {
  fs::create_directories(dir / "music");
  fs::copy_file(VX_MUSICDEC_BINARY, dir / "music" / "dec1.exe");
  fs::copy_file(std::string(VX_SOURCE_DIR) + "/tools/musicdec/tracks/track1.vxm",
                dir / "music" / "track1.vxm");
  platform::HeadlessBackend backend;
  // The Windows way of the process start, not the headless record of it.
  EXPECT_FALSE(backend.platform::Backend::StartProcess(Path("music/none.exe").c_str(), {}));
  ASSERT_TRUE(backend.platform::Backend::StartProcess(Path("music/dec1.exe").c_str(), {}));
  // The marker comes last, after the music is whole under its name.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
  while (!fs::exists(dir / "music" / "fin1.txt") && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  ASSERT_TRUE(fs::exists(dir / "music" / "fin1.txt")) << "the decoder did not finish";
  const std::string wav = ReadFile(Path("music/floor1.wav"));
  ASSERT_GT(wav.size(), 44u);
  EXPECT_EQ(wav.compare(0, 4, "RIFF"), 0);
  // Until it has ended, the decoder may still hold its own file.
  for (int i = 0; i < 100 && !DeleteFileA(Path("music/dec1.exe").c_str()); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
}

}  // namespace
