#include "menus/menu.h"

#include "config/configuration.h"
#include "engine/engine_effects.h"
#include "game/level_build.h"
#include "game/placements.h"
#include "game/saved_game.h"
#include "game/screens.h"
#include "game/singletons.h"
#include "gfx/drawing.h"
#include "gfx/image_slots.h"
#include "gfx/text.h"
#include "sound/sound_context.h"

namespace {

constexpr int32_t kNoButton = -1313;
constexpr int32_t kButton1Slot = 408;
constexpr int32_t kButton2Slot = 407;
constexpr int32_t kFrozenGameSlot = 406;
constexpr int32_t kSnapshotSlot = 2;
// The boxes and the face strips the screens show.
constexpr int32_t kBoxSlot = 400;
constexpr int32_t kTitleBoxSlot = 413;
constexpr int32_t kWideBoxSlot = 719;  // the ground boss's and the ending's
constexpr int32_t kHeroFaceSlot = 401;
constexpr int32_t kTitleFaceSlot = 390;
constexpr int32_t kBossFaceSlot = 720;
// The ground boss screen's second face: the hero's, mirrored.
constexpr int32_t kMirroredFaceSlot = kHeroFaceSlot;
constexpr int32_t kUnlatched = -13;

struct Screen {
  bool shown;             // false: not a screen (12)
  int32_t buttonRecord;   // texts of the first button
  int32_t button2Record;  // texts of the second button; 0 when there is none
  int32_t box, face, faceStyle;
  bool freeze;  // takes the game picture and slides in
};

constexpr Screen kPlain = {true, 80, 0, kBoxSlot, kHeroFaceSlot, 4, true};
constexpr Screen kInPlace = {true, 80, 0, kBoxSlot, kHeroFaceSlot, 4, false};
constexpr Screen kSavedGameQuestion = {true, 580, 581, kBoxSlot, kHeroFaceSlot, 4, false};

constexpr Screen kScreenTable[kScreenCount] = {
    kPlain,                             // 0 help on the first start
    {true, 80, 81, kBoxSlot, kHeroFaceSlot, 4, true},  // 1 pause
    kInPlace,                           // 2 new game
    kPlain,                             // 3
    kPlain,                             // 4
    kPlain,                             // 5 death
    kPlain,                             // 6
    kPlain,                             // 7
    kPlain,                             // 8
    kPlain,                             // 9
    kPlain,                             // 10
    kPlain,                             // 11
    {false, 0, 0, 0, 0, 4, false},      // 12 unused
    kPlain,                             // 13
    kPlain,                             // 14
    kSavedGameQuestion,                 // 15 saved game: continue or start afresh
    {true, 80, 0, kTitleBoxSlot, kTitleFaceSlot, 3, true},   // 16 loading and title
    kPlain,                             // 17
    kPlain,                             // 18
    kPlain,                             // 19 fell before the way was open
    kPlain,                             // 20
    kPlain,                             // 21
    kPlain,                             // 22
    kPlain,                             // 23
    kPlain,                             // 24
    kPlain,                             // 25
    kInPlace,                           // 26 new game, second control scheme
    kSavedGameQuestion,                 // 27 saved game, second control scheme
    kPlain,                             // 28
    kPlain,                             // 29
    {true, 80, 0, kWideBoxSlot, kBossFaceSlot, 3, true},   // 30 ground boss
    kInPlace,                           // 31 ground boss, second page
    kPlain,                             // 32
    kPlain,                             // 33
    kPlain,                             // 34
    {true, 80, 0, kWideBoxSlot, kHeroFaceSlot, 3, true},   // 35 ending
    {true, 80, 0, kWideBoxSlot, kTitleFaceSlot, 3, false},  // 36 ending, second page
    {true, 80, 0, kWideBoxSlot, kHeroFaceSlot, 3, false},  // 37 ending, last page
    // Files that could not be written or read, told in the same boxes.
    {true, 582, 583, kBoxSlot, kHeroFaceSlot, 4, false},  // 38 save and quit failed: try again or quit anyway
    kPlain,                                // 39 a save during play failed
    kPlain,                                // 40 the saved game was damaged and is kept aside
    {true, 582, 584, kBoxSlot, kHeroFaceSlot, 4, true},   // 41 the editor's level file was not written
};

GfxContext& G() { return engine.gfx; }

bool InTable(int32_t screen) { return screen >= 0 && screen < kScreenCount && kScreenTable[screen].shown; }

// The face frame a face strip rests on.
int32_t RestingFrame(int32_t faceSlot) {
  switch (faceSlot) {
    case kBossFaceSlot:
      return 3;
    case kTitleFaceSlot:
      return 2;
    default:
      return 0;
  }
}

// The text in the font of the current message file, within the box's right
// edge and above the screen's bottom.
void DrawMenuText(const GameSettings& settings, const std::string& text, int32_t x, int32_t y, int32_t right) {
  const int32_t bottom = engine.gfx.screenHeight - 20;
  if (settings.altTextFile != 0) {
    DrawTextBox(G(), text.c_str(), x, y, right, bottom, 103, 3);
  } else {
    DrawTextBox(G(), text.c_str(), x, y, right, bottom, 105, 4);
  }
}

void Slide(const GameSettings& settings, MenuState& m) {
  if (m.slideCount > 0) --m.slideCount;
  switch (m.slideCount) {
    case 4:
      m.slideOffset += 260;
      if (m.faceSlot != kTitleFaceSlot && settings.soundOn != 0) {
        const int32_t first = Random(engine.random, 8, 10);
        PlaySound(engine.sound, first);
        const int32_t second = Random(engine.random, 8, 10);
        PlaySound(engine.sound, second);
      }
      break;
    case 3:
      m.slideOffset += 200;
      break;
    case 2:
      m.slideOffset += 130;
      break;
    case 1:
      m.slideOffset += 60;
      break;
    case 0:
      m.slideOffset = 0;
      break;
    default:
      break;
  }
}

void ChooseFaceFrame(const GameSettings& settings, MenuState& m) {
  RandomSource& rnd = engine.random;
  if (settings.assetsLoaded == 0) {
    m.faceFrame = Random(rnd, 0, m.faceStyle);
    return;
  }
  if (m.faceHold > 0) {
    --m.faceHold;
    return;
  }
  if (m.faceSlot != kBossFaceSlot && m.faceSlot != kTitleFaceSlot && m.faceSlot != kHeroFaceSlot) return;
  if (Random(rnd, 0, 100) > 50) m.faceFrame = Random(rnd, 0, m.faceStyle);
  if (m.faceFrame == RestingFrame(m.faceSlot) && Random(rnd, 0, 100) > 85) {
    m.faceHold = Random(rnd, 18, 37);
  } else {
    m.faceHold = 1;
  }
}

// The ground boss screen shows the hero's face turned towards the boss: his picture
// mirrored left to right, standing on the box's lower edge.
void DrawMirroredFace(int32_t x0, int32_t y0, int32_t boxHeight) {
  GfxContext& gfx = G();
  const int32_t w = PictureWidth(gfx, kMirroredFaceSlot);
  const int32_t h = PictureHeight(gfx, kMirroredFaceSlot);
  const int32_t left = x0 + 100;
  const int32_t right = left + w;
  const int32_t top = y0 + boxHeight - h + 1;
  const int32_t bottom = top + h;
  SetSupersampling(gfx, 0);
  DrawToCorners(gfx, kMirroredFaceSlot, right, top, left, top, right, bottom, left, bottom, -1);
  SetSupersampling(gfx, 1);
}

void Snapshot() { CopyFromScreen(G(), kSnapshotSlot, 0, 0); }

// The answer to the releases of this frame; select is taken before confirm.
int32_t Answer(GameState& g, const MenuState& m, bool selectRelease, bool confirmRelease) {
  int32_t result = kAnswerStay;
  switch (m.screen) {
    case kScreenHelp:
      if (confirmRelease) {
        const bool saved = SavedGameAvailable();
        if (g.settings.controlScheme == 2) {
          result = OpenScreen(saved ? kScreenSavedGameSecondScheme : kScreenNewGameSecondScheme);
        } else {
          result = OpenScreen(saved ? kScreenSavedGame : kScreenNewGame);
        }
      }
      break;
    case kScreenPause:
      // A save that fails does not end the program: the player is told
      // and chooses.
      if (selectRelease) result = SaveGameAndWait(g) ? kAnswerQuit : OpenScreen(kScreenSaveAndQuitFailed);
      if (confirmRelease) result = kAnswerGame;
      break;
    case kScreenSaveAndQuitFailed:
      if (selectRelease) result = kAnswerQuit;
      if (confirmRelease) result = SaveGameAndWait(g) ? kAnswerQuit : OpenScreen(kScreenSaveAndQuitFailed);
      break;
    case kScreenSaveFailed:
    case kScreenDamagedSave:
      if (confirmRelease) result = kAnswerGame;
      break;
    case kScreenLevelFileFailed:
      if (selectRelease) result = kAnswerEditor;
      if (confirmRelease) {
        if (SavePlacements(g)) {
          result = kAnswerEditor;
        } else {
          TakeLevelFileFailure();  // this screen is the telling
          result = OpenScreen(kScreenLevelFileFailed);
        }
      }
      break;
    case kScreenNewGame:
    case kScreenNewGameSecondScheme:
      if (confirmRelease) {
        Snapshot();
        SaveGame(g);
        result = kAnswerFadeToGame;
      }
      break;
    case kScreenShootingWalkerSeen:
    case kScreenSpittingWalkerSeen:
    case kScreenFightStarts:
    case kScreenFightWon:
    case kScreenFightWon + 1:
    case kScreenFightWonLast:
    case kScreenBigJumperSeen:
    case kScreenFirstRowWon:
    case kScreenSecondRowWon:
    case kScreenSmallFlyerSeen:
    case kScreenHovererSeen:
    case kScreenGroundBossPage2:
    case kScreenSecondBigJumperSeen:
      if (confirmRelease) result = kAnswerGame;
      break;
    case kScreenDeath:
      if (confirmRelease) {
        Snapshot();
        LoadGame(g);
        // The difficulty eases as after a lost fight: 8 frames more per monster.
        g.progress.difficultyOffset = fixed::Sub(g.progress.difficultyOffset, 8);
        SaveGame(g);
        result = kAnswerFadeToGame;
      }
      break;
    case kScreenSwordTaken:
    case kScreenSecondSwordTaken:
    case kScreenGunTaken:
    case kScreenSecondGunTaken:
    case kScreenLongBladeTaken:
    case kScreenArmourTaken:
    case kScreenDoubleShotTaken:
    case kScreenRegenerationTaken:
    case kScreenBroadBladeTaken:
      if (confirmRelease) {
        SaveGame(g);
        result = kAnswerGame;
      }
      break;
    case kScreenSavedGame:
    case kScreenSavedGameSecondScheme:
      if (selectRelease) {
        Snapshot();
        SaveGame(g);
        result = kAnswerFadeToGame;
      }
      if (confirmRelease) {
        Snapshot();
        LoadGame(g);
        result = kAnswerFadeToGame;
      }
      break;
    case kScreenTitle:
      if (confirmRelease) result = kAnswerCredits;
      break;
    case kScreenFirstGateShut:
    case kScreenSecondGateShut:
    case kScreenThirdGateShut:
      if (confirmRelease) {
        Snapshot();
        LoadGame(g);
        result = kAnswerFadeToGame;
      }
      break;
    case kScreenGroundBoss:
      if (confirmRelease) result = OpenScreen(kScreenGroundBossPage2);
      break;
    case kScreenEnding:
      if (confirmRelease) result = OpenScreen(kScreenEndingPage2);
      break;
    case kScreenEndingPage2:
      if (confirmRelease) result = OpenScreen(kScreenEndingLastPage);
      break;
    case kScreenEndingLastPage:
      if (confirmRelease) result = kAnswerQuit;
      break;
    default:
      break;
  }
  return result;
}

}  // namespace

