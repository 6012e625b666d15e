#include "menus/menu.h"

#include "config/configuration.h"
#include "engine/engine_effects.h"
#include "game/level_build.h"
#include "game/placements.h"
#include "game/saved_game.h"
#include "game/singletons.h"
#include "gfx/drawing.h"
#include "gfx/image_slots.h"
#include "gfx/text.h"
#include "sound/sound_context.h"

namespace {

constexpr int32_t kScreens = 42;
constexpr int32_t kNoButton = -1313;
constexpr int32_t kButton1Slot = 408;
constexpr int32_t kButton2Slot = 407;
constexpr int32_t kFrozenGameSlot = 406;
constexpr int32_t kSnapshotSlot = 2;
constexpr int32_t kMirroredFaceSlot = 401;
constexpr int32_t kUnlatched = -13;

struct Screen {
  bool shown;             // false: not a screen (12)
  int32_t buttonRecord;   // texts of the first button
  int32_t button2Record;  // texts of the second button; 0 when there is none
  int32_t box, face, faceStyle;
  bool freeze;  // takes the game picture and slides in
};

constexpr Screen kPlain = {true, 80, 0, 400, 401, 4, true};
constexpr Screen kInPlace = {true, 80, 0, 400, 401, 4, false};
constexpr Screen kSavedGameQuestion = {true, 580, 581, 400, 401, 4, false};

constexpr Screen kScreenTable[kScreens] = {
    kPlain,                             // 0 help on the first start
    {true, 80, 81, 400, 401, 4, true},  // 1 pause
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
    {true, 80, 0, 413, 390, 3, true},   // 16 loading and title
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
    {true, 80, 0, 719, 720, 3, true},   // 30 ground boss
    kInPlace,                           // 31 ground boss, second page
    kPlain,                             // 32
    kPlain,                             // 33
    kPlain,                             // 34
    {true, 80, 0, 719, 401, 3, true},   // 35 ending
    {true, 80, 0, 719, 390, 3, false},  // 36 ending, second page
    {true, 80, 0, 719, 401, 3, false},  // 37 ending, last page
    // Files that could not be written or read, told in the same boxes.
    {true, 582, 583, 400, 401, 4, false},  // 38 save and quit failed: try again or quit anyway
    kPlain,                                // 39 a save during play failed
    kPlain,                                // 40 the saved game was damaged and is kept aside
    {true, 582, 584, 400, 401, 4, true},   // 41 the editor's level file was not written
};

GfxContext& G() { return engine.gfx; }

bool InTable(int32_t screen) { return screen >= 0 && screen < kScreens && kScreenTable[screen].shown; }

// The face frame a face strip rests on.
int32_t RestingFrame(int32_t faceSlot) {
  switch (faceSlot) {
    case 720:
      return 3;
    case 390:
      return 2;
    default:
      return 0;
  }
}

// The text in the font of the current message file, within the box's right
// edge and above the screen's bottom.
void DrawMenuText(const GameState& g, const std::string& text, int32_t x, int32_t y, int32_t right) {
  const int32_t bottom = engine.gfx.screenHeight - 20;
  if (g.settings.altTextFile != 0) {
    DrawTextBox(G(), text.c_str(), x, y, right, bottom, 103, 3);
  } else {
    DrawTextBox(G(), text.c_str(), x, y, right, bottom, 105, 4);
  }
}

void Slide(GameState& g) {
  if (g.slideCount > 0) --g.slideCount;
  switch (g.slideCount) {
    case 4:
      g.slideOffset += 260;
      if (g.faceSlot != 390 && g.settings.soundOn != 0) {
        const int32_t first = Random(engine.random, 8, 10);
        PlaySound(engine.sound, first);
        const int32_t second = Random(engine.random, 8, 10);
        PlaySound(engine.sound, second);
      }
      break;
    case 3:
      g.slideOffset += 200;
      break;
    case 2:
      g.slideOffset += 130;
      break;
    case 1:
      g.slideOffset += 60;
      break;
    case 0:
      g.slideOffset = 0;
      break;
    default:
      break;
  }
}

void ChooseFaceFrame(GameState& g) {
  RandomSource& rnd = engine.random;
  if (g.settings.assetsLoaded == 0) {
    g.faceFrame = Random(rnd, 0, g.faceStyle);
    return;
  }
  if (g.faceHold > 0) {
    --g.faceHold;
    return;
  }
  if (g.faceSlot != 720 && g.faceSlot != 390 && g.faceSlot != 401) return;
  if (Random(rnd, 0, 100) > 50) g.faceFrame = Random(rnd, 0, g.faceStyle);
  if (g.faceFrame == RestingFrame(g.faceSlot) && Random(rnd, 0, 100) > 85) {
    g.faceHold = Random(rnd, 18, 37);
  } else {
    g.faceHold = 1;
  }
}

// Screen 30 shows the hero's face turned towards the boss: picture 401
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
int32_t Answer(GameState& g, bool selectRelease, bool confirmRelease) {
  int32_t result = 0;
  switch (g.menuScreen) {
    case 0:
      if (confirmRelease) {
        const bool saved = SavedGameAvailable();
        if (g.settings.controlScheme == 2) {
          result = saved ? 127 : 126;
        } else {
          result = saved ? 115 : 102;
        }
      }
      break;
    case 1:
      // A save that fails does not end the program: the player is told
      // and chooses.
      if (selectRelease) result = SaveGameAndWait(g) ? 2 : 138;
      if (confirmRelease) result = 1;
      break;
    case 38:
      if (selectRelease) result = 2;
      if (confirmRelease) result = SaveGameAndWait(g) ? 2 : 138;
      break;
    case 39:
    case 40:
      if (confirmRelease) result = 1;
      break;
    case 41:
      if (selectRelease) result = 5;
      if (confirmRelease) {
        if (SavePlacements(g)) {
          result = 5;
        } else {
          TakeLevelFileFailure();  // this screen is the telling
          result = 141;
        }
      }
      break;
    case 2:
    case 26:
      if (confirmRelease) {
        Snapshot();
        SaveGame(g);
        result = 4;
      }
      break;
    case 3:
    case 4:
    case 6:
    case 7:
    case 8:
    case 9:
    case 17:
    case 18:
    case 21:
    case 22:
    case 28:
    case 31:
    case 33:
      if (confirmRelease) result = 1;
      break;
    case 5:
      if (confirmRelease) {
        Snapshot();
        LoadGame(g);
        // The difficulty eases as after a lost fight: 8 frames more per monster.
        g.difficultyOffset = fixed::Sub(g.difficultyOffset, 8);
        SaveGame(g);
        result = 4;
      }
      break;
    case 10:
    case 11:
    case 13:
    case 14:
    case 23:
    case 24:
    case 25:
    case 29:
    case 32:
      if (confirmRelease) {
        SaveGame(g);
        result = 1;
      }
      break;
    case 15:
    case 27:
      if (selectRelease) {
        Snapshot();
        SaveGame(g);
        result = 4;
      }
      if (confirmRelease) {
        Snapshot();
        LoadGame(g);
        result = 4;
      }
      break;
    case 16:
      if (confirmRelease) result = 3;
      break;
    case 19:
    case 20:
    case 34:
      if (confirmRelease) {
        Snapshot();
        LoadGame(g);
        result = 4;
      }
      break;
    case 30:
      if (confirmRelease) result = 131;
      break;
    case 35:
      if (confirmRelease) result = 136;
      break;
    case 36:
      if (confirmRelease) result = 137;
      break;
    case 37:
      if (confirmRelease) result = 2;
      break;
    default:
      break;
  }
  return result;
}

}  // namespace

