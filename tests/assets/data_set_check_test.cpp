// The start-up check of a game folder against its manifest: each missing,
// damaged (cut short, unreadable, not runnable) and changed file is named,
// and a complete folder gives no finding.
#include "assets/data_set_check.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "gfx/picture_file.h"
#include "sound/wave_bytes.h"
#include "support/engine_test.h"

namespace {

namespace fs = std::filesystem;
using vxtest::WriteFile;

class DataSetCheck : public vxtest::EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    fs::create_directories("data");
    const uint32_t pixels[6] = {1, 2, 3, 4, 5, 6};
    ASSERT_TRUE(WriteVx1("data/p.vx1", 3, 2, pixels));
    uint32_t colours[256] = {};
    ASSERT_TRUE(WritePalette(kPaletteFileName, MakePalette(colours)));
    ASSERT_TRUE(WriteTextureStrip("data/txtrs_c.906", {StripTile{2, {0, 1, 2, 3}}}));
    WriteFile("data/s.wav", vxtest::PcmWave(1, 22050, 8, std::string(100, '\x80')));
    WriteFile("data/text1.txt", "1,hello,,\n");
    WriteFile("music/dec1.exe", "#!/bin/sh\n");
    chmod("music/dec1.exe", 0755);
    WriteFile("ini/main.ini", "5,,,1\n");
    manifest = DescribeFiles(".", {"data/p.vx1", "data/pal_c.000", "data/txtrs_c.906", "data/s.wav",
                                   "data/text1.txt", "music/dec1.exe", "ini/main.ini"});
    ASSERT_EQ(manifest.size(), 7u);
  }
  // "missing data/p.vx1", "damaged data/s.wav (cut short: ...)", ...
  std::vector<std::string> Findings() const {
    std::vector<std::string> out;
    for (const DataSetFinding& f : CheckDataSet(manifest)) {
      const char* kind = f.kind == Finding::Missing   ? "missing "
                         : f.kind == Finding::Damaged ? "damaged "
                                                      : "changed ";
      out.push_back(kind + f.path + (f.detail.empty() ? "" : " (" + f.detail + ")"));
    }
    return out;
  }
  static void CutTo(const std::string& path, uintmax_t size) { fs::resize_file(path, size); }

  std::vector<ManifestEntry> manifest;
};

TEST_F(DataSetCheck, ACompleteFolderHasNoFindings) { EXPECT_EQ(Findings(), std::vector<std::string>{}); }

TEST_F(DataSetCheck, MissingShortAndChangedFilesAreEachNamed) {
  fs::remove("data/txtrs_c.906");
  CutTo("data/p.vx1", 10 + 3 * 5);  // one pixel short
  WriteFile("data/text1.txt", "1,hello again,,\n");
  EXPECT_EQ(Findings(), (std::vector<std::string>{"damaged data/p.vx1 (cut short: 28 bytes needed, 25 there)",
                                                  "missing data/txtrs_c.906", "changed data/text1.txt"}));
}

TEST_F(DataSetCheck, EachKindOfFileIsCheckedForWhatTheGameReads) {
  CutTo("data/s.wav", 44 + 50);   // the samples end early
  CutTo(kPaletteFileName, 100);   // fewer than 771 numbers
  chmod("music/dec1.exe", 0644);  // a decoder that cannot run
  EXPECT_EQ(Findings(),
            (std::vector<std::string>{"damaged data/pal_c.000 (cut short: 771 numbers needed, 50 there)",
                                      "damaged data/s.wav (cut short: 144 bytes needed, 94 there)",
                                      "damaged music/dec1.exe (cannot be run)"}));
  // A strip without its palette cannot be read at all.
  fs::remove(kPaletteFileName);
  EXPECT_NE(std::find(Findings().begin(), Findings().end(),
                      "damaged data/txtrs_c.906 (the picture cannot be read)"),
            Findings().end());
}

TEST_F(DataSetCheck, APlayersRepaintedPictureIsAChangeNotDamage) {
  // Larger and of another size, complete: it loads.
  std::vector<uint32_t> pixels(40 * 30, 0xff00ff00);
  ASSERT_TRUE(WriteVx1("data/p.vx1", 40, 30, pixels.data()));
  WriteFile("data/s.wav", vxtest::PcmWave(2, 44100, 16, std::string(400, '\0')));
  EXPECT_EQ(Findings(), (std::vector<std::string>{"changed data/p.vx1", "changed data/s.wav"}));
  // Not a picture at all any more: damaged.
  WriteFile("data/p.vx1", "hi");
  EXPECT_EQ(Findings()[0], "damaged data/p.vx1 (no picture header)");
  WriteFile("data/s.wav", "RIFF....WAVEjunk");
  EXPECT_EQ(Findings()[1], "damaged data/s.wav (not a PCM wave file)");
}

TEST_F(DataSetCheck, ManifestRoundTripAndRefusedLines) {
  ASSERT_TRUE(WriteManifest("m.txt", manifest));
  std::vector<ManifestEntry> back;
  ASSERT_TRUE(ReadManifest("m.txt", back));
  ASSERT_EQ(back.size(), manifest.size());
  for (size_t i = 0; i < back.size(); ++i) {
    EXPECT_EQ(back[i].path, manifest[i].path);
    EXPECT_EQ(back[i].size, manifest[i].size);
    EXPECT_EQ(back[i].checksum, manifest[i].checksum);
  }
  // Names that leave the folder, short or bad checksums and sizes are skipped.
  WriteFile("m.txt",
            "# comment\n"
            "10 00000000000000ff ../outside.txt\n"
            "10 00000000000000ff /etc/passwd\n"
            "10 ff data/short.txt\n"
            "-1 00000000000000ff data/negative.txt\n"
            "10 zz000000000000ff data/notahex.txt\n"
            "12 00000000000000ff data/a name.txt\r\n");
  ASSERT_TRUE(ReadManifest("m.txt", back));
  ASSERT_EQ(back.size(), 1u);
  EXPECT_EQ(back[0].path, "data/a name.txt");
  EXPECT_EQ(back[0].size, 12u);
  EXPECT_EQ(back[0].checksum, 0xffu);
  EXPECT_FALSE(ReadManifest("nothing.txt", back));
  // The checksum is FNV-1a 64 of the bytes.
  WriteFile("a.txt", "a");
  uint64_t size = 0, sum = 0;
  ASSERT_TRUE(FileChecksum("a.txt", size, sum));
  EXPECT_EQ(size, 1u);
  EXPECT_EQ(sum, 0xaf63dc4c8601ec8cull);
}

}  // namespace