namespace {

void FetchTexts(const GameState& g, MenuState& m, const Screen& s) {
  RecordReader& r = engine.records;
  GetTextLine(engine.records, g.settings, 100 + m.screen);
  m.text = r.text1;
  GetTextLine(engine.records, g.settings, s.buttonRecord);
  m.button1Text1 = r.text1;
  m.button1Text2 = r.text2;
  if (s.button2Record != 0) {
    GetTextLine(engine.records, g.settings, s.button2Record);
    m.button2Text1 = r.text1;
    m.button2Text2 = r.text2;
  }
}

}  // namespace

void MenuReloadTexts(const GameState& g, MenuState& m) {
  if (InTable(m.screen)) FetchTexts(g, m, kScreenTable[m.screen]);
}

void MenuSetup(GameState& g, MenuState& m, int32_t screen) {
  m.faceHold = 0;
  m.prevSelect = m.prevConfirm = 0;
  m.screen = screen;
  m.text = " ";
  m.slideOffset = m.slideCount = 0;
  m.selectLatch = m.confirmLatch = 0;
  m.faceStyle = 4;
  if (!InTable(screen)) return;

  const Screen& s = kScreenTable[screen];
  FetchTexts(g, m, s);
  m.boxSlot = s.box;
  m.faceSlot = s.face;
  m.faceStyle = s.faceStyle;
  m.faceFrame = 0;
  m.button1Slot = kButton1Slot;
  m.button2Slot = s.button2Record != 0 ? kButton2Slot : kNoButton;

  GfxContext& gfx = G();
  if (s.freeze) {
    m.slideOffset = -600;
    m.slideCount = 5;
    CopyFromScreen(gfx, kFrozenGameSlot, 0, 0);
    PackTo24(gfx, kFrozenGameSlot);
  }
  ResetDrift(engine.effects);
  for (int32_t n = 150; n <= 850; n += 100) {
    SpawnDrift(engine.effects, gfx, n * gfx.screenWidth / 1024, 1, 300, 800, 0);
  }
}

