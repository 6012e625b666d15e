// How vxdata puts a game folder in place: every file is written beside its
// place first, nothing moves until every file (and the manifest) was
// written, a full disk leaves the folder as it was, and a file the player
// changed since the last run is kept unless forced, a damaged one moved
// aside and replaced.
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "assets/data_set_check.h"
#include "datagen/data_set.h"
#include "gfx/picture_file.h"

namespace {

namespace fs = std::filesystem;

using Files = std::map<std::string, std::string>;

std::string Slurp(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

std::string Vx1(uint8_t shade) {
  std::string bytes = std::string("\x02\x00\x01\x00", 4) + std::string(6, '\0');
  return bytes + std::string(6, static_cast<char>(shade));
}

class DataSetWriterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "vxdata-writer-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    root = pattern;
    first = {{"data/b.vx1", Vx1(10)},
             {"data/lvobj02.txt", "0, , ,1,5,5,0,0,0,0,0,0,0\n"},
             {"ini/main.ini", "5,,,1\n"},
             {"a.txt", "one\n"}};
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(root, ec);
  }
  // One run of the writer over `files`; false when Finish refuses.
  bool Run(const Files& files, bool force = false) {
    datagen::DataSetWriter writer(root.string(), force);
    for (const auto& [name, bytes] : files) writer.WriteBytes(name, bytes);
    const bool ok = writer.Finish(kManifestFile);
    kept = writer.kept();
    backedUp = writer.backedUp();
    backupFolder = writer.backupFolder();
    changed = writer.changedFolder();
    return ok;
  }
  // Every file of the folder, by name, with its bytes.
  Files Contents() const {
    Files out;
    for (const auto& e : fs::recursive_directory_iterator(root))
      if (e.is_regular_file()) out[fs::relative(e.path(), root).generic_string()] = Slurp(e.path());
    return out;
  }
  bool LeftoverTemporaries() const {
    for (const auto& e : fs::recursive_directory_iterator(root))
      if (e.path().filename().string().find(".vxdata-") != std::string::npos) return true;
    return false;
  }
  // The manifest's entry of `name` against the bytes given.
  bool Lists(const std::string& name, const std::string& bytes) const {
    std::vector<ManifestEntry> entries;
    if (!ReadManifest((root / kManifestFile).string(), entries)) return false;
    const fs::path scratch = root.parent_path() / (root.filename().string() + "-probe");
    std::ofstream(scratch, std::ios::binary) << bytes;
    uint64_t size = 0, sum = 0;
    FileChecksum(scratch.string(), size, sum);
    fs::remove(scratch);
    for (const ManifestEntry& e : entries)
      if (e.path == name) return e.size == size && e.checksum == sum;
    return false;
  }

  fs::path root;
  Files first;
  std::vector<std::string> kept, backedUp;
  std::string backupFolder;
  bool changed = false;
};

TEST_F(DataSetWriterTest, FilesAppearOnlyWhenAllWereWrittenAndTheManifestLast) {
  ASSERT_TRUE(Run(first));
  const Files now = Contents();
  ASSERT_EQ(now.count(kManifestFile), 1u);
  for (const auto& [name, bytes] : first) {
    EXPECT_EQ(now.at(name), bytes) << name;
    EXPECT_TRUE(Lists(name, bytes)) << name;
  }
  EXPECT_FALSE(LeftoverTemporaries());
  EXPECT_TRUE(kept.empty());
  EXPECT_TRUE(backedUp.empty());

  // A run that fails anywhere moves nothing: the written files wait
  // beside their places and go again.
  const Files before = Contents();
  {
    datagen::DataSetWriter writer(root.string());
    writer.WriteBytes("a.txt", "two\n");
    writer.WriteBytes("data/new.txt", "new\n");
    EXPECT_EQ(Slurp(root / "a.txt"), "one\n") << "not in place before the end";
    writer.Fail("simulated");
    EXPECT_FALSE(writer.Finish(kManifestFile));
    EXPECT_FALSE(writer.changedFolder());
  }
  EXPECT_EQ(Contents(), before);
  EXPECT_FALSE(LeftoverTemporaries());

  // What a run that was killed left behind goes with the next run; other
  // hidden files stay.
  std::ofstream(root / ".a.txt.vxdata-Ab1234") << "half";
  std::ofstream(root / "data/.b.vx1.vxdata-zz99ZZ") << "half";
  std::ofstream(root / "data/.notes") << "mine";
  ASSERT_TRUE(Run(first));
  EXPECT_FALSE(LeftoverTemporaries());
  EXPECT_EQ(Slurp(root / "data/.notes"), "mine");
}

