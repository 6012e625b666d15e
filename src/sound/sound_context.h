#pragma once
// The sound device and its 201 numbered sample slots.
#include <cstdint>

inline constexpr int32_t kSoundSlots = 201;

struct SoundSlot {
  int32_t buffer = 0;  // platform sound buffer handle; 0 = empty
};

struct SoundContext {
  int32_t device = 0;  // non-zero while the device is open
  SoundSlot slots[kSoundSlots];
  int32_t available = 0;
};

// Opens the sound device; 0 = ready, 1 = no device, 2 = the device refused.
int32_t vxInitDirectSound(SoundContext& sound);
// Releases every slot's buffer and the device (part of the display release).
void ReleaseSound(SoundContext& sound);
