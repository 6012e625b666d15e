#pragma once
// What the monster passes share: whole-pixel positions, the mask test, the
// samples, the messages, the sparks of an explosion, hurting and pushing
// the player. Wrapping 16.16 steps are fixed:: (game/fixed_point.h).
//
// Random draws: where one call takes several drawn arguments, they are drawn
// from the last argument to the first, so a point (x ± rand, y ± rand) draws
// its y offset first; separate statements draw in their written order.
#include <cstdint>

#include "game/game_state.h"
#include "game/levels.h"

namespace monsters {

inline constexpr int32_t kHalfPixel = 32768;
inline constexpr int32_t kQuarterPixel = 16384;
inline constexpr int32_t kFullCircle = 360 * kFixedOne;

// The shell a burst shot leaves as debris: picture 731 past row 0; in row 0
// slot 813, which nothing loads, so that the shell there is not seen.
inline constexpr int32_t kShellPicture = 731;
inline constexpr int32_t kUnseenShellPicture = 813;
inline constexpr int32_t ShellPicture(int32_t level) {
  return level > kLastFirstRowLevel ? kShellPicture : kUnseenShellPicture;
}

inline int32_t Px(const MonsterRecord& r) { return WholePixel(r.x); }
inline int32_t Py(const MonsterRecord& r) { return WholePixel(r.y); }
inline int32_t PlayerPx(const GameState& g) { return WholePixel(g.player.x); }
inline int32_t PlayerPy(const GameState& g) { return WholePixel(g.player.y); }

int32_t ScreenW();
int32_t ScreenH();
// Whether (px, py) lies more than `margin` pixels outside the screen.
bool Outside(int32_t px, int32_t py, int32_t margin);
// The level mask at (x, y): any non-zero pixel is solid; outside the picture
// nothing is.
bool Solid(const GameState& g, int32_t x, int32_t y);

// A spin angle (16.16 degrees) turned by `step` and brought back into
// 0 .. 360 by one add or subtract of 360.
int32_t TurnAngle(int32_t angle, int32_t step);

// Plays a sample while sound is on.
void Sample(const GameState& g, int32_t slot);
// One of the three explosion samples, chosen (with one draw) only while
// sound is on.
void ExplosionSample(const GameSettings& settings);
// A message screen asked for once: when no result is pending and the
// message was never shown, the frame returns m and its count grows by w.
void RaiseMessage(GameState& g, int32_t m, int32_t weight);

// `count` particles of `size` around (x, y), each offset by ±spread (or by
// ±spreadX across and ±spreadY up and down).
void Sparks(GameState& g, int32_t x, int32_t y, int32_t count, int32_t size, int32_t spread);
void Sparks(GameState& g, int32_t x, int32_t y, int32_t count, int32_t size, int32_t spreadX,
            int32_t spreadY);
// `count` flash rings around (x, y), each offset by ±spread.
void Flashes(int32_t x, int32_t y, int32_t count, int32_t spread, int32_t intensity, int32_t decay);

// The 33 flashes of a small thing cut by the sword, up its body from `top`.
void CutFlashes(int32_t px, int32_t top, int32_t half);
// The explosion of a shot at (x, y): 131 particles of size 13 and 41 of
// size 20 around it, and one explosion sample.
void ShotBurst(GameState& g, int32_t x, int32_t y);

// Whether a roaming monster at px is further from home than its range.
bool FarFromHome(int32_t px, const MonsterRecord& r);
// The roaming turn of walkers and flyers: back towards home beyond the
// range, then away from the screen margins.
void Roam(MonsterRecord& r, int32_t px, int32_t margin);

// The difficulty band of a damage table: 0 for s >= 51, 1 for 36..50,
// 2 for 26..35, 3 for s <= 25.
int32_t DamageBand(GameState& g);
// Damage D taken once, and once more without armour; the health bar shows,
// and below 0 the player dies, his pieces flying away from (fromX, fromY).
void HurtPlayer(GameState& g, int32_t damage, int32_t fromX, int32_t fromY);
// Pushes the player away from (px, py): the velocity grows by the
// normalised distance times `factor`, the upward part shifted by
// `verticalShift`, the downward part dropped.
void PushPlayer(GameState& g, int32_t px, int32_t py, int32_t factor, int32_t verticalShift);
// The six flashes of a push, between the thing and the player's middle.
void PushFlashes(GameState& g, int32_t px, int32_t py);

// While on (during one update), MonsterTop remembers each record's answer
// for as long as the record's words stay the same.
void HoldMonsterTops(bool on);

// The number of free object records.
int32_t FreeRecords(const ObjectTables& tables);

}  // namespace monsters
