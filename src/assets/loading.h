#pragma once
// The asset loading schedule: which file goes into which image or sound
// slot, with which preparation, at which loading step.
#include <cstdint>
#include <functional>
#include <vector>

#include "assets/level_pictures.h"
#include "effects/effects.h"
#include "gfx/gfx_context.h"
#include "sound/sound_context.h"

// Pictures made ahead of the loading that asks for them, moved in when
// they are ready: what the loading takes from the worker of
// assets/picture_prefetch.h (PicturePrefetch), without the loading having
// to know the worker. Both answer false when nothing was made: the caller
// loads the pictures itself.
class PicturesMadeAhead {
 public:
  // The level's two pictures.
  virtual bool Take(int32_t level, GfxContext& gfx) = 0;
  // The loading group of `step` (see HasLoadGroup below).
  virtual bool TakeGroup(int32_t step, GfxContext& gfx, EffectsSystem& fx) = 0;

 protected:
  ~PicturesMadeAhead() = default;
};

// One loader group: step 0 the menu pictures, 1 to 8 the rest; steps 2 to 8
// end with the pictures of `level`. Other steps load nothing. With a
// `prefetch`, level pictures it has made ready are taken from it.
void LoadAssetsStep(LevelPictureState& pictures, int32_t level, int32_t step, GfxContext& gfx,
                    EffectsSystem& fx, SoundContext& sound, PicturesMadeAhead* prefetch = nullptr);

// The foreground and mask of `level`, once per level; also sets the current
// file names (a single space for a level without pictures). With a
// `prefetch`, pictures it has made ready are taken from it.
void LoadLevelPictures(LevelPictureState& pictures, int32_t level, GfxContext& gfx, EffectsSystem& fx,
                       PicturesMadeAhead* prefetch = nullptr);

// The level's foreground and mask files and slots; false for a level that
// has no pictures.
struct LevelPictureFiles {
  const char* foreground;
  int32_t foregroundSlot;
  const char* mask;
  int32_t maskSlot;
};
bool FindLevelPictures(int32_t level, LevelPictureFiles& files);

// Loads and prepares the level's two pictures into `gfx`, whatever the
// flags say: what the level start does the first time (and what the
// prefetch worker does into a context of its own).
// `beforeFile` runs before each file is read.
void LoadLevelFiles(GfxContext& gfx, EffectsSystem& fx, int32_t level, const LevelPictureFiles& files,
                    const std::function<void()>& beforeFile = {});

// The loading groups: the part of a loading step that needs nothing made by
// an earlier step and draws nothing that stays, so that a worker can make it
// ahead in a context of its own: 0 the menu pictures, 2 the fog pictures
// with their copies and the text pictures, 6 the creatures' strips and the
// pictures cut from them. The step moves a group made ahead in, or loads it
// itself.
bool HasLoadGroup(int32_t step);
// Loads and prepares the group of `step` into `gfx` (nothing for a step
// without one). Uses the back buffer of `gfx` as scratch. `beforeFile` runs
// before each file is read.
void LoadGroup(GfxContext& gfx, EffectsSystem& fx, int32_t step, const std::function<void()>& beforeFile = {});
// Every slot the group of `step` loads or makes, whether its files are
// there or not (empty for a step without a group).
std::vector<int32_t> LoadGroupSlots(int32_t step);
