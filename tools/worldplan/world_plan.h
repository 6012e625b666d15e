#pragma once
// The world plan in numbers: for each of the seventeen levels with
// pictures, its ways in, the floor heights at the edges it shares with its
// neighbours, the holes in its floor and the floors and air kept for
// monsters and pickups. docs/world.md tells the same plan in words. The
// generator draws the level pictures on it; the tests, the world sheet and
// route checks read it. Header only, so that anything can include it.
//
// Coordinates are pixels of the 800 x 600 screen. A floor height is the y of
// the first solid mask row under the player: standing there, the body centre
// is about 43 pixels higher.
#include <array>
#include <cstdint>

namespace datagen::world {

inline constexpr int32_t kWidth = 800;
inline constexpr int32_t kHeight = 600;
// The edge margin at an 800-wide screen: (25 · 800) >> 10.
inline constexpr int32_t kMargin = 19;
// Where a room change puts the player.
inline constexpr int32_t kArriveLeftX = 3 * kMargin;            // over the left edge, from level - 1
inline constexpr int32_t kArriveRightX = kWidth - 2 * kMargin;  // over the right edge, from level + 1
inline constexpr int32_t kArriveTopY = 20;                      // through the top, from level - 5
inline constexpr int32_t kRoomChangeLift = 17;                  // y -= 17 on a side change
// The player's reach, kept well inside what a jump gives.
inline constexpr int32_t kBodyAboveCentre = 42;  // the body frame reaches this far up
inline constexpr int32_t kLegBelowCentre = 42;   // the leg reaches this far down
inline constexpr int32_t kBodyHalfWidth = 30;
inline constexpr int32_t kHeadroom = 120;  // free height kept over every floor the route uses
inline constexpr int32_t kMaxStep = 70;    // highest ledge the route asks the player to jump onto
inline constexpr int32_t kMaxGap = 80;     // widest gap the route asks the player to jump

// The levels that have pictures, in the order of their picture slots.
inline constexpr std::array<int32_t, 17> kLevels = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 15, 16, 17, 18, 19, 24};

enum class Theme : int32_t {
  Ruins,    // row 0: outdoors under the night sky, drawn over the shared backdrop
  Crypt,    // row 1: the vaults under the keep
  Shaft,    // level 10
  Foundry,  // row 3: the deep halls
  Chamber,  // level 24: the ending
};

struct LevelPlan {
  int32_t level;
  Theme theme;
  const char* name;
};

inline constexpr std::array<LevelPlan, 17> kLevelPlans = {{
    {0, Theme::Ruins, "the western watchtower"},
    {1, Theme::Ruins, "the fallen chapel"},
    {2, Theme::Ruins, "the lantern road"},
    {3, Theme::Ruins, "the broken aqueduct"},
    {4, Theme::Ruins, "the drowned gate"},
    {5, Theme::Crypt, "the well chamber"},
    {6, Theme::Crypt, "the crypt under the chapel"},
    {7, Theme::Crypt, "the ossuary"},
    {8, Theme::Crypt, "the flooded crypt"},
    {9, Theme::Crypt, "the cistern"},
    {10, Theme::Shaft, "the shaft"},
    {15, Theme::Foundry, "the foundry gate"},
    {16, Theme::Foundry, "the furnace hall"},
    {17, Theme::Foundry, "the great forge"},
    {18, Theme::Foundry, "the cooling hall"},
    {19, Theme::Foundry, "the last stair"},
    {24, Theme::Chamber, "the moon chamber"},
}};

// How the player comes into a level.
enum class Way : int32_t {
  Start,    // a new game: (185 · W / 512, 275 · H' / 512) in level 2
  AtLeft,   // walked off the right edge of level - 1: x = 57, y lifted by 17
  AtRight,  // walked off the left edge of level + 1: x = 762, y lifted by 17
  AtTop,    // fell out of the bottom of level - 5: y = 20, same x
};

// The player appears at (x, y) for any x in x0..x1 and comes to rest on the
// floor whose top is floorY; floorY = -1: he falls on through the bottom of
// the level. For side entries y is the one a player walking on the floor of
// the level he left arrives with.
struct Entry {
  int32_t level;
  Way way;
  int32_t x0, x1;
  int32_t y;
  int32_t floorY;
};

inline constexpr int32_t kFloorBelow = -1;

