#include "platform/win32/win32_audio.h"

#include <mmsystem.h>

#include <utility>

namespace platform {

Win32Audio::Win32Audio() = default;
Win32Audio::~Win32Audio() { Close(); }

int32_t Win32Audio::Open() {
  if (device_ != nullptr) return kAudioReady;
  WAVEFORMATEX format{};
  format.wFormatTag = WAVE_FORMAT_PCM;
  format.nChannels = kMixerChannels;
  format.nSamplesPerSec = kMixerRate;
  format.wBitsPerSample = 16;
  format.nBlockAlign = static_cast<WORD>(kMixerChannels * 2);
  format.nAvgBytesPerSec = format.nSamplesPerSec * format.nBlockAlign;
  blockDone_ = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  if (blockDone_ == nullptr) return kAudioNoDevice;
  if (waveOutOpen(&device_, WAVE_MAPPER, &format, reinterpret_cast<DWORD_PTR>(blockDone_), 0,
                  CALLBACK_EVENT) != MMSYSERR_NOERROR) {
    device_ = nullptr;
    CloseHandle(blockDone_);
    blockDone_ = nullptr;
    return kAudioRefused;
  }
  for (int i = 0; i < kBlocks; ++i) {
    blocks_[i].assign(kBlockFrames * kMixerChannels, 0);
    headers_[i] = WAVEHDR{};
    headers_[i].lpData = reinterpret_cast<LPSTR>(blocks_[i].data());
    headers_[i].dwBufferLength = static_cast<DWORD>(blocks_[i].size() * sizeof(int16_t));
    waveOutPrepareHeader(device_, &headers_[i], sizeof(WAVEHDR));
    headers_[i].dwFlags |= WHDR_DONE;  // free to be filled
  }
  stopping_ = false;
  feeder_ = std::thread([this] { Feed(); });
  return kAudioReady;
}

// Refills every block the device has finished with, then waits for the
// next one to finish.
void Win32Audio::Feed() {
  for (;;) {
    {
      std::lock_guard<std::mutex> hold(lock_);
      if (stopping_) return;
      for (int i = 0; i < kBlocks; ++i) {
        if ((headers_[i].dwFlags & WHDR_DONE) == 0) continue;
        mixer_.Mix(blocks_[i].data(), kBlockFrames);
        headers_[i].dwFlags &= ~DWORD{WHDR_DONE};
        waveOutWrite(device_, &headers_[i], sizeof(WAVEHDR));
      }
    }
    WaitForSingleObject(blockDone_, 100);
  }
}

void Win32Audio::Close() {
  if (device_ == nullptr) return;
  {
    std::lock_guard<std::mutex> hold(lock_);
    stopping_ = true;
  }
  SetEvent(blockDone_);
  feeder_.join();
  waveOutReset(device_);
  for (WAVEHDR& h : headers_) waveOutUnprepareHeader(device_, &h, sizeof(WAVEHDR));
  waveOutClose(device_);
  device_ = nullptr;
  CloseHandle(blockDone_);
  blockDone_ = nullptr;
  mixer_.Clear();
}

int32_t Win32Audio::CreateBuffer(const WaveFormat& format, const uint8_t* data, uint32_t bytes) {
  if (device_ == nullptr) return 0;
  // Converted before the lock is taken, so the device plays on meanwhile.
  MixerSamples samples;
  if (!ConvertToDevice(format, data, bytes, kMixerRate, samples)) return 0;
  const int32_t handle = nextHandle_++;
  std::lock_guard<std::mutex> hold(lock_);
  mixer_.Add(handle, std::move(samples));
  return handle;
}

void Win32Audio::ReleaseBuffer(int32_t handle) {
  if (device_ == nullptr) return;
  MixerSamples gone;  // freed after the lock is dropped
  std::lock_guard<std::mutex> hold(lock_);
  gone = mixer_.Remove(handle);
}

void Win32Audio::Play(int32_t handle, bool looping) {
  if (device_ == nullptr) return;
  std::lock_guard<std::mutex> hold(lock_);
  mixer_.Play(handle, looping);
}

void Win32Audio::Stop(int32_t handle) {
  if (device_ == nullptr) return;
  std::lock_guard<std::mutex> hold(lock_);
  mixer_.Stop(handle);
}

void Win32Audio::SetVolume(int32_t handle, int32_t percent) {
  if (device_ == nullptr) return;
  std::lock_guard<std::mutex> hold(lock_);
  mixer_.SetVolume(handle, percent);
}

}  // namespace platform
