#pragma once
// PCM WAV files: judging the headers and reading one into memory.
// Loading one into a sound slot is the sound context's (LoadWave).
#include <cstdint>
#include <memory>
#include <string>

#include "platform/platform.h"
#include "platform/riff_reader.h"

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

// What the headers of a WAV file say, and whether the loader makes a sample
// of it: the one rule of what plays, which the start-up check asks too.
struct WaveHeaders {
  platform::WaveFormat format;
  uint32_t bytes = 0;            // the size the data chunk declares
  uint64_t dataOffset = 0;       // where the samples begin in the file
  int32_t status = kWaveNotPcm;  // kWaveLoaded when it plays
  std::string reason;            // why it does not; empty when it does
};

// Reads the headers up to the data chunk and judges them: a "RIFF" file of
// form "WAVE" whose first chunk is a PCM format (18 bytes read, those the
// file lacks as 0) of 1 or 2 channels, 8 or 16 bits, a block align of
// channels x bytes per sample and a rate of 100 to 200,000; then a "data"
// chunk of 1 byte to `maxBytes`. Samples the file lacks at the end do not
// count against it (they play as silence). Returns the status; the reader
// is left at the samples.
int32_t ExamineWave(platform::RiffReader& reader, WaveHeaders& out, uint32_t maxBytes = kMaxWaveBytes);

// Bytes a sample holds once loaded: its own size or, when that is larger,
// the size of its copy in the sound device's format (44100 Hz, 16-bit
// stereo), whichever backend plays it. What the sample budget counts.
int64_t SampleHeldBytes(const platform::WaveFormat& format, uint32_t bytes);

// Reads the format and the samples of an opened WAV file that ExamineWave
// passes: kWaveLoaded, or its status (kWaveNotPcm or kWaveNoBuffer).
// Samples missing at the end of the file are silence. A sample whose
// SampleHeldBytes pass `maxHeldBytes` gives kWaveNoBuffer too (with
// `overBudget` set), before any memory is taken.
int32_t ReadWave(platform::RiffReader& reader, WaveData& out, uint32_t maxBytes = kMaxWaveBytes,
                 int64_t maxHeldBytes = INT64_MAX);
