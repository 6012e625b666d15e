#pragma once
// The one record of the running game. All fields are zero at program start;
// the game reset and the level start clear it field by field.
#include <cstdint>
#include <string>

#include "assets/level_pictures.h"
#include "config/game_settings.h"
#include "sound/music.h"

struct LampRecord {
  int32_t active = 0, flicker = 0, flickerStep = 0, x = 0, y = 0, size = 0, spare[2] = {};
};

struct CloudRecord {
  int16_t x = 0, y = 0, frame = 0, active = 0;
};

struct PlacementRecord {
  int32_t active = 0, x = 0, y = 0, type = 0, extra[6] = {}, spare[22] = {};
};

// One entry of the object table (monster, shot, thrown weapon, rock or
// pickup) and one flying body piece; their fields arrive with the monsters.
struct MonsterRecord {
  int32_t words[64] = {};
};
struct DebrisRecord {
  int32_t words[16] = {};
};

struct GameState {
  // Settings (the configuration's own words).
  GameSettings settings;
  // Level and player position.
  int32_t level = 0;
  int32_t playerX = 0, playerY = 0;
  // One-shot messages.
  int32_t resultSeen[1010] = {};
  // Weapons.
  int32_t weapon = 0;
  int32_t owned[110] = {};
  // Difficulty.
  int32_t difficultyOffset = 0;
  int32_t difficultyBase = 0;
  // Progress.
  int32_t levelCleared[110] = {};
  // Special items.
  int32_t longBlade = 0, armour = 0, doubleShot = 0, regeneration = 0, broadBlade = 0;
  // Level pictures and player motion.
  int32_t lightFlicker = 0;
  int32_t foregroundSlot = 0, maskSlot = 0;
  int32_t playerAngle = 0;
  int32_t facing = 0;
  int32_t velX = 0, velY = 0;
  int32_t drawX = 0, drawY = 0;
  int32_t drawAngle = 0;
  int32_t subStepCount = 0;
  int32_t lastDrawX = 0, lastDrawY = 0;
  int32_t bodySlot = 0;
  int32_t attackFrame = 0;
  int32_t attackCooldown = 0;
  int32_t prevSwitchKey = 0;
  int32_t weaponRect[4] = {};
  int32_t prevAttackFrame = 0;
  int32_t jumpCooldown = 0;
  int32_t editorSelection = 0;
  int32_t monsterWord1 = 0;
  int32_t playerAlive = 0;
  // Frame control.
  int32_t frameResult = 0;
  int32_t deathTimer = 0;
  // Fight of the level.
  int32_t fightState = 0;
  int32_t fightTime = 0;
  int32_t fightTimeStart = 0;
  int32_t fightAux = 0;
  // More player and level state.
  int32_t swordActive = 0;
  int32_t backgroundSlot = 0;
  int32_t attackLatch = 0;
  int32_t fightBarY = 0, fightBarAux = 0;
  int32_t fogMode = 0;
  int32_t playerLightOn = 0;
  // The music check's words.
  MusicState music;
  // The level loader's words: the current picture files, the loaded flags.
  LevelPictureState levelPictures;
  int32_t hintTimer = 0;
  int32_t hitStun = 0;
  int32_t health = 0;
  int32_t healthBarTimer = 0;
  // Screen brightness fade.
  int32_t fadeCurrent = 0, fadeTarget = 0, fadeStepsLeft = 0, fadeStart = 0;
  int32_t jumpBuffer = 0;
  int32_t currentShooter = 0;  // the monster whose turn it is to shoot
  int32_t cachedBody = 0, cachedWeapon = 0;
  int32_t endingTimer = 0;
  // Tables.
  LampRecord lamps[40];
  int32_t probeFreeX[110] = {};
  int32_t probeFreeY[110] = {};
  MonsterRecord objects[101];
  DebrisRecord debris[201];
  CloudRecord clouds[201];
  PlacementRecord placements[301];
  int32_t resultCount[1010] = {};
  int32_t weaponCacheValid[2][16] = {};
};
