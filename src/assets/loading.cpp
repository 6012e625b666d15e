#include "assets/loading.h"

#include <cstdio>
#include <cstdlib>
#include <functional>

#include "assets/image_preparation.h"
#include "config/log.h"
#include "effects/effects.h"
#include "gfx/drawing.h"
#include "gfx/image_slots.h"
#include "sound/sound_context.h"

namespace {

// The contexts one loading call works on (no sound device for the level
// pictures alone).
struct Loader {
  GfxContext& gfx;
  EffectsSystem& fx;
  SoundContext* sound;
  PicturesMadeAhead* prefetch;  // pictures made ahead, when there is a worker
  // Called before each file is read (the worker waits there while a frame
  // runs); none when empty.
  const std::function<void()>* beforeFile = nullptr;
};

void BeforeFile(const Loader& l) {
  if (l.beforeFile != nullptr && *l.beforeFile) (*l.beforeFile)();
}

// Runs preparation steps written as in the schedule's tables: "A1".."A3"
// alpha, "E" soften edges, "S" row spans, "P" pack to 24 bits, "T<gain>"
// tone curve, "G<factor>" saturation, separated by spaces.
void Prepare(const Loader& l, int32_t slot, const char* steps) {
  GfxContext& gfx = l.gfx;
  const char* p = steps;
  while (*p != '\0') {
    const char op = *p++;
    char* end = nullptr;
    const long arg = std::strtol(p, &end, 10);
    p = end;
    switch (op) {
      case 'A':
        PrepareAlpha(gfx, slot, static_cast<int32_t>(arg));
        break;
      case 'E':
        SoftenEdges(gfx, slot);
        break;
      case 'S':
        ComputeRowSpans(gfx, slot);
        break;
      case 'P':
        PackTo24(gfx, slot);
        break;
      case 'T':
        ToneCurve(l.fx, gfx, slot, 0, 0, static_cast<int32_t>(arg));
        break;
      case 'G':
        Saturation(l.fx, gfx, slot, static_cast<int32_t>(arg));
        break;
      default:
        break;
    }
    while (*p == ' ') ++p;
  }
}

void Load(const Loader& l, int32_t slot, const char* file, const char* steps = "") {
  BeforeFile(l);
  LoadPicture(l.gfx, slot, file);
  Prepare(l, slot, steps);
}

// Slots first..first+count-1 from "<stem>N.vx1", N = firstNumber upwards.
void LoadNumbered(const Loader& l, int32_t first, int32_t count, const char* stem, int32_t firstNumber,
                  const char* steps) {
  char name[64];
  for (int32_t i = 0; i < count; ++i) {
    std::snprintf(name, sizeof name, "data/%s%d.vx1", stem, static_cast<int>(firstNumber + i));
    Load(l, first + i, name, steps);
  }
}

void ScreenSizePicture(const Loader& l, int32_t slot) {
  CreatePicture(l.gfx, slot, l.gfx.screenWidth, l.gfx.screenHeight);
}

// The group of a step that a worker may have made ahead, moved in; false
// when the step must load it itself.
bool TakeGroup(const Loader& l, int32_t step) {
  return l.prefetch != nullptr && l.prefetch->TakeGroup(step, l.gfx, l.fx);
}

void MenuPictures(const Loader& l) {
  Load(l, 413, "data/dback1.vx1");
  LoadNumbered(l, 390, 4, "dem", 1, "A1 E S");
  Load(l, 730, "data/dback2.vx1");
  Load(l, 731, "data/dback3.vx1");
  ScreenSizePicture(l, 406);
  Load(l, 408, "data/enter.vx1", "A1 E S");
}

void Step0(const Loader& l) {
  ClearScreen(l.gfx, 0);
  if (!TakeGroup(l, 0)) MenuPictures(l);
}

void Step1(const Loader& l) {
  CreatePicture(l.gfx, 1, 480, 480);
  for (int32_t slot = 670; slot <= 694; ++slot) CreatePicture(l.gfx, slot, 240, 240);
  Load(l, 719, "data/hback1.vx1");
  LoadNumbered(l, 720, 4, "sboss", 1, "A1 E S");
}

// Fog picture i: the file, a copy at screen scale (layers and clouds), a
// copy of about 15 × 15 (puffs) and an 8-bit map of the screen-scale copy.
void LoadFogPicture(const Loader& l, int32_t i) {
  GfxContext& gfx = l.gfx;
  char name[32];
  std::snprintf(name, sizeof name, "data/fog/fogp%02d.vx1", static_cast<int>(i + 20));
  BeforeFile(l);
  LoadPicture(gfx, 820 + i, name);
  ScalePicture(gfx, 880 + i, 820 + i, 1, 0, l.gfx.screenWidth, l.gfx.screenHeight * 1024 / 768);
  Prepare(l, 880 + i, "T160 S");
  ScalePicture(gfx, 940 + i, 820 + i, 1, 0, 15360 / (PictureWidth(gfx, 820 + i) + 1),
               15360 / (PictureHeight(gfx, 820 + i) + 1));
  Prepare(l, 940 + i, "T160 S");
  CreatePicture(gfx, 740 + i, PictureWidth(gfx, 880 + i), PictureHeight(gfx, 880 + i));
  CopyPicture(gfx, 740 + i, 880 + i);
  ComputeRowSpans(gfx, 740 + i);
  PackToLuma8(gfx, 740 + i);
}

constexpr int32_t kFogPictures = 60;

void FogAndTextures(const Loader& l) {
  ScreenSizePicture(l, 13);
  for (int32_t i = 0; i < kFogPictures; ++i) LoadFogPicture(l, i);
  LoadNumbered(l, 380, 4, "moonrp", 1, "A1 S");
  Load(l, 101, "data/txtrs_c.900", "A2 G0");
  Load(l, 102, "data/txtrs_c.905", "A2 G0");
  Load(l, 104, "data/txtrs_c.909", "A2 G0");
}

void Step2(const Loader& l) {
  if (!TakeGroup(l, 2)) FogAndTextures(l);
}

void Step3(const Loader& l) { Load(l, 220, "data/back1.vx1", "P"); }

void Step4(const Loader& l) {
  struct Sample {
    int32_t slot;
    const char* file;
  };
  static constexpr Sample kSamples[] = {
      {1, "data/kat4.wav"},    {2, "data/tuk2.wav"},    {4, "data/ding2.wav"},   {8, "data/fuh3.wav"},
      {9, "data/fuh4.wav"},    {10, "data/fuh5.wav"},   {15, "data/gun2v1.wav"}, {16, "data/gun2v2.wav"},
      {17, "data/gun2v3.wav"}, {20, "data/gun3v1.wav"}, {21, "data/gun3v2.wav"}, {22, "data/gun3v3.wav"},
      {30, "data/gun4v2.wav"}, {31, "data/gun4v1.wav"}, {32, "data/gun4v3.wav"}, {40, "data/eaty2.wav"},
      {41, "data/eaty2.wav"},  {42, "data/eaty2.wav"},  {43, "data/eaty2.wav"},  {44, "data/eaty2.wav"},
      {45, "data/eaty2.wav"},  {60, "data/buhv1.wav"},
  };
  for (const Sample& s : kSamples) LoadSound(*l.sound, s.file, s.slot);
}

// A picture drawn onto a rectangle at the screen's corner and taken back as
// a small picture (the player's body pieces). The corner is cleared first so
// that nothing of the loading screen is taken along.
void CaptureScaled(const Loader& l, int32_t slot, int32_t side, int32_t source, int32_t frame, int32_t width,
                   int32_t height) {
  GfxContext& gfx = l.gfx;
  CreatePicture(gfx, slot, side, side);
  FillRect(gfx, 0, 0, 82, 82, 0);
  ResetDrawMode(gfx);
  DrawToCorners(gfx, source, 0, 0, width, 0, 0, height, width, height, frame);
  CopyFromScreen(gfx, slot, 0, 0);
  FillRect(gfx, 0, 0, 82, 82, 0);
  ComputeRowSpans(gfx, slot);
}

void Step5(const Loader& l) {
  Load(l, 20, "data/lg1.vx1", "A1 E S");
  Load(l, 21, "data/mz2.vx1", "A1 E");
  Load(l, 22, "data/mz2w.vx1", "A1");
  Load(l, 24, "data/mz4.vx1", "A1 E");
  Load(l, 25, "data/mz4w.vx1", "A1");
  Load(l, 27, "data/mz4.vx1", "A1 E");
  Load(l, 28, "data/mz4w.vx1", "A1");
  CaptureScaled(l, 30, 55, 20, -1, 14, 53);
  CaptureScaled(l, 31, 80, 21, 0, 82, 82);  // the body at rest, not the whole strip
  Load(l, 32, "data/megbord.vx1", "A1 S");
  Load(l, 35, "data/arr_l.vx1", "A1 E T300 S");
  Load(l, 36, "data/arr_r.vx1", "A1 E T300 S");
  Load(l, 37, "data/arr_u.vx1", "A1 E T300 S");
  Load(l, 38, "data/arr_d.vx1", "A1 E T300 S");
  LoadNumbered(l, 725, 3, "fstone", 1, "A1 E S");
}

// A creature's strip and the pictures cut from it: mirrored strip S + 1
// (none for mirror = false), pieces S + 4, S + 3, S + 2, and n right- and
// left-facing poses from slot `poses` (none for n = 0).
struct Creature {
  int32_t strip;
  const char* file;
  bool mirror;
  int32_t cutMode;
  int32_t poses;
  int32_t poseCount;
};

void CutCreature(const Loader& l, const Creature& c) {
  if (c.mirror) MakeMirroredStrip(l.gfx, c.strip + 1, c.strip);
  MakeBodyPieces(l.gfx, c.strip + 4, c.strip + 3, c.strip + 2, c.strip, c.cutMode);
  if (c.poseCount > 0) MakePoseImages(l.gfx, c.poses, c.strip + 1, c.strip, c.poseCount);
}

constexpr Creature kCreatures[] = {
    {120, "data/daemon3.vx1", true, 0, 415, 6},  {126, "data/daemon2.vx1", true, 1, 427, 6},
    {132, "data/daemon4.vx1", true, 0, 439, 9},  {150, "data/daemon5.vx1", true, 2, 457, 6},
    {156, "data/daemon6.vx1", true, 1, 469, 6},  {162, "data/daemon7.vx1", true, 1, 481, 2},
    {167, "data/daemon8.vx1", true, 1, 485, 5},  {172, "data/daemon9.vx1", true, 1, 495, 5},
    {177, "data/daemon10.vx1", true, 1, 505, 3}, {182, "data/daemon11.vx1", true, 1, 511, 3},
    {187, "data/daemon13.vx1", false, 1, 0, 0},  {192, "data/daemon14.vx1", true, 1, 517, 5},
};

void Creatures(const Loader& l) {
  for (const Creature& c : kCreatures) {
    Load(l, c.strip, c.file, "A1 E T330 G256");
    CutCreature(l, c);
  }
}

void Step6(const Loader& l) {
  // The player's left-facing body strips, from pictures of step 5.
  MakeMirroredStrip(l.gfx, 23, 21);
  MakeMirroredStrip(l.gfx, 26, 24);
  if (!TakeGroup(l, 6)) Creatures(l);
}

void Step7(const Loader& l) {
  Load(l, 138, "data/bullet1.vx1", "A1 S");
  CutCreature(l, {138, "data/bullet1.vx1", false, 0, 0, 0});
  Load(l, 144, "data/bullet2.vx1", "A1 S");
  LoadNumbered(l, 733, 3, "blpr", 1, "A2 E S");
  LoadNumbered(l, 815, 3, "stpr", 1, "A1 E S");
  Load(l, 808, "data/gnpr1.vx1", "A1 E S");
}

void Step8(const Loader& l) {
  Load(l, 40, "data/nihonto1.vx1", "A3 S");
  Load(l, 41, "data/sword3.vx1", "A1 S");
  Load(l, 42, "data/gun1.vx1", "A1 S");
  Load(l, 43, "data/gun2.vx1", "A1 S");
  Load(l, 44, "data/gem1.vx1", "A1 S");
  Load(l, 45, "data/med1.vx1", "G0 A1 E S");
  Load(l, 46, "data/det1.vx1", "A1 E S");
  Load(l, 47, "data/med2.vx1", "G0 A1 E S");
  Load(l, 48, "data/gem2.vx1", "A1 S");
  Load(l, 400, "data/mback2.vx1");
  LoadNumbered(l, 401, 5, "ment", 0, "A1 E S");
  Load(l, 407, "data/space.vx1", "A1 E S");
  Load(l, 5, "data/tind2.vx1", "A1 E S");
  Load(l, 6, "data/tindw.vx1", "P");
}

constexpr LevelPictureFiles kLevelFiles[25] = {
    {"data/fore1.vx1", 250, "data/fore1ph.vx1", 251},
    {"data/fore2.vx1", 252, "data/fore2ph.vx1", 253},
    {"data/fore3.vx1", 254, "data/fore3ph.vx1", 255},
    {"data/fore4.vx1", 256, "data/fore4ph.vx1", 257},
    {"data/fore5.vx1", 258, "data/fore5ph.vx1", 259},
    {"data/fore6.vx1", 260, "data/fore6ph.vx1", 261},
    {"data/fore7.vx1", 262, "data/fore7ph.vx1", 263},
    {"data/fore8.vx1", 264, "data/fore8ph.vx1", 265},
    {"data/fore9.vx1", 266, "data/fore9ph.vx1", 267},
    {"data/fore10.vx1", 268, "data/fore10ph.vx1", 269},
    {"data/fore11.vx1", 270, "data/fore11ph.vx1", 271},
    {},
    {},
    {},
    {},
    {"data/fore16.vx1", 272, "data/fore16ph.vx1", 273},
    {"data/fore17.vx1", 274, "data/fore17ph.vx1", 275},
    {"data/fore18.vx1", 276, "data/fore18ph.vx1", 277},
    {"data/fore19.vx1", 278, "data/fore19ph.vx1", 279},
    {"data/fore20.vx1", 280, "data/fore20ph.vx1", 281},
    {},
    {},
    {},
    {},
    {"data/fore25.vx1", 282, "data/fore25ph.vx1", 283},
};

}  // namespace

