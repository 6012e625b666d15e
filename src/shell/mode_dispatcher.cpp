#include "shell/mode_dispatcher.h"

#include <cstring>

#include "assets/loading.h"
#include "config/configuration.h"
#include "game/editor.h"
#include "game/game_frame.h"
#include "game/level_start.h"
#include "game/new_game_start.h"
#include "gfx/drawing.h"
#include "gfx/effects.h"
#include "gfx/image_slots.h"
#include "gfx/text.h"
#include "menus/menu.h"
#include "menus/saved_game.h"
#include "shell/engine.h"
#include "shell/exit.h"
#include "sound/music.h"

namespace {

GfxContext& G() { return engine.gfx; }

// Text of the current message file in the font that matches it.
void DrawMessageText(const char* text, int32_t x1, int32_t y1) {
  if (game.settings.altTextFile != 0) {
    DrawTextBox(G(), text, x1, y1, engine.screenWidth - 5, engine.screenHeight - 10, 103, 3);
  } else {
    DrawTextBox(G(), text, x1, y1, engine.screenWidth - 5, engine.screenHeight - 10, 105, 4);
  }
}

void EndProgram() {
  vxEngExit();
  ExitProgram(0);
}

void GameStart(GameState& g) {
  LoadGame(g);
  UpdateMusic(g);
  g.level = 2;
  g.lightFlicker = 0;
  g.editorSelection = -1;
  for (int i = 0; i <= 1000; ++i) g.resultCount[i] = 0;
  ResetGame(g);
  StartLevel(g, g.level);
  g.currentShooter = 0;
}

void LoadingFrame(InputState& in) {
  GameState& g = game;
  if (in.step == 0) {
    ReadGameSettings(g);
    LoadAssetsStep(g, 0);
    g.settings.assetsLoaded = 0;
    ClearScreen(G(), 0);
    MenuSetup(g, 16);
    for (in.counter = 0; in.counter < 8; ++in.counter) MenuFrame(g, 0, 0);
  } else if (in.step >= 1 && in.step <= 8) {
    LoadAssetsStep(g, in.step);
    if (in.step == 2) StartMusicDecoding(g);
  } else if (in.step == 9) {
    GameStart(g);
  }
  ClearScreen(G(), 0);
  MenuFrame(g, 0, 0);
  in.posX = 100;
  in.posY = engine.screenHeight - 80;
  DrawPicture(G(), 731, 100, engine.screenHeight - 140);
  GetTextLine(2);
  const std::string text = engine.records.text1;
  in.textWidth = 9 * static_cast<int32_t>(std::strlen(text.c_str()));
  DrawMessageText(text.c_str(), in.posX - in.textWidth / 2 + 38, in.posY - 70);
  in.counter = in.posX - in.textWidth / 2 + 59;
  in.barTop = in.posY - 15;
  in.barFill = in.textWidth * in.step / 10 + in.counter;
  in.barBottom = in.posY - 2;
  in.barRight = in.counter + in.textWidth;
  FillRect(G(), in.counter - 2, in.barTop - 2, in.barRight + 2, in.barBottom + 2, 0xffffff);
  FillRect(G(), in.counter - 1, in.barTop - 1, in.barRight + 1, in.barBottom + 1, 0);
  FillRect(G(), in.counter, in.barTop, in.barFill, in.barBottom, 0xff00);
  if (in.step > 9) {
    g.settings.assetsLoaded = -1;
    if (newGameStart.straightToGame != 0) {
      // A test start plays at once: no title, and the first-visit help counts as seen.
      g.resultSeen[100] = 1;
      SetMode(in, kModeGame);
    } else {
      in.stage = 1313;
      SetMode(in, kModeMenu);
    }
  }
  ++in.step;
}

// Releasing the three sequence keys in order while playing opens the editor.
void TrackEditorSequence(InputState& in) {
  const int32_t held1 = *KeyByte(in, kEditorKey1);
  const int32_t held2 = *KeyByte(in, kEditorKey2);
  const int32_t held3 = *KeyByte(in, kEditorKey3);
  if (in.sequencePrev1 != 0 && held1 == 0) {
    in.sequencePrev2 = 0;
    in.stage = in.stage == 0 ? 1 : 0;
  }
  in.sequencePrev1 = held1;
  if (in.sequencePrev2 != 0 && held2 == 0) {
    in.sequencePrev3 = 0;
    in.stage = in.stage == 1 ? 2 : 0;
  }
  in.sequencePrev2 = held2;
  if (in.sequencePrev3 != 0 && held3 == 0) in.stage = in.stage == 2 ? 3 : 0;
  in.sequencePrev3 = held3;
}

void TakeKeyEvents(InputState& in) {
  in.upEvent = in.downEvent = in.leftEvent = in.rightEvent = 0;
  in.spaceEvent = in.escapeEvent = in.controlEvent = 0;
  const auto take = [&](uint8_t& event, uint32_t a, uint32_t b) {
    if (in.keyEvent == static_cast<int32_t>(a) || (b != 0 && in.keyEvent == static_cast<int32_t>(b))) {
      event = 1;
      in.keyEvent = 0;
    }
  };
  take(in.leftEvent, vk::VK_LEFT, 'A');
  take(in.rightEvent, vk::VK_RIGHT, 'D');
  take(in.upEvent, vk::VK_UP, 'W');
  take(in.downEvent, vk::VK_DOWN, 'S');
  take(in.spaceEvent, vk::VK_SPACE, 0);
  take(in.escapeEvent, vk::VK_ESCAPE, 0);
  take(in.controlEvent, vk::VK_CONTROL, 0);
}

void GameFrame(InputState& in) {
  GameState& g = game;
  StirRandom(engine.random, in.mouseX, in.mouseY);
  TrackEditorSequence(in);
  TakeKeyEvents(in);
  const int32_t left = in.left | in.keyA | in.leftEvent;
  const int32_t right = in.right | in.keyD | in.rightEvent;
  const int32_t down = in.down | in.keyS | in.downEvent;
  if (g.settings.controlScheme == 2) {
    in.posY = RunGameFrame(g, left, right, in.space | in.spaceEvent, down, in.control | in.controlEvent);
  } else {
    in.posY = RunGameFrame(g, left, right, in.up | in.keyW | in.upEvent, down, in.space | in.spaceEvent);
  }
  if (in.escape != 0 || in.escapeEvent != 0) {
    MenuSetup(g, 1);
    in.stage = 0;
    SetMode(in, kModeMenu);
  }
  if (in.posY > 99) {
    MenuSetup(g, in.posY - 100);
    in.stage = 0;
    SetMode(in, kModeMenu);
  }
  if (in.stage == 3) SetMode(in, kModeEditor);
}

void CreditsFrame(InputState& in) {
  GfxContext& gfx = G();
  const int32_t w = engine.screenWidth;
  ClearScreen(gfx, 0);
  if (game.settings.musicOn != 0) {
    DrawPicture(gfx, 739, (w - PictureWidth(gfx, 739)) / 2, 320);
    DrawLine(gfx, 0, 318, w, 318, 0xffc8c8c8);
    DrawLine(gfx, 0, 356, w, 356, 0xffc8c8c8);
  }
  std::memcpy(in.creditText, kCreditLine, sizeof kCreditLine);
  DrawTextBox(gfx, in.creditText, 51, engine.screenHeight / 2 - 50, w - 5, engine.screenHeight - 10, 102, 2);
  DrawLine(gfx, 0, 265, w, 265, 0xffc8c8c8);
  DrawLine(gfx, 0, 299, w, 299, 0xffc8c8c8);
  if (in.lastKey != 0 || in.leftReleased != 0 || in.rightReleased != 0) {
    in.nextMode = kModeGame;
    SetMode(in, kModeFade);
  }
  ++in.step;
  if (in.step > 120) {
    in.nextMode = kModeGame;
    SetMode(in, kModeFade);
  }
}

void EditorModeFrame(InputState& in) {
  in.posY = in.leftReleased;
  in.leftReleased = 0;
  in.step = EditorFrame(game, in.mouseX, in.mouseY, in.posY);
  if (in.step != 0) SetMode(in, kModeGame);
  if (in.escape != 0) EndProgram();
}

void DrawSnapshot() {
  SetDrawMode(G(), -2);
  DrawPicture(G(), 2, 0, 0);
  ResetDrawMode(G());
}

void FadeFrame(InputState& in) {
  DrawSnapshot();
  if (in.step > 0) in.step -= 15;
  if (in.step < 0) in.step = 0;
  if (in.step < 1) {
    SetBrightness(0, 256);
    ClearScreen(G(), 0);
    StartBrightnessFade(game, 0);
    SetMode(in, in.nextMode);
  }
}

void MenuModeFrame(InputState& in) {
  GameState& g = game;
  in.spaceEvent = in.enterEvent = 0;
  if (in.keyEvent == static_cast<int32_t>(vk::VK_SPACE)) {
    in.spaceEvent = 1;
    in.keyEvent = 0;
  }
  if (in.keyEvent == static_cast<int32_t>(vk::VK_RETURN)) {
    in.enterEvent = 1;
    in.keyEvent = 0;
  }
  in.step = MenuFrame(g, in.space | in.spaceEvent, in.enter | in.enterEvent);
  if (in.step > 99) {
    MenuSetup(g, in.step - 100);
    SetMode(in, kModeMenu);
  }
  if (in.step == 1) SetMode(in, kModeGame);
  if (in.step == 2) EndProgram();
  if (in.step == 3) {
    in.nextMode = kModeCredits;
    SetMode(in, kModeFade);
  }
  if (in.step == 4) {
    DrawSnapshot();
    in.nextMode = kModeGame;
    SetMode(in, kModeFade);
  }
  if (in.stage == 1313) {
    GetTextLine(1);
    const std::string text = engine.records.text1;
    DrawPicture(G(), 730, (engine.screenWidth - PictureWidth(G(), 730)) / 2, 110);
    DrawMessageText(text.c_str(), g.settings.altTextFile != 0 ? 140 : 190, 103);
  }
}

}  // namespace

