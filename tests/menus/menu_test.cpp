#include "menus/menu.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "engine/engine_effects.h"
#include "game/placements.h"
#include "game/saved_game.h"
#include "game/saved_game_support.h"
#include "gfx/drawing.h"
#include "gfx/image_slots.h"
#include "platform/file_replace.h"
#include "shell/globals.h"
#include "shell/mode_dispatcher.h"
#include "sound/sound_context.h"
#include "sound/wave_bytes.h"

namespace {

namespace fs = std::filesystem;
using vxtest::ReadFile;
using vxtest::WriteFile;

// Dark colours: the drift motes light up nothing darker than their range,
// so the pictures keep their exact colours on the screen.
constexpr uint32_t kBoxColour = 0xff102030;
constexpr uint32_t kSnapshotMark = 0xff0a0b0c;
constexpr int32_t kBoxW = 680, kBoxH = 260;
constexpr int32_t kBoxY = (600 - kBoxH) / 2;

class MenuTest : public vxtest::StartedEngineTest {
 protected:
  void SetUp() override {
    StartedEngineTest::SetUp();
    for (int32_t box : {400, 413, 719}) Picture(box, kBoxW, kBoxH, kBoxColour);
    for (int32_t f = 0; f < 5; ++f) Picture(401 + f, 150, 150, 0xff200000 + static_cast<uint32_t>(f));
    for (int32_t f = 0; f < 4; ++f) Picture(390 + f, 160, 150, 0xff002000 + static_cast<uint32_t>(f));
    for (int32_t f = 0; f < 4; ++f) Picture(720 + f, 140, 216, 0xff000020 + static_cast<uint32_t>(f));
    Picture(407, 80, 42, 0xff111111);
    Picture(408, 80, 90, 0xff121212);
    CreatePicture(engine.gfx, 406, 800, 600);
    CreatePicture(engine.gfx, 2, 800, 600);
    std::string texts;
    for (int32_t id = 100; id <= 141; ++id)
      texts += std::to_string(id) + ",text " + std::to_string(id) + ",\n";
    texts += "80,Enter,go on\n81,Space,save and quit\n580,Enter,continue\n581,Space,start afresh\n";
    texts += "582,Enter,try again\n583,Space,quit without saving\n584,Space,back without writing\n";
    WriteFile("data/text.txt", texts);
    game.settings.textFileName = "data/text.txt";
    game.settings.assetsLoaded = -1;
    game.settings.controlScheme = 1;
    vxtest::MakeGameInProgress(game, 1);
  }
  static void Picture(int32_t slot, int32_t w, int32_t h, uint32_t colour) {
    CreatePicture(engine.gfx, slot, w, h);
    for (int32_t y = 0; y < h; ++y) {
      for (int32_t x = 0; x < w; ++x) SetPixel(engine.gfx, slot, x, y, colour);
    }
  }
  // The right edge of the box on a row through its middle, or -1.
  static int32_t BoxRightEdge() {
    for (int32_t x = 799; x >= 0; --x) {
      if (ScreenPixel(engine.gfx, x, kBoxY + 130) == kBoxColour) return x;
    }
    return -1;
  }
  // Opens a screen, lets both keys be seen up, then presses and lets go one
  // of them; the result of the release.
  static int32_t PressAndRelease(int32_t screen, bool select) {
    MenuSetup(game, dispatcher.menu, screen);
    MenuFrame(game, dispatcher.menu, 0, 0);
    EXPECT_EQ(MenuFrame(game, dispatcher.menu, select ? 1 : 0, select ? 0 : 1), 0)
        << "answers come on the release";
    return MenuFrame(game, dispatcher.menu, 0, 0);
  }
  static std::string SaveTextOf(int32_t seed) {
    auto g = std::make_unique<GameState>();
    vxtest::MakeGameInProgress(*g, seed);
    SaveGame(*g);
    FinishSaving();
    return ReadFile(kSaveFile);
  }
};

TEST_F(MenuTest, ScreensTakeTheirTextsPicturesAndButtons) {
  const std::set<int32_t> inPlace = {2, 15, 26, 27, 31, 36, 37};
  for (int32_t s = 0; s <= 37; ++s) {
    if (s == 12) continue;
    SCOPED_TRACE(s);
    MenuSetup(game, dispatcher.menu, s);
    EXPECT_EQ(dispatcher.menu.text, "text " + std::to_string(100 + s));
    EXPECT_EQ(dispatcher.menu.screen, s);
    const int32_t box = s == 16 ? 413 : (s == 30 || s >= 35) ? 719 : 400;
    EXPECT_EQ(dispatcher.menu.boxSlot, box);
    EXPECT_EQ(dispatcher.menu.faceSlot, s == 16 || s == 36 ? 390 : s == 30 ? 720 : 401);
    EXPECT_EQ(dispatcher.menu.faceStyle, box == 400 ? 4 : 3);
    EXPECT_EQ(dispatcher.menu.faceFrame, 0);
    EXPECT_EQ(dispatcher.menu.button1Slot, 408);
    const bool question = s == 15 || s == 27;
    EXPECT_EQ(dispatcher.menu.button1Text1, "Enter");
    EXPECT_EQ(dispatcher.menu.button1Text2,
              question ? "continue\n" : "go on\n");  // the last field keeps its line end
    EXPECT_EQ(dispatcher.menu.button2Slot, s == 1 || question ? 407 : -1313);
    if (s == 1) {
      EXPECT_EQ(dispatcher.menu.button2Text2, "save and quit\n");
    }
    if (question) {
      EXPECT_EQ(dispatcher.menu.button2Text2, "start afresh\n");
    }
    EXPECT_EQ(dispatcher.menu.slideOffset, inPlace.count(s) != 0 ? 0 : -600);
    EXPECT_EQ(dispatcher.menu.slideCount, inPlace.count(s) != 0 ? 0 : 5);
  }
}

TEST_F(MenuTest, AFreezingScreenSlidesInWithASmallOvershootOverTheFrozenGame) {
  ClearScreen(engine.gfx, 0xff030303);
  MenuSetup(game, dispatcher.menu, 3);
  ClearScreen(engine.gfx, 0);
  std::vector<int32_t> edges;
  for (int i = 0; i < 8; ++i) {
    MenuFrame(game, dispatcher.menu, 0, 0);
    edges.push_back(BoxRightEdge());
  }
  // The box's left edge is at 60 in place; drawn at -600, -340, -140, -10,
  // +50, then 0.
  EXPECT_EQ(edges, (std::vector<int32_t>{139, 399, 599, 729, 789, 739, 739, 739}));
  EXPECT_EQ(ScreenPixel(engine.gfx, 799, 5), 0xff030303u) << "the game picture frozen at the set-up";

  // A screen in place keeps the previous background and does not slide.
  ClearScreen(engine.gfx, 0xff050505);
  MenuSetup(game, dispatcher.menu, 2);
  MenuFrame(game, dispatcher.menu, 0, 0);
  EXPECT_EQ(BoxRightEdge(), 739);
  EXPECT_EQ(ScreenPixel(engine.gfx, 799, 5), 0xff030303u);
}

TEST_F(MenuTest, TwoWhooshSamplesPlayOnTheFirstStepOfASlide) {
  WriteFile("data/w.wav", vxtest::PcmWave(1, 22050, 8, std::string(200, '\x80')));
  for (int32_t slot = 8; slot <= 10; ++slot) LoadSound(engine.sound, "data/w.wav", slot);
  const auto plays = [&] {
    std::vector<std::string> seen;
    for (const auto& c : backend->Calls()) {
      if (c.what.rfind("sound play", 0) == 0) seen.push_back(c.what);
    }
    return seen;
  };
  game.settings.soundOn = -1;
  MenuSetup(game, dispatcher.menu, 7);
  RandomSource predicted = engine.random;
  const int32_t first = Random(predicted, 8, 10);
  const int32_t second = Random(predicted, 8, 10);
  MenuFrame(game, dispatcher.menu, 0, 0);
  const std::vector<std::string> expected = {"sound play slot " + std::to_string(first),
                                             "sound play slot " + std::to_string(second)};
  EXPECT_EQ(plays(), expected);
  for (int i = 0; i < 6; ++i) MenuFrame(game, dispatcher.menu, 0, 0);
  EXPECT_EQ(plays(), expected) << "only once per slide";

  // Not for the loading screen's face, nor with sound off, nor in place.
  MenuSetup(game, dispatcher.menu, 16);
  for (int i = 0; i < 6; ++i) MenuFrame(game, dispatcher.menu, 0, 0);
  game.settings.soundOn = 0;
  MenuSetup(game, dispatcher.menu, 7);
  for (int i = 0; i < 6; ++i) MenuFrame(game, dispatcher.menu, 0, 0);
  game.settings.soundOn = -1;
  MenuSetup(game, dispatcher.menu, 31);
  for (int i = 0; i < 6; ++i) MenuFrame(game, dispatcher.menu, 0, 0);
  EXPECT_EQ(plays(), expected);
}

TEST_F(MenuTest, AKeyHeldWhileAScreenOpensCountsOnlyOnceItWasSeenUp) {
  MenuSetup(game, dispatcher.menu, 3);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(MenuFrame(game, dispatcher.menu, 0, 1), 0);
  EXPECT_EQ(MenuFrame(game, dispatcher.menu, 0, 0), 0) << "letting go the key held since the screen opened";
  EXPECT_EQ(MenuFrame(game, dispatcher.menu, 0, 1), 0);
  EXPECT_EQ(MenuFrame(game, dispatcher.menu, 0, 1), 0);
  EXPECT_EQ(MenuFrame(game, dispatcher.menu, 0, 0), 1) << "a press and release after that answers";

  // Space on screen 3 does nothing, held from the start or pressed anew.
  MenuSetup(game, dispatcher.menu, 3);
  for (int32_t select : {1, 1, 0, 1, 0, 1, 1, 0}) EXPECT_EQ(MenuFrame(game, dispatcher.menu, select, 0), 0);
}

TEST_F(MenuTest, ScreensOutsideTheTableShowNothingNewAndAnswerNothing) {
  MenuSetup(game, dispatcher.menu, 3);
  for (int32_t s : {12, 42, -1, 1000}) {
    SCOPED_TRACE(s);
    MenuSetup(game, dispatcher.menu, s);
    EXPECT_EQ(dispatcher.menu.text, " ");
    EXPECT_EQ(dispatcher.menu.boxSlot, 400) << "the previous screen's pictures stay";
    EXPECT_EQ(dispatcher.menu.slideCount, 0);
    for (int32_t sel : {0, 1, 0}) {
      for (int32_t conf : {0, 1, 0}) EXPECT_EQ(MenuFrame(game, dispatcher.menu, sel, conf), 0);
    }
  }
}

struct Reply {
  int32_t result;
  bool snapshot, save, load;
};
struct ScreenAnswers {
  std::vector<int32_t> screens;
  Reply select, confirm;
};

// Each screen's answers to a select release and a confirm release: the
// result, and whether the picture is kept for the fade, the game saved and
// the saved game loaded.
TEST_F(MenuTest, EachScreenAnswersItsReleases) {
  const Reply none = {0, false, false, false};
  const std::vector<ScreenAnswers> table = {
      {{1}, {2, false, true, false}, {1, false, false, false}},
      {{2, 26}, none, {4, true, true, false}},
      {{3, 4, 6, 7, 8, 9, 17, 18, 21, 22, 28, 31, 33}, none, {1, false, false, false}},
      {{5}, none, {4, true, true, true}},
      {{10, 11, 13, 14, 23, 24, 25, 29, 32}, none, {1, false, true, false}},
      {{15, 27}, {4, true, true, false}, {4, true, false, true}},
      {{16}, none, {3, false, false, false}},
      {{19, 20, 34}, none, {4, true, false, true}},
      {{30}, none, {131, false, false, false}},
      {{35}, none, {136, false, false, false}},
      {{36}, none, {137, false, false, false}},
      {{37}, none, {2, false, false, false}},
  };
  const std::string stored = SaveTextOf(9);
  auto storedGame = std::make_unique<GameState>();
  vxtest::MakeGameInProgress(*storedGame, 9);
  const std::vector<int32_t> loaded = vxtest::LoadedWords(*storedGame);
  for (const ScreenAnswers& row : table) {
    for (int32_t s : row.screens) {
      for (bool select : {true, false}) {
        SCOPED_TRACE(std::to_string(s) + (select ? " select" : " confirm"));
        const Reply& want = select ? row.select : row.confirm;
        WriteFile(kSaveFile, stored);
        fs::remove(kSaveBackupFile);
        vxtest::MakeGameInProgress(game, 1);
        const std::vector<int32_t> before = vxtest::SavedWords(game);
        for (int32_t y = 0; y < 600; ++y) SetPixel(engine.gfx, 2, 400, y, kSnapshotMark);
        EXPECT_EQ(PressAndRelease(s, select), want.result);
        EXPECT_EQ(GetPixel(engine.gfx, 2, 400, 300) != kSnapshotMark, want.snapshot);
        std::vector<int32_t> now = vxtest::SavedWords(game);
        if (s == 5 && !select) now[1204] += 8;  // the difficulty eased after loading
        EXPECT_EQ(now, want.load ? loaded : before);
        FinishSaving();
        const std::string file = ReadFile(kSaveFile);
        EXPECT_EQ(file != stored, want.save);
        if (want.save) {
          vxtest::ClearSavedWords(game);
          LoadGame(game);
          EXPECT_EQ(vxtest::SavedWords(game)[1204], want.load ? -3 - 9 - 8 : -3 - 1);
        }
      }
    }
  }
}

TEST_F(MenuTest, TheFirstHelpAsksAboutTheSavedGameThatCanBeLoaded) {
  struct Case {
    int32_t scheme;
    bool saved;
    int32_t select, confirm;
  };
  const std::string stored = SaveTextOf(4);
  for (const Case c :
       {Case{1, true, 0, 115}, Case{1, false, 0, 102}, Case{2, true, 0, 127}, Case{2, false, 0, 126}}) {
    SCOPED_TRACE(c.scheme * 10 + c.saved);
    game.settings.controlScheme = c.scheme;
    if (c.saved) {
      WriteFile(kSaveFile, stored);
    } else {
      // A save cut short, with no backup, is no saved game.
      WriteFile(kSaveFile, stored.substr(0, 2000));
    }
    EXPECT_EQ(PressAndRelease(0, true), c.select);
    EXPECT_EQ(PressAndRelease(0, false), c.confirm);
  }
}

// The boss screen shows the hero's face mirrored, standing on the box's
// lower edge 100 pixels in.
TEST_F(MenuTest, TheBossScreenMirrorsTheHerosFace) {
  for (int32_t y = 0; y < 150; ++y) {
    for (int32_t x = 0; x < 150; ++x) SetPixel(engine.gfx, 401, x, y, x < 75 ? 0xff400000 : 0xff000040);
  }
  MenuSetup(game, dispatcher.menu, 30);
  for (int i = 0; i < 7; ++i) MenuFrame(game, dispatcher.menu, 0, 0);
  const int32_t left = 60 + 100, top = kBoxY + kBoxH - 150 + 1;
  EXPECT_EQ(ScreenPixel(engine.gfx, left + 20, top + 75), 0xff000040u);
  EXPECT_EQ(ScreenPixel(engine.gfx, left + 130, top + 75), 0xff400000u);
  EXPECT_EQ(ScreenPixel(engine.gfx, left + 75, top - 3), kBoxColour);
}

TEST_F(MenuTest, AHeldFaceFrameStaysUntilItsHoldRunsOut) {
  MenuSetup(game, dispatcher.menu, 3);
  dispatcher.menu.faceFrame = 3;
  dispatcher.menu.faceHold = 4;
  for (int32_t left : {3, 2, 1, 0}) {
    MenuFrame(game, dispatcher.menu, 0, 0);
    EXPECT_EQ(dispatcher.menu.faceFrame, 3);
    EXPECT_EQ(dispatcher.menu.faceHold, left);
  }
  // While loading, the face changes at random every frame within its style.
  game.settings.assetsLoaded = 0;
  MenuSetup(game, dispatcher.menu, 16);
  std::set<int32_t> frames;
  for (int i = 0; i < 60; ++i) {
    MenuFrame(game, dispatcher.menu, 0, 0);
    frames.insert(dispatcher.menu.faceFrame);
  }
  EXPECT_EQ(frames, (std::set<int32_t>{0, 1, 2, 3}));
}

// The face's draws after its hold: a new frame on a draw above 50, and on
// the resting frame a long hold on a draw above 85.
struct FaceDraws {
  RandomSource r;
  int32_t frame = 0, hold = 0;
  bool at50 = false, at85 = false;  // the boundary values came up
  void Step() {
    if (hold > 0) {
      --hold;
      return;
    }
    const int32_t change = Random(r, 0, 100);
    at50 = at50 || change == 50;
    if (change > 50) frame = Random(r, 0, 4);
    hold = 1;
    if (frame != 0) return;
    const int32_t rest = Random(r, 0, 100);
    at85 = at85 || rest == 85;
    if (rest > 85) hold = Random(r, 18, 37);
  }
};

TEST_F(MenuTest, AfterItsHoldTheFaceChangesOnADrawAbove50AndRestsOnADrawAbove85) {
  constexpr int32_t kFrames = 300;
  uint32_t seed = 1;  // one whose draws bring both boundary values
  for (; seed < 10000; ++seed) {
    FaceDraws m;
    SeedRandom(m.r, seed);
    for (int32_t i = 0; i < kFrames; ++i) m.Step();
    if (m.at50 && m.at85) break;
  }
  ASSERT_LT(seed, 10000u);
  MenuSetup(game, dispatcher.menu, 2);  // face 401 with five frames, nothing sliding in
  ResetDrift(engine);                   // so that the face takes the only draws
  SeedRandom(engine.random, seed);
  FaceDraws model{engine.random};
  for (int32_t i = 0; i < kFrames; ++i) {
    MenuFrame(game, dispatcher.menu, 0, 0);
    model.Step();
    ASSERT_EQ(dispatcher.menu.faceFrame, model.frame) << i;
    ASSERT_EQ(dispatcher.menu.faceHold, model.hold) << i;
    ASSERT_EQ(engine.random.s, model.r.s) << i;
  }
}

// Through the dispatcher: the boss text leads to its second page, the
// ending's three pages to the end of the program.
TEST_F(MenuTest, ChainsOfScreensFollowTheAnswers) {
  const auto enter = [&] {
    for (uint8_t held : {0, 1, 0}) {
      input.enter = held;
      RunFrame(dispatcher, input);
    }
  };
  dispatcher.gameMode = kModeMenu;
  MenuSetup(game, dispatcher.menu, 30);
  enter();
  EXPECT_EQ(dispatcher.menu.screen, 31);
  EXPECT_EQ(dispatcher.gameMode, kModeMenu);
  enter();
  EXPECT_EQ(dispatcher.gameMode, kModeGame);

  dispatcher.gameMode = kModeMenu;
  MenuSetup(game, dispatcher.menu, 35);
  enter();
  EXPECT_EQ(dispatcher.menu.screen, 36);
  enter();
  EXPECT_EQ(dispatcher.menu.screen, 37);
  try {
    enter();
    ADD_FAILURE() << "the last page of the ending ends the program";
  } catch (const vxtest::ProgramExit& e) {
    EXPECT_EQ(e.code, 0);
  }
}

// Save and quit that cannot save does not quit: the failure screen offers
// to try again (Enter) or to quit without saving (Space); trying again
// quits once the save is on the disk. The editor's write likewise, going
// back to the editor. The notices of failed saves during play and of a
// damaged save answer Enter by going back to the game.
TEST_F(MenuTest, AFailedSaveOrLevelWriteAsksToTryAgainOrGoOnWithoutIt) {
  fs::remove(kSaveFile);
  const auto fullDisk = [](platform::ReplaceStep s) {
    return s == platform::ReplaceStep::kWrite ? ENOSPC : 0;
  };
  platform::SetFileFault(fullDisk);
  EXPECT_EQ(PressAndRelease(1, true), 138);
  MenuSetup(game, dispatcher.menu, 38);
  EXPECT_EQ(dispatcher.menu.text, "text 138");
  EXPECT_EQ(dispatcher.menu.button1Text2, "try again\n");
  EXPECT_EQ(dispatcher.menu.button2Text2, "quit without saving\n");
  EXPECT_EQ(dispatcher.menu.button2Slot, 407);
  EXPECT_EQ(dispatcher.menu.slideCount, 0) << "shown in place of the pause screen";
  EXPECT_EQ(PressAndRelease(38, false), 138) << "still failing: asked again";
  EXPECT_EQ(PressAndRelease(38, true), 2) << "quit without saving";
  EXPECT_FALSE(fs::exists(kSaveFile));
  EXPECT_EQ(TakeSaveNotice(), SaveNotice::kNone) << "the screen was the telling";
  platform::SetFileFault(nullptr);
  const std::vector<int32_t> expected = vxtest::LoadedWords(game);
  EXPECT_EQ(PressAndRelease(38, false), 2) << "saved this time, then quits";
  vxtest::ClearSavedWords(game);
  LoadGame(game);
  EXPECT_EQ(vxtest::SavedWords(game), expected);
  ASSERT_TRUE(fs::exists(kSaveFile));

  fs::create_directories("data");
  game.level = 7;
  game.tables.placements[0].active = 1;
  game.tables.placements[0].x = 10;
  game.tables.placements[0].y = 20;
  game.tables.placements[0].type = 3;
  platform::SetFileFault(fullDisk);
  MenuSetup(game, dispatcher.menu, 41);
  EXPECT_EQ(dispatcher.menu.button2Text2, "back without writing\n");
  EXPECT_EQ(dispatcher.menu.slideCount, 5) << "slides in over the editor";
  EXPECT_EQ(PressAndRelease(41, false), 141);
  EXPECT_FALSE(TakeLevelFileFailure()) << "the screen was the telling";
  EXPECT_FALSE(fs::exists("data/lvobj07.txt"));
  EXPECT_EQ(PressAndRelease(41, true), 5);
  EXPECT_FALSE(fs::exists("data/lvobj07.txt"));
  platform::SetFileFault(nullptr);
  EXPECT_EQ(PressAndRelease(41, false), 5);
  EXPECT_EQ(ReadFile("data/lvobj07.txt").rfind("0, , ,1,10,20,3,", 0), 0u);

  for (int32_t s : {39, 40}) {
    SCOPED_TRACE(s);
    MenuSetup(game, dispatcher.menu, s);
    EXPECT_EQ(dispatcher.menu.text, "text " + std::to_string(100 + s));
    EXPECT_EQ(dispatcher.menu.button2Slot, -1313);
    EXPECT_EQ(dispatcher.menu.slideCount, 5);
    EXPECT_EQ(PressAndRelease(s, true), 0);
    EXPECT_EQ(PressAndRelease(s, false), 1);
  }
}

}  // namespace
