#include "datagen/creature_preview.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "assets/loading.h"
#include "gfx/drawing.h"
#include "gfx/image_slots.h"
#include "gfx/text.h"
#include "shell/globals.h"

namespace datagen {
namespace {

constexpr int32_t kW = 800, kH = 600;
constexpr int32_t kMask = 1190;  // a slot the game leaves unused
constexpr uint32_t kProbe = 0x40e0ff, kFootProbe = 0x40ff60, kBox = 0xff4040;

struct Walker {
  int32_t strip, poses, count;
  int32_t depth;
  const char* name;
};
constexpr Walker kWalkers[] = {{120, 415, 6, 40, "IMP"},
                               {126, 427, 6, 35, "CASTER"},
                               {132, 439, 9, 40, "HOUND"},
                               {150, 457, 6, 40, "SPITTER"},
                               {156, 469, 6, 40, "LOBBER"}};

void Label(GfxContext& g, const std::string& text, int32_t x, int32_t y) {
  DrawTextBox(g, text.c_str(), x, y, kW - 1, kH - 1, 103, 3);
}

void Dot(GfxContext& g, int32_t x, int32_t y, uint32_t colour) {
  FillRect(g, x - 1, y - 1, x + 1, y + 1, colour);
}

void Frame(GfxContext& g, int32_t x1, int32_t y1, int32_t x2, int32_t y2, uint32_t colour) {
  DrawLine(g, x1, y1, x2, y1, colour);
  DrawLine(g, x2, y1, x2, y2, colour);
  DrawLine(g, x2, y2, x1, y2, colour);
  DrawLine(g, x1, y2, x1, y1, colour);
}

// Solid mask (and a stone band on screen) from `y` down `depth` rows
// between x1 and x2.
void Ground(GfxContext& g, int32_t x1, int32_t x2, int32_t y, int32_t depth) {
  for (int32_t yy = y; yy < y + depth && yy < kH; ++yy)
    for (int32_t x = std::max(0, x1); x <= std::min(kW - 1, x2); ++x) SetPixel(g, kMask, x, yy, 0xff808080u);
  FillRect(g, x1, y, x2, y + depth - 1, 0x2c2e35);
  FillRect(g, x1, y, x2, y, 0x6d6f78);
}

void ClearMask(GfxContext& g) {
  for (int32_t y = 0; y < kH; ++y)
    for (int32_t x = 0; x < kW; ++x) SetPixel(g, kMask, x, y, 0);
}

// Draws a scaled copy of a whole picture with its top-left corner at (x, y).
void DrawScaled(GfxContext& g, int32_t slot, int32_t x, int32_t y, int32_t size) {
  DrawToCorners(g, slot, x, y, x + size, y, x, y + size, x + size, y + size, -1);
}

// A walker of the row standing with its ground line at y: the game keeps it
// 12 pixels above the line (10 to 15), then lifts the pose by the sink.
void StandWalker(GfxContext& g, const Walker& w, int32_t pose, int32_t px, int32_t groundY, bool probes) {
  const int32_t h = PictureHeight(g, w.strip);
  const int32_t py = groundY - 12;
  const int32_t left = px - h / 2;
  int32_t top = py - h / 2;
  top -= GroundSinkOf(g, kMask, left, top, pose, w.depth);
  DrawPicture(g, pose, left, top);
  if (!probes) return;
  Dot(g, px, py + 15, kFootProbe);
  Dot(g, px - 25, py - 35, kProbe);
  Dot(g, px + 25, py - 35, kProbe);
}

void WalkersScreen(GfxContext& g) {
  ClearMask(g);
  for (size_t i = 0; i < std::size(kWalkers); ++i) {
    const Walker& w = kWalkers[i];
    const int32_t groundY = 112 + static_cast<int32_t>(i) * 114;
    Ground(g, 0, kW - 1, groundY, 8);
    const int32_t h = PictureHeight(g, w.strip);
    const int32_t step = h * 5 / 6;
    int32_t x = 56;
    for (int32_t k = 0; k < w.count; ++k, x += step) StandWalker(g, w, w.poses + k, x, groundY, k == 0);
    x += 12;
    for (int32_t k = 0; k < 2 && x + h / 2 < kW; ++k, x += step)
      StandWalker(g, w, w.poses + w.count + k, x, groundY, false);
    Label(g, w.name, 6, groundY + 10 - 114 + 8);
  }
}

// The jumpers stand on mask points 90 to 97 below their position and are
// drawn 10 lower than their top; the ground boss crushes inside its box.
void BigScreen(GfxContext& g) {
  ClearMask(g);
  const int32_t groundY = 262;
  Ground(g, 0, kW - 1, groundY, 8);
  struct Pose {
    int32_t strip, slot, px;
  };
  const Pose jumpers[] = {{162, 481, 90}, {162, 482, 250}, {192, 517, 420}, {192, 519, 570}, {192, 521, 715}};
  for (const Pose& p : jumpers) {
    const int32_t h = PictureHeight(g, p.strip);
    const int32_t py = groundY - 94;
    DrawPicture(g, p.slot, p.px - h / 2, py - h / 2 + 10);
    for (int32_t a : {-40, 0, 40}) {
      Dot(g, p.px + a, py + 90, kFootProbe);
      Dot(g, p.px + a, py + 97, kFootProbe);
    }
    Dot(g, p.px - 80, py, kProbe);
    Dot(g, p.px + 80, py, kProbe);
  }
  Label(g, "JUMPERS: FEET 90 TO 97 BELOW, WALLS 80 EITHER SIDE", 6, 8);
  const int32_t bossGround = 596;
  Ground(g, 0, kW - 1, bossGround, 4);
  const int32_t h = PictureHeight(g, 187);
  for (int32_t k = 0; k < 2; ++k) {
    const int32_t left = 20 + k * 300, top = bossGround - h;
    DrawFrame(g, 187, left, top, k * 2);
    if (k == 0) {
      Frame(g, left + 50, top + 50, left + h - 50, top + h - 50, kBox);
      Dot(g, left + h / 2 - 135, top + h / 2 - 40, kProbe);
    }
  }
  Label(g, "GROUND BOSS:", 612, 300);
  Label(g, "CRUSH BOX AND", 612, 316);
  Label(g, "GAZE POINT", 612, 332);
}

void AirScreen(GfxContext& g) {
  // Kind 19 is drawn higher in its downstroke poses (2 and 3 by 10, 4 by 5).
  const int32_t lift19[5] = {0, 0, 10, 10, 5}, lift20[5] = {0, 0, 5, 5, 2};
  const int32_t h19 = PictureHeight(g, 167), h20 = PictureHeight(g, 172);
  for (int32_t k = 0; k < 5; ++k) DrawPicture(g, 485 + k, 4 + k * 158, 20 - lift19[k]);
  Label(g, "BIG FLYER", 6, 4);
  for (int32_t k = 0; k < 3; ++k) DrawPicture(g, 505 + k, 4 + k * 130, 200);
  for (int32_t k = 0; k < 2; ++k) DrawPicture(g, 511 + k, 400 + k * 130, 200);
  DrawPicture(g, 511 + 5, 650, 200);
  Label(g, "HOVERERS", 6, 190);
  for (int32_t k = 0; k < 5; ++k) DrawPicture(g, 495 + k, 10 + k * 80, 440 - lift20[k]);
  DrawPicture(g, 495 + 5, 420, 440);
  Label(g, "SMALL FLYER", 6, 420);
  (void)h19;
  (void)h20;
}

// Body pieces pulled a little apart (right part, lower left, upper left),
// then shots, fragments, the shell and the rocks as the game draws them,
// and the danger warning over a stand-in for the player.
void PiecesScreen(GfxContext& g) {
  const int32_t strips[] = {120, 126, 132, 150, 156, 162, 167, 172, 177, 182, 187, 192, 138};
  int32_t x = 8, y = 8;
  for (int32_t s : strips) {
    const int32_t h = PictureHeight(g, s);
    const int32_t size = std::min(h, 96);
    if (x + size + 16 > kW) {
      x = 8;
      y += 96 + 16;
    }
    DrawScaled(g, s + 4, x + 8, y + 4, size);
    DrawScaled(g, s + 3, x, y + 8, size);
    DrawScaled(g, s + 2, x, y, size);
    x += size + 24;
  }
  y += 96 + 24;
  Label(g, "SHOTS", 8, y);
  SetDrawMode(g, -1);
  for (int32_t k = 0; k < 5; ++k) {
    const int32_t glow = 50 + k * 50, hh = PictureHeight(g, 138) / 2 * glow / 256;
    const int32_t cx = 40 + k * 44, cy = y + 40;
    DrawToCorners(g, 138, cx - hh, cy - hh, cx + hh, cy - hh, cx - hh, cy + hh, cx + hh, cy + hh, -1);
  }
  DrawRotated(g, 138, 260, y + 24, 30);
  DrawPicture(g, 144, 300, y + 24);
  ResetDrawMode(g);
  for (int32_t k = 0; k < 3; ++k) {
    DrawRotated(g, 733 + k, 360 + k * 34, y + 28, k * 50);
    DrawRotated(g, 815 + k, 360 + k * 34, y + 64, k * 70);
  }
  DrawRotated(g, 808, 470, y + 30, 30);
  DrawRotated(g, 808, 490, y + 50, 100);
  for (int32_t k = 0; k < 3; ++k) DrawRotated(g, 725 + k, 520 + k * 66, y + 20, k * 40);
  // The warning over a stand-in player (body 80 high, leg below).
  const int32_t qx = 400, qy = 500;
  FillRect(g, qx - 18, qy - 38, qx + 14, qy + 20, 0x5a6478);
  FillRect(g, qx - 17, qy + 20, qx - 13, qy + 56, 0x5a6478);
  DrawPicture(g, 32, qx - 50, qy - 20);
  DrawPicture(g, 421, qx - 110, qy - 5);
  DrawPicture(g, 440, qx + 70, qy - 5);
  DrawPicture(g, 459, qx + 10, qy - 20);
  Label(g, "DANGER WARNING", qx - 60, qy + 66);
}

}  // namespace

int32_t GroundSinkOf(GfxContext& gfx, int32_t maskSlot, int32_t left, int32_t top, int32_t pose,
                     int32_t depth) {
  if (!HasPixels(gfx, pose) || !HasPixels(gfx, maskSlot)) return 0;
  if (PictureWidth(gfx, maskSlot) != gfx.screenWidth || PictureHeight(gfx, maskSlot) != gfx.screenHeight)
    return 0;
  const int32_t hp = PictureHeight(gfx, pose), wp = PictureWidth(gfx, pose);
  int32_t best = 0;
  for (int32_t r = 5 * hp / 8; r < hp; r += 2) {
    const RowSpanEnds span = RowSpan(gfx, pose, r, 1);
    const int32_t from = std::max(0, span.left), to = std::min(wp - 1, wp - span.right - 1);
    for (int32_t c = from; c <= to; c += 2) {
      if (GetPixel(gfx, pose, c, r) == 0) continue;
      for (int32_t d = depth; d >= 0; d -= 2) {
        const int32_t x = left + c, y = top + r - d;
        if (x < 0 || y < 0 || x >= gfx.screenWidth || y >= gfx.screenHeight) continue;
        if (GetPixel(gfx, maskSlot, x, y) != 0) {
          best = std::max(best, d);
          break;
        }
      }
    }
  }
  return best;
}

void AddCreatureScreens(GfxContext& g, std::vector<uint32_t>& backBuffer,
                        std::vector<PreviewScreen>& screens) {
  // The game's own loading steps: strips, cuts, poses, shots and pieces.
  const int32_t level = game.level;
  game.level = -1;  // no level pictures
  LoadAssetsStep(game.levelPictures, game.level, 5, engine.gfx, engine.effects, engine.sound);
  LoadAssetsStep(game.levelPictures, game.level, 6, engine.gfx, engine.effects, engine.sound);
  LoadAssetsStep(game.levelPictures, game.level, 7, engine.gfx, engine.effects, engine.sound);
  game.level = level;
  CreatePicture(g, kMask, kW, kH);
  auto shot = [&](const char* title, void (*draw)(GfxContext&)) {
    ClearScreen(g, 0x101218);
    ResetDrawMode(g);
    draw(g);
    ResetDrawMode(g);
    screens.push_back({title, kW, kH, backBuffer});
  };
  shot("walkers on the ground line, probes marked", WalkersScreen);
  shot("jumpers and the ground boss", BigScreen);
  shot("flyers and hoverers", AirScreen);
  shot("body pieces, shots, fragments, rocks, danger warning", PiecesScreen);
}

}  // namespace datagen
