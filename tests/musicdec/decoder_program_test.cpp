// Runs the real decoder program the way the game does: copied into a music
// folder as decN.exe, started by path, with its packed track beside it.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "musicdec/decoder.h"
#include "musicdec/renderer.h"
#include "musicdec/score.h"
#include "musicdec_test_support.h"
#include "support/programs.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using musicdec_test::ParseWav;
using musicdec_test::ReadFile;
using musicdec_test::TempFolder;
using musicdec_test::WriteFile;

// Starts program with the given argv (argv[0] included); stderr goes to
// errPath, stdout nowhere. Through an emulator, the program's argv[0] is
// its path (the decoder also finds its number from its own path).
pid_t Start(const fs::path& program, const std::vector<std::string>& args, const fs::path& errPath) {
  std::vector<char*> argv;
  const std::vector<std::string>& wrapper = vxtest::ProgramWrapper();
  for (const std::string& w : wrapper) argv.push_back(const_cast<char*>(w.c_str()));
  if (!wrapper.empty()) argv.push_back(const_cast<char*>(program.c_str()));
  for (size_t i = wrapper.empty() ? 0 : 1; i < args.size(); ++i)
    argv.push_back(const_cast<char*>(args[i].c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  pid_t pid = -1;
  const int rc = wrapper.empty() ? posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ)
                                 : posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  if (rc != 0) pid = -1;
  posix_spawn_file_actions_destroy(&actions);
  return pid;
}

int ExitCode(int status) { return WIFEXITED(status) ? WEXITSTATUS(status) : -1000 - WTERMSIG(status); }

int RunProgram(const fs::path& program, const std::vector<std::string>& args, const fs::path& errPath) {
  const pid_t pid = Start(program, args, errPath);
  if (pid < 0) return -1;
  int status = 0;
  waitpid(pid, &status, 0);
  return ExitCode(status);
}

std::set<std::string> Names(const fs::path& dir) {
  std::set<std::string> names;
  for (const auto& e : fs::directory_iterator(dir)) names.insert(e.path().filename().string());
  return names;
}

class MusicdecProgram : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(tmp_.Path().empty());
    music_ = tmp_.Path() / "music";
    fs::create_directory(music_);
    err_ = tmp_.Path() / "stderr.txt";
  }

  fs::path Install(const std::string& name) {
    const fs::path p = music_ / name;
    fs::copy_file(VX_MUSICDEC_BINARY, p);
    return p;
  }

  TempFolder tmp_;
  fs::path music_;
  fs::path err_;
};

TEST_F(MusicdecProgram, DecodesTheTrackNamedByItsOwnName) {
  const fs::path dec2 = Install("dec2.exe");
  WriteFile(music_ / "track2.vxm", musicdec_test::kShortScore);
  // Started by a path, as the game does ...
  ASSERT_EQ(RunProgram(dec2, {dec2.string()}, err_), 0) << ReadFile(err_);
  EXPECT_EQ(Names(music_), (std::set<std::string>{"dec2.exe", "track2.vxm", "floor2.wav", "fin2.txt"}));
  const auto wav = ParseWav(ReadFile(music_ / "floor2.wav"));
  ASSERT_TRUE(wav.valid) << wav.problem;
  const auto parsed = musicdec::ParseScore(musicdec_test::kShortScore);
  ASSERT_TRUE(parsed.ok);
  EXPECT_EQ(wav.samples, musicdec::RenderLoopToMemory(parsed.score));

  // ... and by a bare name, where only the program's own file tells its folder.
  fs::remove(music_ / "floor2.wav");
  fs::remove(music_ / "fin2.txt");
  ASSERT_EQ(RunProgram(dec2, {"dec2.exe"}, err_), 0) << ReadFile(err_);
  EXPECT_TRUE(fs::exists(music_ / "fin2.txt"));
  EXPECT_TRUE(ParseWav(ReadFile(music_ / "floor2.wav")).valid);
}

TEST_F(MusicdecProgram, BadTrackLeavesNoMarker) {
  const fs::path dec1 = Install("dec1.exe");
  WriteFile(music_ / "floor1.wav", "old");
  WriteFile(music_ / "fin1.txt", "stale");

  WriteFile(music_ / "track1.vxm", "vxm 1\ntempo 100\npattern a 99999\n");
  EXPECT_EQ(RunProgram(dec1, {dec1.string()}, err_), 2);
  EXPECT_NE(ReadFile(err_).find("line 3"), std::string::npos) << ReadFile(err_);
  EXPECT_FALSE(fs::exists(music_ / "fin1.txt"));
  EXPECT_EQ(ReadFile(music_ / "floor1.wav"), "old");

  WriteFile(music_ / "track1.vxm", std::string("\x89PNG\r\n\x1a\n\0\0\0", 11));
  EXPECT_EQ(RunProgram(dec1, {dec1.string()}, err_), 2);
  WriteFile(music_ / "track1.vxm", std::string(400000, 'a'));
  EXPECT_EQ(RunProgram(dec1, {dec1.string()}, err_), 2);
  fs::remove(music_ / "track1.vxm");
  EXPECT_EQ(RunProgram(dec1, {dec1.string()}, err_), 1);
  EXPECT_EQ(Names(music_), (std::set<std::string>{"dec1.exe", "floor1.wav"}));
}

