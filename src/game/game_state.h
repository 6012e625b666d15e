#pragma once
// The record of the running game. Subjects with an owner of their own are
// records of it: the progress (ProgressRecord, game/progress.h), the fight
// (FightRecord, game/fight_state.h), the settings,
// the music and the level pictures. The menu screen (MenuState) and the
// brightness fade are the mode dispatcher's, outside this record.
// All fields are zero at program start; the game reset and the level start
// clear it field by field, never by re-creating it. Positions are 16.16
// fixed point in screen pixels, flags are 0 or -1 (a few use 1), angles of
// the player are in 1/256 degree.
#include <cstdint>

#include "assets/level_pictures.h"
#include "config/game_settings.h"
#include "game/fight_state.h"
#include "game/fixed_point.h"
#include "game/progress.h"
#include "sound/music.h"

inline constexpr int32_t kOffScreen = -1313;               // an integer coordinate that means "none"
inline constexpr int32_t kOffScreenFixed = -1313 * 65536;  // the same as a 16.16 value
inline constexpr int32_t kFullHealth = 40 * kFixedOne;
inline constexpr int32_t kFullTurn = 92160;  // 360 degrees in 1/256 degree
inline constexpr int32_t kObjectCount = 101;
inline constexpr int32_t kDebrisCount = 201;
inline constexpr int32_t kPlacementCount = 301;
inline constexpr int32_t kLampCount = 40;
inline constexpr int32_t kCloudCount = 201;

struct LampRecord {
  int32_t active = 0;
  int32_t flicker = 0;      // 0..28, the light's rotation frame
  int32_t flickerStep = 0;  // +1 or -1
  int32_t x = 0, y = 0;     // in 1/1024 of the screen width and of the scaled height
  int32_t size = 0;
  int32_t spare[2] = {};
};

struct CloudRecord {
  int16_t x = 0, y = 0;
  int16_t frame = 0;  // 0..179; the picture shown is 880 + frame / 3
  int16_t active = 0;
};

// One level object placement: the spawn point and code of an object, as the
// level object file and the editor keep it.
struct PlacementRecord {
  int32_t active = 0;
  int32_t x = 0, y = 0;
  int32_t type = 0;       // the spawn code; 0..90 are spawned, larger values are only kept
  int32_t extra[6] = {};  // written to the level object file, never read back
  int32_t spare[22] = {};
};

// One entry of the object table: a monster, monster shot, the player's gun
// shot, a rock or a pickup. A record is free while `active` is 0; the other
// words of a free record keep their old values until the next spawn.
struct MonsterRecord {
  int32_t active = 0;
  int32_t x = 0, y = 0;  // 16.16
  int32_t image = 0;     // strip slot, square frames
  int32_t frame = 0;     // animation counter; the frame shown is frame / frameDivisor
  int32_t lastFrame = 0;
  int32_t homeX = 0;
  int32_t direction = 0;  // +1 right, -1 left
  int32_t roamRange = 0;
  int32_t kind = 0;
  int32_t speed = 0;  // half pixels per frame
  int32_t airFrames = 0;
  int32_t frameDivisor = 0;
  int32_t vx = 0, vy = 0;  // 16.16 pixels per frame
  int32_t angle = 0;       // 16.16 degrees, 0..360
  int32_t glow = 0;        // drawing size of a shot in 1/256
  int32_t bob = 0;         // 16.16
  int32_t bobSpeed = 0;
  int32_t poseImage = 0;
  int32_t fuse = 0;
  int32_t health = 0;  // 16.16
  int32_t rage = 0;
  int32_t homeY = 0;
  int32_t shooter = 0;
  int32_t phase = 0;
  int32_t phaseTimer = 0;
  int32_t spare[37] = {};
};
static_assert(sizeof(MonsterRecord) == 64 * 4);

// One flying body piece or shell fragment.
struct DebrisRecord {
  int32_t active = 0;
  int32_t x = 0, y = 0;  // 16.16
  int32_t angle = 0;     // 16.16 degrees, 0..360
  int32_t spin = 0;      // 16.16 degrees per frame
  int32_t image = 0;
  int32_t drawFrame = 0;   // -1: the whole picture
  int32_t vy = 0, vx = 0;  // 16.16 pixels per frame, in this order
  int32_t mode =
      0;  // 0 body piece, 1 shell of an exploded shot, 2 shot fragment, 3 ejected shell, 13 the player
  int32_t spare[6] = {};
};
static_assert(sizeof(DebrisRecord) == 16 * 4);

struct GameState {
  // Settings, from the configuration and the game shell.
  GameSettings settings;

  // Level and player position.
  int32_t level = 0;
  int32_t playerX = 0, playerY = 0;  // 16.16, the centre of the body

  // The weapon in hand: its picture number (a Weapon, game/weapons.h).
  int32_t weapon = 0;

  // What the saved game keeps of the player's progress.
  ProgressRecord progress;

  // Level pictures and player motion.
  int32_t lightFlicker = 0;
  int32_t foregroundSlot = 0, maskSlot = 0;
  int32_t playerAngle = 0;     // roll, 0..92160
  int32_t facing = 0;          // 1 left, 2 right
  int32_t velX = 0, velY = 0;  // 16.16 pixels per sub-step
  int32_t drawX = 0, drawY = 0;
  int32_t drawAngle = 0;
  int32_t subStepCount = 0;
  int32_t lastDrawX = 0, lastDrawY = 0;
  int32_t bodySlot = 0;     // kSwordBodySlot or kGunBodySlot (game/weapons.h)
  int32_t attackFrame = 0;  // 0..10
  int32_t attackCooldown = 0;
  int32_t prevSwitchKey = 0;
  int32_t weaponRect[4] = {};  // left, top, right, bottom around the drawn weapon
  int32_t prevAttackFrame = 0;
  int32_t jumpCooldown = 0;
  int32_t editorSelection = 0;  // -1 for none
  int32_t dangerSum = 0;        // the threats counted by the last danger warning
  int32_t playerAlive = 0;

  // Frame control.
  int32_t frameResult = 0;  // kStayInGame, or OpenScreen(n) (game/screens.h)
  int32_t deathTimer = 0;

  // Fight of the level.
  FightRecord fight;

  // More player and level state.
  int32_t swordActive = 0;
  int32_t backgroundSlot = 0;
  int32_t attackLatch = 0;
  int32_t fogMode = 0;  // 1 or 2
  int32_t playerLightOn = 0;
  MusicState music;
  LevelPictureState levelPictures;
  int32_t hintTimer = 0;
  int32_t hitStun = 0;
  int32_t health = 0;  // 16.16, full is 40.0
  int32_t healthBarTimer = 0;
  int32_t jumpBuffer = 0;
  int32_t currentShooter = 0;  // the object whose shot is being spawned
  int32_t bossSightings = 0;   // frames the ground boss was drawn in this level
  int32_t cachedBody = 0, cachedWeapon = 0;
  int32_t dangerTimer = 0;
  int32_t endingTimer = 0;

  // Tables.
  LampRecord lamps[kLampCount];
  int32_t probeFreeX[kLevelEntries] = {};  // the last free point of each leg probe
  int32_t probeFreeY[kLevelEntries] = {};
  MonsterRecord objects[kObjectCount];
  DebrisRecord debris[kDebrisCount];
  CloudRecord clouds[kCloudCount];
  PlacementRecord placements[kPlacementCount];
  int32_t resultCount[kResultCodes] = {};
  int32_t weaponCacheValid[2][16] = {};  // by side (0 right, 1 left) and attack frame
};
