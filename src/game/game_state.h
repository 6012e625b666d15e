#pragma once
// The record of the running game, one record per subject, each owned by
// the module that works on it: the player (PlayerRecord,
// game/player_state.h), the level's object tables (ObjectTables,
// game/object_tables.h), the level's pictures and timers (LevelState,
// game/level_state.h), the progress (ProgressRecord, game/progress.h), the
// fight (FightRecord, game/fight_state.h), the settings, the music and the
// level pictures. The menu screen (MenuState) and the brightness fade are
// the mode dispatcher's, outside this record.
// All fields are zero at program start; the game reset and the level start
// clear it field by field, never by re-creating it. Flags are 0 or -1 (a
// few use 1).
#include <cstdint>

#include "assets/level_pictures.h"
#include "config/game_settings.h"
#include "game/fight_state.h"
#include "game/fixed_point.h"
#include "game/level_state.h"
#include "game/object_tables.h"
#include "game/player_state.h"
#include "game/progress.h"
#include "sound/music.h"

inline constexpr int32_t kOffScreen = -1313;               // an integer coordinate that means "none"
inline constexpr int32_t kOffScreenFixed = -1313 * 65536;  // the same as a 16.16 value

struct GameState {
  // Settings, from the configuration and the game shell.
  GameSettings settings;
  int32_t level = 0;  // the level the player is in, 0..100
  PlayerRecord player;
  // What the saved game keeps of the player's progress.
  ProgressRecord progress;
  LevelState levelState;
  FightRecord fight;
  ObjectTables tables;
  MusicState music;
  LevelPictureState levelPictures;
  // Frame control.
  int32_t frameResult = 0;  // kStayInGame, or OpenScreen(n) (game/screens.h)
  int32_t resultCount[kResultCodes] = {};
};
