#pragma once
// The sound device and its 201 numbered sample slots. Every operation does
// nothing while sound is not available; slot numbers outside 0..200 are
// ignored.
#include <cstdint>

struct EngineLog;

inline constexpr int32_t kSoundSlots = 201;
// All samples held by the slots together stay within this many bytes; a load
// that would pass it leaves its slot as it was, as a missing file does.
inline constexpr int64_t kSampleBudgetBytes = int64_t{1} << 30;

// The slots the music tracks play from; they follow the music volume, every
// other slot the sound volume.
inline constexpr int32_t kFirstMusicSlot = 50;
inline constexpr int32_t kMusicSlotCount = 3;
inline constexpr int32_t kFullVolume = 100;

struct SoundSlot {
  int32_t buffer = 0;     // platform sound buffer handle; 0 = empty
  int64_t heldBytes = 0;  // what the buffer counts against the sample budget
};

struct SoundContext {
  int32_t device = 0;  // non-zero while the device is open
  SoundSlot slots[kSoundSlots];
  int32_t available = 0;
  // Where the device start-up and the sample loading write their log
  // lines; none when null. Wired by the engine.
  EngineLog* log = nullptr;
  // The bytes the slots hold, and the most they may hold.
  int64_t sampleBytes = 0;
  int64_t sampleBudget = kSampleBudgetBytes;
  // Loudness in percent (0 silent .. 100 as recorded) of the samples and of
  // the music, for every buffer made now or later.
  int32_t soundVolume = kFullVolume;
  int32_t musicVolume = kFullVolume;
};

// Loads a WAV file into slot `slot` of `sound` (0..200; the slot number
// names the buffer in the platform's records): kWaveLoaded .. kWaveNoBuffer
// (sound/wave_file.h). On failure the slot keeps what it held. A sample
// that would take the slots past the sample budget gives kWaveNoBuffer and
// one log line.
int32_t LoadWave(SoundContext& sound, int32_t slot, const char* name);
// Opens the sound device; 0 = ready, 1 = no device, 2 = the device refused.
int32_t vxInitDirectSound(SoundContext& sound);
// Loads a WAV file into a slot (names longer than 1000 characters are cut).
void LoadSound(SoundContext& sound, const char* name, int32_t slot);
// Plays a slot from its start, once or looping.
void PlaySound(SoundContext& sound, int32_t slot);
void PlaySoundLooping(SoundContext& sound, int32_t slot);
// Stops a slot and rewinds it.
void StopSound(SoundContext& sound, int32_t slot);
// Sets the sound and music volumes (each clamped to 0..100) and applies
// them to every filled slot at once.
void SetVolumes(SoundContext& sound, int32_t soundPercent, int32_t musicPercent);
// Releases every slot's buffer and the device (part of the display release).
void ReleaseSound(SoundContext& sound);
