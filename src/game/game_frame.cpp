#include "game/game_frame.h"

#include "assets/loading.h"
#include "engine/engine_effects.h"
#include "game/fight.h"
#include "game/fight_frame.h"
#include "game/game_state.h"
#include "game/hint.h"
#include "game/lamps_clouds.h"
#include "game/level_build.h"
#include "game/level_start.h"
#include "game/objects.h"
#include "game/player.h"
#include "game/room_exits.h"
#include "game/screens.h"
#include "game/singletons.h"
#include "gfx/drawing.h"
#include "gfx/text.h"
#include "sound/music.h"

namespace {

constexpr int32_t kFirstVisitHelp = OpenScreen(kScreenHelp);

void DrawStats(GameState& g) {
  GfxContext& gfx = engine.gfx;
  const int32_t w = engine.gfx.screenWidth;
  const int32_t h = engine.gfx.screenHeight;
  DrawTextBox(gfx, "frames per second:", 50, 250, w, h, 103, 3);
  DrawNumber(gfx, gfx.measuredFps, 241, 250, w, h, 103, 3);
  DrawTextBox(gfx, "now difficulty:", 50, 270, w, h, 103, 3);
  DrawNumber(gfx, Difficulty(g.progress), 241, 270, w, h, 103, 3);
}

}  // namespace

void DrawLevel(GameState& g) {
  LoadLevelPictures(g.levelPictures, g.level, engine.gfx, engine.effects, &engine.picturePrefetch);
  DrawPacked24(engine.gfx, kComposedSlot, 0, 0);
  if (g.settings.lowDetail == 0) {
    UpdateShimmerAreas(engine);
    UpdateTwinkles(engine);
    DrawLamps(g.tables);
    UpdateDrift(engine);
    UpdateDrift(engine);
  }
  if (g.frameResult == kStayInGame && g.progress.resultSeen[kFirstVisitHelp] == 0)
    g.frameResult = kFirstVisitHelp;
}

void SettleFrameResult(GameState& g) {
  if (static_cast<uint32_t>(g.frameResult) > static_cast<uint32_t>(kHighestResult))
    g.frameResult = kStayInGame;
  g.progress.resultSeen[g.frameResult] = 1;
  // A message asked for often enough is not shown any more.
  if (g.resultCount[g.frameResult] > 7) {
    g.resultCount[g.frameResult] = 8;
    g.frameResult = kStayInGame;
  }
}

int32_t RunGameFrame(GameState& g, int32_t moveLeft, int32_t moveRight, int32_t jump, int32_t nextWeapon,
                     int32_t attack) {
  const bool full = g.settings.lowDetail == 0;
  g.frameResult = kStayInGame;
  const int32_t fps = engine.gfx.measuredFps;
  StirRandom(engine.random, fixed::Mul(2, fps), fixed::Mul(5, fps));
  UpdateFrameTiming(engine.gfx);
  CheckRoomExit(g);
  UpdatePlayer(g, moveLeft, moveRight, jump, nextWeapon, attack);
  PrepareWeaponPicture(g);
  DrawLevel(g);
  if (full && g.levelState.fogMode == 1) DrawFog(engine, 1);
  DrawPlayer(g);
  UpdateMonsters(g);
  UpdateDebris(g);
  DrawHintArrow(g);
  UpdateFlashes(engine);
  FightFrame(g);
  DangerWarning(g);
  if (full) DrawFog(engine, 0);
  if (full) DrawClouds(g.tables);
  UpdateFog(engine);
  if (full && g.levelState.fogMode == 2) DrawFog(engine, 2);
  DrawPlayerLight(g);
  UpdateMusic(g.music, g.settings, g.level, engine.sound);
  if (g.settings.showStats != 0) DrawStats(g);
  SettleFrameResult(g);
  return g.frameResult;
}
