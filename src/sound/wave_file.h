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
  uint32_t bytes = 0;       // the size the data chunk declares
  bool overBudget = false;  // refused for passing `maxHeldBytes`
};

// Bytes a sample holds once loaded: its own size or, when that is larger,
// the size of its copy in the sound device's format (44100 Hz, 16-bit
// stereo), whichever backend plays it. What the sample budget counts.
int64_t SampleHeldBytes(const platform::WaveFormat& format, uint32_t bytes);

// Reads the format and the samples of an opened WAV file: kWaveLoaded,
// kWaveNotPcm or kWaveNoBuffer. Samples missing at the end of the file are
// silence. A data chunk larger than `maxBytes` gives kWaveNoBuffer, and so
// does one whose SampleHeldBytes pass `maxHeldBytes` (with `overBudget`
// set), before any memory is taken.
int32_t ReadWave(platform::RiffReader& reader, WaveData& out, uint32_t maxBytes = kMaxWaveBytes,
                 int64_t maxHeldBytes = INT64_MAX);
// Loads a WAV file into slot `slot` of `sound` (0..200; the slot number
// names the buffer in the platform's records): kWaveLoaded .. kWaveNoBuffer.
// On failure the slot keeps what it held. A sample that would take the
// slots past the sample budget gives kWaveNoBuffer and one log line.
int32_t LoadWave(SoundContext& sound, int32_t slot, const char* name);
