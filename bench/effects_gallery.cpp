// The effects gallery: draws each effect over a fixed night scene in a few
// states of its life and writes one PNG per effect.
//
//   cmake -S . -B build-fx -G Ninja -DCMAKE_BUILD_TYPE=Release
//   ninja -C build-fx effects_gallery
//   ./build-fx/bench/effects_gallery [folder]      (default ./effects-gallery)
//
// Each PNG is 800 x 600 and holds four panels, in time order left to right
// and then top to bottom: a 400 x 300 part of the screen at full size, a
// 200 x 150 part doubled, or the whole screen at half size. The engine runs headless with the frame
// timing of a steady 70 frames per second.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "display/screenshot.h"
#include "effects_scene.h"
#include "program_args.h"
#include "gfx/drawing.h"
#include "gfx/image_slots.h"
#include "platform/headless/headless_backend.h"

namespace {

using fxscene::kHeight;
using fxscene::kWidth;

std::vector<uint32_t> gBackground;
std::string gFolder = "effects-gallery";

uint32_t* Screen() { return engine.gfx.backBuffer; }

void RestoreBackground() { std::memcpy(Screen(), gBackground.data(), gBackground.size() * 4); }

struct Sheet {
  std::vector<uint32_t> pixels = std::vector<uint32_t>(static_cast<size_t>(kWidth) * kHeight, 0xff000000u);

