#include "datagen/screen_preview.h"

#include <filesystem>
#include <memory>

#include "config/record_reader.h"
#include "datagen/creature_preview.h"
#include "effects/effects.h"
#include "gfx/drawing.h"
#include "gfx/image_slots.h"
#include "gfx/text.h"
#include "platform/headless/headless_backend.h"
#include "shell/globals.h"
#include "engine/engine_effects.h"

namespace datagen {
namespace {

constexpr int32_t kW = 800, kH = 600;

struct Font {
  const char* textFile;
  int32_t slot, charSet;
};

std::string Text(const Font& f, int32_t id, bool second = false) {
  RecordReader r;
  ReadRecord(r, id, f.textFile);
  std::string t = second ? r.text2 : r.text1;
  while (!t.empty() && (t.back() == '\n' || t.back() == '\r')) t.pop_back();
  return t;
}

void Box(GfxContext& g, const Font& f, const std::string& text, int32_t x1, int32_t y1, int32_t x2,
         int32_t y2) {
  DrawTextBox(g, text.c_str(), x1, y1, x2, y2, f.slot, f.charSet);
}

// A message screen as the menus draw it once loading is done: the box
// centred, the face on its lower edge (or at its upper left, for the stone
// warden), the text along the top and the key caps with their labels.
void MessageScreen(GfxContext& g, const Font& f, int32_t screen, int32_t box, int32_t face,
                   bool secondButton) {
  const int32_t x0 = (kW - PictureWidth(g, box)) / 2, y0 = (kH - PictureHeight(g, box)) / 2;
  DrawPicture(g, box, x0, y0);
  if (face == 720) {
    DrawPicture(g, face, x0, y0 + 40);
    const int32_t w = PictureWidth(g, 401), h = PictureHeight(g, 401);
    const int32_t top = y0 + PictureHeight(g, box) - h + 1;
    SetSupersampling(g, 0);
    DrawToCorners(g, 401, x0 + 100 + w, top, x0 + 100, top, x0 + 100 + w, top + h, x0 + 100, top + h, -1);
    SetSupersampling(g, 1);
  } else {
    DrawPicture(g, face, x0 + 15, y0 + PictureHeight(g, box) - PictureHeight(g, face));
  }
  const int32_t right = x0 + PictureWidth(g, box) - 40, bottom = kH - 20;
  Box(g, f, Text(f, 100 + screen), x0, y0, right, bottom);
  const int32_t b1 = secondButton && screen != 1 ? 580 : 80;
  DrawPicture(g, 408, x0 + 386, y0 + 151);
  Box(g, f, Text(f, b1), x0 + 380, y0 + 190, right, bottom);
  Box(g, f, Text(f, b1, true), x0 + 455, y0 + 190, right, bottom);
  if (secondButton) {
    const int32_t b2 = screen == 1 ? 81 : 581;
    DrawPicture(g, 407, x0 + 388, y0 + 121);
    Box(g, f, Text(f, b2), x0 + 380, y0 + 125, right, bottom);
    Box(g, f, Text(f, b2, true), x0 + 455, y0 + 125, right, bottom);
  }
}

void LoadingScreen(GfxContext& g, const Font& f, bool english) {
  MessageScreen(g, f, 16, 413, 392, false);
  const std::string text = Text(f, 2);
  const int32_t posX = 100, posY = kH - 80, textWidth = 9 * static_cast<int32_t>(text.size());
  DrawPicture(g, 731, 100, kH - 140);
  Box(g, f, text, posX - textWidth / 2 + 38, posY - 70, kW - 5, kH - 10);
  const int32_t left = posX - textWidth / 2 + 59, top = posY - 15, bottom = posY - 2;
  FillRect(g, left - 2, top - 2, left + textWidth + 2, bottom + 2, 0xffffff);
  FillRect(g, left - 1, top - 1, left + textWidth + 1, bottom + 1, 0);
  FillRect(g, left, top, textWidth * 5 / 10 + left, bottom, 0xff00);
  DrawPicture(g, 730, (kW - PictureWidth(g, 730)) / 2, 110);
  Box(g, f, Text(f, 1), english ? 140 : 190, 103, kW - 5, kH - 10);
}

// The fight's time bar with seven of ten segments left, and the hint arrows.
void FightScreen(GfxContext& g, const Font& f) {
  const int32_t x = kW / 2 - PictureWidth(g, 6) / 2, y = 100;
  DrawPacked24(g, 6, x, y);
  for (int32_t i = 0; i < 7; ++i) DrawPicture(g, 5, x + 5 + i * (PictureWidth(g, 5) + 2), y + 28);
  Box(g, f, Text(f, 13), x - 13, y - 14, kW, kH);
  const int32_t px = 400, py = 380;
  DrawPicture(g, 35, px - 70, py);
  DrawPicture(g, 36, px + 30, py);
  DrawPicture(g, 37, px - 40, py - 60);
  DrawPicture(g, 38, px - 40, py + 50);
  DrawPicture(g, 739, (kW - PictureWidth(g, 739)) / 2, 520);
}

}  // namespace

std::vector<PreviewScreen> ComposeScreens(const std::string& root) {
  std::vector<PreviewScreen> screens;
  std::error_code ec;
  const std::filesystem::path previous = std::filesystem::current_path(ec);
  std::filesystem::current_path(root, ec);
  if (ec) return screens;
  // The engine's clock and timing come from a platform backend.
  platform::HeadlessBackend backend;
  platform::Install(&backend);
  std::vector<uint32_t> backBuffer(static_cast<size_t>(kW) * kH);
  GfxContext& g = engine.gfx;
  InitGraphics(g, backBuffer.data(), kW, kH);
  InitEffects(engine.effects, g);
  // The preparation the loader gives these pictures.
  struct Load {
    int32_t slot;
    const char* file;
    int32_t alpha;
    bool soften;
    bool spans = true;
  };
  const Load loads[] = {
      {105, "data/font1.vx1", 2, false, false}, {103, "data/txtrs_c.906", 2, false, false},
      {413, "data/dback1.vx1", 0, false},       {392, "data/dem3.vx1", 1, true},
      {730, "data/dback2.vx1", 0, false},       {731, "data/dback3.vx1", 0, false},
      {408, "data/enter.vx1", 1, true},         {719, "data/hback1.vx1", 0, false},
      {720, "data/sboss1.vx1", 1, true},        {400, "data/mback2.vx1", 0, false},
      {401, "data/ment0.vx1", 1, true},         {407, "data/space.vx1", 1, true},
      {5, "data/tind2.vx1", 1, true},           {6, "data/tindw.vx1", 0, false, false},
      {35, "data/arr_l.vx1", 1, true},          {36, "data/arr_r.vx1", 1, true},
      {37, "data/arr_u.vx1", 1, true},          {38, "data/arr_d.vx1", 1, true},
      {739, "data/mus.vx1", 1, false, false},
  };
  for (const Load& l : loads) {
    LoadPicture(g, l.slot, l.file);
    if (l.alpha != 0) PrepareAlpha(g, l.slot, l.alpha);
    if (l.soften) SoftenEdges(g, l.slot);
    if (l.spans) ComputeRowSpans(g, l.slot);
  }
  Saturation(engine.effects, g, 103, 0);
  ToneCurve(engine.effects, g, 103, 0, 0, 600);
  for (int32_t s = 35; s <= 38; ++s) ToneCurve(engine.effects, g, s, 0, 0, 300);
  PackTo24(g, 6);
  const Font english{"data/text1.txt", 103, 3}, russian{"data/text.txt", 105, 4};
  auto shot = [&](const std::string& title, auto draw) {
    ClearScreen(g, 0);
    ResetDrawMode(g);
    draw();
    ResetDrawMode(g);
    screens.push_back({title, kW, kH, backBuffer});
  };
  shot("loading and title screen", [&] { LoadingScreen(g, english, true); });
  shot("loading and title screen, Russian", [&] { LoadingScreen(g, russian, false); });
  shot("pause screen", [&] { MessageScreen(g, english, 1, 400, 401, true); });
  shot("saved game screen, Russian", [&] { MessageScreen(g, russian, 15, 400, 401, true); });
  shot("ground boss screen", [&] { MessageScreen(g, english, 30, 719, 720, false); });
  shot("time bar, hint arrows, music credit", [&] { FightScreen(g, english); });
  AddCreatureScreens(g, backBuffer, screens);
  platform::Install(nullptr);
  std::filesystem::current_path(previous, ec);
  return screens;
}

}  // namespace datagen