void MenuSetup(GameState& g, int32_t screen) {
  g.faceHold = 0;
  g.prevSelect = g.prevConfirm = 0;
  g.menuScreen = screen;
  g.menuText = " ";
  g.slideOffset = g.slideCount = 0;
  g.selectLatch = g.confirmLatch = 0;
  g.faceStyle = 4;
  if (!InTable(screen)) return;

  const Screen& s = kScreenTable[screen];
  RecordReader& r = engine.records;
  GetTextLine(engine.records, g.settings, 100 + screen);
  g.menuText = r.text1;
  GetTextLine(engine.records, g.settings, s.buttonRecord);
  g.button1Text1 = r.text1;
  g.button1Text2 = r.text2;
  if (s.button2Record != 0) {
    GetTextLine(engine.records, g.settings, s.button2Record);
    g.button2Text1 = r.text1;
    g.button2Text2 = r.text2;
  }
  g.boxSlot = s.box;
  g.faceSlot = s.face;
  g.faceStyle = s.faceStyle;
  g.faceFrame = 0;
  g.button1Slot = kButton1Slot;
  g.button2Slot = s.button2Record != 0 ? kButton2Slot : kNoButton;

  GfxContext& gfx = G();
  if (s.freeze) {
    g.slideOffset = -600;
    g.slideCount = 5;
    CopyFromScreen(gfx, kFrozenGameSlot, 0, 0);
    PackTo24(gfx, kFrozenGameSlot);
  }
  ResetDrift(engine.effects);
  for (int32_t n = 150; n <= 850; n += 100) {
    SpawnDrift(engine.effects, gfx, n * gfx.screenWidth / 1024, 1, 300, 800, 0);
  }
}

