#include "game/fight.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "config/configuration.h"
#include "engine/engine_effects.h"
#include "game/game_state.h"
#include "game/levels.h"
#include "game/object_kinds.h"
#include "game/objects.h"
#include "game/screens.h"
#include "game/singletons.h"
#include "game/weapons.h"
#include "gfx/drawing.h"
#include "gfx/image_slots.h"
#include "gfx/text.h"
#include "sound/sound_context.h"

namespace {

// How many times the reinforcement pass runs: the lower the difficulty
// (the less time per monster), the more monsters join.
int32_t ReinforcementPasses(int32_t d) {
  if (d > 60) return 1;
  if (d >= 46) return 2;
  if (d >= 29) return 3;
  if (d >= 21) return 5;
  if (d >= 16) return 6;
  return 7;
}

int32_t FreeObjectRecords(const ObjectTables& tables) {
  int32_t free = 0;
  for (const MonsterRecord& r : tables.objects) free += r.active == 0 ? 1 : 0;
  return free;
}

// The bar's caption (text line 13). It is read once per fight rather than
// every frame, so a running fight opens no file; a level start, a new fight
// or another text file reads it again.
struct FightLabel {
  std::string file;
  std::string text;
  bool valid = false;
};
FightLabel label;

const char* FightLabelText(const GameState& g) {
  if (!label.valid || label.file != g.settings.textFileName) {
    GetTextLine(engine.records, g.settings, 13);
    label.file = g.settings.textFileName;
    label.text = engine.records.text1;
    label.valid = true;
  }
  return label.text.c_str();
}

// The display slides out of the player's way, off one edge of the screen,
// and comes back at the other.
void DodgePlayer(GameState& g) {
  const int32_t h = engine.gfx.screenHeight;
  const int32_t py = WholePixel(g.player.y);
  if (py < h / 3 && g.fight.barY < 250) g.fight.barSlide = -20;
  if (py > h - h / 4 && g.fight.barY > 249) g.fight.barSlide = 20;
  g.fight.barY += g.fight.barSlide;
  if (g.fight.barSlide < 0 && g.fight.barY < -150) {
    g.fight.barY = h - 200;
    g.fight.barSlide = 0;
  }
  if (g.fight.barSlide > 0 && g.fight.barY > h - 50) {
    g.fight.barY = IsDeepLevel(g.level) ? -100 : 0;
    g.fight.barSlide = 0;
  }
}

// A bar segment went out (or the bar just appeared): segment k, counted
// from the left, is lit up and bursts into sparks.
void SegmentBurst(const GameSettings& settings, int32_t x, int32_t y, int32_t k) {
  GfxContext& gfx = engine.gfx;
  RandomSource& random = engine.random;
  const int32_t w = PictureWidth(gfx, 5);
  const int32_t h = PictureHeight(gfx, 5);
  const int32_t cx = x + (w + 2) * k + 5 + w / 2;
  const int32_t cy = y + 28 + h / 2;
  if (static_cast<uint32_t>(k) < 5) {
    static constexpr int32_t kLights[2][4] = {{90, 0, 110, 220}, {70, 0, 180, 200}};
    for (const auto& l : kLights) {
      const int32_t dy = Random(random, -15, 15);
      const int32_t dx = Random(random, -15, 15);
      AddTexturedLight(engine, cx + dx, cy + dy, l[0], l[1], l[2], l[3], 13);
    }
    // Count, reach of the offsets and size of each cloud of puffs.
    static constexpr int32_t kPuffs[3][3] = {{331, 30, 13}, {131, 20, 13}, {81, 10, 20}};
    for (const auto& p : kPuffs) {
      for (int32_t i = 0; i < p[0]; ++i) {
        const int32_t dy = Random(random, -p[1], p[1]);
        const int32_t dx = Random(random, -p[1], p[1]);
        SpawnFog(engine, cx + dx, cy + dy, 0, p[2]);
      }
    }
  } else {
    for (int32_t i = 0; i < 81; ++i) {
      const int32_t dx = Random(random, -10, 10);
      const int32_t dy = Random(random, -10, 20);
      SpawnFog(engine, cx + dx, cy + dy, 0, 20);
    }
  }
  if (settings.soundOn != 0) PlaySound(engine.sound, 4);
}

int64_t Distance(int32_t px, int32_t py, const PlacementRecord& p) {
  const int64_t dx = int64_t{px} - p.x;
  const int64_t dy = int64_t{py} - p.y;
  return (dx < 0 ? -dx : dx) + (dy < 0 ? -dy : dy);
}

}  // namespace

int32_t Difficulty(ProgressRecord& progress) {
  const int32_t d = fixed::Sub(progress.difficultyBase, progress.difficultyOffset);
  if (d <= 9) {
    progress.difficultyOffset = fixed::Sub(progress.difficultyBase, 10);
    return 10;
  }
  if (d >= 76) {
    progress.difficultyOffset = fixed::Sub(progress.difficultyBase, 75);
    return 75;
  }
  return d;
}

void ResetDifficulty(ProgressRecord& progress) {
  progress.difficultyOffset = 0;
  progress.difficultyBase = 35;
}

void EaseDifficulty(ProgressRecord& progress) {
  progress.difficultyOffset = fixed::Sub(progress.difficultyOffset, 8);
}
void TightenDifficulty(ProgressRecord& progress) {
  progress.difficultyOffset = fixed::Add(progress.difficultyOffset, 5);
}