bool FindLevelPictures(int32_t level, LevelPictureFiles& files) {
  if (level < 0 || level >= 25 || kLevelFiles[level].foreground == nullptr) return false;
  files = kLevelFiles[level];
  return true;
}

namespace {

void LoadLevel(const Loader& l, LevelPictureState& pictures, int32_t level) {
  pictures.foregroundFile = " ";
  pictures.maskFile = " ";
  LevelPictureFiles files{};
  const bool hasRow = FindLevelPictures(level, files);
  if (hasRow) {
    pictures.foregroundFile = files.foreground;
    pictures.maskFile = files.mask;
  }
  if (level < 0 || level >= kLevelFlagCount || pictures.loaded[level] != 0) return;
  // Pictures made ahead carry no log lines: with the log on, they are read here.
  const bool logging = l.gfx.log != nullptr && l.gfx.log->enabled != 0;
  const bool taken = hasRow && l.prefetch != nullptr && !logging && l.prefetch->Take(level, l.gfx);
  if (hasRow && !taken) LoadLevelFiles(l.gfx, l.fx, level, files);
  pictures.loaded[level] = -1;
}

}  // namespace

void LoadLevelFiles(GfxContext& gfx, EffectsSystem& fx, int32_t level, const LevelPictureFiles& files,
                    const std::function<void()>& beforeFile) {
  const Loader l{gfx, fx, nullptr, nullptr, &beforeFile};
  Load(l, files.foregroundSlot, files.foreground, "A1 E S");
  Prepare(l, files.foregroundSlot, level < 5 ? "G300" : level <= 9 ? "G320" : "G270");
  Load(l, files.maskSlot, files.mask, "A1");
}