  // Panel 0 .. 3: the 400 x 300 part of the screen at (x, y).
  void Crop(int32_t panel, int32_t x, int32_t y) {
    const int32_t ox = (panel % 2) * 400;
    const int32_t oy = (panel / 2) * 300;
    for (int32_t row = 0; row < 300; ++row) {
      std::memcpy(&pixels[(oy + row) * kWidth + ox], Screen() + (y + row) * kWidth + x, 400 * 4);
    }
  }
  // Panel 0 .. 3: the 200 x 150 part of the screen at (x, y), doubled.
  void Zoom(int32_t panel, int32_t x, int32_t y) {
    const int32_t ox = (panel % 2) * 400;
    const int32_t oy = (panel / 2) * 300;
    for (int32_t row = 0; row < 300; ++row) {
      for (int32_t col = 0; col < 400; ++col) {
        pixels[(oy + row) * kWidth + ox + col] = Screen()[(y + row / 2) * kWidth + x + col / 2];
      }
    }
  }
  // Panel 0 .. 3: the whole screen at half size.
  void Whole(int32_t panel) {
    const int32_t ox = (panel % 2) * 400;
    const int32_t oy = (panel / 2) * 300;
    const uint32_t* s = Screen();
    for (int32_t row = 0; row < 300; ++row) {
      for (int32_t col = 0; col < 400; ++col) {
        uint32_t sum[3] = {0, 0, 0};
        for (int32_t k = 0; k < 4; ++k) {
          const uint32_t p = s[(2 * row + k / 2) * kWidth + 2 * col + k % 2];
          for (int32_t c = 0; c < 3; ++c) sum[c] += (p >> (8 * c)) & 0xff;
        }
        pixels[(oy + row) * kWidth + ox + col] =
            0xff000000u | (sum[2] / 4) << 16 | (sum[1] / 4) << 8 | sum[0] / 4;
      }
    }
  }
  void Write(const char* name) const {
    const std::string path = gFolder + "/" + name + ".png";
    if (!WritePng(path, pixels.data(), kWidth, kHeight, kWidth))
      std::fprintf(stderr, "cannot write %s\n", path.c_str());
  }
};

int32_t Rand(int32_t lo, int32_t hi) { return Random(engine.random, lo, hi); }

void RadialLights() {
  Sheet sheet;
  const int32_t cx = 250;
  const int32_t cy = 340;
  RestoreBackground();
  AddRadialLight(engine, cx, cy, 60, 190, 130, 20);
  sheet.Crop(0, cx - 200, cy - 150);
  RestoreBackground();
  AddRadialLight(engine, cx, cy, 150, 100, 80, 50);
  sheet.Crop(1, cx - 200, cy - 150);
  RestoreBackground();
  for (const auto& c : {std::array<int32_t, 3>{100, 80, 50}, {80, 110, 50}, {100, 40, 10}}) {
    AddRadialLight(engine, cx + Rand(-20, 20), cy + Rand(-20, 20), 80, c[0], c[1], c[2]);
  }
  sheet.Crop(2, cx - 200, cy - 150);
  RestoreBackground();
  AddRadialLight(engine, cx, cy, 110, -60, -60, -40);
  sheet.Crop(3, cx - 200, cy - 150);
  sheet.Write("radial_light");
}

// The lamps of a level as the level drawing has them (a random flicker
// frame and size every frame), shown doubled; pickups' lights; a large dim
// light that shows the texture of the maps.
void TexturedLights() {
  Sheet sheet;
  const int32_t s = engine.gfx.sizeScale;
  for (int32_t panel = 0; panel < 2; ++panel) {
    RestoreBackground();
    for (const auto& l : {std::array<int32_t, 2>{250, 342}, {610, 264}}) {
      AddTexturedLight(engine, l[0], l[1], Rand(0, 5) + 40 * s / 1024, 20480 / s, 15360 / s, 0, Rand(0, 28));
    }
    sheet.Zoom(panel, 150, 270);
  }
  RestoreBackground();
  for (int32_t i = 0; i < 4; ++i) {
    AddTexturedLight(engine, 330 + i * 60, 440, 35 + Rand(-4, 4), i < 2 ? 0 : 100, i < 2 ? 110 : 80,
                     i < 2 ? 200 : 0, i * 6);
  }
  sheet.Crop(2, 230, 290);
  RestoreBackground();
  AddTexturedLight(engine, 420, 180, 150, 10, 8, 5, 5);
  sheet.Crop(3, 220, 30);
  sheet.Write("textured_light");
}

void FlashRing() {
  Sheet sheet;
  ClearFlashes(engine);
  AddFlash(engine, 420, 200, 20400, 1024);
  const int32_t shots[] = {1, 1, 6, 13};
  int32_t frame = 0;
  for (int32_t panel = 0; panel < 4; ++panel) {
    while (frame < shots[panel]) {
      RestoreBackground();
      UpdateFlashes(engine);
      ++frame;
    }
    if (panel == 1) {
      sheet.Zoom(panel, 400, 100);
    } else {
      sheet.Crop(panel, 220, 50);
    }
  }
  sheet.Write("flash_ring");
}

// A big monster's death (21 rings spread around the body) and a sword hit
// (33 small sparks along the blade).
void FlashBurst() {
  Sheet sheet;
  ClearFlashes(engine);
  for (int32_t i = 0; i < 21; ++i) AddFlash(engine, 470 + Rand(-100, 100), 420 + Rand(-100, 100), 10240, 768);
  for (int32_t i = 0; i <= 32; ++i) {
    AddFlash(engine, 300 + Rand(-2, 2), 360 + ((i / 2 + 8) * 40) / 32 + Rand(-5, 5), 1024, 512);
  }
  const int32_t shots[] = {1, 3, 6, 10};
  int32_t frame = 0;
  for (int32_t panel = 0; panel < 4; ++panel) {
    while (frame < shots[panel]) {
      RestoreBackground();
      UpdateFlashes(engine);
      ++frame;
    }
    sheet.Crop(panel, 250, 270);
  }
  sheet.Write("flash_burst");
}

// Level 0's twinkle areas, over the moon and over the pool.
void Twinkles() {
  Sheet sheet;
  const int32_t w = engine.gfx.screenWidth;
  const int32_t h = engine.gfx.screenHeight;
  RestoreBackground();
  ClearTwinkles(engine);
  SpawnTwinkles(engine, 0, 0, w, 360 * engine.gfx.heightScale / 1024, 350, 600, 1, 85, 40);
  SpawnTwinkles(engine, 0, 0, w, h, 350, 800, 1, 70, 100);
  const int32_t shots[] = {1, 9, 1, 9};
  for (int32_t panel = 0; panel < 4; ++panel) {
    if (panel == 2) {
      ClearTwinkles(engine);
      RestoreBackground();
      SpawnTwinkles(engine, 0, 0, w, h, 350, 800, 1, 70, 100);
    }
    for (int32_t f = 0; f < shots[panel]; ++f) {
      RestoreBackground();
      UpdateTwinkles(engine);
    }
    if (panel < 2) {
      sheet.Zoom(panel, 540, 30);
    } else {
      sheet.Zoom(panel, 560, 450);
    }
  }
  sheet.Write("twinkles");
}

// The burst of a lost fight segment: 331 + 131 + 81 puffs, rising.
void FogPuffs() {
  Sheet sheet;
  ResetFog(engine);
  ConfigureFog(engine, 940, 60, 740, 60);
  const int32_t cx = 400;
  const int32_t cy = 470;
  const auto burst = [&](int32_t count, int32_t size, int32_t spread) {
    for (int32_t i = 0; i < count; ++i) {
      const int32_t dy = Rand(-spread, spread);
      SpawnFog(engine, cx + Rand(-spread, spread), cy + dy, 0, size);
    }
  };
  burst(331, 13, 30);
  burst(131, 13, 20);
  burst(81, 20, 10);
  const int32_t shots[] = {1, 12, 30, 55};
  int32_t frame = 0;
  for (int32_t panel = 0; panel < 4; ++panel) {
    while (frame < shots[panel]) {
      RestoreBackground();
      DrawFog(engine, 0);
      UpdateFog(engine);
      ++frame;
    }
    sheet.Crop(panel, cx - 200, cy - 240);
  }
  sheet.Write("fog_puffs");
}

// Fog layers as levels 0 .. 4 (mode 2, 41 layers) and 5 .. 9 (mode 1, 14
// layers) spawn them.
void FogLayers(int32_t mode) {
  Sheet sheet;
  ResetFog(engine);
  const int32_t w = engine.gfx.screenWidth;
  const int32_t hs = engine.gfx.heightScale;
  if (mode == 2) {
    ConfigureFog(engine, 940, 60, 740, 60);
    for (int32_t i = 0; i < 41; ++i) {
      const int32_t x = Rand(100, 900) * w >> 10;
      SpawnFog(engine, x, Rand(600, 770) * hs >> 10, 1, 0);
    }
  } else {
    ConfigureFog(engine, 940, 60, 880, 60);
    for (int32_t i = 0; i < 14; ++i) {
      const int32_t x = Rand(300, 900) * w >> 10;
      SpawnFog(engine, x, Rand(350, 450) * hs >> 10, 1, 0);
    }
  }
  const int32_t shots[] = {1, 40, 80, 140};
  int32_t frame = 0;
  for (int32_t panel = 0; panel < 4; ++panel) {
    while (frame < shots[panel]) {
      RestoreBackground();
      DrawFog(engine, mode);
      UpdateFog(engine);
      ++frame;
    }
    sheet.Whole(panel);
  }
  sheet.Write(mode == 1 ? "fog_layers_mode1" : "fog_layers_mode2");
}

void Shimmer() {
  Sheet sheet;
  ClearShimmerAreas(engine);
  AddShimmerArea(engine, 431, 529, 800, 600, 0, 800, 8, 1);
  AddShimmerArea(engine, 0, 0, 800, 280, 0, 800, 6, 1);
  // The first panel is the still scene, for comparison.
  const int32_t shots[] = {0, 1, 30, 60};
  int32_t frame = 0;
  RestoreBackground();
  for (int32_t panel = 0; panel < 4; ++panel) {
    while (frame < shots[panel]) {
      RestoreBackground();
      UpdateShimmerAreas(engine);
      ++frame;
    }
    sheet.Zoom(panel, 560, 450);
  }
  sheet.Write("shimmer");
}

void Drift() {
  Sheet sheet;
  ResetDrift(engine);
  for (int32_t a = 150; a <= 850; a += 100)
    SpawnDrift(engine, a * engine.gfx.screenWidth / 1024, 2, 300, 800, 0);
  const int32_t shots[] = {1, 60, 150, 300};
  int32_t frame = 0;
  for (int32_t panel = 0; panel < 4; ++panel) {
    while (frame < shots[panel]) {
      RestoreBackground();
      UpdateDrift(engine);
      UpdateDrift(engine);
      ++frame;
    }
    sheet.Whole(panel);
  }
  sheet.Write("drift");
}

// The player's light, each spot without and with it.
void PixelGlow() {
  Sheet sheet;
  int32_t flicker = 0;
  const int32_t spots[][2] = {{150, 350}, {150, 350}, {640, 560}, {640, 560}};
  for (int32_t panel = 0; panel < 4; ++panel) {
    RestoreBackground();
    if (panel % 2 == 1) fxscene::PlayerLight(spots[panel][0], spots[panel][1], flicker);
    const int32_t cx = std::clamp(spots[panel][0] - 100, 0, kWidth - 200);
    const int32_t cy = std::clamp(spots[panel][1] - 75, 0, kHeight - 150);
    sheet.Zoom(panel, cx, cy);
  }
  sheet.Write("pixel_glow");
}

// The loaders' adjustments on a part of the scene: as it is, the fog
// pictures' tone curve (gain 160), the font's grey (saturation 0) and a
// stronger saturation with a brightening curve.
void Adjustments() {
  Sheet sheet;
  const int32_t slots[] = {1100, 1101, 1102, 1103};
  for (int32_t i = 0; i < 4; ++i) {
    CreatePicture(engine.gfx, slots[i], 400, 300);
    RestoreBackground();
    CopyFromScreen(engine.gfx, slots[i], 400, 0);
  }
  ToneCurve(engine, slots[1], 0, 0, 160);
  Saturation(engine, slots[2], 0);
  Saturation(engine, slots[3], 700);
  ToneCurve(engine, slots[3], 40, 10, 330);
  for (int32_t i = 0; i < 4; ++i) {
    SetDrawMode(engine.gfx, -2);
    DrawPicture(engine.gfx, slots[i], 0, 0);
    ResetDrawMode(engine.gfx);
    sheet.Crop(i, 0, 0);
  }
  sheet.Write("adjustments");
}

}  // namespace