void ResetFight(FightRecord& fight) {
  fight.state = -1;
  fight.time = 0;
  fight.timeStart = 1;
  fight.shownSegments = 0;
  fight.barY = 0;
  fight.barSlide = 0;
  label.valid = false;
}

void StartFight(GameState& g) {
  if (g.fight.state != -1) return;
  g.fight.state = 1;
  label.valid = false;
  const int32_t d = Difficulty(g.progress);
  // At most 75 x 101 x 80 + 10: no overflow.
  g.fight.time = d * WeightedMonsterCount(g.tables) + 10;
  g.fight.timeStart = std::abs(g.fight.time) + 1;
  g.fight.shownSegments = 0;
  g.fight.barY = 0;
  g.fight.barSlide = 0;
  if (InRow(g.level, 1)) g.fight.barY = engine.gfx.screenHeight - 200;
  if (IsDeepLevel(g.level)) g.fight.barY = -100;
  constexpr int32_t kStarts = OpenScreen(kScreenFightStarts);
  if (g.frameResult == kStayInGame && g.progress.resultSeen[kStarts] == 0) {
    g.frameResult = kStarts;
    g.resultCount[kStarts] = fixed::Add(g.resultCount[kStarts], 3);
  }
}

int32_t WeightedMonsterCount(ObjectTables& tables) {
  static constexpr int32_t kWeight[4] = {0, 1, 25, 80};
  int32_t sum = 0;
  for (const MonsterRecord& r : tables.objects) {
    if (r.active != 0) sum += kWeight[MonsterClass(r.kind)];
  }
  return sum;
}

void Reinforcements(GameState& g) {
  if (g.fight.state != 1) return;
  // Guns keep monsters from arriving right beside the player and bring
  // them in more often.
  const int32_t near = IsGun(g.player.weapon) ? 60 : 40;
  int32_t far = 130;
  if (g.player.weapon == kSecondSword) far = 100;
  if (g.player.weapon == kGun) far = 126;
  if (g.player.weapon == kSecondGun) far = 145;
  int32_t base = 91;
  if (g.player.weapon == kGun) base = 88;
  if (g.player.weapon == kSecondGun) base = 84;
  const int32_t chance = 100 - base;

  // Monsters arrive faster as the time runs out.
  int32_t rate = 65;
  if (g.fight.time < g.fight.timeStart / 3) {
    rate = 15;
  } else if (g.fight.time < g.fight.timeStart / 2) {
    rate = 37;
  }
  if (InRow(g.level, 0)) rate = rate * 3 / 2;
  if (InRow(g.level, 1)) rate = rate * 7 / 4;
  if (IsDeepLevel(g.level)) rate = rate * 3;

  const int32_t passes = ReinforcementPasses(Difficulty(g.progress));
  const int32_t px = WholePixel(g.player.x);
  const int32_t py = WholePixel(g.player.y);
  RandomSource& random = engine.random;
  for (int32_t pass = 0; pass < passes; ++pass) {
    if (FreeObjectRecords(g.tables) <= 15) continue;
    for (const PlacementRecord& p : g.tables.placements) {
      if (p.active == 0 || p.type > kHighestSpawnedCode) continue;
      const int64_t d = Distance(px, py, p);
      if (d <= near || d >= far) continue;
      if (Random(random, 0, 100) >= chance) continue;
      if (Random(random, 0, 100) >= chance) continue;
      if (Random(random, 0, 100) >= 2 * chance) continue;
      if (Random(random, 0, 100) >= rate) continue;
      if (MonsterClass(p.type) != kSmallMonster) continue;
      SpawnMonster(g, p.x, p.y, p.type);
      if (Random(random, 0, 100) > 80 && Random(random, 0, 100) > 70) {
        g.fight.time = fixed::Add(g.fight.time, Difficulty(g.progress));
      }
      g.fight.time = std::min(g.fight.time, fixed::Sub(g.fight.timeStart, 1));
    }
  }
}

void DrawFightDisplay(GameState& g) {
  if (g.player.alive == 0) return;
  if (g.fight.time > 0) DodgePlayer(g);
  GfxContext& gfx = engine.gfx;
  const int32_t x = engine.gfx.screenWidth / 2 - PictureWidth(gfx, 6) / 2;
  const int32_t y = g.fight.barY + 100;
  if (g.fight.time <= 0) return;

  DrawPacked24(gfx, 6, x, y);
  if (g.fight.timeStart == 0) g.fight.timeStart = 1;
  ResetDrawMode(gfx);
  // One segment per tenth of the time, the first lit to the very end.
  const int64_t lit = int64_t{g.fight.time} * 9 / g.fight.timeStart;
  const int32_t step = PictureWidth(gfx, 5) + 2;
  int32_t shown = 0;
  for (int32_t i = 0; i <= 9; ++i) {
    if (i > lit) continue;
    DrawPicture(gfx, 5, x + 5 + i * step, y + 28);
    ++shown;
  }
  ResetDrawMode(gfx);

  const char* text = FightLabelText(g);
  if (g.settings.altTextFile != 0) {
    DrawTextBox(gfx, text, x - 13, y - 14, engine.gfx.screenWidth, engine.gfx.screenHeight, 103, 3);
  } else {
    DrawTextBox(gfx, text, x - 13, y - 14, engine.gfx.screenWidth, engine.gfx.screenHeight, 105, 4);
  }

  if (g.fight.shownSegments != shown) {
    SegmentBurst(g.settings, x, y, g.fight.shownSegments - 1);
    g.fight.shownSegments = shown;
  }
}
