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
#include "platform/gamepad.h"
#include "platform/window_messages.h"
#include "shell/globals.h"
#include "sound/sound_context.h"

namespace {

using vxtest::ReadFile;
using vxtest::WriteFile;

constexpr int32_t kLeft = 0, kRight = 1, kJump = 2, kNextWeapon = 3, kStrike = 4, kPause = 6;
using platform::kPadA;
using platform::kPadBack;
using platform::kPadButtonCount;
using platform::kPadGuide;
using platform::kPadStart;
using platform::kPadX;
using platform::kPadY;

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

// Pad buttons are remapped as keys are: the action a button gave before
// (by the pad's own layout or an earlier remapping) is the conflict; a
// button given back its own meaning needs no record; Back and Guide are
// not taken; keys and buttons share the twenty records.
TEST(OptionsPad, RemappingAButtonTakesItFromItsActionAndSharesTheRecords) {
  ComfortSettings c;
  EXPECT_EQ(ActionOfPadButton(c, kPadA, 1), kJump);
  EXPECT_EQ(ActionOfPadButton(c, kPadA, 2), kStrike) << "scheme 2 jumps with Space";
  EXPECT_EQ(ActionOfPadButton(c, kPadY, 1), kNextWeapon);
  EXPECT_EQ(ActionOfPadButton(c, kPadGuide, 1), -1);
  EXPECT_EQ(ActionOfPadButton(c, kPadButtonCount, 1), -1);

  int32_t conflict = 99;
  ASSERT_TRUE(RemapPadButton(c, kPadY, kStrike, 1, conflict));
  EXPECT_EQ(conflict, kNextWeapon);
  EXPECT_EQ(MappedPadKey(c, kPadY, 1), vk::VK_SPACE);
  EXPECT_EQ(ActionOfPadButton(c, kPadY, 1), kStrike);
  EXPECT_EQ(MappedKey(c, 'Y'), static_cast<uint32_t>('Y')) << "the key Y is another thing";
  ASSERT_TRUE(RemapPadButton(c, kPadY, kLeft, 1, conflict));
  EXPECT_EQ(conflict, kStrike) << "a remapped button moves on";
  ASSERT_TRUE(RemapPadButton(c, kPadY, kNextWeapon, 1, conflict));
  EXPECT_EQ(conflict, kLeft);
  EXPECT_EQ(c.padMap[kPadY], 0) << "its own meaning again: no record";
  ASSERT_TRUE(RemapPadButton(c, kPadStart, kRight, 1, conflict));
  EXPECT_EQ(conflict, kPause);

  EXPECT_FALSE(RemapPadButton(c, kPadBack, kLeft, 1, conflict));
  EXPECT_FALSE(RemapPadButton(c, kPadGuide, kLeft, 1, conflict));
  EXPECT_FALSE(RemapPadButton(c, kPadButtonCount, kLeft, 1, conflict));
  EXPECT_FALSE(RemapPadButton(c, kPadA, kRemappedActions, 1, conflict));

  // Start takes one record; nineteen keys take the rest.
  const char letters[] = "BCEFGHIJKLMNOPQRTUV";
  for (int i = 0; i < 19; ++i)
    ASSERT_TRUE(RemapKey(c, static_cast<uint32_t>(letters[i]), kLeft, conflict)) << i;
  EXPECT_FALSE(RemapKey(c, 'X', kLeft, conflict)) << "the twenty records are taken";
  EXPECT_FALSE(RemapPadButton(c, kPadA, kLeft, 1, conflict)) << "for buttons too";
  EXPECT_TRUE(RemapPadButton(c, kPadStart, kLeft, 1, conflict)) << "a remapped button takes no new record";
  EXPECT_TRUE(RemapPadButton(c, kPadA, kJump, 1, conflict)) << "A jumps already";
}

// Every pad button the records can name goes through the writer and comes
// back through the reader as the same button and game key, after the keys.
TEST_F(OptionsScreenTest, PadButtonRecordsRoundTripThroughTheReader) {
  ComfortSettings c;
  c.keyMap[size_t{'J'}] = static_cast<uint8_t>(vk::VK_LEFT);
  const uint8_t gives[] = {vk::VK_LEFT, vk::VK_RIGHT, vk::VK_UP, vk::VK_DOWN, vk::VK_SPACE, vk::VK_CONTROL};
  for (uint32_t b = 0; b < kPadButtonCount; ++b) {
    // Nineteen of the twenty-one, with the key: every record taken.
    if (b == platform::kPadGuide || b == platform::kPadRightTrigger) continue;
    c.padMap[b] = gives[b % 6];
  }
  std::string file = "; note\n40,Z,UP,0\n7,other,,1\n";
  WriteKeyRecords(file, c);
  EXPECT_EQ(file.rfind("; note\n40,J,LEFT,0\n7,other,,1\n41,PAD_A,LEFT,0\n42,PAD_B,RIGHT,0\n", 0), 0u)
      << file;
  EXPECT_NE(file.find(",PAD_LEFTSHOULDER,"), std::string::npos) << file;
  EXPECT_NE(file.find(",PAD_DPUP,"), std::string::npos) << file;
  EXPECT_NE(file.find("59,PAD_LEFTTRIGGER,"), std::string::npos) << file;
  const ComfortSettings back = ReadBack(file);
  EXPECT_TRUE(back.problems.empty()) << back.problems[0];
  for (uint32_t b = 0; b < kPadButtonCount; ++b) EXPECT_EQ(back.padMap[b], c.padMap[b]) << b;
  EXPECT_EQ(MappedKey(back, 'J'), vk::VK_LEFT);

  // A hand-written record: the prefix and the name in any case, spaces
  // around them.
  const ComfortSettings hand = ReadBack("44, pad_dpup ,SPACE,0\n45,Pad_RightTrigger,ctrl,\n");
  EXPECT_EQ(static_cast<uint32_t>(hand.padMap[platform::kPadDpadUp]), vk::VK_SPACE);
  EXPECT_EQ(static_cast<uint32_t>(hand.padMap[platform::kPadRightTrigger]), vk::VK_CONTROL);
  EXPECT_TRUE(hand.problems.empty());
}

// A record naming a pad button the game does not know, or mapping one to
// no game key, is left out with a line for the log; the rest are read.
TEST_F(OptionsScreenTest, UnknownPadButtonNamesAreLeftOutAndNamed) {
  const ComfortSettings c =
      ReadBack("40,PAD_Z,LEFT,0\n41,PAD_,LEFT,0\n42,PAD_A,NOSUCH,0\n43,PADA,LEFT,0\n44,PAD_B,RIGHT,0\n");
  ASSERT_EQ(c.problems.size(), 4u);
  EXPECT_EQ(c.problems[0], "record 40: cannot map pad button 'PAD_Z' to 'LEFT'");
  EXPECT_EQ(c.problems[1], "record 41: cannot map pad button 'PAD_' to 'LEFT'");
  EXPECT_EQ(c.problems[2], "record 42: cannot map pad button 'PAD_A' to 'NOSUCH'");
  EXPECT_EQ(c.problems[3], "record 43: cannot map key 'PADA' to 'LEFT'");
  for (uint32_t b = 0; b < kPadButtonCount; ++b)
    EXPECT_EQ(static_cast<uint32_t>(c.padMap[b]), b == platform::kPadB ? vk::VK_RIGHT : 0u) << b;
  for (const uint8_t k : c.keyMap) EXPECT_EQ(k, 0);
}

// On the keys page a pad button pressed for an action is recorded (it
// comes with the key of its menu layout, which is not taken as well); a
// button taken from a key's action says so, and the next key taken from
// the button's action too. Back cancels; reset clears keys and buttons.
TEST_F(OptionsScreenTest, PadButtonsAreRemappedOnTheKeysPageAndResetClearsThem) {
  const auto Pad = [&](uint32_t button, uint32_t key) {
    OptionsInput in;
    in.padButton = static_cast<int32_t>(button);
    in.key = key;
    return OptionsFrame(options, game, comfort, in);
  };
  game.settings.controlScheme = 1;
  options.page = kOptionsKeys;
  options.row = kStrike;
  Pad(kPadA, vk::VK_RETURN);  // A chooses the row, as Enter does
  ASSERT_TRUE(options.capturing);
  Pad(kPadY, 0);
  EXPECT_FALSE(options.capturing);
  EXPECT_EQ(options.conflictPad, static_cast<int32_t>(kPadY));
  EXPECT_EQ(options.conflictAction, kNextWeapon) << "Y gave the next weapon";
  EXPECT_EQ(MappedPadKey(comfort, kPadY, 1), vk::VK_SPACE) << "at once";

  // Walk left: pad X (whose menu key is Space) is the one taken, not Space.
  options.row = kLeft;
  Press(vk::VK_RETURN);
  Pad(kPadX, vk::VK_SPACE);
  EXPECT_EQ(options.conflictAction, kStrike);
  EXPECT_EQ(MappedPadKey(comfort, kPadX, 1), vk::VK_LEFT);
  EXPECT_EQ(MappedKey(comfort, vk::VK_SPACE), vk::VK_SPACE) << "the key of X's menu layout was taken as well";
  // The key Space for walking left takes it from strike, which keeps pad Y.
  options.row = kLeft;
  Press(vk::VK_RETURN);
  Press(vk::VK_SPACE);
  EXPECT_EQ(options.conflictAction, kStrike);
  EXPECT_EQ(options.conflictPad, -1);
  EXPECT_EQ(options.conflictKey, vk::VK_SPACE);
  EXPECT_EQ(ActionOfPadButton(comfort, kPadY, 1), kStrike);

  std::string file = ReadFile("ini/main.ini");
  EXPECT_NE(file.find("40,SPACE,LEFT,0\n41,PAD_X,LEFT,0\n42,PAD_Y,SPACE,0\n"), std::string::npos) << file;
  const ComfortSettings back = ReadBack(file);
  EXPECT_EQ(MappedPadKey(back, kPadX, 1), vk::VK_LEFT);
  EXPECT_EQ(MappedPadKey(back, kPadY, 1), vk::VK_SPACE);
  EXPECT_EQ(MappedKey(back, vk::VK_SPACE), vk::VK_LEFT);

  // Back cancels the waiting (its menu key is Escape); Guide is not taken.
  options.row = kRight;
  Press(vk::VK_RETURN);
  Pad(kPadGuide, 0);
  EXPECT_TRUE(options.capturing);
  Pad(kPadBack, vk::VK_ESCAPE);
  EXPECT_FALSE(options.capturing);
  EXPECT_EQ(comfort.padMap[kPadBack], 0);

  options.row = kKeysRowReset;
  Press(vk::VK_RETURN);
  for (uint32_t b = 0; b < kPadButtonCount; ++b) EXPECT_EQ(comfort.padMap[b], 0) << b;
  EXPECT_EQ(MappedKey(comfort, vk::VK_SPACE), vk::VK_SPACE);
  file = ReadFile("ini/main.ini");
  EXPECT_EQ(file.find("PAD_"), std::string::npos) << file;
  EXPECT_EQ(file.find("\n40,"), std::string::npos) << file;
  EXPECT_EQ(file.find("\n41,"), std::string::npos) << file;
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
