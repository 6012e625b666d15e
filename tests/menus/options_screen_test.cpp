#include "menus/options_screen.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <string>
#include <vector>

#include "config/configuration.h"
#include "config/settings_file.h"
#include "datagen/generated_data_set.h"
#include "game/saved_game_support.h"
#include "gfx/drawing.h"
#include "gfx/image_slots.h"
#include "platform/file_replace.h"
#include "platform/window_messages.h"
#include "shell/globals.h"
#include "sound/sound_context.h"

namespace {

using vxtest::ReadFile;
using vxtest::WriteFile;

constexpr int32_t kLeft = 0, kRight = 1, kJump = 2, kStrike = 4, kPause = 6;

// The key map of the remapping records a file holds, as the game reads it.
ComfortSettings ReadBack(const std::string& file) {
  WriteFile("ini/main.ini", file);
  ComfortSettings c;
  ReadComfortSettings(c, engine.records);
  return c;
}

// Remapping: a key takes the action it is given; the action it gave before
// is the conflict, and is left without that key.
TEST(OptionsKeys, RemappingTakesTheKeyFromItsOldActionAndSaysWhich) {
  ComfortSettings c;
  EXPECT_EQ(ActionOfKey(c, vk::VK_SPACE), kStrike);
  EXPECT_EQ(ActionOfKey(c, 'A'), kLeft) << "the letter keys double the arrows";
  EXPECT_EQ(ActionOfKey(c, 'J'), -1);

  int32_t conflict = 99;
  ASSERT_TRUE(RemapKey(c, 'J', kLeft, conflict));
  EXPECT_EQ(conflict, -1) << "J gave nothing before";
  EXPECT_EQ(MappedKey(c, 'J'), vk::VK_LEFT);

  ASSERT_TRUE(RemapKey(c, vk::VK_SPACE, kJump, conflict));
  EXPECT_EQ(conflict, kStrike);
  EXPECT_EQ(ActionOfKey(c, vk::VK_SPACE), kJump);
  for (uint32_t k = 1; k < 256; ++k) EXPECT_NE(ActionOfKey(c, k), kStrike) << "strike has no key left: " << k;

  ASSERT_TRUE(RemapKey(c, 'J', kRight, conflict));
  EXPECT_EQ(conflict, kLeft) << "a remapped key moves on";
  // Giving a key back its own meaning needs no record.
  ASSERT_TRUE(RemapKey(c, vk::VK_SPACE, kStrike, conflict));
  EXPECT_EQ(conflict, kJump);
  EXPECT_EQ(c.keyMap[vk::VK_SPACE], 0);
  ASSERT_TRUE(RemapKey(c, 'Q', kPause, conflict));
  EXPECT_EQ(MappedKey(c, 'Q'), vk::VK_ESCAPE);

  // Enter and Escape answer the menus; keys without a name cannot be written.
  EXPECT_FALSE(RemapKey(c, vk::VK_RETURN, kLeft, conflict));
  EXPECT_FALSE(RemapKey(c, vk::VK_ESCAPE, kLeft, conflict));
  EXPECT_FALSE(RemapKey(c, 0xE7, kLeft, conflict));
  EXPECT_FALSE(RemapKey(c, 'K', kRemappedActions, conflict));
  EXPECT_FALSE(RemapKey(c, 300, kLeft, conflict));
}

TEST(OptionsKeys, NoMoreThanTwentyRemappedKeys) {
  ComfortSettings c;
  int32_t conflict = 0;
  const char letters[] = "BCEFGHIJKLMNOPQRTUVX";
  for (int i = 0; i < 20; ++i)
    ASSERT_TRUE(RemapKey(c, static_cast<uint32_t>(letters[i]), kLeft, conflict)) << i;
  EXPECT_FALSE(RemapKey(c, 'Y', kLeft, conflict)) << "the twenty records are taken";
  EXPECT_TRUE(RemapKey(c, 'B', kRight, conflict)) << "one already remapped takes no new record";
  EXPECT_TRUE(RemapKey(c, 'C', kStrike, conflict));
  EXPECT_FALSE(RemapKey(c, vk::VK_LEFT, kRight, conflict))
      << "an arrow given another action needs a record too";
  EXPECT_TRUE(RemapKey(c, 'B', kLeft, conflict));
  EXPECT_TRUE(RemapKey(c, 'D', kRight, conflict)) << "D walks right already";
}

class OptionsScreenTest : public vxtest::StartedEngineTest {
 protected:
  void SetUp() override {
    StartedEngineTest::SetUp();
    WriteFile("data/text.txt", "600,TITLE RU,help ru\n613,ru,\n");
    WriteFile("data/text1.txt", "600,TITLE EN,help en\n613,en,\n");
    WriteFile("ini/main.ini",
              "; kept note\n13,sound,,1\n20,texts,,1\n99,unknown,,7\n13131313,end,,\nafter the end\n");
    ReadGameSettings(game.settings, engine.records);
    game.settings.musicOn = -1;
    ReadComfortSettings(comfort, engine.records);
    CreatePicture(engine.gfx, 406, 800, 600);
    CreatePicture(engine.gfx, 400, 680, 260);  // the box
    OpenOptions(options, game.settings, comfort, -1, false);
  }
  int32_t Press(uint32_t key) {
    OptionsInput in;
    in.key = key;
    return OptionsFrame(options, game, comfort, in);
  }
  int32_t Click(int32_t x, int32_t y, bool right = false) {
    OptionsInput in;
    in.mouseX = x;
    in.mouseY = y;
    in.click = !right;
    in.rightClick = right;
    return OptionsFrame(options, game, comfort, in);
  }
  ComfortSettings comfort;
  OptionsScreen options;
};

// The language switches at once, is written, and the file keeps its note,
// its unknown record and what follows its end line. Nothing of the game
// moves and no random number is drawn.
TEST_F(OptionsScreenTest, LanguageSwitchesAtOnceAndIsWrittenKeepingTheRest) {
  const std::vector<int32_t> before = vxtest::LoadedWords(game);
  const RandomSource random = engine.random;
  for (int i = 0; i < kRowLanguage; ++i) EXPECT_EQ(Press(vk::VK_DOWN), kOptionsStay);
  EXPECT_EQ(options.row, kRowLanguage);
  EXPECT_EQ(Press(vk::VK_RIGHT), kOptionsStay);
  EXPECT_EQ(game.settings.altTextFile, 0);
  EXPECT_EQ(game.settings.textFileName, "data/text.txt");
  EXPECT_EQ(options.written, 1);
  EXPECT_EQ(ReadFile("ini/main.ini"),
            "; kept note\n13,sound,,1\n20,texts,,0\n99,unknown,,7\n13131313,end,,\nafter the end\n");
  EXPECT_EQ(Press(vk::VK_ESCAPE), kOptionsClosed);
  EXPECT_EQ(vxtest::LoadedWords(game), before);
  EXPECT_EQ(vxtest::DrawsBetween(random, engine.random), 0);
}

// Each volume step reaches the sound device and the file; 0 also turns the
// engine's own switch off, so the file means the same to a reader that
// knows no volumes.
TEST_F(OptionsScreenTest, VolumesStepByTenAndZeroIsOff) {
  EXPECT_EQ(Press(vk::VK_RIGHT), kOptionsStay);
  EXPECT_EQ(comfort.soundVolume, 100) << "full stays full";
  Press(vk::VK_LEFT);
  EXPECT_EQ(comfort.soundVolume, 90);
  EXPECT_EQ(engine.sound.soundVolume, 90);
  EXPECT_EQ(ReadConfigValue(engine.records, kRecordSoundVolume), 90);
  EXPECT_EQ(ReadConfigValue(engine.records, kRecordSound), 1);
  for (int i = 0; i < 12; ++i) Press(vk::VK_LEFT);
  EXPECT_EQ(options.soundLevel, 0);
  EXPECT_EQ(engine.sound.soundVolume, 0);
  EXPECT_EQ(ReadConfigValue(engine.records, kRecordSound), 0);
  EXPECT_EQ(ReadConfigValue(engine.records, kRecordSoundVolume), 0);
  EXPECT_EQ(comfort.soundVolume, 10) << "the volume the switch comes back on with";
  EXPECT_EQ(engine.sound.musicVolume, 100) << "the music keeps its own";
  Press(vk::VK_DOWN);
  Press(vk::VK_LEFT);
  EXPECT_EQ(engine.sound.musicVolume, 90);
  EXPECT_EQ(ReadConfigValue(engine.records, kRecordMusicVolume), 90);
}

// A write that fails keeps the old file, says so on the screen and in the
// log, and the next good write clears the notice.
TEST_F(OptionsScreenTest, AFailedWriteKeepsTheOldFileAndIsShown) {
  const std::string old = ReadFile("ini/main.ini");
  platform::SetFileFault(
      [](platform::ReplaceStep s) { return s == platform::ReplaceStep::kWrite ? ENOSPC : 0; });
  Press(vk::VK_LEFT);
  platform::SetFileFault(nullptr);
  EXPECT_EQ(options.written, -1);
  EXPECT_NE(options.problem.find("main.ini"), std::string::npos) << options.problem;
  EXPECT_EQ(ReadFile("ini/main.ini"), old);
  Press(vk::VK_LEFT);
  EXPECT_EQ(options.written, 1);
  EXPECT_TRUE(options.problem.empty());
}

// The keys page: choose an action, press a key; the records are written in
// the remapping format and read back to the same map. Reset removes them.
TEST_F(OptionsScreenTest, KeysAreRemappedByPressingThemAndResetRemovesTheRecords) {
  for (int i = 0; i < kRowKeys; ++i) Press(vk::VK_DOWN);
  ASSERT_EQ(options.row, kRowKeys);
  Press(vk::VK_RETURN);
  ASSERT_EQ(options.page, kOptionsKeys);
  Press(vk::VK_RETURN);  // walk left
  ASSERT_TRUE(options.capturing);
  Press(vk::VK_RETURN);
  EXPECT_TRUE(options.capturing) << "Enter is not taken: it answers the menus";
  Press('J');
  EXPECT_FALSE(options.capturing);
  EXPECT_EQ(options.conflictAction, -1);
  EXPECT_EQ(MappedKey(comfort, 'J'), vk::VK_LEFT) << "at once";
  Press(vk::VK_DOWN);
  Press(vk::VK_RETURN);
  Press('J');
  EXPECT_EQ(options.conflictAction, kLeft) << "J walked left before";
  EXPECT_NE(ReadFile("ini/main.ini").find("40,J,RIGHT,0\n"), std::string::npos) << ReadFile("ini/main.ini");
  ComfortSettings back = ReadBack(ReadFile("ini/main.ini"));
  EXPECT_EQ(MappedKey(back, 'J'), vk::VK_RIGHT);
  EXPECT_TRUE(back.problems.empty());

  Press(vk::VK_RETURN);  // walk right again
  Press(vk::VK_ESCAPE);
  EXPECT_FALSE(options.capturing) << "Escape cancels the waiting";
  EXPECT_EQ(MappedKey(comfort, vk::VK_ESCAPE), vk::VK_ESCAPE);

  options.row = kKeysRowReset;
  Press(vk::VK_RETURN);
  EXPECT_EQ(MappedKey(comfort, 'J'), static_cast<uint32_t>('J'));
  EXPECT_EQ(ReadFile("ini/main.ini").find("40,"), std::string::npos);
  Press(vk::VK_ESCAPE);
  EXPECT_EQ(options.page, kOptionsSettings) << "Escape leaves the keys page first";
  EXPECT_EQ(Press(vk::VK_ESCAPE), kOptionsClosed);
}

// Hand-written remapping records the screen rewrites are taken in key
// order; records it no longer needs go.
TEST(OptionsKeys, KeyRecordsRewriteInPlaceAndDropTheRest) {
  ComfortSettings c;
  c.keyMap[size_t{'K'}] = static_cast<uint8_t>(vk::VK_SPACE);
  c.keyMap[size_t{'B'}] = static_cast<uint8_t>(vk::VK_LEFT);
  std::string file = "40,Z,UP,0\n41,Y,DOWN,0\n42,X,DOWN,0\n7,other,,1\n";
  WriteKeyRecords(file, c);
  EXPECT_EQ(file, "40,B,LEFT,0\n41,K,SPACE,0\n7,other,,1\n");
}

// The screen reads its texts when it opens and when the language changes,
// never while it only shows: a title changed in the file meanwhile shows
// only once the screen reads again.
TEST_F(OptionsScreenTest, TextsAreReadWhenTheScreenOpensOrTheLanguageChangesNotEveryFrame) {
  ASSERT_FALSE(vxtest::GeneratedDataSet().empty());
  const std::filesystem::path scratch = std::filesystem::current_path();
  std::filesystem::current_path(vxtest::GeneratedDataSet());
  LoadPicture(engine.gfx, 105, "data/font1.vx1");
  PrepareAlpha(engine.gfx, 105, 2);
  LoadPicture(engine.gfx, 103, "data/txtrs_c.906");
  PrepareAlpha(engine.gfx, 103, 2);
  std::filesystem::current_path(scratch);
  ASSERT_GT(PictureHeight(engine.gfx, 103), 0);
  // The title's stripe of the screen, drawn by one frame.
  const auto Title = [&] {
    Press(0);
    const int32_t y0 = (600 - 420) / 2;
    std::vector<uint32_t> pixels;
    for (int32_t y = y0; y < y0 + 45; ++y)
      for (int32_t x = 0; x < 800; ++x) pixels.push_back(ScreenPixel(engine.gfx, x, y));
    return pixels;
  };
  const std::vector<uint32_t> first = Title();
  WriteFile("data/text1.txt", "600,A TITLE CHANGED,help en\n");
  EXPECT_TRUE(Title() == first) << "the text file was read again while the screen showed";
  EXPECT_TRUE(Title() == first);

  OpenOptions(options, game.settings, comfort, -1, false);
  const std::vector<uint32_t> reopened = Title();
  EXPECT_FALSE(reopened == first) << "opened again, the screen shows the file as it is now";

  // Russian and back: each switch reads the file of the language chosen.
  WriteFile("data/text1.txt", "600,TITLE EN,help en\n");
  for (int i = 0; i < kRowLanguage; ++i) Press(vk::VK_DOWN);
  Press(vk::VK_RIGHT);
  const std::vector<uint32_t> russian = Title();
  EXPECT_FALSE(russian == first);
  EXPECT_FALSE(russian == reopened);
  Press(vk::VK_RIGHT);
  EXPECT_EQ(game.settings.altTextFile, -1);
  EXPECT_TRUE(Title() == first) << "back in English, the file as it is now";
}

// The mouse chooses the row under it; a click acts on it, a right click
// steps back.
TEST_F(OptionsScreenTest, TheMouseChoosesAndChanges) {
  const int32_t x0 = (800 - PictureWidth(engine.gfx, 400)) / 2;
  const int32_t y0 = (600 - 420) / 2;
  const int32_t rowY = y0 + 58 + kRowGamepads * 19 + 5;
  EXPECT_EQ(Click(x0 + 300, rowY), kOptionsStay);
  EXPECT_EQ(options.row, kRowGamepads);
  EXPECT_EQ(comfort.gamepads, 0) << "clicked off";
  EXPECT_EQ(ReadConfigValue(engine.records, kRecordGamepads), 1);
  EXPECT_EQ(Click(x0 + 300, y0 + 58 + kRowSoundVolume * 19 + 5, true), kOptionsStay);
  EXPECT_EQ(options.soundLevel, 90);
  EXPECT_EQ(Click(x0 + 300, y0 + 58 + kRowBack * 19 + 5), kOptionsClosed);
}

}  // namespace