void LoadLevelPictures(LevelPictureState& pictures, int32_t level, GfxContext& gfx, EffectsSystem& fx,
                       PicturesMadeAhead* prefetch) {
  LoadLevel(Loader{gfx, fx, nullptr, prefetch}, pictures, level);
}

bool HasLoadGroup(int32_t step) { return step == 0 || step == 2 || step == 6; }

void LoadGroup(GfxContext& gfx, EffectsSystem& fx, int32_t step, const std::function<void()>& beforeFile) {
  const Loader l{gfx, fx, nullptr, nullptr, &beforeFile};
  if (step == 0) MenuPictures(l);
  if (step == 2) FogAndTextures(l);
  if (step == 6) Creatures(l);
}

std::vector<int32_t> LoadGroupSlots(int32_t step) {
  std::vector<int32_t> slots;
  const auto range = [&](int32_t first, int32_t count) {
    for (int32_t i = 0; i < count; ++i) slots.push_back(first + i);
  };
  if (step == 0) {
    for (const int32_t slot : {413, 730, 731, 406, 408}) slots.push_back(slot);
    range(390, 4);
  } else if (step == 2) {
    slots.push_back(13);
    for (const int32_t first : {820, 880, 940, 740}) range(first, kFogPictures);
    range(380, 4);
    for (const int32_t slot : {101, 102, 104}) slots.push_back(slot);
  } else if (step == 6) {
    for (const Creature& c : kCreatures) {
      slots.push_back(c.strip);
      if (c.mirror) slots.push_back(c.strip + 1);
      range(c.strip + 2, 3);
      range(c.poses, 2 * c.poseCount);
    }
  }
  return slots;
}

void LoadAssetsStep(LevelPictureState& pictures, int32_t level, int32_t step, GfxContext& gfx,
                    EffectsSystem& fx, SoundContext& sound, PicturesMadeAhead* prefetch) {
  const Loader l{gfx, fx, &sound, prefetch};
  switch (step) {
    case 0:
      Step0(l);
      break;
    case 1:
      Step1(l);
      break;
    case 2:
      Step2(l);
      break;
    case 3:
      Step3(l);
      break;
    case 4:
      Step4(l);
      break;
    case 5:
      Step5(l);
      break;
    case 6:
      Step6(l);
      break;
    case 7:
      Step7(l);
      break;
    case 8:
      Step8(l);
      break;
    default:
      return;
  }
  if (step >= 2) LoadLevel(l, pictures, level);
}