TEST_F(MusicdecProgram, OptionsAndUsageErrors) {
  const fs::path tool = Install("musicdec");
  const fs::path score = tmp_.Path() / "song.vxm";
  WriteFile(score, musicdec_test::kShortScore);
  const fs::path out = tmp_.Path() / "out";
  fs::create_directory(out);

  EXPECT_EQ(RunProgram(tool, {tool.string()}, err_), 2);  // no number in the name
  EXPECT_NE(ReadFile(err_).find("--track"), std::string::npos);
  EXPECT_EQ(RunProgram(tool, {tool.string(), "--track", "0"}, err_), 2);
  EXPECT_EQ(RunProgram(tool, {tool.string(), "--track"}, err_), 2);
  EXPECT_EQ(RunProgram(tool, {tool.string(), "--speed", "9"}, err_), 2);
  EXPECT_EQ(RunProgram(tool, {tool.string(), "--help"}, err_), 0);

  EXPECT_EQ(RunProgram(tool, {tool.string(), "--track", "3", "--in", score.string(), "--check"}, err_), 0);
  EXPECT_TRUE(fs::is_empty(out));
  EXPECT_EQ(RunProgram(
                tool, {tool.string(), "--track", "3", "--in", score.string(), "--out", (out / "no").string()},
                err_),
            1);
  EXPECT_EQ(
      RunProgram(tool, {tool.string(), "--track", "3", "--in", score.string(), "--out", out.string()}, err_),
      0);
  EXPECT_EQ(Names(out), (std::set<std::string>{"floor3.wav", "fin3.txt"}));
}

// The one test that decodes a shipped track: the game starts decoder 1 and
// watches for its marker while it runs.
TEST_F(MusicdecProgram, ShippedTrackOneDecodesCompletelyBeforeItsMarker) {
  const fs::path dec1 = Install("dec1.exe");
  fs::copy_file(musicdec::ShippedTrackPath(1), music_ / "track1.vxm");
  const fs::path wavPath = music_ / "floor1.wav";
  const fs::path marker = music_ / "fin1.txt";

  const pid_t pid = Start(dec1, {dec1.string()}, err_);
  ASSERT_GT(pid, 0);
  int status = 0;
  int looks = 0;
  bool sawMarker = false;
  for (;;) {
    const bool exited = waitpid(pid, &status, WNOHANG) == pid;
    // Whatever exists under the final names must already be whole.
    if (fs::exists(marker)) {
      sawMarker = true;
      const auto wav = ParseWav(ReadFile(wavPath));
      ASSERT_TRUE(wav.valid) << "marker present, WAV: " << wav.problem;
    } else if (fs::exists(wavPath)) {
      const auto wav = ParseWav(ReadFile(wavPath));
      ASSERT_TRUE(wav.valid) << "WAV under its final name: " << wav.problem;
    }
    ++looks;
    if (exited) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  ASSERT_EQ(ExitCode(status), 0) << ReadFile(err_);
  EXPECT_TRUE(sawMarker);
  EXPECT_GT(looks, 3);

  const auto wav = ParseWav(ReadFile(wavPath));
  ASSERT_TRUE(wav.valid) << wav.problem;
  const double seconds = static_cast<double>(wav.samples.size()) / 2.0 / 44100.0;
  EXPECT_GE(seconds, 60.0);
  EXPECT_LE(seconds, 120.0);
  const auto seam = musicdec_test::MeasureSeam(wav.samples, 0.99);
  EXPECT_LE(seam.wrapJump, seam.typicalJump) << "wrap " << seam.wrapJump << " typical " << seam.typicalJump;
  double sum = 0.0;
  int peak = 0;
  for (std::int16_t v : wav.samples) {
    sum += double(v) * v;
    peak = std::max(peak, std::abs(static_cast<int>(v)));
  }
  const double rmsDb = 20.0 * std::log10(std::sqrt(sum / static_cast<double>(wav.samples.size())) / 32768.0);
  EXPECT_GT(rmsDb, -20.0);
  EXPECT_LT(rmsDb, -12.0);
  EXPECT_LT(peak, 32767);  // the soft clip bends before full scale
}

TEST(MusicdecTracks, ShippedTracksParseAndLastALoopEach) {
  for (int n = 1; n <= 3; ++n) {
    const fs::path p = musicdec::ShippedTrackPath(n);
    EXPECT_EQ(p, fs::path(VX_SOURCE_DIR) / "tools/musicdec/tracks" / ("track" + std::to_string(n) + ".vxm"));
    const auto r = musicdec::ParseScore(ReadFile(p));
    ASSERT_TRUE(r.ok) << p << ": " << r.error;
    const double seconds = static_cast<double>(r.score.LoopFrames()) / musicdec::kSampleRate;
    EXPECT_GE(seconds, 60.0) << n;
    EXPECT_LE(seconds, 120.0) << n;
  }
}

}  // namespace
