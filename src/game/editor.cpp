#include "game/editor.h"

#include "game/game_frame.h"
#include "game/game_state.h"
#include "game/level_start.h"
#include "game/object_kinds.h"
#include "game/placements.h"
#include "game/singletons.h"
#include "gfx/drawing.h"
#include "gfx/text.h"

namespace {

// The palette: ten columns of fifteen 40-pixel cells over the right half
// of the screen, numbered column by column.
constexpr int32_t kPaletteColumns = 10;
constexpr int32_t kPaletteRows = 15;
constexpr int32_t kCellPitch = 40;
constexpr uint32_t kPaletteColour = 0x9b9b9b;
constexpr uint32_t kCursorColour = 0xff;

// The command cells.
constexpr int32_t kCellLeave = 98;
constexpr int32_t kCellClear = 99;
constexpr int32_t kCellWrite = 100;
constexpr int32_t kCellLeft = 101;
constexpr int32_t kCellRight = 102;
constexpr int32_t kCellUp = 103;
constexpr int32_t kCellDown = 104;
constexpr int32_t kCellStats = 105;
constexpr int32_t kCellOpen = 106;

// The picture that stands for an object type, or -1.
int32_t IconPicture(int32_t type) {
  switch (type) {
    case kWalker:
      return 120;
    case kShootingWalker:
      return 126;
    case kQuickWalker:
      return 132;
    case kSpittingWalker:
      return 150;
    case kLobbingWalker:
      return 156;
    case kSwordPickup:
      return 40;
    case kSecondSwordPickup:
      return 41;
    case kGunPickup:
      return 42;
    case kSecondGunPickup:
      return 43;
    case kBigJumper:
      return 162;
    case kBreedingFlyer:
      return 167;
    case kSmallFlyer:
      return 172;
    case kLongBladePickup:
      return 44;
    case kArmourPickup:
      return 45;
    case kDoubleShotPickup:
      return 46;
    case kHoverer:
      return 177;
    case 26:
      return 182;
    case kRegenerationPickup:
      return 47;
    case kGroundBoss:
      return 187;
    case kBroadBladePickup:
      return 48;
    case kSecondBigJumper:
      return 192;
    default:
      return -1;
  }
}

// The text that stands for a type without a picture, or none.
const char* IconText(int32_t type) {
  switch (type) {
    case 3:
    case 4:
    case 6:
    case 8:
    case 9:
    case 10:
    case 12:
    case 15:
    case 18:
    case 25:
    case 29:
    case 30:
      return ".";
    case kCellLeave:
      return "gam";
    case kCellClear:
      return "clr";
    case kCellWrite:
      return "wr";
    case kCellLeft:
      return "lf";
    case kCellRight:
      return "rg";
    case kCellUp:
      return "up";
    case kCellDown:
      return "dn";
    case kCellStats:
      return "fps";
    case kCellOpen:
      return "tst";
    default:
      return nullptr;
  }
}

// Enters the neighbouring level `step` away. A number outside 0..100 is
// refused: the progress tables have no entry for it.
void GoToLevel(GameState& g, int32_t step) {
  const int64_t next = int64_t{g.level} + step;
  if (next < 0 || next > kHighestLevel) return;
  StartLevel(g, static_cast<int32_t>(next));
}

// Runs a command cell; returns -1 when it leaves the editor.
int32_t RunCommand(GameState& g, int32_t cell) {
  switch (cell) {
    case kCellLeave:
      return -1;
    case kCellClear:
      ClearPlacements(g);
      break;
    case kCellWrite:
      SavePlacements(g);
      break;
    case kCellLeft:
      GoToLevel(g, -1);
      break;
    case kCellRight:
      GoToLevel(g, 1);
      break;
    case kCellUp:
      GoToLevel(g, -5);
      break;
    case kCellDown:
      GoToLevel(g, 5);
      break;
    case kCellStats:
      g.settings.showStats = -1;
      break;
    case kCellOpen:
      g.settings.allOpen = -1;
      break;
    default:
      break;
  }
  return 0;
}

bool IsCommand(int32_t cell) { return cell >= kCellLeave && cell <= kCellOpen; }

// Draws the palette and handles a click on it; returns -1 when a command
// leaves the editor.
int32_t Palette(GameState& g, int32_t mouseX, int32_t mouseY, int32_t click) {
  GfxContext& gfx = engine.gfx;
  const int32_t left = engine.gfx.screenWidth / 2;
  int32_t result = 0;
  FillRect(gfx, left, 0, engine.gfx.screenWidth, engine.gfx.screenHeight, kPaletteColour);
  for (int32_t c = 0; c < kPaletteColumns; ++c) {
    for (int32_t r = 0; r < kPaletteRows; ++r) {
      const int32_t cell = kPaletteRows * c + r;
      const int32_t x0 = left + kCellPitch * c + 2;
      const int32_t x1 = left + kCellPitch * c + 38;
      const int32_t y0 = kCellPitch * r + 2;
      const int32_t y1 = kCellPitch * r + 38;
      FillRect(gfx, x0, y0, x1, y1, 0);
      DrawObjectIcon(g, x0, y0, cell);
      if (click == 0 || mouseX <= x0 || mouseX >= x1 || mouseY <= y0 || mouseY >= y1) continue;
      g.editorSelection = cell;
      if (IsCommand(cell)) {
        if (RunCommand(g, cell) != 0) result = -1;
        g.editorSelection = -1;
      }
    }
  }
  return result;
}

}  // namespace

void DrawObjectIcon(GameState&, int32_t x, int32_t y, int32_t type) {
  // A placement read from a file may lie anywhere; one this far off the
  // screen would show nothing, and its corners must not overflow.
  constexpr int32_t kFar = 1 << 20;
  if (x < -kFar || x > kFar || y < -kFar || y > kFar) return;
  GfxContext& gfx = engine.gfx;
  SetDrawMode(gfx, -2);
  const int32_t picture = IconPicture(type);
  if (picture >= 0) {
    DrawToCorners(gfx, picture, x + 2, y + 2, x + 37, y + 2, x + 2, y + 37, x + 37, y + 37, 0);
  } else if (const char* text = IconText(type); text != nullptr) {
    DrawTextBox(gfx, text, x - 15, y - 15, x + 15, y + 15, 103, 3);
  }
  ResetDrawMode(gfx);
}

int32_t EditorFrame(GameState& g, int32_t mouseX, int32_t mouseY, int32_t click) {
  int32_t result = 0;
  DrawLevel(g);
  for (const PlacementRecord& p : g.placements) {
    if (p.active != 0 && p.type <= 90) DrawObjectIcon(g, p.x, p.y, p.type);
  }
  if (g.editorSelection == -1) {
    result = Palette(g, mouseX, mouseY, click);
  } else if (click != 0) {
    AddPlacement(g, mouseX, mouseY, g.editorSelection);
    g.editorSelection = -1;
  }
  GfxContext& gfx = engine.gfx;
  DrawLine(gfx, mouseX, mouseY, mouseX + 15, mouseY, kCursorColour);
  DrawLine(gfx, mouseX, mouseY, mouseX, mouseY + 15, kCursorColour);
  if (g.editorSelection != -1) DrawObjectIcon(g, mouseX + 3, mouseY + 10, g.editorSelection);
  return result;
}
