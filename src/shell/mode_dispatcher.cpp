#include "shell/mode_dispatcher.h"

#include <cstring>

#include "assets/loading.h"
#include "assets/picture_prefetch.h"
#include "config/configuration.h"
#include "effects/effects.h"
#include "engine/engine_effects.h"
#include "game/editor.h"
#include "game/game_frame.h"
#include "game/level_start.h"
#include "game/new_game_start.h"
#include "game/placements.h"
#include "game/saved_game.h"
#include "game/screens.h"
#include "game/singletons.h"
#include "gfx/drawing.h"
#include "gfx/frame_timing.h"
#include "gfx/image_slots.h"
#include "gfx/text.h"
#include "menus/menu.h"
#include "platform/platform.h"
#include "shell/comforts.h"
#include "shell/exit.h"
#include "shell/globals.h"
#include "sound/music.h"

DispatcherState dispatcher;

namespace {

GfxContext& G() { return engine.gfx; }

// Text of the current message file in the font that matches it.
void DrawMessageText(const char* text, int32_t x1, int32_t y1) {
  GfxContext& gfx = G();
  if (game.settings.altTextFile != 0) {
    DrawTextBox(gfx, text, x1, y1, gfx.screenWidth - 5, gfx.screenHeight - 10, 103, 3);
  } else {
    DrawTextBox(gfx, text, x1, y1, gfx.screenWidth - 5, gfx.screenHeight - 10, 105, 4);
  }
}

void EndProgram() {
  FinishSaving();
  TakeSaveNotice();  // the last failures reach stderr and the log
  vxEngExit(engine.screen);
  ExitProgram(0);
}

void GameStart(GameState& g) {
  LoadGame(g);
  UpdateMusic(g.music, g.settings, g.level, engine.sound);
  g.level = 2;
  g.player.lightFlicker = 0;
  g.levelState.editorSelection = kNoSelection;
  for (int i = 0; i <= 1000; ++i) g.resultCount[i] = 0;
  ResetGame(g);
  StartLevel(g, g.level);
  g.tables.currentShooter = 0;
}

// The heaviest loading groups, and the pictures of the levels the game will
// start in, are made on the worker while the first loading steps show; the
// steps and the game start then only move them in. Nothing is made ahead
// while the log is on, so that its lines keep their order.
void ReadLoadingAhead() {
  PicturePrefetch& ahead = engine.picturePrefetch;
  for (const int32_t step : {0, 2, 6}) ahead.RequestGroup(step, engine.gfx, engine.effects);
  if (engine.log.enabled != 0) return;
  const auto level = [&](int32_t n) {
    if (n >= 0 && n < kLevelFlagCount && game.levelPictures.loaded[n] == 0) ahead.Request(n);
  };
  level(game.level);  // loaded at the end of the loading steps
  level(2);           // a new game's first level
  level(SavedGameLevel());
}

void LoadStep(GameState& g, int32_t step) {
  LoadAssetsStep(g.levelPictures, g.level, step, engine.gfx, engine.effects, engine.sound,
                 &engine.picturePrefetch);
}

void LoadingFrame(DispatcherState& d, InputState& in) {
  GameState& g = game;
  const int32_t screenHeight = G().screenHeight;
  if (d.loadingStep == 0) {
    ReadGameSettings(g.settings, engine.records);
    LoadStep(g, 0);
    g.settings.assetsLoaded = 0;
    ClearScreen(G(), 0);
    MenuSetup(g, d.menu, kScreenTitle);
    for (int32_t i = 0; i < 8; ++i) MenuFrame(g, d.menu, 0, 0);
  } else if (d.loadingStep >= 1 && d.loadingStep <= 8) {
    LoadStep(g, d.loadingStep);
    if (d.loadingStep == 2) StartMusicDecoding(g.music, g.settings, engine.records);
  } else if (d.loadingStep == 9) {
    GameStart(g);
  }
  ClearScreen(G(), 0);
  MenuFrame(g, d.menu, 0, 0);
  d.barX = 100;
  d.barY = screenHeight - 80;
  DrawPicture(G(), 731, 100, screenHeight - 140);
  GetTextLine(engine.records, g.settings, 2);
  const std::string text = engine.records.text1;
  d.textWidth = 9 * static_cast<int32_t>(std::strlen(text.c_str()));
  DrawMessageText(text.c_str(), d.barX - d.textWidth / 2 + 38, d.barY - 70);
  d.barLeft = d.barX - d.textWidth / 2 + 59;
  d.barTop = d.barY - 15;
  d.barFill = d.textWidth * d.loadingStep / 10 + d.barLeft;
  d.barBottom = d.barY - 2;
  d.barRight = d.barLeft + d.textWidth;
  FillRect(G(), d.barLeft - 2, d.barTop - 2, d.barRight + 2, d.barBottom + 2, 0xffffff);
  FillRect(G(), d.barLeft - 1, d.barTop - 1, d.barRight + 1, d.barBottom + 1, 0);
  FillRect(G(), d.barLeft, d.barTop, d.barFill, d.barBottom, 0xff00);
  if (d.loadingStep > 9) {
    g.settings.assetsLoaded = -1;
    if (newGameStart.straightToGame != 0) {
      // A test start plays at once: no title, and the first-visit help counts as seen.
      g.progress.resultSeen[OpenScreen(kScreenHelp)] = 1;
      SetMode(d, in, kModeGame);
    } else {
      d.afterLoading = 1313;
      SetMode(d, in, kModeMenu);
    }
  }
  ++d.loadingStep;
}

// Releasing the three sequence keys in order while playing opens the editor.
void TrackEditorSequence(DispatcherState& d, InputState& in) {
  const int32_t held1 = *KeyByte(in, kEditorKey1);
  const int32_t held2 = *KeyByte(in, kEditorKey2);
  const int32_t held3 = *KeyByte(in, kEditorKey3);
  if (d.sequencePrev1 != 0 && held1 == 0) {
    d.sequencePrev2 = 0;
    d.editorSequence = d.editorSequence == 0 ? 1 : 0;
  }
  d.sequencePrev1 = held1;
  if (d.sequencePrev2 != 0 && held2 == 0) {
    d.sequencePrev3 = 0;
    d.editorSequence = d.editorSequence == 1 ? 2 : 0;
  }
  d.sequencePrev2 = held2;
  if (d.sequencePrev3 != 0 && held3 == 0) d.editorSequence = d.editorSequence == 2 ? 3 : 0;
  d.sequencePrev3 = held3;
}

void TakeKeyEvents(DispatcherState& d, InputState& in) {
  d.upEvent = d.downEvent = d.leftEvent = d.rightEvent = 0;
  d.spaceEvent = d.escapeEvent = d.controlEvent = 0;
  const auto take = [&](uint8_t& event, uint32_t a, uint32_t b) {
    if (in.keyEvent == static_cast<int32_t>(a) || (b != 0 && in.keyEvent == static_cast<int32_t>(b))) {
      event = 1;
      in.keyEvent = 0;
    }
  };
  take(d.leftEvent, vk::VK_LEFT, 'A');
  take(d.rightEvent, vk::VK_RIGHT, 'D');
  take(d.upEvent, vk::VK_UP, 'W');
  take(d.downEvent, vk::VK_DOWN, 'S');
  take(d.spaceEvent, vk::VK_SPACE, 0);
  take(d.escapeEvent, vk::VK_ESCAPE, 0);
  take(d.controlEvent, vk::VK_CONTROL, 0);
}

void GameFrame(DispatcherState& d, InputState& in) {
  GameState& g = game;
  StirRandom(engine.random, in.mouseX, in.mouseY);
  TrackEditorSequence(d, in);
  TakeKeyEvents(d, in);
  const int32_t left = in.left | in.keyA | d.leftEvent;
  const int32_t right = in.right | in.keyD | d.rightEvent;
  const int32_t down = in.down | in.keyS | d.downEvent;
  if (g.settings.controlScheme == 2) {
    d.frameResult = RunGameFrame(g, left, right, in.space | d.spaceEvent, down, in.control | d.controlEvent);
  } else {
    d.frameResult = RunGameFrame(g, left, right, in.up | in.keyW | d.upEvent, down, in.space | d.spaceEvent);
  }
  if (in.escape != 0 || d.escapeEvent != 0) {
    MenuSetup(g, d.menu, kScreenPause);
    d.editorSequence = 0;
    SetMode(d, in, kModeMenu);
  }
  if (d.frameResult >= OpenScreen(0)) {
    MenuSetup(g, d.menu, ScreenOf(d.frameResult));
    d.editorSequence = 0;
    SetMode(d, in, kModeMenu);
  }
  if (d.editorSequence == 3) SetMode(d, in, kModeEditor);
  // A save behind the frames that failed, or a damaged save found, is told
  // on the next frame of play that opens no screen of its own.
  if (d.gameMode != kModeGame) return;
  const SaveNotice notice = TakeSaveNotice();
  if (notice == SaveNotice::kNone) return;
  MenuSetup(g, d.menu, notice == SaveNotice::kSaveFailed ? kScreenSaveFailed : kScreenDamagedSave);
  SetMode(d, in, kModeMenu);
}

void CreditsFrame(DispatcherState& d, InputState& in) {
  GfxContext& gfx = G();
  const int32_t w = gfx.screenWidth;
  ClearScreen(gfx, 0);
  if (game.settings.musicOn != 0) {
    DrawPicture(gfx, 739, (w - PictureWidth(gfx, 739)) / 2, 320);
    DrawLine(gfx, 0, 318, w, 318, 0xffc8c8c8);
    DrawLine(gfx, 0, 356, w, 356, 0xffc8c8c8);
  }
  std::memcpy(d.creditText, kCreditLine, sizeof kCreditLine);
  DrawTextBox(gfx, d.creditText, 51, gfx.screenHeight / 2 - 50, w - 5, gfx.screenHeight - 10, 102, 2);
  DrawLine(gfx, 0, 265, w, 265, 0xffc8c8c8);
  DrawLine(gfx, 0, 299, w, 299, 0xffc8c8c8);
  if (in.lastKey != 0 || in.leftReleased != 0 || in.rightReleased != 0) {
    d.nextMode = kModeGame;
    SetMode(d, in, kModeFade);
  }
  ++d.creditFrames;
  if (d.creditFrames > 120) {
    d.nextMode = kModeGame;
    SetMode(d, in, kModeFade);
  }
}

void EditorModeFrame(DispatcherState& d, InputState& in) {
  d.editorClick = in.leftReleased;
  in.leftReleased = 0;
  d.editorResult = EditorFrame(game, in.mouseX, in.mouseY, d.editorClick);
  if (TakeLevelFileFailure()) {
    MenuSetup(game, d.menu, kScreenLevelFileFailed);
    SetMode(d, in, kModeMenu);
  } else if (d.editorResult != kEditorStays) {
    SetMode(d, in, kModeGame);
  }
  if (in.escape != 0) EndProgram();
}

void DrawSnapshot() {
  SetDrawMode(G(), -2);
  DrawPicture(G(), 2, 0, 0);
  ResetDrawMode(G());
}

void FadeFrame(DispatcherState& d, InputState& in) {
  DrawSnapshot();
  if (d.fadeLevel > 0) d.fadeLevel -= 15;
  if (d.fadeLevel < 0) d.fadeLevel = 0;
  if (d.fadeLevel < 1) {
    SetBrightness(engine.screen, 0, 256);
    ClearScreen(G(), 0);
    StartBrightnessFade(d.fade, 0);
    SetMode(d, in, d.nextMode);
  }
}

// The screens the options open from: the title once loading is done, and
// the pause screen.
bool OptionsReachable(const DispatcherState& d) {
  return d.menu.screen == kScreenPause || (d.menu.screen == kScreenTitle && d.afterLoading == 1313);
}

// Where the hint to the options is drawn and can be clicked.
constexpr int32_t kHintX = 590, kHintY = 556, kHintRight = 790, kHintBottom = 580;

bool HintClicked(const InputState& in) {
  return in.leftReleased != 0 && in.mouseX >= kHintX && in.mouseX < kHintRight && in.mouseY >= kHintY - 4 &&
         in.mouseY < kHintBottom;
}

void DrawOptionsHint() {
  GfxContext& gfx = G();
  GetTextLine(engine.records, game.settings, 613);
  std::string label = engine.records.text1;
  while (!label.empty() && (label.back() == '\n' || label.back() == '\r')) label.pop_back();
  DrawTextBox(gfx, "O", kHintX - 20, kHintY - 20, kHintRight, gfx.screenHeight, 103, 3);
  if (game.settings.altTextFile != 0) {
    DrawTextBox(gfx, label.c_str(), kHintX + 2, kHintY - 20, kHintRight, gfx.screenHeight, 103, 3);
  } else {
    DrawTextBox(gfx, label.c_str(), kHintX + 2, kHintY - 20, kHintRight, gfx.screenHeight, 105, 4);
  }
}

// The options open over the screen as it stands: the menu frame does not
// run while they show, so they draw no random number and move nothing.
void OpenOptionsScreen(DispatcherState& d, InputState& in) {
  in.keyEvent = 0;
  in.leftReleased = in.rightReleased = 0;
  comforts.rawKeyEvent = 0;
  comforts.rawPadButton = -1;
  OpenOptions(d.options, game.settings, comforts.settings, engine.screen.display.windowed, platform::Current().DesktopFullScreen());
  d.optionsOpenedAt = platform::Current().StateClockMs();
  SetMode(d, in, kModeOptions);
}

void MenuModeFrame(DispatcherState& d, InputState& in);

void OptionsModeFrame(DispatcherState& d, InputState& in) {
  OptionsInput oi;
  oi.key = comforts.rawKeyEvent;
  comforts.rawKeyEvent = 0;
  oi.padButton = comforts.rawPadButton;
  comforts.rawPadButton = -1;
  in.keyEvent = 0;
  oi.mouseX = in.mouseX;
  oi.mouseY = in.mouseY;
  oi.click = in.leftReleased != 0;
  oi.rightClick = in.rightReleased != 0;
  in.leftReleased = in.rightReleased = 0;
  if (OptionsFrame(d.options, game, comforts.settings, oi) != kOptionsClosed) return;
  // Back to the screen it opened from, in the language now chosen; a key
  // still held from the options counts there only once let go, as on a
  // screen just opened.
  MenuReloadTexts(game, d.menu);
  d.menu.selectLatch = d.menu.confirmLatch = 0;
  d.menu.prevSelect = d.menu.prevConfirm = 0;
  // The time spent here is not the game's: its frame timing and the clock
  // its random source is stirred with go on from where they stood.
  const uint32_t away =
      static_cast<uint32_t>(platform::Current().StateClockMs()) - static_cast<uint32_t>(d.optionsOpenedAt);
  engine.gfx.lastClock = static_cast<int32_t>(static_cast<uint32_t>(engine.gfx.lastClock) + away);
  engine.random.heldMs = static_cast<int32_t>(static_cast<uint32_t>(engine.random.heldMs) + away);
  SetMode(d, in, kModeMenu);
  MenuModeFrame(d, in);
}

void MenuModeFrame(DispatcherState& d, InputState& in) {
  GameState& g = game;
  if (OptionsReachable(d)) {
    if (in.keyEvent == static_cast<int32_t>(kOptionsKey) || HintClicked(in)) {
      OpenOptionsScreen(d, in);
      return;
    }
    in.leftReleased = 0;
  }
  d.spaceEvent = d.enterEvent = 0;
  if (in.keyEvent == static_cast<int32_t>(vk::VK_SPACE)) {
    d.spaceEvent = 1;
    in.keyEvent = 0;
  }
  if (in.keyEvent == static_cast<int32_t>(vk::VK_RETURN)) {
    d.enterEvent = 1;
    in.keyEvent = 0;
  }
  d.menuAnswer = MenuFrame(g, d.menu, in.space | d.spaceEvent, in.enter | d.enterEvent);
  if (d.menuAnswer >= OpenScreen(0)) {
    MenuSetup(g, d.menu, ScreenOf(d.menuAnswer));
    SetMode(d, in, kModeMenu);
  }
  if (d.menuAnswer == kAnswerGame) SetMode(d, in, kModeGame);
  if (d.menuAnswer == kAnswerQuit) EndProgram();
  if (d.menuAnswer == kAnswerEditor) SetMode(d, in, kModeEditor);
  if (d.menuAnswer == kAnswerCredits) {
    d.nextMode = kModeCredits;
    SetMode(d, in, kModeFade);
  }
  if (d.menuAnswer == kAnswerFadeToGame) {
    DrawSnapshot();
    d.nextMode = kModeGame;
    SetMode(d, in, kModeFade);
  }
  if (d.afterLoading == 1313) {
    GetTextLine(engine.records, g.settings, 1);
    const std::string text = engine.records.text1;
    DrawPicture(G(), 730, (G().screenWidth - PictureWidth(G(), 730)) / 2, 110);
    DrawMessageText(text.c_str(), g.settings.altTextFile != 0 ? 140 : 190, 103);
  }
  if (d.gameMode == kModeMenu && OptionsReachable(d)) DrawOptionsHint();
}

}  // namespace

