// What the start-up check of the real program names, and what repairs it:
// a player's sample that the loader refuses is named (and ends a strict
// run) exactly as the loader refuses it; a manifest that is there but
// lists nothing is damage of its own; vxdata writes a folder safely (a full
// disk leaves it as it was and reports failure) and keeps the player's
// changes unless forced, as the game's repair hint says.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "assets/data_set_check.h"
#include "sound/wave_bytes.h"
#include "support/child_run.h"

namespace {

namespace fs = std::filesystem;

const fs::path kDataSet = fs::path(VX_BINARY_DIR) / "dataset";
constexpr const char* kQuietSettings = "5,windowed,,1\n13,sound,,0\n17,music,,0\n20,english,,1\n";

std::string Slurp(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// A run of a program: exit code (vxtest::kStoppedAtLimit when it had to be
// stopped after `seconds`), its output and errors.
struct Outcome {
  int code = -1;
  std::string out, err;
};

Outcome RunProgram(const std::vector<std::string>& argv, const fs::path& scratch,
                   const std::vector<std::string>& environment = {},
                   const std::function<void()>& inChild = {}, int seconds = 240) {
  const fs::path out = scratch / "run-out.txt", err = scratch / "run-err.txt";
  Outcome r;
  r.code = vxtest::RunChild({argv, environment, inChild, out.string(), err.string(), seconds});
  r.out = Slurp(out);
  r.err = Slurp(err);
  return r;
}

class DataSetDamage : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!fs::exists(kDataSet / kManifestFile)) GTEST_SKIP() << "the data set is not built";
    std::string pattern = (fs::temp_directory_path() / "vxdamage-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir = pattern;
    mine = dir / "xdg/vxgame";
    fs::create_directories(mine / "ini");
    fs::create_directories(mine / "data");
    std::ofstream(mine / "ini/main.ini") << kQuietSettings;
  }
  void TearDown() override {
    std::error_code ec;
    if (!dir.empty()) fs::remove_all(dir, ec);
  }
  // vxgame over the player's folder (or with --root in `args`).
  Outcome Game(const std::string& args) {
    std::vector<std::string> argv{VX_GAME_BINARY};
    std::istringstream words(args);
    for (std::string w; words >> w;) argv.push_back(w);
    return RunProgram(argv, dir, {"HOME=" + dir.string(), "XDG_DATA_HOME=" + (dir / "xdg").string()});
  }
  // A game folder of one layer: the data set, its files linked (a file
  // is replaced, never written through), with quiet settings.
  fs::path WholeFolder() {
    const fs::path whole = dir / "whole";
    fs::copy(kDataSet, whole, fs::copy_options::recursive | fs::copy_options::create_hard_links);
    fs::remove(whole / "ini/main.ini");
    std::ofstream(whole / "ini/main.ini") << kQuietSettings;
    return whole;
  }

  fs::path dir, mine;
};

TEST_F(DataSetDamage, ASampleTheLoaderRefusesIsNamedAndEndsAStrictRun) {
  using namespace vxtest;
  const std::vector<std::pair<std::string, std::string>> cases = {
      {Riff("WAVE", Chunk("fmt ", FormatBody(1, 3, 22050, 16)) + Chunk("data", std::string(12, '\0'))),
       "3 channels (1 or 2 play)"},
      {Riff("WAVE", Chunk("fmt ", FormatBody(1, 1, 22050, 24)) + Chunk("data", std::string(12, '\0'))),
       "24 bits per sample (8 or 16 play)"},
      {Riff("WAVE", Chunk("fmt ", FormatBody(1, 1, 0, 8)) + Chunk("data", std::string(12, '\x80'))),
       "rate 0 samples per second (100 to 200000 play)"},
      {Riff("WAVE", Chunk("fmt ", FormatBody(1, 1, 22050, 16, 0)) + Chunk("data", std::string(12, '\0'))),
       "block align 0 (2 for 1 channel of 16 bits)"},
      {PcmWave(1, 22050, 8, ""), "no samples: the data chunk is empty"},
  };
  for (const auto& [bytes, why] : cases) {
    SCOPED_TRACE(why);
    std::ofstream(mine / "data/kat4.wav", std::ios::binary | std::ios::trunc) << bytes;
    const Outcome strict = Game("--headless --frames 3 --strict");
    EXPECT_EQ(strict.code, 3) << strict.err;
    EXPECT_TRUE(Has(strict.err, "vxgame: your file does not load: " + (mine / "data/kat4.wav").string() +
                                    " (" + why + ")\n"))
        << strict.err;
    const Outcome list = Game("--list-overrides");
    EXPECT_EQ(list.code, 0);
    EXPECT_TRUE(Has(list.out, "\ndata/kat4.wav (does not load: " + why + ")\n")) << list.out;
  }
  // A sample that plays passes both: a change, not damage.
  std::ofstream(mine / "data/kat4.wav", std::ios::binary | std::ios::trunc)
      << PcmWave(2, 44100, 16, std::string(400, '\0'));
  EXPECT_EQ(Game("--headless --frames 3 --strict").code, 0);
  const Outcome list = Game("--list-overrides");
  EXPECT_TRUE(Has(list.out, "\ndata/kat4.wav\n")) << list.out;
}