inline constexpr std::array<Entry, 30> kEntries = {{
    {2, Way::Start, 289, 289, 429, 474},
    {0, Way::AtRight, kArriveRightX, kArriveRightX, 410, 470},
    {1, Way::AtLeft, kArriveLeftX, kArriveLeftX, 410, 470},
    {1, Way::AtRight, kArriveRightX, kArriveRightX, 400, 460},
    {2, Way::AtLeft, kArriveLeftX, kArriveLeftX, 400, 460},
    {2, Way::AtRight, kArriveRightX, kArriveRightX, 410, 470},
    {3, Way::AtLeft, kArriveLeftX, kArriveLeftX, 410, 470},
    {3, Way::AtRight, kArriveRightX, kArriveRightX, 400, 460},
    {4, Way::AtLeft, kArriveLeftX, kArriveLeftX, 400, 460},
    {5, Way::AtRight, kArriveRightX, kArriveRightX, 420, 480},
    {6, Way::AtLeft, kArriveLeftX, kArriveLeftX, 420, 480},
    {6, Way::AtRight, kArriveRightX, kArriveRightX, 440, 500},
    {6, Way::AtTop, 320, 384, kArriveTopY, 500},
    {7, Way::AtLeft, kArriveLeftX, kArriveLeftX, 440, 500},
    {7, Way::AtRight, kArriveRightX, kArriveRightX, 420, 480},
    {8, Way::AtLeft, kArriveLeftX, kArriveLeftX, 420, 480},
    {8, Way::AtRight, kArriveRightX, kArriveRightX, 440, 500},
    {8, Way::AtTop, 292, 356, kArriveTopY, 480},
    {9, Way::AtLeft, kArriveLeftX, kArriveLeftX, 440, 500},
    {10, Way::AtTop, 200, 280, kArriveTopY, kFloorBelow},
    {15, Way::AtTop, 160, 340, kArriveTopY, 480},
    {15, Way::AtRight, kArriveRightX, kArriveRightX, 420, 480},
    {16, Way::AtLeft, kArriveLeftX, kArriveLeftX, 420, 480},
    {16, Way::AtRight, kArriveRightX, kArriveRightX, 410, 470},
    {17, Way::AtLeft, kArriveLeftX, kArriveLeftX, 410, 470},
    {17, Way::AtRight, kArriveRightX, kArriveRightX, 420, 480},
    {18, Way::AtLeft, kArriveLeftX, kArriveLeftX, 420, 480},
    {18, Way::AtRight, kArriveRightX, kArriveRightX, 410, 470},
    {19, Way::AtLeft, kArriveLeftX, kArriveLeftX, 410, 470},
    {24, Way::AtTop, 360, 440, kArriveTopY, 470},
}};

// The floor height where level `left` meets level `left` + 1: the same at the
// right edge of the one and the left edge of the other, flat for the first
// and last 100 pixels of each.
struct SharedEdge {
  int32_t left;
  int32_t floorY;
};

inline constexpr std::array<SharedEdge, 12> kSharedEdges = {{
    {0, 470},
    {1, 460},
    {2, 470},
    {3, 460},
    {5, 480},
    {6, 500},
    {7, 480},
    {8, 500},
    {15, 480},
    {16, 470},
    {17, 480},
    {18, 470},
}};
inline constexpr int32_t kEdgeFlat = 100;

// An opening in the bottom row of a level into level + 5: the columns
// x0 <= x < x1 are free. `gate` is the frame result of falling through it
// while its row is not yet won (0: never gated).
struct Hole {
  int32_t level;
  int32_t x0, x1;
  int32_t gate;
};

inline constexpr std::array<Hole, 5> kHoles = {{
    {1, 320, 384, 119},
    {3, 292, 356, 119},
    {5, 200, 280, 120},
    {10, 160, 340, 0},
    {19, 360, 440, 134},
}};

// Room kept for monsters and pickups. Walker and jumper zones are flat floor
// (y0 = y1 = the floor top); flyer zones are open air (a box); a pickup sits
// on the floor at (x0, y0).
enum class ZoneKind : int32_t { Walker, Jumper, Flyer, Pickup };

struct Zone {
  int32_t level;
  ZoneKind kind;
  int32_t x0, x1;
  int32_t y0, y1;
};

