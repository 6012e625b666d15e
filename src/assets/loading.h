#pragma once
// The asset loading schedule: which file goes into which image or sound
// slot, with which preparation, at which loading step.
#include <cstdint>

#include "assets/level_pictures.h"
#include "effects/effects.h"
#include "gfx/gfx_context.h"
#include "sound/sound_context.h"

// One loader group: step 0 the menu pictures, 1 to 8 the rest; steps 2 to 8
// end with the pictures of `level`. Other steps load nothing.
void LoadAssetsStep(LevelPictureState& pictures, int32_t level, int32_t step, GfxContext& gfx,
                    EffectsSystem& fx, SoundContext& sound);

// The foreground and mask of `level`, once per level; also sets the current
// file names (a single space for a level without pictures).
void LoadLevelPictures(LevelPictureState& pictures, int32_t level, GfxContext& gfx, EffectsSystem& fx);

// The level's foreground and mask files and slots; false for a level that
// has no pictures.
struct LevelPictureFiles {
  const char* foreground;
  int32_t foregroundSlot;
  const char* mask;
  int32_t maskSlot;
};
bool FindLevelPictures(int32_t level, LevelPictureFiles& files);
