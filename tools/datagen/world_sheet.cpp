#include "datagen/world_sheet.h"

#include <png.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "assets/loading.h"
#include "datagen/canvas.h"
#include "datagen/fonts.h"
#include "effects/effects.h"
#include "effects/effects_adjust.h"
#include "engine/engine_effects.h"
#include "game/objects.h"
#include "game/placements.h"
#include "gfx/drawing.h"
#include "gfx/image_slots.h"
#include "gfx/picture_file.h"
#include "platform/headless/headless_backend.h"
#include "random/random_source.h"
#include "shell/globals.h"
#include "worldplan/world_plan.h"

namespace datagen {
namespace {

constexpr int32_t kW = world::kWidth, kH = world::kHeight;
constexpr int32_t kSkySlot = 220;

int32_t LevelIndex(int32_t level) {
  for (size_t k = 0; k < world::kLevels.size(); ++k)
    if (world::kLevels[k] == level) return static_cast<int32_t>(k);
  return -1;
}

std::string Number(int32_t level) { return std::to_string(level + 1); }

// The game's composition of level pictures, with the engine's own loading
// steps and drawing, inside the game folder: row 0 over the shared sky, the
// rest copied plainly, then the scan-line darkening.
class Composer {
 public:
  explicit Composer(const std::string& root) : backBuffer_(static_cast<size_t>(kW) * kH) {
    previous_ = std::filesystem::current_path(ec_);
    std::filesystem::current_path(root, ec_);
    platform::Install(&backend_);
    InitGraphics(engine.gfx, backBuffer_.data(), kW, kH);
    InitEffects(engine.effects, engine.gfx);
    LoadPicture(engine.gfx, kSkySlot, "data/back1.vx1");
    PackTo24(engine.gfx, kSkySlot);
    // The creatures, shots and pickups, cut and prepared by the game's own
    // loading steps (no level's pictures with them).
    for (int32_t step : {5, 6, 7, 8})
      LoadAssetsStep(game.levelPictures, -1, step, engine.gfx, engine.effects, engine.sound);
  }
  ~Composer() {
    platform::Install(nullptr);
    std::error_code ec;
    std::filesystem::current_path(previous_, ec);
  }
  Composer(const Composer&) = delete;
  Composer& operator=(const Composer&) = delete;

  std::vector<uint32_t> Compose(int32_t level) {
    GfxContext& g = engine.gfx;
    const int32_t k = LevelIndex(level);
    if (ec_ || k < 0) return {};
    const int32_t slot = 250 + 2 * k;
    const std::string file = "data/fore" + Number(level) + ".vx1";
    if (!HasPixels(g, slot)) {
      LoadPicture(g, slot, file.c_str());
      PrepareAlpha(g, slot, 1);
      SoftenEdges(g, slot);
      ComputeRowSpans(g, slot);
      Saturation(engine.effects, g, slot, level < 5 ? 300 : level <= 9 ? 320 : 270);
    }
    if (!HasPixels(g, slot)) return {};
    ClearScreen(g, 0);
    if (level <= 4) {
      DrawPacked24(g, kSkySlot, 0, 0);
      ResetDrawMode(g);
      DrawPicture(g, slot, 0, 0);
    } else {
      SetDrawMode(g, -2);
      DrawPicture(g, slot, 0, 0);
      ResetDrawMode(g);
    }
    std::vector<uint32_t> out = backBuffer_;
    // The scan-line darkening of the composed level picture.
    for (int32_t y = 0; y < kH; ++y) {
      const int32_t d = (y & 1) ? 5 : 3;
      for (int32_t x = 1; x < kW - 1; ++x) {
        uint32_t& p = out[static_cast<size_t>(y) * kW + x];
        auto down = [d](uint32_t v) {
          return static_cast<uint32_t>(std::max<int32_t>(0, static_cast<int32_t>(v) - d));
        };
        const uint32_t r = down((p >> 16) & 255), gr = down((p >> 8) & 255), b = (down(p & 255) & 252) + 1;
        p = (p & 0xff000000u) | (r << 16) | (gr << 8) | b;
      }
    }
    return out;
  }

  // The level's objects spawned from its object file and drawn over
  // `picture` by the game's own drawing pass, as they stand at level entry:
  // walkers lifted onto their ground by the level's mask, big monsters with
  // their health bars, pickups shrunk over their floors. The player is
  // elsewhere, so the jumpers face left. Fixed seed: the same sheet every
  // time.
  std::vector<uint32_t> Populate(int32_t level, const std::vector<uint32_t>& picture) {
    GfxContext& g = engine.gfx;
    LevelPictureFiles files{};
    if (picture.size() != backBuffer_.size() || !FindLevelPictures(level, files)) return picture;
    std::copy(picture.begin(), picture.end(), backBuffer_.begin());
    if (!HasPixels(g, files.maskSlot)) LoadPicture(g, files.maskSlot, files.mask);
    game.level = level;
    game.levelState.maskSlot = files.maskSlot;
    game.player.alive = 0;
    game.player.x = game.player.y = kOffScreenFixed;
    SeedRandom(engine.random, 1000 + level);
    LoadPlacements(game);
    DrawMonsters(game);
    ClearObjects(game.tables);
    ResetDrawMode(g);
    return backBuffer_;
  }

