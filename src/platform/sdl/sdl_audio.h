#pragma once
// The SDL sound device: one output device and a mixer of static buffers.
#include <cstdint>

#include "platform/platform.h"

namespace platform {

class SdlAudio {
 public:
  SdlAudio();
  ~SdlAudio();
  SdlAudio(const SdlAudio&) = delete;
  SdlAudio& operator=(const SdlAudio&) = delete;

  bool Open();
  void Close();
  int32_t CreateBuffer(const WaveFormat& format, const uint8_t* data, uint32_t bytes);
  void ReleaseBuffer(int32_t handle);
  void Play(int32_t handle, bool looping);
  void Stop(int32_t handle);
};

}  // namespace platform