int32_t MenuFrame(GameState& g, MenuState& m, int32_t select, int32_t confirm) {
  GfxContext& gfx = G();
  const int32_t w = engine.gfx.screenWidth;
  const int32_t h = engine.gfx.screenHeight;
  int32_t result = 0;

  UpdateFrameTiming(gfx);
  const int32_t boxWidth = PictureWidth(gfx, m.boxSlot);
  const int32_t boxHeight = PictureHeight(gfx, m.boxSlot);
  const int32_t x0 = (w - boxWidth) / 2 + m.slideOffset;
  const int32_t y0 = (h - boxHeight) / 2;
  Slide(g.settings, m);

  DrawPacked24(gfx, kFrozenGameSlot, 0, 0);
  ResetDrawMode(gfx);
  DrawPicture(gfx, m.boxSlot, x0, y0);
  ResetDrawMode(gfx);

  ChooseFaceFrame(g.settings, m);
  ResetDrawMode(gfx);
  const int32_t face = m.faceSlot + m.faceFrame;
  if (m.faceSlot == kBossFaceSlot) {
    DrawPicture(gfx, face, x0, y0 + 40);
  } else {
    DrawPicture(gfx, face, x0 + 15, y0 + boxHeight - PictureHeight(gfx, face));
  }
  ResetDrawMode(gfx);

  UpdateDrift(engine.effects, gfx);
  UpdateDrift(engine.effects, gfx);

  const int32_t right = x0 + boxWidth - 40;
  DrawMenuText(g.settings, m.text, x0, y0, right);
  if (g.settings.assetsLoaded != 0) {
    DrawPicture(gfx, m.button1Slot, x0 + 386, y0 + 151);
    DrawMenuText(g.settings, m.button1Text1, x0 + 380, y0 + 190, right);
    DrawMenuText(g.settings, m.button1Text2, x0 + 455, y0 + 190, right);
  }
  if (m.button2Slot >= 0) {
    DrawPicture(gfx, m.button2Slot, x0 + 388, y0 + 121);
    DrawMenuText(g.settings, m.button2Text1, x0 + 380, y0 + 125, right);
    DrawMenuText(g.settings, m.button2Text2, x0 + 455, y0 + 125, right);
  }
  if (m.screen == kScreenGroundBoss) DrawMirroredFace(x0, y0, boxHeight);

  const bool selectRelease = select == 0 && m.prevSelect != 0;
  const bool confirmRelease = confirm == 0 && m.prevConfirm != 0;
  result = Answer(g, m, selectRelease, confirmRelease);

  // An input already held when the screen opened counts only once it has
  // been seen up; answers come on the release, not the press.
  if (select == 0) m.selectLatch = kUnlatched;
  if (m.selectLatch == kUnlatched) m.prevSelect = select;
  if (confirm == 0) m.confirmLatch = kUnlatched;
  if (m.confirmLatch == kUnlatched) m.prevConfirm = confirm;

  if (result != kAnswerStay && result != kAnswerCredits) BuildLevel(g, g.level);
  return result;
}
