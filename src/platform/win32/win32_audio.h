#pragma once
// The Windows sound device: waveOut, which every Windows and Wine has, fed
// by the mixer of static buffers on a thread of its own. Four blocks of
// 1024 frames are queued, about 93 ms at 44.1 kHz.
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/platform.h"
#include "platform/sound_mixer.h"

// After the game's own headers: their message and key names are macros here.
#include <windows.h>

namespace platform {

class Win32Audio {
 public:
  Win32Audio();
  ~Win32Audio();
  Win32Audio(const Win32Audio&) = delete;
  Win32Audio& operator=(const Win32Audio&) = delete;

  // kAudioReady, or kAudioRefused when no output device opens.
  int32_t Open();
  void Close();
  int32_t CreateBuffer(const WaveFormat& format, const uint8_t* data, uint32_t bytes);
  void ReleaseBuffer(int32_t handle);
  void Play(int32_t handle, bool looping);
  void Stop(int32_t handle);
  void SetVolume(int32_t handle, int32_t percent);

 private:
  static constexpr int kBlocks = 4;
  static constexpr size_t kBlockFrames = 1024;
  void Feed();

  HWAVEOUT device_ = nullptr;
  HANDLE blockDone_ = nullptr;
  bool stopping_ = false;
  std::thread feeder_;
  std::mutex lock_;
  WAVEHDR headers_[kBlocks]{};
  std::vector<int16_t> blocks_[kBlocks];
  int32_t nextHandle_ = 1;
  SoundMixer mixer_;
};

}  // namespace platform