void StartBrightnessFade(BrightnessFade& f, int32_t target) {
  f.target = target;
  f.stepsLeft = 16;
  f.start = f.current;
}

void StepBrightnessFade(BrightnessFade& f) {
  if (f.stepsLeft > 0) --f.stepsLeft;
  f.current = (f.start * f.stepsLeft + (16 - f.stepsLeft) * f.target) / 16;
  if (f.current >= -10 && f.current <= 10) f.current = 0;
  SetBrightness(engine.screen, f.current, 256);
}

void ClearBrightnessFade(BrightnessFade& f) { f.current = f.target = f.stepsLeft = f.start = 0; }

void SetMode(DispatcherState& d, InputState& in, int32_t mode) {
  GfxContext& gfx = G();
  d.gameMode = mode;
  switch (mode) {
    case kModeLoading:
      CreatePicture(gfx, 2, gfx.screenWidth, gfx.screenHeight);
      LoadPicture(gfx, 105, "data/font1.vx1");
      PrepareAlpha(gfx, 105, 2);
      LoadPicture(gfx, 103, "data/txtrs_c.906");
      PrepareAlpha(gfx, 103, 2);
      Saturation(engine.effects, gfx, 103, 0);
      ToneCurve(engine.effects, gfx, 103, 0, 0, 600);
      d.loadingStep = 0;
      LoadPicture(gfx, 739, "data/mus.vx1");
      PrepareAlpha(gfx, 739, 1);
      ClearBrightnessFade(d.fade);
      ReadLoadingAhead();
      break;
    case kModeGame:
      d.sequencePrev1 = d.sequencePrev2 = d.sequencePrev3 = 0;
      d.editorSequence = 0;
      d.afterLoading = 0;
      in.lastKey = 0;
      InitFrameTiming(gfx);
      break;
    case kModeCredits:
      in.escape = 0;
      in.leftReleased = in.rightReleased = 0;
      in.lastKey = 0;
      d.creditFrames = 0;
      break;
    case kModeFade:
      CopyFromScreen(gfx, 2, 0, 0);
      StartBrightnessFade(d.fade, -256);
      d.fadeLevel = 255;
      break;
    default:
      break;
  }
}

void RunFrame(DispatcherState& d, InputState& in) {
  StepBrightnessFade(d.fade);
  switch (d.gameMode) {
    case kModeLoading:
      LoadingFrame(d, in);
      break;
    case kModeGame:
      GameFrame(d, in);
      break;
    case kModeCredits:
      CreditsFrame(d, in);
      break;
    case kModeEditor:
      EditorModeFrame(d, in);
      break;
    case kModeFade:
      FadeFrame(d, in);
      break;
    case kModeMenu:
      MenuModeFrame(d, in);
      break;
    case kModeOptions:
      OptionsModeFrame(d, in);
      break;
    default:
      break;
  }
}
