#pragma once
// Screen-space lights: coloured amounts added to what the back buffer
// already holds. Radii above 176 draw nothing (the square-root table limit);
// everything clips to the screen.
#include <cstdint>

struct EffectsSystem;
struct GfxContext;

// A disc whose light falls off linearly to its rim: each colour byte gains
// (amount · (r - d)) >> 5, clamped to 0 .. 255; negative amounts darken.
void AddRadialLight(EffectsSystem& fx, GfxContext& gfx, int32_t x, int32_t y, int32_t radius, int32_t red,
                    int32_t green, int32_t blue);

// The radial light with the softer falloff table and the texture of light
// map `frame` (slots 1001 + frame; frames outside 0 .. 30 use map 0).
void AddTexturedLight(EffectsSystem& fx, GfxContext& gfx, int32_t x, int32_t y, int32_t radius, int32_t red,
                      int32_t green, int32_t blue, int32_t frame);

// Adds the amounts evenly over a disc: clamped per byte when fast is 0,
// otherwise as one packed 32-bit add whose carries run into the next byte.
// Draws nothing unless one amount is positive.
void TintDisc(EffectsSystem& fx, GfxContext& gfx, int32_t x, int32_t y, int32_t radius, int32_t red,
              int32_t green, int32_t blue, int32_t fast);

// An elliptical glow: vertical distances count 3/2, red reaches the full
// radius, green 7/8 and blue 3/4 of it, and the light fades smoothly to
// zero at each rim. Mode 0 adds with clamping; any other mode adds less to
// bytes that are already bright (a screen-like blend).
void AddEllipseLight(EffectsSystem& fx, GfxContext& gfx, int32_t x, int32_t y, int32_t radius, int32_t red,
                     int32_t green, int32_t blue, int32_t mode);

// Makes bright pixels of a rectangle glow: every pixel (every second row and
// column when sparse is set, k then doubled) whose b + g + r lies within
// [min, max] is weighed by the factors, and those strong enough get a small
// elliptical light (at most 20,001 per call).
void AddPixelGlow(EffectsSystem& fx, GfxContext& gfx, int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                  int32_t min, int32_t max, int32_t k, int32_t redFactor, int32_t greenFactor,
                  int32_t blueFactor, int32_t sparse, int32_t mode);