// A full disk, for a child process: writes past `limit` bytes of a file fail.
int RunWithFileSizeLimit(rlim_t limit, const std::function<bool()>& run) {
  const pid_t child = fork();
  if (child == 0) {
    signal(SIGXFSZ, SIG_IGN);  // the write fails with EFBIG instead
    const rlimit small{limit, limit};
    setrlimit(RLIMIT_FSIZE, &small);
    _exit(run() ? 0 : 1);
  }
  int status = 0;
  waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST_F(DataSetWriterTest, AFullDiskLeavesTheFolderAsItWas) {
  ASSERT_TRUE(Run(first));
  const Files before = Contents();
  Files second = first;
  second["a.txt"] = "two\n";
  second["data/b.vx1"] = Vx1(20);
  second["data/big.txt"] = std::string(5000, 'x');
  // The big file does not fit.
  EXPECT_EQ(RunWithFileSizeLimit(1000, [&] { return Run(second); }), 1);
  EXPECT_EQ(Contents(), before);
  EXPECT_FALSE(LeftoverTemporaries());

  // Every file fits, the manifest does not: still nothing moves, since the
  // manifest is written before any file goes into place.
  Files many = first;
  for (int i = 0; i < 40; ++i) many["data/f" + std::to_string(i) + ".txt"] = "x";
  EXPECT_EQ(RunWithFileSizeLimit(1000, [&] { return Run(many); }), 1);
  EXPECT_EQ(Contents(), before);
  EXPECT_FALSE(LeftoverTemporaries());
  // With room, the same run goes through.
  EXPECT_EQ(RunWithFileSizeLimit(100000, [&] { return Run(many); }), 0);
  EXPECT_EQ(Slurp(root / "data/f39.txt"), "x");
}

TEST_F(DataSetWriterTest, ThePlayersChangesAreKeptUnlessForced) {
  ASSERT_TRUE(Run(first));
  // The player remaps a key and edits a level; a picture gets cut to
  // nothing and a text file goes missing.
  const std::string keys = "5,,,1\n40,J,LEFT,0\n";
  const std::string level = "0, , ,1,9,9,0,0,0,0,0,0,0\n";
  std::ofstream(root / "ini/main.ini", std::ios::trunc) << keys;
  std::ofstream(root / "data/lvobj02.txt", std::ios::trunc) << level;
  std::ofstream(root / "data/b.vx1", std::ios::trunc);
  fs::remove(root / "a.txt");

  // A new version changes a file of its own and the level.
  Files second = first;
  second["data/lvobj02.txt"] = "0, , ,1,6,6,0,0,0,0,0,0,0\n";
  ASSERT_TRUE(Run(second));
  EXPECT_EQ(Slurp(root / "ini/main.ini"), keys);
  EXPECT_EQ(Slurp(root / "data/lvobj02.txt"), level);
  EXPECT_EQ(kept, (std::vector<std::string>{"data/lvobj02.txt", "ini/main.ini"}));
  EXPECT_EQ(Slurp(root / "data/b.vx1"), first.at("data/b.vx1")) << "damage is no edit";
  EXPECT_EQ(Slurp(root / "a.txt"), "one\n");
  EXPECT_EQ(backedUp, std::vector<std::string>{"data/b.vx1"});
  ASSERT_FALSE(backupFolder.empty());
  EXPECT_EQ(backupFolder.rfind("vxdata-backup/", 0), 0u);
  EXPECT_EQ(Slurp(root / backupFolder / "data/b.vx1"), "") << "the damaged file, kept aside";
  // The manifest lists what this run made, so the kept files stay changes.
  EXPECT_TRUE(Lists("data/lvobj02.txt", second.at("data/lvobj02.txt")));
  EXPECT_TRUE(Lists("ini/main.ini", first.at("ini/main.ini")));

  // Kept again by the next run.
  ASSERT_TRUE(Run(second));
  EXPECT_EQ(Slurp(root / "ini/main.ini"), keys);
  EXPECT_TRUE(backedUp.empty());

  // Forced: replaced, each after a copy was put aside.
  ASSERT_TRUE(Run(second, true));
  EXPECT_EQ(Slurp(root / "ini/main.ini"), first.at("ini/main.ini"));
  EXPECT_EQ(Slurp(root / "data/lvobj02.txt"), second.at("data/lvobj02.txt"));
  EXPECT_TRUE(kept.empty());
  EXPECT_EQ(backedUp, (std::vector<std::string>{"data/lvobj02.txt", "ini/main.ini"}));
  EXPECT_EQ(Slurp(root / backupFolder / "ini/main.ini"), keys);
  EXPECT_EQ(Slurp(root / backupFolder / "data/lvobj02.txt"), level);
  EXPECT_FALSE(LeftoverTemporaries());
}

TEST_F(DataSetWriterTest, WhatIsNotAFileOrHasNoManifestToTellIsHandledSafely) {
  // No manifest yet: a file that differs is taken for the player's and
  // kept; one that is already as it would be written is fine.
  fs::create_directories(root / "data");
  std::ofstream(root / "ini.txt") << "mine";
  std::ofstream(root / "a.txt") << first.at("a.txt");
  Files files = first;
  files["ini.txt"] = "theirs";
  ASSERT_TRUE(Run(files));
  EXPECT_EQ(Slurp(root / "ini.txt"), "mine");
  EXPECT_EQ(kept, std::vector<std::string>{"ini.txt"});

  // A folder, a link and a picture that does not load where files go:
  // moved aside whole (nothing is lost) and replaced.
  fs::remove(root / "data/b.vx1");
  fs::create_directories(root / "data/b.vx1/inner");
  std::ofstream(root / "data/b.vx1/inner/note") << "note";
  std::ofstream(root / "target") << "target";
  fs::remove(root / "a.txt");
  fs::create_symlink(root / "target", root / "a.txt");
  ASSERT_TRUE(Run(files));
  EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(root / "a.txt")));
  EXPECT_EQ(Slurp(root / "target"), "target") << "nothing is written through a link";
  EXPECT_EQ(Slurp(root / "data/b.vx1"), first.at("data/b.vx1"));
  EXPECT_EQ(Slurp(root / backupFolder / "data/b.vx1/inner/note"), "note");
  EXPECT_TRUE(fs::is_symlink(root / backupFolder / "a.txt"));
  std::ofstream(root / "data/b.vx1", std::ios::trunc) << std::string("\x40\x00\x40\x00", 4);  // cut short
  ASSERT_TRUE(Run(files));
  EXPECT_EQ(Slurp(root / "data/b.vx1"), first.at("data/b.vx1"));
  EXPECT_EQ(backedUp, std::vector<std::string>{"data/b.vx1"});
  // A folder where the manifest goes is moved aside before anything else.
  fs::remove(root / kManifestFile);
  fs::create_directory(root / kManifestFile);
  ASSERT_TRUE(Run(files));
  EXPECT_TRUE(fs::is_regular_file(root / kManifestFile));
  EXPECT_TRUE(fs::is_directory(root / backupFolder / kManifestFile));
  EXPECT_FALSE(LeftoverTemporaries());
}

}  // namespace
