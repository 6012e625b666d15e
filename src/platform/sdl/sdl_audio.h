#pragma once
// The SDL sound device: one output device and a mixer of static buffers.
// Buffers are converted to the device format when they are created; the
// device's callback mixes them on SDL's audio thread.
#include <cstdint>

#include "platform/platform.h"
#include "platform/sound_mixer.h"

namespace platform {

class SdlAudio {
 public:
  SdlAudio();
  ~SdlAudio();
  SdlAudio(const SdlAudio&) = delete;
  SdlAudio& operator=(const SdlAudio&) = delete;

  // kAudioReady, kAudioNoDevice (SDL's audio cannot start) or
  // kAudioRefused (no output device could be opened).
  int32_t Open();
  void Close();
  int32_t CreateBuffer(const WaveFormat& format, const uint8_t* data, uint32_t bytes);
  void ReleaseBuffer(int32_t handle);
  void Play(int32_t handle, bool looping);
  void Stop(int32_t handle);
  void SetVolume(int32_t handle, int32_t percent);

 private:
  static void Callback(void* self, uint8_t* stream, int bytes);

  uint32_t device_ = 0;  // SDL_AudioDeviceID; 0 = closed
  int32_t nextHandle_ = 1;
  SoundMixer mixer_;
};

}  // namespace platform
