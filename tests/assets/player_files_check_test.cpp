// The start-up check and the list of the player's files over a generated
// set: a player's file is checked where the game reads it, one that does not
// load is named as the player's, one that loads but differs is the player's
// change, and the list names exactly the files that hide generated ones.
#include <gtest/gtest.h>

#include <filesystem>

#include "assets/data_set_check.h"
#include "gfx/picture_file.h"
#include "platform/game_files.h"
#include "sound/wave_bytes.h"
#include "support/engine_test.h"

namespace {

namespace fs = std::filesystem;
using vxtest::WriteFile;

// The scratch folder is the player's folder; "gen" the generated set.
class PlayersFilesCheck : public vxtest::EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    const uint32_t pixels[6] = {1, 2, 3, 4, 5, 6};
    fs::create_directories("gen/data");
    ASSERT_TRUE(WriteVx1("gen/data/p.vx1", 3, 2, pixels));
    WriteFile("gen/data/s.wav", vxtest::PcmWave(1, 22050, 8, std::string(100, '\x80')));
    WriteFile("gen/data/lvobj02.txt", "0, , ,1,5,5,0,0,0,0,0,0,0\n");
    WriteFile("gen/ini/main.ini", "5,,,1\n");
    manifest = DescribeFiles("gen", {"data/p.vx1", "data/s.wav", "data/lvobj02.txt", "ini/main.ini"});
    ASSERT_EQ(manifest.size(), 4u);
    std::vector<std::string> names;
    for (const ManifestEntry& e : manifest) names.push_back(e.path);
    platform::SetGeneratedSet((folder / "gen").string(), names);
  }
  // "damaged data/p.vx1 (cut short: ...) mine", "changed ini/main.ini", ...
  static std::string Describe(const DataSetFinding& f) {
    const char* kinds[] = {"missing ", "damaged ", "changed ", "same "};
    return kinds[static_cast<int>(f.kind)] + f.path + (f.detail.empty() ? "" : " (" + f.detail + ")") +
           (f.players ? " mine" : "");
  }
  std::vector<std::string> Check() const {
    std::vector<std::string> out;
    for (const DataSetFinding& f : CheckDataSet(manifest)) out.push_back(Describe(f));
    return out;
  }
  std::vector<std::string> List() const {
    std::vector<std::string> out;
    for (const DataSetFinding& f : ListOverrides(manifest)) out.push_back(Describe(f));
    return out;
  }

  std::vector<ManifestEntry> manifest;
};

TEST_F(PlayersFilesCheck, AnEmptyPlayersFolderIsTheGeneratedSetChecked) {
  EXPECT_EQ(Check(), std::vector<std::string>{});
  EXPECT_EQ(List(), std::vector<std::string>{});
  fs::remove("gen/data/s.wav");
  EXPECT_EQ(Check(), std::vector<std::string>{"missing data/s.wav"}) << "the generated set's own gap";
}

TEST_F(PlayersFilesCheck, APlayersFileThatDoesNotLoadIsNamedAsThePlayers) {
  const uint32_t pixels[4] = {7, 7, 7, 7};
  fs::create_directories("data");
  ASSERT_TRUE(WriteVx1("data/p.vx1", 2, 2, pixels));
  fs::resize_file("data/p.vx1", 10 + 3 * 3);  // one pixel short
  WriteFile("data/s.wav", "RIFF");
  EXPECT_EQ(Check(),
            (std::vector<std::string>{"damaged data/p.vx1 (cut short: 22 bytes needed, 19 there) mine",
                                      "damaged data/s.wav (not a PCM wave file) mine"}));
  // A folder in the way hides the generated file too, and is the player's to mend.
  fs::remove("data/s.wav");
  fs::create_directories("data/s.wav");
  EXPECT_EQ(Check(),
            (std::vector<std::string>{"damaged data/p.vx1 (cut short: 22 bytes needed, 19 there) mine",
                                      "damaged data/s.wav (not a file) mine"}));
  // Mended: the player's picture loads, and is only a change.
  ASSERT_TRUE(WriteVx1("data/p.vx1", 2, 2, pixels));
  fs::remove("data/s.wav");
  EXPECT_EQ(Check(), std::vector<std::string>{"changed data/p.vx1 mine"});
}

TEST_F(PlayersFilesCheck, TheListNamesEveryPlayersFileThatHidesAGeneratedOne) {
  WriteFile("ini/main.ini", "5,,,1\n");                          // the same bytes
  WriteFile("data/lvobj02.txt", "0, , ,1,9,9,0,0,0,0,0,0,0\n");  // edited in the editor
  WriteFile("data/s.wav", "");                                   // cut to nothing
  WriteFile("data/lvobj12.txt", "0, , ,1,9,9,0,0,0,0,0,0,0\n");  // hides nothing
  WriteFile("gamesave.sav", "saved");                            // the player's, never generated
  EXPECT_EQ(List(), (std::vector<std::string>{"damaged data/s.wav (not a PCM wave file) mine",
                                              "changed data/lvobj02.txt mine", "same ini/main.ini mine"}))
      << "in manifest order";
  EXPECT_EQ(Check(), (std::vector<std::string>{"damaged data/s.wav (not a PCM wave file) mine",
                                               "changed data/lvobj02.txt mine"}));
  // A folder of one layer has nothing over anything.
  platform::SetGeneratedSet("", {});
  EXPECT_EQ(List(), std::vector<std::string>{});
}

}  // namespace
