#pragma once
// The mixer behind the sound device, without the device: static buffers
// converted once to the device format, each played once or looping from its
// start, summed with saturation. The device calls Mix from its own thread;
// the owner provides the locking.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/platform.h"

namespace platform {

// The device format: interleaved stereo frames of signed 16-bit samples.
inline constexpr int32_t kMixerRate = 44100;
inline constexpr int32_t kMixerChannels = 2;
// A converted buffer larger than this is refused (a long sample at a very
// low rate would otherwise grow without bound).
inline constexpr uint64_t kMaxMixerBufferBytes = uint64_t{512} << 20;

struct MixerSamples {
  std::unique_ptr<int16_t[]> samples;  // frames × 2, left then right
  uint32_t frames = 0;
};

// Whether the mixer can convert this format: PCM, 1 or 2 channels, 8-bit
// unsigned or 16-bit signed samples, a block size that matches them and a
// rate above 0.
bool MixerAcceptsFormat(const WaveFormat& format);

// Bytes of the device copy of a sample at `deviceRate`: 0 when the format is
// not accepted or the sample holds no whole frame.
uint64_t ConvertedBytes(const WaveFormat& format, uint32_t bytes, int32_t deviceRate);

// Converts a PCM sample to the device format and rate (linear
// interpolation). Whole frames only; a trailing partial frame is dropped.
// False when the format is not accepted, there is not one whole frame, the
// result would exceed kMaxMixerBufferBytes or memory runs out.
bool ConvertToDevice(const WaveFormat& format, const uint8_t* data, uint32_t bytes, int32_t deviceRate,
                     MixerSamples& out);

inline constexpr int32_t kFullVolume = 100;

class SoundMixer {
 public:
  SoundMixer();

  void Add(int32_t handle, MixerSamples samples);
  // Takes the buffer out; the caller frees it (outside any lock).
  MixerSamples Remove(int32_t handle);
  void Clear();
  // Starts from the first frame, also when already playing.
  void Play(int32_t handle, bool looping);
  // Stops and rewinds.
  void Stop(int32_t handle);
  // The loudness of a buffer in percent (clamped to 0..100; 100 as loaded,
  // the default). Each sample is scaled by it, truncating toward zero.
  void SetVolume(int32_t handle, int32_t percent);
  int32_t Volume(int32_t handle) const;
  // Fills `frames` stereo frames with the sum of the playing buffers,
  // clamped to the 16-bit range.
  void Mix(int16_t* out, size_t frames);

  bool IsPlaying(int32_t handle) const;
  uint32_t Position(int32_t handle) const;  // next frame to play
  const MixerSamples* Samples(int32_t handle) const;

 private:
  struct Voice {
    int32_t handle = 0;
    MixerSamples data;
    uint32_t position = 0;
    bool playing = false;
    bool looping = false;
    int32_t volume = kFullVolume;
  };
  Voice* Find(int32_t handle);
  const Voice* Find(int32_t handle) const;
  static void AddVoice(Voice& v, int32_t* sum, size_t frames);

  std::vector<Voice> voices_;
};

}  // namespace platform
