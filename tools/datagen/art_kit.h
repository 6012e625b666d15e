#pragma once
// Shared pieces of the interface art: the stone and iron materials, framed
// panels, rivets and the moon. One light for all of it: cold moonlight from
// the upper left.
#include <cstdint>

#include "datagen/canvas.h"

namespace datagen {

enum class Material { Iron, Stone, EmberIron };

struct PanelStyle {
  Material frame = Material::Iron;
  int border = 16;           // frame width in pixels
  Rgb inner = {0.035f, 0.04f, 0.06f};
  Rgb innerGlow = {0.05f, 0.07f, 0.11f};  // light that falls in from the top
  bool rivets = true;
  uint32_t seed = 1;
};

// The colour of a material at a point, before lighting.
Rgb MaterialColour(Material m, float x, float y, uint32_t seed);
// A framed panel filling the whole canvas.
void DrawPanel(Canvas& c, const PanelStyle& style);
// A domed rivet head.
void DrawRivet(Canvas& c, float cx, float cy, float r, Material m);
// A lit moon disc with maria and an optional crack, and its halo.
void DrawMoon(Canvas& c, float cx, float cy, float r, uint32_t seed, bool cracked, float halo);

}  // namespace datagen
