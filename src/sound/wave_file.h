#pragma once
// PCM WAV files: reading one into memory and loading it into a sound slot.
#include <cstdint>
#include <memory>

#include "platform/platform.h"
#include "platform/riff_reader.h"
#include "sound/sound_context.h"

enum WaveStatus : int32_t {
  kWaveLoaded = 0,
  kWaveCannotOpen = 1,
  kWaveNotPcm = 2,
  kWaveNoBuffer = 3,
};

// Largest sample a sound buffer can hold.
inline constexpr uint32_t kMaxWaveBytes = uint32_t{256} << 20;

struct WaveData {
  platform::WaveFormat format;
  std::unique_ptr<uint8_t[]> samples;
  uint32_t bytes = 0;  // the size the data chunk declares
};

// Reads the format and the samples of an opened WAV file: kWaveLoaded,
// kWaveNotPcm or kWaveNoBuffer. Samples missing at the end of the file are
// silence. A data chunk larger than `maxBytes` gives kWaveNoBuffer.
int32_t ReadWave(platform::RiffReader& reader, WaveData& out, uint32_t maxBytes = kMaxWaveBytes);
// Loads a WAV file into a slot: kWaveLoaded .. kWaveNoBuffer. On failure
// the slot keeps what it held. `tag` names the buffer in the platform's
// records (the slot number).
int32_t LoadWave(SoundSlot& slot, const char* name, int32_t tag = -1);