TEST_F(DataSetDamage, AManifestThatListsNothingIsDamage) {
  const fs::path whole = WholeFolder();
  const std::string root = "--root " + whole.string();
  const fs::path manifest = whole / kManifestFile;
  const auto replace = [&](const std::function<void()>& make) {
    std::error_code ec;
    fs::remove_all(manifest, ec);
    make();
  };
  const std::vector<std::pair<std::string, std::function<void()>>> cases = {
      {"empty", [&] { std::ofstream(manifest).flush(); }},
      {"lists no file", [&] { std::ofstream(manifest) << "# The files of this game folder as they were\n"; }},
      {"not a file", [&] { fs::create_directory(manifest); }},
      {"not a file", [&] { ASSERT_EQ(mkfifo(manifest.c_str(), 0600), 0); }},
  };
  for (const auto& [why, make] : cases) {
    SCOPED_TRACE(why);
    replace(make);
    const Outcome strict = Game("--headless --frames 3 --strict " + root);
    EXPECT_EQ(strict.code, 3) << strict.err;
    EXPECT_TRUE(Has(strict.err, "vxgame: data set manifest damaged: " + manifest.string() + " (" + why +
                                    "); its files cannot be checked\n"))
        << strict.err;
    EXPECT_TRUE(Has(strict.err, "vxdata '" + whole.string() + "' writes the missing and damaged files anew"));
    const Outcome lenient = Game("--headless --frames 3 " + root);
    EXPECT_EQ(lenient.code, 0) << "the game runs on";
    EXPECT_TRUE(Has(lenient.err, "data set manifest damaged")) << lenient.err;
  }
  // No manifest at all: a folder that is not checked, as before.
  replace([] {});
  const Outcome none = Game("--headless --frames 3 --strict " + root);
  EXPECT_EQ(none.code, 0) << none.err;
  EXPECT_EQ(none.err, "");
}

// The full disk of a child process: writes past `bytes` of a file fail.
std::function<void()> FileSizeLimit(rlim_t bytes) {
  return [bytes] {
    signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{bytes, bytes};
    setrlimit(RLIMIT_FSIZE, &limit);
  };
}

// Each file of a folder (outside the backups) with its checksum.
std::map<std::string, uint64_t> Sums(const fs::path& root) {
  std::map<std::string, uint64_t> out;
  if (!fs::exists(root)) return out;
  for (const auto& e : fs::recursive_directory_iterator(root)) {
    if (!e.is_regular_file()) continue;
    uint64_t size = 0, sum = 0;
    FileChecksum(e.path().string(), size, sum);
    out[fs::relative(e.path(), root).generic_string()] = sum;
  }
  return out;
}