 private:
  std::filesystem::path previous_;
  std::error_code ec_;
  platform::HeadlessBackend backend_;
  std::vector<uint32_t> backBuffer_;
};

std::vector<uint8_t> ReadMask(const std::string& root, int32_t level) {
  std::vector<uint8_t> solid;
  EngineLog quiet;
  uint32_t* pixels = nullptr;
  int32_t w = 0, h = 0;
  const std::string file = root + "/data/fore" + Number(level) + "ph.vx1";
  if (vxReadPic(quiet, file.c_str(), pixels, w, h) == kPictureRead && pixels != nullptr && w == kW &&
      h == kH) {
    solid.resize(static_cast<size_t>(w) * h);
    for (size_t i = 0; i < solid.size(); ++i) solid[i] = (pixels[i] & 0xffffffu) != 0;
  }
  std::free(pixels);
  return solid;
}

// The edge pixels of the mask's solid part in the outline colour, two
// pixels wide so that the line survives the halving.
void Outline(std::vector<uint32_t>& picture, const std::vector<uint8_t>& solid) {
  if (solid.size() != picture.size()) return;
  constexpr uint32_t kLine = 0xff4cd9ffu;
  auto mix = [](uint32_t p) {
    uint32_t out = 0xff000000u;
    for (int shift : {0, 8, 16}) {
      const uint32_t a = (p >> shift) & 255, b = (kLine >> shift) & 255;
      out |= ((a * 2 + b * 3) / 5) << shift;
    }
    return out;
  };
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) {
      const size_t i = static_cast<size_t>(y) * kW + x;
      if (!solid[i]) continue;
      const bool edge = (x > 0 && !solid[i - 1]) || (x < kW - 1 && !solid[i + 1]) ||
                        (y > 0 && !solid[i - kW]) || (y < kH - 1 && !solid[i + kW]);
      if (!edge) continue;
      picture[i] = kLine;
      if (y + 1 < kH) picture[i + kW] = mix(picture[i + kW]);
    }
}

constexpr Rgb kOpen = {0.35f, 1.0f, 0.45f};
constexpr Rgb kGated = {1.0f, 0.62f, 0.15f};
constexpr Rgb kDeadly = {1.0f, 0.2f, 0.15f};
constexpr Rgb kEntry = {1.0f, 0.9f, 0.3f};

void Arrow(Canvas& c, float x, float y, float dx, float dy, Rgb colour) {
  const float len = 34, head = 14;
  const float ex = x + dx * len, ey = y + dy * len;
  const float px = -dy, py = dx;
  auto shape = [&](float qx, float qy) {
    return std::min(SdSegment(qx, qy, x, y, ex - dx * head * 0.6f, ey - dy * head * 0.6f, 3.5f),
                    SdPolygon(qx, qy,
                              {ex + dx * 4, ey + dy * 4, ex - dx * head + px * 11, ey - dy * head + py * 11,
                               ex - dx * head - px * 11, ey - dy * head - py * 11}));
  };
  const int x0 = static_cast<int>(std::min(x, ex)) - 20, x1 = static_cast<int>(std::max(x, ex)) + 20;
  const int y0 = static_cast<int>(std::min(y, ey)) - 20, y1 = static_cast<int>(std::max(y, ey)) + 20;
  c.Fill(
      x0, y0, x1, y1, [&](float qx, float qy) { return shape(qx, qy) - 2.5f; }, Rgb{0, 0, 0}, 1.5f);
  c.Fill(x0, y0, x1, y1, shape, colour, 1.5f);
}

void Bar(Canvas& c, float x0, float y0, float x1, float y1, Rgb colour) {
  c.Fill(
      static_cast<int>(x0) - 4, static_cast<int>(y0) - 4, static_cast<int>(x1) + 4, static_cast<int>(y1) + 4,
      [&](float x, float y) {
        return SdBox(x, y, (x0 + x1) / 2, (y0 + y1) / 2, (x1 - x0) / 2, (y1 - y0) / 2);
      },
      colour, 1.5f);
}

// Exits and ways in, drawn over a level at full size.
void Annotate(Canvas& c, int32_t level) {
  const bool rightOpen = level % 5 < 4 && level != 10 && level != 24;
  const bool leftOpen = level % 5 > 0 && level != 11 && level != 24;
  for (const world::SharedEdge& e : world::kSharedEdges) {
    if (e.left == level && rightOpen) Arrow(c, kW - 50, e.floorY - 60.0f, 1, 0, kOpen);
    if (e.left + 1 == level && leftOpen) Arrow(c, 50, e.floorY - 60.0f, -1, 0, kOpen);
  }
  for (const world::Hole& h : world::kHoles) {
    if (h.level != level) continue;
    const float cx = (h.x0 + h.x1) / 2.0f;
    Bar(c, static_cast<float>(h.x0), kH - 10, static_cast<float>(h.x1), kH - 2, h.gate ? kGated : kOpen);
    Arrow(c, cx, kH - 70, 0, 1, h.gate ? kGated : kOpen);
  }
  // Falls that kill: the whole bottom edge of 0, 4 and 20..24.
  if (level == 0 || level == 4 || level >= 20) Bar(c, 4, kH - 6, kW - 4, kH - 2, kDeadly);
  for (const world::Entry& e : world::kEntries) {
    if (e.level != level) continue;
    const float y = static_cast<float>(e.y);
    if (e.x0 != e.x1) Bar(c, static_cast<float>(e.x0), y - 2, static_cast<float>(e.x1), y + 2, kEntry);
    for (const int32_t x : {e.x0, e.x1}) {
      const float fx = static_cast<float>(x);
      c.Fill(
          x - 40, e.y - 50, x + 40, e.y + 50,
          [&](float px, float py) {
            return std::fabs(SdBox(px, py, fx, y, world::kBodyHalfWidth, world::kBodyAboveCentre)) - 1.5f;
          },
          kEntry, 1.5f);
      c.Fill(
          x - 12, e.y - 12, x + 12, e.y + 12, [&](float px, float py) { return SdCircle(px, py, fx, y, 6); },
          e.way == world::Way::Start ? Rgb{1, 1, 1} : kEntry, 1.5f);
    }
    if (e.floorY > 0) {
      const float mid = (e.x0 + e.x1) / 2.0f;
      Bar(c, mid - 24, static_cast<float>(e.floorY) - 1, mid + 24, static_cast<float>(e.floorY) + 1, kEntry);
    }
  }
}

bool SavePng(const Canvas& sheet, const std::string& file) {
  const std::vector<uint32_t> pixels = sheet.ToPixels();
  std::vector<uint8_t> rgb(pixels.size() * 3);
  for (size_t i = 0; i < pixels.size(); ++i) {
    rgb[3 * i] = static_cast<uint8_t>(pixels[i] >> 16);
    rgb[3 * i + 1] = static_cast<uint8_t>(pixels[i] >> 8);
    rgb[3 * i + 2] = static_cast<uint8_t>(pixels[i]);
  }
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(sheet.width());
  image.height = static_cast<png_uint_32>(sheet.height());
  image.format = PNG_FORMAT_RGB;
  return png_image_write_to_file(&image, file.c_str(), 0, rgb.data(), 0, nullptr) != 0;
}

}  // namespace