void StartBrightnessFade(GameState& g, int32_t target) {
  g.fadeTarget = target;
  g.fadeStepsLeft = 16;
  g.fadeStart = g.fadeCurrent;
}

void StepBrightnessFade(GameState& g) {
  if (g.fadeStepsLeft > 0) --g.fadeStepsLeft;
  g.fadeCurrent = (g.fadeStart * g.fadeStepsLeft + (16 - g.fadeStepsLeft) * g.fadeTarget) / 16;
  if (g.fadeCurrent >= -10 && g.fadeCurrent <= 10) g.fadeCurrent = 0;
  SetBrightness(g.fadeCurrent, 256);
}

void ClearBrightnessFade(GameState& g) { g.fadeCurrent = g.fadeTarget = g.fadeStepsLeft = g.fadeStart = 0; }

void SetMode(InputState& in, int32_t mode) {
  GfxContext& gfx = G();
  in.gameMode = mode;
  switch (mode) {
    case kModeLoading:
      CreatePicture(gfx, 2, engine.screenWidth, engine.screenHeight);
      LoadPicture(gfx, 105, "data/font1.vx1");
      PrepareAlpha(gfx, 105, 2);
      LoadPicture(gfx, 103, "data/txtrs_c.906");
      PrepareAlpha(gfx, 103, 2);
      Saturation(engine.effects, gfx, 103, 0);
      ToneCurve(engine.effects, gfx, 103, 0, 0, 600);
      in.step = 0;
      LoadPicture(gfx, 739, "data/mus.vx1");
      PrepareAlpha(gfx, 739, 1);
      ClearBrightnessFade(game);
      break;
    case kModeGame:
      in.sequencePrev1 = in.sequencePrev2 = in.sequencePrev3 = 0;
      in.stage = 0;
      in.lastKey = 0;
      InitFrameTiming(gfx);
      break;
    case kModeCredits:
      in.escape = 0;
      in.leftReleased = in.rightReleased = 0;
      in.lastKey = 0;
      in.step = 0;
      break;
    case kModeFade:
      CopyFromScreen(gfx, 2, 0, 0);
      StartBrightnessFade(game, -256);
      in.step = 255;
      break;
    default:
      break;
  }
}

void RunFrame(InputState& in) {
  StepBrightnessFade(game);
  switch (in.gameMode) {
    case kModeLoading: LoadingFrame(in); break;
    case kModeGame: GameFrame(in); break;
    case kModeCredits: CreditsFrame(in); break;
    case kModeEditor: EditorModeFrame(in); break;
    case kModeFade: FadeFrame(in); break;
    case kModeMenu: MenuModeFrame(in); break;
    default: break;
  }
}
