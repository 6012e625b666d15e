#include "config/settings_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "config/comfort_settings.h"
#include "config/configuration.h"
#include "platform/file_replace.h"
#include "platform/game_files.h"
#include "platform/window_messages.h"
#include "support/engine_test.h"

namespace {

class SettingsFile : public vxtest::EngineTest {
 protected:
  // Writes through the settings file, then reads every setting back as the
  // game does at its start.
  void WriteAndReadBack(const std::string& file) {
    std::string problem;
    ASSERT_TRUE(WriteSettingsFile(file, &problem)) << problem;
    ReadGameSettings(settings, engine.records);
    ReadComfortSettings(comfort, engine.records);
    vxGetRes(display, engine.records, engine.log);
  }
  GameSettings settings;
  ComfortSettings comfort;
  DisplaySettings display;
};

// Each setting the options screen writes comes back through the reader as
// the value it was given, from a file that has the record and from one
// that lacks it.
TEST_F(SettingsFile, EverySettingRoundTripsThroughTheReader) {
  for (const std::string& start : {std::string(), std::string("13,sound,,1\n15,low,,0\n19,c,,0\n30,s,,0\n"
                                                              "13131313,end,,\nnotes\n")}) {
    std::string file = start;
    SetRecordValues(file, kRecordSound, {0}, "sound");
    SetRecordValues(file, kRecordLowDetail, {1}, "low detail");
    SetRecordValues(file, kRecordMusic, {0}, "music");
    SetRecordValues(file, kRecordControls, {1}, "controls");
    SetRecordValues(file, kRecordAltText, {0}, "texts");
    SetRecordValues(file, kRecordWindowed, {0}, "windowed");
    SetRecordValues(file, kRecordScaling, {2}, "scaling");
    SetRecordValues(file, kRecordWindowSize, {1024, 768}, "window size");
    SetRecordValues(file, kRecordFocusLoss, {1}, "focus");
    SetRecordValues(file, kRecordStartFullScreen, {1}, "desktop full screen");
    SetRecordValues(file, kRecordGamepads, {1}, "gamepads");
    SetRecordValues(file, kRecordSoundVolume, {1}, "sound volume");
    SetRecordValues(file, kRecordMusicVolume, {99}, "music volume");
    SetRecordTexts(file, kRecordKeyMapFirst + 3, "J", "LEFT", {0});
    WriteAndReadBack(file);
    EXPECT_EQ(settings.soundOn, 0) << start;
    EXPECT_EQ(settings.lowDetail, -1);
    EXPECT_EQ(settings.controlScheme, 2);
    EXPECT_EQ(settings.altTextFile, 0);
    EXPECT_EQ(settings.textFileName, "data/text.txt");
    EXPECT_EQ(ReadConfigValue(engine.records, kRecordMusic), 0);
    EXPECT_EQ(display.windowed, 0);
    EXPECT_EQ(comfort.scaling, 2);
    EXPECT_EQ(comfort.windowWidth, 1024);
    EXPECT_EQ(comfort.windowHeight, 768);
    EXPECT_EQ(comfort.keepWindowOnFocusLoss, -1);
    EXPECT_EQ(comfort.startFullScreen, -1);
    EXPECT_EQ(comfort.gamepads, 0);
    EXPECT_EQ(comfort.soundVolume, 1);
    EXPECT_EQ(comfort.musicVolume, 99);
    EXPECT_EQ(MappedKey(comfort, 'J'), vk::VK_LEFT);
    EXPECT_TRUE(comfort.problems.empty());

    // And back the other way, over the records just written.
    SetRecordValues(file, kRecordSound, {1}, "sound");
    SetRecordValues(file, kRecordAltText, {1}, "texts");
    SetRecordValues(file, kRecordGamepads, {0}, "gamepads");
    SetRecordValues(file, kRecordSoundVolume, {100}, "sound volume");
    SetRecordValues(file, kRecordMusicVolume, {0}, "music volume");
    RemoveRecord(file, kRecordKeyMapFirst + 3);
    WriteAndReadBack(file);
    EXPECT_EQ(settings.soundOn, -1);
    EXPECT_EQ(settings.textFileName, "data/text1.txt");
    EXPECT_EQ(comfort.gamepads, -1);
    EXPECT_EQ(comfort.soundVolume, 100);
    EXPECT_EQ(comfort.musicVolume, 0);
    EXPECT_EQ(MappedKey(comfort, 'J'), static_cast<uint32_t>('J'));
  }
}

// A volume record that is missing is full volume; one out of range is
// brought to the nearer end and named.
TEST_F(SettingsFile, VolumesAreFullWhenMissingAndKeptWithinTheirRange) {
  WriteAndReadBack("13,sound,,1\n");
  EXPECT_EQ(comfort.soundVolume, 100);
  EXPECT_EQ(comfort.musicVolume, 100);
  WriteAndReadBack("35,sound volume,,-3\n36,music volume,,250\n");
  EXPECT_EQ(comfort.soundVolume, 0);
  EXPECT_EQ(comfort.musicVolume, 100);
  EXPECT_EQ(comfort.problems.size(), 2u);
}

// A hand-edited file keeps what the game does not know: notes, unknown
// records, the order, the names, fields after the numbers, Windows line
// ends; only the numbers of the record set change.
TEST_F(SettingsFile, EditingKeepsUnknownRecordsNotesOrderAndLineEnds) {
  std::string file =
      "; my settings\r\n"
      "77,my own record,x,5\r\n"
      "13,Sound please,,1,42,extra\r\n"
      "13,a later duplicate,,1\r\n"
      "13131313,end,,\r\n"
      "notes after the end: 13,not a record,,1\r\n";
  SetRecordValues(file, kRecordSound, {0}, "unused name");
  EXPECT_EQ(file,
            "; my settings\r\n"
            "77,my own record,x,5\r\n"
            "13,Sound please,,0,42,extra\r\n"
            "13,a later duplicate,,1\r\n"
            "13131313,end,,\r\n"
            "notes after the end: 13,not a record,,1\r\n");
  // A new record goes before the end line, with the file's line end, so
  // that the reader finds it; notes after the end stay after it.
  SetRecordValues(file, kRecordMusicVolume, {40}, "music volume");
  EXPECT_NE(file.find("13,a later duplicate,,1\r\n36,music volume,,40\r\n13131313,end,,\r\n"),
            std::string::npos);
  WriteAndReadBack(file);
  EXPECT_EQ(comfort.musicVolume, 40);
  EXPECT_EQ(settings.soundOn, 0);

  // Removing a record takes every line the reader could find for it, so no
  // duplicate takes its place; what follows the end line is not touched.
  RemoveRecord(file, kRecordSound);
  EXPECT_EQ(file.find("13,Sound"), std::string::npos);
  EXPECT_EQ(file.find("duplicate"), std::string::npos);
  EXPECT_NE(file.find("notes after the end: 13,not a record,,1"), std::string::npos);
  EXPECT_NE(file.find("77,my own record,x,5\r\n"), std::string::npos);
}

// Where the reader's scan stops early (a last line without a line end, an
// overlong line), a new record goes before that place, where it is seen.
TEST_F(SettingsFile, NewRecordsGoWhereTheReaderStillLooks) {
  std::string cut = "5,windowed,,1\n13,sound,,1";  // the last line has no line end
  SetRecordValues(cut, kRecordSoundVolume, {7}, "sound volume");
  EXPECT_EQ(cut, "5,windowed,,1\n35,sound volume,,7\n13,sound,,1");
  std::string longLine = "5,windowed,,1\n" + std::string(600, 'x') + "\n13,sound,,1\n";
  SetRecordValues(longLine, kRecordSound, {0}, "sound");
  WriteAndReadBack(longLine);
  EXPECT_EQ(settings.soundOn, 0);
  // Texts cannot hold the reader's separators.
  std::string keys;
  SetRecordTexts(keys, 40, "a,b", "c\nd", {0});
  EXPECT_EQ(keys, "40,a b,c d,0\n");
}

// The player's own file is written; the generated set's is where the first
// one comes from.
TEST_F(SettingsFile, ReadsTheFileTheGameReadsAndWritesIntoThePlayersFolder) {
  EXPECT_EQ(ReadSettingsFile(), "") << "no file at all";
  vxtest::WriteFile("set/ini/main.ini", "13,sound,,1\n");
  platform::SetGeneratedSet((folder / "set").string(), {"ini/main.ini"});
  EXPECT_EQ(ReadSettingsFile(), "13,sound,,1\n");
  std::string problem;
  ASSERT_TRUE(WriteSettingsFile("13,sound,,0\n", &problem)) << problem;
  EXPECT_EQ(vxtest::ReadFile("ini/main.ini"), "13,sound,,0\n");
  EXPECT_EQ(vxtest::ReadFile("set/ini/main.ini"), "13,sound,,1\n");
  EXPECT_EQ(ReadSettingsFile(), "13,sound,,0\n");
  platform::SetGeneratedSet("", {});
}

// A write that fails (a full disk, a folder that cannot be written) keeps
// the old file whole and says why.
TEST_F(SettingsFile, AFailedWriteKeepsTheOldFileAndSaysWhy) {
  vxtest::WriteFile("ini/main.ini", "13,sound,,1\n");
  platform::SetFileFault(
      [](platform::ReplaceStep step) { return step == platform::ReplaceStep::kWrite ? ENOSPC : 0; });
  std::string problem;
  EXPECT_FALSE(WriteSettingsFile("13,sound,,0\n", &problem));
  platform::SetFileFault(nullptr);
  EXPECT_NE(problem.find("main.ini"), std::string::npos) << problem;
  EXPECT_EQ(vxtest::ReadFile("ini/main.ini"), "13,sound,,1\n");

  if (geteuid() != 0) {  // the superuser writes anywhere
    ASSERT_EQ(chmod("ini", 0555), 0);
    problem.clear();
    EXPECT_FALSE(WriteSettingsFile("13,sound,,0\n", &problem));
    chmod("ini", 0755);
    EXPECT_FALSE(problem.empty());
    EXPECT_EQ(vxtest::ReadFile("ini/main.ini"), "13,sound,,1\n");
  }
  // No folder for it at all: a file stands where the folder would be.
  std::filesystem::remove_all("ini");
  vxtest::WriteFile("ini", "not a folder");
  problem.clear();
  EXPECT_FALSE(WriteSettingsFile("13,sound,,0\n", &problem));
  EXPECT_FALSE(problem.empty());
  EXPECT_EQ(vxtest::ReadFile("ini"), "not a folder");
}

}  // namespace