int32_t MenuFrame(GameState& g, int32_t select, int32_t confirm) {
  GfxContext& gfx = G();
  const int32_t w = engine.gfx.screenWidth;
  const int32_t h = engine.gfx.screenHeight;
  int32_t result = 0;

  UpdateFrameTiming(gfx);
  const int32_t boxWidth = PictureWidth(gfx, g.boxSlot);
  const int32_t boxHeight = PictureHeight(gfx, g.boxSlot);
  const int32_t x0 = (w - boxWidth) / 2 + g.slideOffset;
  const int32_t y0 = (h - boxHeight) / 2;
  Slide(g);

  DrawPacked24(gfx, kFrozenGameSlot, 0, 0);
  ResetDrawMode(gfx);
  DrawPicture(gfx, g.boxSlot, x0, y0);
  ResetDrawMode(gfx);

  ChooseFaceFrame(g);
  ResetDrawMode(gfx);
  const int32_t face = g.faceSlot + g.faceFrame;
  if (g.faceSlot == 720) {
    DrawPicture(gfx, face, x0, y0 + 40);
  } else {
    DrawPicture(gfx, face, x0 + 15, y0 + boxHeight - PictureHeight(gfx, face));
  }
  ResetDrawMode(gfx);

  UpdateDrift(engine.effects, gfx);
  UpdateDrift(engine.effects, gfx);

  const int32_t right = x0 + boxWidth - 40;
  DrawMenuText(g, g.menuText, x0, y0, right);
  if (g.settings.assetsLoaded != 0) {
    DrawPicture(gfx, g.button1Slot, x0 + 386, y0 + 151);
    DrawMenuText(g, g.button1Text1, x0 + 380, y0 + 190, right);
    DrawMenuText(g, g.button1Text2, x0 + 455, y0 + 190, right);
  }
  if (g.button2Slot >= 0) {
    DrawPicture(gfx, g.button2Slot, x0 + 388, y0 + 121);
    DrawMenuText(g, g.button2Text1, x0 + 380, y0 + 125, right);
    DrawMenuText(g, g.button2Text2, x0 + 455, y0 + 125, right);
  }
  if (g.menuScreen == 30) DrawMirroredFace(x0, y0, boxHeight);

  const bool selectRelease = select == 0 && g.prevSelect != 0;
  const bool confirmRelease = confirm == 0 && g.prevConfirm != 0;
  result = Answer(g, selectRelease, confirmRelease);

  // An input already held when the screen opened counts only once it has
  // been seen up; answers come on the release, not the press.
  if (select == 0) g.selectLatch = kUnlatched;
  if (g.selectLatch == kUnlatched) g.prevSelect = select;
  if (confirm == 0) g.confirmLatch = kUnlatched;
  if (g.confirmLatch == kUnlatched) g.prevConfirm = confirm;

  if (result != 0 && result != 3) BuildLevel(g, g.level);
  return result;
}