bool WriteWorldSheet(const std::string& root, const std::string& pngFile) {
  constexpr int kCellW = kW / 2, kCellH = kH / 2, kGap = 12, kLabel = 20, kTitle = 34;
  Canvas sheet(5 * kCellW + 6 * kGap, kTitle + 5 * (kCellH + kLabel + kGap) + kGap, Hex(0x1b1d22));
  FontFace title("DejaVuSans-Bold.ttf", 16), label("DejaVuSans.ttf", 12);
  title.DrawText(
      sheet,
      "The world with its creatures and pickups: mask outline (blue), exits (green), gated holes (orange), "
      "deadly falls (red), ways in (yellow; white = start)",
      kGap, 24, Hex(0xd8dee8));
  std::vector<std::vector<uint32_t>> pictures(25);
  {
    Composer composer(root);
    for (int32_t level : world::kLevels) {
      std::vector<uint32_t> picture = composer.Compose(level);
      // The outline goes under the creatures, so that feet on a floor show
      // standing on its line.
      Outline(picture, ReadMask(root, level));
      pictures[static_cast<size_t>(level)] = composer.Populate(level, picture);
    }
  }
  for (int32_t level = 0; level < 25; ++level) {
    const int ox = kGap + (level % 5) * (kCellW + kGap);
    const int oy = kTitle + (level / 5) * (kCellH + kLabel + kGap);
    const std::vector<uint32_t>& picture = pictures[static_cast<size_t>(level)];
    std::string name = std::to_string(level);
    if (picture.empty()) {
      for (int y = 0; y < kCellH; ++y)
        for (int x = 0; x < kCellW; ++x) sheet.at(ox + x, oy + y) = Hex(0x24272e);
      label.DrawText(sheet, name + ": no picture", ox + 4, oy + kCellH + 15, Hex(0x7a808c));
      continue;
    }
    Canvas full(kW, kH);
    for (int y = 0; y < kH; ++y)
      for (int x = 0; x < kW; ++x) full.at(x, y) = Hex(picture[static_cast<size_t>(y) * kW + x] & 0xffffff);
    Annotate(full, level);
    for (int y = 0; y < kCellH; ++y)
      for (int x = 0; x < kCellW; ++x) {
        const Rgb a = full.at(2 * x, 2 * y), b = full.at(2 * x + 1, 2 * y);
        const Rgb c = full.at(2 * x, 2 * y + 1), d = full.at(2 * x + 1, 2 * y + 1);
        sheet.at(ox + x, oy + y) = (a + b + c + d) * 0.25f;
      }
    for (const world::LevelPlan& p : world::kLevelPlans)
      if (p.level == level) name += ": " + std::string(p.name);
    label.DrawText(sheet, name, ox + 4, oy + kCellH + 15, Hex(0xc8d0dc));
  }
  return SavePng(sheet, pngFile);
}

}  // namespace datagen
