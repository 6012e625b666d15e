#pragma once
// The level's object tables: the object table (monsters, shots, pickups,
// rocks; the monsters/ passes declared in game/objects.h work on it), the
// debris, the placements of the level object file, the lamps and the
// clouds. The level start fills them; a record is free while its `active`
// word is 0.
#include <cstdint>

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

struct ObjectTables {
  LampRecord lamps[kLampCount];
  MonsterRecord objects[kObjectCount];
  DebrisRecord debris[kDebrisCount];
  CloudRecord clouds[kCloudCount];
  PlacementRecord placements[kPlacementCount];
  int32_t currentShooter = 0;  // the object whose shot is being spawned
  int32_t bossSightings = 0;   // frames the ground boss was drawn in this level
};
