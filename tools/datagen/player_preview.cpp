#include "datagen/player_preview.h"

#include <png.h>

#include <algorithm>

#include "assets/image_preparation.h"
#include "datagen/canvas.h"
#include "datagen/fonts.h"
#include "effects/effects.h"
#include "effects/effects_adjust.h"
#include "gfx/angles.h"
#include "gfx/drawing.h"
#include "gfx/image_slots.h"
#include "platform/headless/headless_backend.h"
#include "shell/globals.h"
#include "engine/engine_effects.h"

namespace datagen {

// The engine's clock comes from a platform backend.
struct StageBackend {
  platform::HeadlessBackend backend;
};

namespace {

constexpr int32_t kWorkPicture = 1;
constexpr int32_t kLeftPoses = 670, kRightPoses = 683;
constexpr int32_t kLeg = 20, kLegPiece = 30, kBodyPiece = 31;

struct Load {
  int32_t slot;
  const char* file;
  const char* steps;
};
// The loader's files and preparation steps for the player's pictures.
constexpr Load kLoads[] = {
    {20, "data/lg1.vx1", "A1 E S"},     {21, "data/mz2.vx1", "A1 E"},       {22, "data/mz2w.vx1", "A1"},
    {24, "data/mz4.vx1", "A1 E"},       {25, "data/mz4w.vx1", "A1"},        {40, "data/nihonto1.vx1", "A3 S"},
    {41, "data/sword3.vx1", "A1 S"},    {42, "data/gun1.vx1", "A1 S"},      {43, "data/gun2.vx1", "A1 S"},
    {44, "data/gem1.vx1", "A1 S"},      {45, "data/med1.vx1", "G0 A1 E S"}, {46, "data/det1.vx1", "A1 E S"},
    {47, "data/med2.vx1", "G0 A1 E S"}, {48, "data/gem2.vx1", "A1 S"},
};

void Prepare(GfxContext& g, int32_t slot, const char* steps) {
  // Steps are one letter and an optional digit, separated by spaces.
  for (const char* p = steps; *p != '\0'; ++p) {
    if (p[0] == 'A') PrepareAlpha(g, slot, p[1] - '0');
    if (p[0] == 'E') SoftenEdges(g, slot);
    if (p[0] == 'S') ComputeRowSpans(g, slot);
    if (p[0] == 'G') Saturation(engine.effects, g, slot, 0);
    while (p[1] != '\0' && p[0] != ' ') ++p;
  }
}

std::vector<int32_t> SlotsUsed() {
  std::vector<int32_t> s = {kWorkPicture, 23, 26, kLegPiece, kBodyPiece};
  for (const Load& l : kLoads) s.push_back(l.slot);
  for (int32_t i = kLeftPoses; i <= kRightPoses + 10; ++i) s.push_back(i);
  return s;
}

void ReleaseSlots(GfxContext& g) {
  for (int32_t s : SlotsUsed()) ReleasePicture(g, s);
}

}  // namespace

PlayerStage::PlayerStage(const std::string& root)
    : screen_(static_cast<size_t>(kWidth) * kHeight), backend_(std::make_unique<StageBackend>()) {
  platform::Install(&backend_->backend);
  GfxContext& g = engine.gfx;
  InitGraphics(g, screen_.data(), kWidth, kHeight);
  InitEffects(engine.effects, g);
  ReleaseSlots(g);
  loaded_ = true;
  for (const Load& l : kLoads) {
    LoadPicture(g, l.slot, (root + "/" + l.file).c_str());
    loaded_ = loaded_ && HasPixels(g, l.slot);
    Prepare(g, l.slot, l.steps);
  }
  MakeMirroredStrip(g, 23, 21);
  MakeMirroredStrip(g, 26, 24);
  CreatePicture(g, kWorkPicture, 480, 480);
  for (int32_t slot = kLeftPoses; slot <= kRightPoses + 10; ++slot) CreatePicture(g, slot, 240, 240);
}

PlayerStage::~PlayerStage() {
  ReleaseSlots(engine.gfx);
  engine.gfx.backBuffer = nullptr;
  platform::Install(nullptr);
}

GfxContext& PlayerStage::gfx() { return engine.gfx; }

MarkerQuad PlayerStage::FindMarkers(int32_t strip, int32_t frame) {
  GfxContext& g = engine.gfx;
  MarkerQuad q;
  if (!HasPixels(g, strip)) return q;
  const int32_t h = PictureHeight(g, strip);
  for (int32_t row = 0; row <= h; ++row)
    for (int32_t col = frame * h; col < frame * h + h; ++col) {
      const uint32_t v = GetPixel(g, strip, col, row);
      const PixelPoint p{col - frame * h, row};
      if (v == kMarkerRed) q.red = p;
      if (v == kMarkerGreen) q.green = p;
      if (v == kMarkerBlue) q.blue = p;
      if (v == kMarkerMagenta) q.magenta = p;
    }
  return q;
}

MarkerQuad PlayerStage::WeaponQuad(const PlayerKit& kit, int32_t frame) {
  MarkerQuad q = FindMarkers(kit.bodySlot + 1, frame);
  const bool blade = kit.weapon == 40 || kit.weapon == 41;
  // The long blade reaches half as far again past the grip.
  if (kit.longBlade && blade) {
    q.green.x += (q.green.x - q.red.x) / 2;
    q.green.y += (q.green.y - q.red.y) / 2;
    q.magenta.x += (q.magenta.x - q.blue.x) / 2;
    q.magenta.y += (q.magenta.y - q.blue.y) / 2;
  }
  // The broad blade is half as wide again at both ends, and longer.
  if (kit.broadBlade && blade) {
    auto widen = [](PixelPoint& a, PixelPoint& b) {
      const int32_t dx = a.x - (a.x + b.x) / 2, dy = a.y - (a.y + b.y) / 2;
      a.x += dx / 2;
      a.y += dy / 2;
      b.x -= dx / 2;
      b.y -= dy / 2;
    };
    widen(q.red, q.blue);
    widen(q.green, q.magenta);
    q.green.x += (q.green.x - q.red.x) * 8 / 28;
    q.green.y += (q.green.y - q.red.y) * 8 / 28;
    q.magenta.x += (q.magenta.x - q.blue.x) * 8 / 28;
    q.magenta.y += (q.magenta.y - q.blue.y) * 8 / 28;
  }
  return q;
}

int32_t PlayerStage::BuildPose(const PlayerKit& kit, int32_t frame, bool left) {
  GfxContext& g = engine.gfx;
  const int32_t W = kWidth, H = kHeight;
  const int32_t half = PictureHeight(g, kit.bodySlot) / 2;
  const int32_t ox = W / 2 - half, oy = H / 2 - half;
  SetSupersampling(g, 1);
  const MarkerQuad q = WeaponQuad(kit, frame);
  // The weapon at twice the size, around the frame's place at the centre.
  FillRect(g, ox - 161, H / 2 - half - 161, ox + 4 * half + 161, H / 2 - half + 4 * half + 161, 0);
  DrawToCorners(g, kit.weapon, ox + 2 * q.red.x, oy + 2 * q.red.y, ox + 2 * q.green.x, oy + 2 * q.green.y,
                ox + 2 * q.blue.x, oy + 2 * q.blue.y, ox + 2 * q.magenta.x, oy + 2 * q.magenta.y, -1);
  CopyFromScreen(g, kWorkPicture, W / 2 - half - 160, H / 2 - half - 160);
  PrepareAlpha(g, kWorkPicture, 1);
  ComputeRowSpans(g, kWorkPicture);
  // Halved into the pose picture, mirrored for the left.
  const int32_t x0 = W / 2 - half - 80, x1 = W / 2 + half + 80, y0 = H / 2 - half - 80,
                y1 = H / 2 + half + 80;
  SetDrawMode(g, -2);
  FillRect(g, x0 - 3, y0 - 3, x1 + 3, y1 + 3, 0);
  const int32_t f = frame < 14 ? frame : 0;
  int32_t target;
  if (!left) {
    DrawToCorners(g, kWorkPicture, x0, y0, x1, y0, x0, y1, x1, y1, -1);
    target = kRightPoses + f;
  } else {
    DrawToCorners(g, kWorkPicture, x1, y0, x0, y0, x1, y1, x0, y1, -1);
    target = kLeftPoses + f;
  }
  CopyFromScreen(g, target, x0, y0);
  PrepareAlpha(g, target, 3);
  ComputeRowSpans(g, target);
  ResetDrawMode(g);
  return target;
}

void PlayerStage::DrawPlayer(const PlayerKit& kit, int32_t frame, bool left, int32_t dx, int32_t dy,
                             int32_t legAngle) {
  GfxContext& g = engine.gfx;
  ResetDrawMode(g);
  const int32_t S = g.sizeScale;
  const int32_t k = (25 * S) >> 10, half = PictureHeight(g, kit.bodySlot) / 2;
  const int32_t f = frame < 14 ? frame : 0;
  if (!left) {
    DrawFrame(g, kit.bodySlot, dx - half, dy - half, frame);
  } else {
    DrawFrame(g, kit.bodySlot + 2, dx - half - 24, dy - half, frame);
  }
  SetSupersampling(g, 1);
  ResetDrawMode(g);
  if (!left) {
    DrawPicture(g, kRightPoses + f, dx - half - 80, dy - half - 80);
  } else {
    DrawPicture(g, kLeftPoses + f, dx - half - 104, dy - half - 80);
  }
  SetSupersampling(g, 1);
  const int32_t a = k / 3, q = (37 * S) >> 10, cx = dx - 15, cy = dy + half - 20;
  int32_t x[4] = {cx - a, cx + a, cx - a, cx + a};
  int32_t y[4] = {cy - q, cy - q, cy + q, cy + q};
  if (left) std::swap(y[0], y[2]), std::swap(y[1], y[3]);
  for (int i = 0; i < 4; ++i) RotatePoint(g, x[i], y[i], legAngle, cx, cy);
  DrawToCorners(g, kLeg, x[0], y[0], x[1], y[1], x[2], y[2], x[3], y[3], -1);
  SetSupersampling(g, 1);
}

void PlayerStage::CaptureDeathPieces(int32_t bodyFrame) {
  GfxContext& g = engine.gfx;
  struct Piece {
    int32_t slot, side, source, width, height, frame;
  };
  for (const Piece p :
       {Piece{kLegPiece, 55, kLeg, 14, 53, -1}, Piece{kBodyPiece, 80, 21, 82, 82, bodyFrame}}) {
    ReleasePicture(g, p.slot);
    CreatePicture(g, p.slot, p.side, p.side);
    FillRect(g, 0, 0, 82, 82, 0);
    ResetDrawMode(g);
    DrawToCorners(g, p.source, 0, 0, p.width, 0, 0, p.height, p.width, p.height, p.frame);
    CopyFromScreen(g, p.slot, 0, 0);
    FillRect(g, 0, 0, 82, 82, 0);
    ComputeRowSpans(g, p.slot);
  }
}

namespace {

constexpr int kCellW = 170, kCellH = 135, kLabel = 18, kMargin = 10;
const Rgb kBackdrop = Hex(0x1d2330), kPage = Hex(0x111318);
constexpr uint32_t kBackdropPixel = 0x1d2330, kGroundPixel = 0x3a4050, kGroundTop = 0x6a7488;

// The player's centre inside a cell (the weapon reaches further forward
// than back, and the left-facing body sits 24 pixels further left), and the
// floor he stands on: the lowest leg probe rests on the first solid row,
// 43 pixels below the centre.
constexpr int kRightCentreX = 70, kLeftCentreX = 110, kCentreY = 88, kFloor = 43;

void Backdrop(GfxContext& g, int32_t cy) {
  ClearScreen(g, kBackdropPixel);
  FillRect(g, 0, cy + kFloor, PlayerStage::kWidth - 1, PlayerStage::kHeight - 1, kGroundPixel);
  FillRect(g, 0, cy + kFloor, PlayerStage::kWidth - 1, cy + kFloor, kGroundTop);
}

// Copies the screen rectangle of a cell into the sheet.
void TakeCell(const std::vector<uint32_t>& screen, Canvas& sheet, int sx, int sy, int x, int y) {
  for (int j = 0; j < kCellH; ++j)
    for (int i = 0; i < kCellW; ++i) {
      const int px = sx + i, py = sy + j;
      if (px < 0 || py < 0 || px >= PlayerStage::kWidth || py >= PlayerStage::kHeight) continue;
      sheet.at(x + i, y + j) = Hex(screen[static_cast<size_t>(py) * PlayerStage::kWidth + px] & 0xffffff);
    }
}

// A slot's picture onto the sheet at `zoom`, transparent pixels showing the backdrop.
void Blit(GfxContext& g, int32_t slot, Canvas& sheet, int x, int y, int zoom) {
  const int32_t w = PictureWidth(g, slot), h = PictureHeight(g, slot);
  for (int j = 0; j < h * zoom; ++j)
    for (int i = 0; i < w * zoom; ++i) {
      const uint32_t v = GetPixel(g, slot, i / zoom, j / zoom);
      const float a = static_cast<float>(v >> 24) / 255.0f;
      if (sheet.Inside(x + i, y + j)) sheet.at(x + i, y + j) = Mix(kBackdrop, Hex(v & 0xffffff), a);
    }
}

}  // namespace

bool WritePlayerSheet(const std::string& root, const std::string& pngFile) {
  PlayerStage stage(root);
  if (!stage.loaded()) return false;
  GfxContext& g = stage.gfx();
  struct Row {
    const char* title;
    PlayerKit kit;
  };
  const Row rows[] = {
      {"short sword (41): frames 0..10, hits at 4..9", {21, 41, false, false}},
      {"long blade (40): hits at 1..10", {21, 40, false, false}},
      {"short sword with the long and broad blade charms", {21, 41, true, true}},
      {"long pistol (42): fires at 1 and 6", {24, 42, false, false}},
      {"hand cannon (43): fires at 6 (and 1 with the double shot)", {24, 43, false, false}},
  };
  const int rowH = kCellH + kLabel;
  const int sheetW = 2 * kMargin + kAttackFrames * kCellW;
  const int extraRows = 3;
  const int kPieceRowH = 2 * 80 + kLabel + 4;
  const int sheetH =
      2 * kMargin + (2 * static_cast<int>(std::size(rows)) + extraRows) * rowH + kPieceRowH - rowH;
  Canvas sheet(sheetW, sheetH, kPage);
  FontFace label("DejaVuSans.ttf", 12);
  const int32_t cx = PlayerStage::kWidth / 2, cy = PlayerStage::kHeight / 2;
  int y = kMargin;
  for (const Row& r : rows) {
    for (const bool left : {false, true}) {
      label.DrawText(sheet, std::string(r.title) + (left ? ", facing left" : ", facing right"), kMargin,
                     y + 13, Hex(0xb8c0cc));
      for (int f = 0; f < kAttackFrames; ++f) {
        stage.BuildPose(r.kit, f, left);
        Backdrop(g, cy);
        stage.DrawPlayer(r.kit, f, left, cx, cy, 0);
        TakeCell(stage.screen(), sheet, cx - (left ? kLeftCentreX : kRightCentreX), cy - kCentreY,
                 kMargin + f * kCellW, y + kLabel);
        label.DrawText(sheet, std::to_string(f), kMargin + f * kCellW + 4, y + kLabel + kCellH - 4,
                       Hex(0x8890a0));
      }
      y += rowH;
    }
  }
  // The leg turned as the player rolls, at rest pose.
  label.DrawText(sheet, "the leg turned by 0, 30, .. 150 degrees; facing right, then left", kMargin, y + 13,
                 Hex(0xb8c0cc));
  const PlayerKit sword{21, 41, false, false};
  for (int i = 0; i < kAttackFrames; ++i) {
    const bool left = i >= 6;
    const int32_t angle = (i % 6) * 30;
    stage.BuildPose(sword, 0, left);
    Backdrop(g, cy);
    stage.DrawPlayer(sword, 0, left, cx, cy, angle);
    TakeCell(stage.screen(), sheet, cx - (left ? kLeftCentreX : kRightCentreX), cy - kCentreY,
             kMargin + i * kCellW, y + kLabel);
  }
  y += rowH;
  // The death pieces, at their size and twice it; and the body piece as
  // it would be if it were cut from the strip's first frame only.
  label.DrawText(
      sheet,
      "death pieces 30 (leg) and 31 (body) as the loader captures them (whole strip), 1:1 and 2:1; "
      "right: piece 31 cut from frame 0 only",
      kMargin, y + 13, Hex(0xb8c0cc));
  stage.CaptureDeathPieces(-1);
  Blit(g, kLegPiece, sheet, kMargin, y + kLabel, 1);
  Blit(g, kBodyPiece, sheet, kMargin + 70, y + kLabel, 1);
  Blit(g, kLegPiece, sheet, kMargin + 180, y + kLabel, 2);
  Blit(g, kBodyPiece, sheet, kMargin + 260, y + kLabel, 2);
  stage.CaptureDeathPieces(0);
  Blit(g, kBodyPiece, sheet, kMargin + 460, y + kLabel, 1);
  Blit(g, kBodyPiece, sheet, kMargin + 560, y + kLabel, 2);
  y += kPieceRowH;
  // Pickups as the game draws them (70 / 256 of their size), and the
  // editor's 36 × 36 icons.
  label.DrawText(sheet, "pickups 40..48 as drawn in the game, and as editor icons", kMargin, y + 13,
                 Hex(0xb8c0cc));
  Backdrop(g, cy);
  for (int32_t slot = 40; slot <= 48; ++slot) {
    const int32_t w = PictureWidth(g, slot) * 70 / 256, h = PictureHeight(g, slot) * 70 / 256;
    const int32_t px = 50 + (slot - 40) * 80, py = cy - 40;
    ResetDrawMode(g);
    DrawToCorners(g, slot, px - w / 2, py - h / 2, px + w / 2, py - h / 2, px - w / 2, py + h / 2, px + w / 2,
                  py + h / 2, -1);
    const int32_t ix = px - 18, iy = cy + 2;
    DrawToCorners(g, slot, ix, iy, ix + 36, iy, ix, iy + 36, ix + 36, iy + 36, -1);
  }
  for (int part = 0; part < 5; ++part)
    TakeCell(stage.screen(), sheet, part * kCellW, cy - kCentreY, kMargin + part * kCellW, y + kLabel);
  y += rowH;

  const std::vector<uint32_t> pixels = sheet.ToPixels();
  std::vector<uint8_t> rgb(pixels.size() * 3);
  for (size_t i = 0; i < pixels.size(); ++i) {
    rgb[3 * i] = static_cast<uint8_t>(pixels[i] >> 16);
    rgb[3 * i + 1] = static_cast<uint8_t>(pixels[i] >> 8);
    rgb[3 * i + 2] = static_cast<uint8_t>(pixels[i]);
  }
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(sheetW);
  image.height = static_cast<png_uint_32>(sheetH);
  image.format = PNG_FORMAT_RGB;
  return png_image_write_to_file(&image, pngFile.c_str(), 0, rgb.data(), 0, nullptr) != 0;
}

}  // namespace datagen