int main(int argc, char** argv) {
  int code = 0;
  if (bench::ProgramArgsDone(argc, argv, "effects_gallery",
                             "usage: effects_gallery [OUTDIR]\n"
                             "  Draws every effect over a night scene in a few states of its life and\n"
                             "  writes one PNG per effect into OUTDIR (default: effects-gallery).\n",
                             1, code))
    return code;
  if (argc > 1) gFolder = argv[1];
  std::error_code ec;
  std::filesystem::create_directories(gFolder, ec);
  platform::HeadlessBackend backend;
  platform::Install(&backend);
  fxscene::StartEngine(gBackground);
  fxscene::MakeFogPictures(engine.gfx, 880, 740, 940, 60, 312, 234, 16.0);
  RestoreBackground();
  {
    Sheet sheet;
    sheet.Whole(0);
    sheet.Crop(1, 400, 0);
    sheet.Crop(2, 0, 300);
    sheet.Crop(3, 400, 300);
    sheet.Write("background");
  }
  RadialLights();
  TexturedLights();
  FlashRing();
  FlashBurst();
  Twinkles();
  FogPuffs();
  FogLayers(2);
  FogLayers(1);
  Shimmer();
  Drift();
  PixelGlow();
  Adjustments();
  std::printf("effects gallery written to %s\n", gFolder.c_str());
  platform::Install(nullptr);
  return 0;
}
