// The lamp the player carries: bright pixels around him glow, in a round
// patch and in twenty-four bands that stack into a disc of light.
#include "effects/effects.h"
#include "engine/engine_effects.h"
#include "game/game_state.h"
#include "game/player.h"
#include "game/player_internal.h"
#include "game/singletons.h"

namespace {

constexpr int32_t kBandStep = 0xa000;  // 0.625 in 16.16

// A random walk pulled back towards 0 by one per call.
void Flicker(PlayerRecord& player) {
  player.lightFlicker = fixed::Add(player.lightFlicker, Random(engine.random, -10, 10));
  if (player.lightFlicker < 0) ++player.lightFlicker;
  if (player.lightFlicker > 0) --player.lightFlicker;
}

void Band(GameState& g, int32_t x, int32_t y, int32_t a, int32_t c, int32_t e) {
  const int32_t w = WholePixel(e);
  AddPixelGlow(engine, x - 60 + w, y + WholePixel(a), x + 60 - w, y + WholePixel(fixed::Add(a, c)) - 2, 400,
               550, fixed::Add(g.player.lightFlicker, 100), 150, 80, 50, 1, 0);
}

}  // namespace

void DrawPlayerLight(GameState& g) {
  if (g.player.alive == 0 || g.settings.lowDetail != 0 || g.player.lightOn == 0) return;
  const int32_t x = WholePixel(g.player.drawX), y = WholePixel(g.player.drawY);
  Flicker(g.player);
  AddPixelGlow(engine, x - 30, y - 30, x + 30, y + 30, 400, 500, fixed::Add(g.player.lightFlicker, 120), 200, 110,
               10, 1, 0);
  Flicker(g.player);
  // Band n spans rows a .. a + c - 2 and half-width 60 - e: the bands widen
  // down to the middle and narrow again below it.
  int32_t a = -66 * kFixedOne, b = 8 * kFixedOne, c = 2 * kFixedOne, e = 55 * kFixedOne;
  for (int32_t n = 0; n < 12; ++n) {
    Band(g, x, y, a, c, e);
    a += c;
    c += kBandStep;
    e -= b;
    b -= kBandStep;
  }
  for (int32_t n = 0; n < 12; ++n) {
    Band(g, x, y, a, c, e);
    e += b;
    a += c;
    c -= kBandStep;
    b += kBandStep;
  }
}
