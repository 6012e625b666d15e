#include "game/editor.h"

#include "game/game_frame.h"
#include "game/game_state.h"
#include "game/level_start.h"
#include "game/levels.h"
#include "game/object_kinds.h"
#include "game/objects.h"
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

// The text that stands for a type without a picture, or none.
const char* IconText(int32_t type) {
  switch (type) {
    case kAimedShot:
    case kSpinningShot:
    case kSpit:
    case kLobbedShot:
    case kLobbedShotLeftCode:
    case kGunShot:
    case kUnusedCode:
    case kBouncingShot:
    case kArcingShot:
    case kHovererShot:
    case kRock:
    case kSweepingShotCode:
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

// Runs a command cell: kEditorLeaves or kEditorStays.
int32_t RunCommand(GameState& g, int32_t cell) {
  switch (cell) {
    case kCellLeave:
      return kEditorLeaves;
    case kCellClear:
      ClearPlacements(g.tables);
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
      GoToLevel(g, -kLevelsPerRow);
      break;
    case kCellDown:
      GoToLevel(g, kLevelsPerRow);
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
  return kEditorStays;
}

bool IsCommand(int32_t cell) { return cell >= kCellLeave && cell <= kCellOpen; }

// Draws the palette and handles a click on it: kEditorLeaves when a
// command leaves the editor, else kEditorStays.
int32_t Palette(GameState& g, int32_t mouseX, int32_t mouseY, int32_t click) {
  GfxContext& gfx = engine.gfx;
  const int32_t left = engine.gfx.screenWidth / 2;
  int32_t result = kEditorStays;
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
      g.levelState.editorSelection = cell;
      if (IsCommand(cell)) {
        if (RunCommand(g, cell) != kEditorStays) result = kEditorLeaves;
        g.levelState.editorSelection = kNoSelection;
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
  const int32_t picture = SpawnPicture(type);
  if (picture >= 0) {
    DrawToCorners(gfx, picture, x + 2, y + 2, x + 37, y + 2, x + 2, y + 37, x + 37, y + 37, 0);
  } else if (const char* text = IconText(type); text != nullptr) {
    DrawTextBox(gfx, text, x - 15, y - 15, x + 15, y + 15, 103, 3);
  }
  ResetDrawMode(gfx);
}

int32_t EditorFrame(GameState& g, int32_t mouseX, int32_t mouseY, int32_t click) {
  int32_t result = kEditorStays;
  DrawLevel(g);
  for (const PlacementRecord& p : g.tables.placements) {
    if (p.active != 0 && p.type <= kHighestSpawnedCode) DrawObjectIcon(g, p.x, p.y, p.type);
  }
  if (g.levelState.editorSelection == kNoSelection) {
    result = Palette(g, mouseX, mouseY, click);
  } else if (click != 0) {
    AddPlacement(g.tables, mouseX, mouseY, g.levelState.editorSelection);
    g.levelState.editorSelection = kNoSelection;
  }
  GfxContext& gfx = engine.gfx;
  DrawLine(gfx, mouseX, mouseY, mouseX + 15, mouseY, kCursorColour);
  DrawLine(gfx, mouseX, mouseY, mouseX, mouseY + 15, kCursorColour);
  if (g.levelState.editorSelection != kNoSelection) DrawObjectIcon(g, mouseX + 3, mouseY + 10, g.levelState.editorSelection);
  return result;
}