inline constexpr std::array<Zone, 67> kZones = {{
    {0, ZoneKind::Walker, 110, 370, 470, 470},  {0, ZoneKind::Walker, 530, 790, 470, 470},
    {0, ZoneKind::Jumper, 540, 790, 470, 470},  {0, ZoneKind::Flyer, 120, 780, 150, 380},
    {0, ZoneKind::Pickup, 450, 450, 410, 410},  {1, ZoneKind::Walker, 20, 240, 470, 470},
    {1, ZoneKind::Jumper, 410, 580, 460, 460},  {1, ZoneKind::Pickup, 120, 120, 470, 470},
    {1, ZoneKind::Flyer, 60, 760, 120, 360},    {1, ZoneKind::Pickup, 640, 640, 396, 396},
    {2, ZoneKind::Walker, 490, 790, 470, 470},  {2, ZoneKind::Jumper, 490, 790, 470, 470},
    {2, ZoneKind::Flyer, 220, 760, 120, 360},   {2, ZoneKind::Pickup, 400, 400, 410, 410},
    {3, ZoneKind::Walker, 10, 270, 470, 470},   {3, ZoneKind::Walker, 560, 790, 460, 460},
    {3, ZoneKind::Jumper, 560, 790, 460, 460},  {3, ZoneKind::Flyer, 40, 760, 130, 360},
    {3, ZoneKind::Pickup, 435, 435, 405, 405},  {4, ZoneKind::Walker, 20, 560, 460, 460},
    {4, ZoneKind::Jumper, 130, 550, 460, 460},  {4, ZoneKind::Flyer, 240, 700, 100, 340},
    {4, ZoneKind::Pickup, 685, 685, 380, 380},  {5, ZoneKind::Walker, 310, 550, 480, 480},
    {5, ZoneKind::Jumper, 310, 550, 480, 480},  {5, ZoneKind::Flyer, 100, 760, 240, 380},
    {5, ZoneKind::Pickup, 620, 620, 420, 420},  {6, ZoneKind::Walker, 200, 510, 500, 500},
    {6, ZoneKind::Jumper, 200, 510, 500, 500},  {6, ZoneKind::Flyer, 60, 760, 240, 400},
    {6, ZoneKind::Pickup, 580, 580, 445, 445},  {7, ZoneKind::Walker, 10, 350, 500, 500},
    {7, ZoneKind::Walker, 580, 790, 480, 480},  {7, ZoneKind::Jumper, 10, 350, 500, 500},
    {7, ZoneKind::Flyer, 60, 760, 240, 400},    {7, ZoneKind::Pickup, 510, 510, 420, 420},
    {8, ZoneKind::Walker, 10, 400, 480, 480},   {8, ZoneKind::Jumper, 10, 400, 480, 480},
    {8, ZoneKind::Flyer, 60, 760, 240, 400},    {8, ZoneKind::Pickup, 620, 620, 440, 440},
    {9, ZoneKind::Walker, 10, 250, 500, 500},   {9, ZoneKind::Walker, 370, 600, 470, 470},
    {9, ZoneKind::Jumper, 10, 250, 500, 500},   {9, ZoneKind::Flyer, 60, 700, 240, 380},
    {9, ZoneKind::Pickup, 670, 670, 410, 410},  {10, ZoneKind::Flyer, 175, 390, 60, 520},
    {10, ZoneKind::Pickup, 475, 475, 250, 250}, {15, ZoneKind::Walker, 80, 510, 480, 480},
    {15, ZoneKind::Jumper, 80, 510, 480, 480},  {15, ZoneKind::Flyer, 400, 760, 220, 400},
    {16, ZoneKind::Walker, 450, 790, 470, 470}, {16, ZoneKind::Jumper, 450, 790, 470, 470},
    {16, ZoneKind::Flyer, 60, 760, 220, 380},   {17, ZoneKind::Walker, 190, 600, 470, 470},
    {17, ZoneKind::Jumper, 190, 600, 470, 470}, {17, ZoneKind::Flyer, 60, 760, 180, 380},
    {17, ZoneKind::Pickup, 140, 140, 415, 415}, {18, ZoneKind::Walker, 230, 490, 480, 480},
    {18, ZoneKind::Jumper, 230, 490, 480, 480}, {18, ZoneKind::Flyer, 60, 760, 220, 380},
    {18, ZoneKind::Pickup, 640, 640, 410, 410}, {19, ZoneKind::Walker, 10, 330, 470, 470},
    {19, ZoneKind::Jumper, 10, 330, 470, 470},  {19, ZoneKind::Flyer, 60, 700, 220, 380},
    {19, ZoneKind::Pickup, 650, 650, 410, 410}, {24, ZoneKind::Walker, 70, 730, 470, 470},
    {24, ZoneKind::Flyer, 120, 680, 220, 400},
}};

}  // namespace datagen::world