TEST_F(DataSetDamage, VxdataOnAFullDiskReportsFailureAndChangesNothing) {
  const fs::path whole = WholeFolder();
  const auto before = Sums(whole);
  const Outcome full = RunProgram({VX_VXDATA_BINARY, whole.string()}, dir, {}, FileSizeLimit(64 * 1024));
  EXPECT_EQ(full.code, 1) << full.err;
  EXPECT_FALSE(Has(full.out, "vxdata: wrote")) << full.out;
  EXPECT_TRUE(Has(full.err, "cannot write")) << full.err;
  EXPECT_TRUE(Has(full.err, "vxdata: nothing in " + whole.string() + " was replaced\n")) << full.err;
  EXPECT_EQ(Sums(whole), before) << "every file and the manifest as they were, no temporary file left";

  // Into a new folder: no manifest that the game would take for a whole set.
  const fs::path fresh = dir / "fresh";
  const Outcome into = RunProgram({VX_VXDATA_BINARY, fresh.string()}, dir, {}, FileSizeLimit(0));
  EXPECT_EQ(into.code, 1);
  EXPECT_FALSE(fs::exists(fresh / kManifestFile));
  EXPECT_TRUE(Sums(fresh).empty()) << "not even empty files";
}

TEST_F(DataSetDamage, TheRepairHintsVxdataKeepsThePlayersChanges) {
  const fs::path whole = WholeFolder();
  // The player's keys and level, and damage: a picture cut short, a
  // sample gone.
  const std::string keys = std::string(kQuietSettings) + "40,J,LEFT,0\n";
  std::ofstream(whole / "ini/main.ini", std::ios::trunc) << keys;
  const std::string level = Slurp(whole / "data/lvobj02.txt") + "4, , ,1,200,420,0,0,0,0,0,0,0\n";
  fs::remove(whole / "data/lvobj02.txt");
  std::ofstream(whole / "data/lvobj02.txt") << level;
  const std::string picture = Slurp(whole / "data/arr_d.vx1");
  fs::remove(whole / "data/arr_d.vx1");
  std::ofstream(whole / "data/arr_d.vx1") << picture.substr(0, 100);
  fs::remove(whole / "data/kat4.wav");

  const std::string root = "--root " + whole.string();
  const Outcome damaged = Game("--headless --frames 3 --strict " + root);
  EXPECT_EQ(damaged.code, 3);
  EXPECT_TRUE(
      Has(damaged.err, "vxdata '" + whole.string() +
                           "' writes the missing and damaged files anew and keeps the files you changed "
                           "(with --force it replaces those too); each file it replaces is first moved "
                           "into " +
                           whole.string() + "/vxdata-backup/\n"))
      << damaged.err;

  // As the hint says: the damage mended, the changes kept.
  const Outcome repair = RunProgram({VX_VXDATA_BINARY, whole.string()}, dir);
  ASSERT_EQ(repair.code, 0) << repair.err;
  EXPECT_TRUE(Has(repair.out, "vxdata: wrote " + whole.string())) << repair.out;
  EXPECT_TRUE(Has(repair.out, "kept 2 of your changed files as they are")) << repair.out;
  EXPECT_EQ(Slurp(whole / "ini/main.ini"), keys);
  EXPECT_EQ(Slurp(whole / "data/lvobj02.txt"), level);
  EXPECT_EQ(Slurp(whole / "data/arr_d.vx1"), picture);
  EXPECT_TRUE(fs::exists(whole / "data/kat4.wav"));
  std::vector<fs::path> backups;
  for (const auto& e : fs::directory_iterator(whole / "vxdata-backup")) backups.push_back(e.path());
  ASSERT_EQ(backups.size(), 1u);
  EXPECT_EQ(Slurp(backups[0] / "data/arr_d.vx1"), picture.substr(0, 100));
  const Outcome mended = Game("--headless --frames 3 --strict " + root);
  EXPECT_EQ(mended.code, 0) << mended.err;
  EXPECT_EQ(mended.err, "") << "the player's files are changes, not damage";

  // Forced: the settings of the data set again, the player's kept aside.
  const Outcome forced = RunProgram({VX_VXDATA_BINARY, "--force", whole.string()}, dir);
  ASSERT_EQ(forced.code, 0) << forced.err;
  EXPECT_TRUE(Has(forced.out, "vxdata: moved 2 files into " + whole.string() + "/vxdata-backup/"))
      << forced.out;
  EXPECT_EQ(Slurp(whole / "ini/main.ini"), Slurp(kDataSet / "ini/main.ini"));
  bool keysKept = false;
  for (const auto& e : fs::directory_iterator(whole / "vxdata-backup"))
    keysKept = keysKept || Slurp(e.path() / "ini/main.ini") == keys;
  EXPECT_TRUE(keysKept);
}

}  // namespace
