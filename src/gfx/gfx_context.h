#pragma once
// The single graphics object: the image slots, the drawing state, the angle
// tables, the work buffer of the transformed blit, the per-frame timing and
// the back buffer everything draws into (its one home: the presenter
// allocates it, drawing and presenting read it from here).
#include <cstdint>
#include <memory>

#include "gfx/picture_memory.h"

struct EngineLog;

inline constexpr int32_t kImageSlots = 1200;
inline constexpr int32_t kHighestSlot = kImageSlots - 1;
inline constexpr int32_t kLoaded = 4;
inline constexpr int32_t kPlainCopy = 513;  // the opacity that means plain copy
// The double-resolution scratch area of the transformed blit, and the box
// area (in pixels) from which a transformed blit is refused.
inline constexpr int64_t kWorkBufferBytes = 31427246;
inline constexpr int64_t kWorkBufferPixels = kWorkBufferBytes / 4;
inline constexpr int64_t kWorkAreaLimit = 7840001;

// One picture: 32-bit pixels (byte 0 blue, 1 green, 2 red, 3 alpha), top
// row first, and the four per-row span tables.
struct ImageSlot {
  int32_t width = 0;
  int32_t height = 0;
  int32_t state = 0;
  uint32_t* pixels = nullptr;  // owned by the slot
  int32_t* opaqueLeft = nullptr;
  int32_t* opaqueRight = nullptr;
  int32_t* visibleLeft = nullptr;
  int32_t* visibleRight = nullptr;
  int64_t heldBytes = 0;  // what the slot counts against the picture budget
};

struct GfxContext {
  int32_t sizeScale = 0;
  int32_t measuredFps = 0;  // from the smoothed frame time; the frame loop's own rate is FrameClock::fps
  int32_t screenWidth = 0;
  int32_t heightScale = 0;
  int32_t timeStep = 0;
  int32_t versine[363] = {};
  int32_t sine[363] = {};
  int32_t direction[82 * 82 + 1] = {};
  int32_t x1 = 0, y1 = 0, x2 = 0, y2 = 0, x3 = 0, y3 = 0, x4 = 0, y4 = 0;  // quad corners
  ImageSlot slots[kImageSlots];
  std::unique_ptr<uint32_t[]> workBuffer;  // kWorkBufferPixels, allocated by InitGraphics
  int32_t highestSlot = kHighestSlot;
  int32_t opacity = 255;
  int32_t additive = 0;
  int32_t supersampling = 1;
  int32_t lastClock = 0;
  int32_t previousFrameTime = 0;
  int32_t smoothedFrameTime = 0;
  // The back buffer (screenWidth x screenHeight, the logical screen), owned
  // by the presenter.
  int32_t screenHeight = 0;
  uint32_t* backBuffer = nullptr;
  // Where picture loading writes its log lines; none when null. Wired by the
  // engine.
  EngineLog* log = nullptr;
  // The bytes the slots hold, and the most they may hold: what decides
  // whether a picture loads.
  int64_t pictureBytes = 0;
  int64_t pictureBudget = kPictureBudgetBytes;
  // Where the slots' bytes are taken from, shared with every other context
  // of the process. A context that makes pictures ahead for another (the
  // read-ahead worker's) gives way: it takes only free memory and none
  // once the memory was recalled after `lentSince`; `shortOfMemory` notes
  // that a load of it was refused so, which the context it works for would
  // not have been, so its pictures must not stand in for that one's loads.
  PictureMemory* memory = &ProcessPictureMemory();
  bool givesWay = false;
  uint64_t lentSince = 0;
  bool shortOfMemory = false;

  GfxContext() = default;
  GfxContext(const GfxContext&) = delete;
  GfxContext& operator=(const GfxContext&) = delete;
  ~GfxContext();
};

// Takes `bytes` of picture memory for a picture of `gfx`, as its kind of
// context takes them; false (nothing taken) when they cannot be had. Every
// take that is not kept in a slot is given back.
bool TakePictureMemory(GfxContext& gfx, int64_t bytes);
void GivePictureMemory(GfxContext& gfx, int64_t bytes);
// Makes `gfx` one that works ahead for another context, from now on.
void MakeGiveWay(GfxContext& gfx);

// Frees a slot's pixels and span tables, gives their bytes back to the
// picture budget and leaves the slot empty. Only the end of the run (and
// tools, tests and fuzzing) empties a slot.
void ReleasePicture(GfxContext& gfx, int32_t slot);

// The first-start set-up of the graphics context: tables, slots, drawing
// state and the frame timing. Called once, when presenting is first enabled.
void InitGraphics(GfxContext& gfx, uint32_t* backBuffer, int32_t width, int32_t height);
