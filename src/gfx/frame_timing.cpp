#include "gfx/frame_timing.h"

#include <algorithm>
#include <cmath>

#include "platform/platform.h"

namespace {

// The longest frame time taken from one measurement (about 2.3 hours). The
// smoothed value is 256 times a mean of frame times, so this keeps it, and
// everything derived from it, inside 32 bits after a long pause.
constexpr int64_t kLongestFrameTime = (int64_t{1} << 31) / 256 - 1;

// fps, time step, size scale, screen width and height scale from the
// smoothed frame time and the logical screen.
void DeriveTimingValues(GfxContext& gfx) {
  const int64_t smoothed = std::max(gfx.smoothedFrameTime, 0);
  gfx.measuredFps = static_cast<int32_t>(std::max<int64_t>(1, 262144 / (smoothed + 1)));
  gfx.timeStep = static_cast<int32_t>(std::clamp<int64_t>((22 * smoothed + 81920) / 8192, 1, 1024));
  const double pixels = static_cast<double>(gfx.screenWidth) * static_cast<double>(gfx.screenHeight) + 1.0;
  gfx.sizeScale = static_cast<int32_t>(std::trunc(std::sqrt(pixels) * 1024.0 / 886.8100134752651));
  gfx.heightScale = static_cast<int32_t>(int64_t{gfx.screenHeight} * 1024 / 768);
}

}  // namespace

int32_t FrameTime(GfxContext& gfx) {
  const int32_t now = platform::Current().StateClockMs();
  const int64_t units = (int64_t{now} - gfx.lastClock) * 1024 / 1000;
  gfx.lastClock = now;
  return static_cast<int32_t>(std::clamp<int64_t>(units, 1, kLongestFrameTime));
}

void UpdateFrameTiming(GfxContext& gfx) {
  const int32_t frameTime = FrameTime(gfx);
  const int64_t smoothed = (216 * int64_t{gfx.smoothedFrameTime} + 40 * 256 * int64_t{frameTime}) / 256;
  gfx.previousFrameTime = frameTime;
  gfx.smoothedFrameTime = static_cast<int32_t>(smoothed);
  DeriveTimingValues(gfx);
}

void InitFrameTiming(GfxContext& gfx) {
  const int32_t frameTime = FrameTime(gfx);
  gfx.previousFrameTime = frameTime;
  gfx.smoothedFrameTime = frameTime;
}
