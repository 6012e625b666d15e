#include "platform/sdl/sdl_audio.h"

#include <SDL.h>

#include <utility>

namespace platform {

SdlAudio::SdlAudio() = default;
SdlAudio::~SdlAudio() { Close(); }

void SdlAudio::Callback(void* self, uint8_t* stream, int bytes) {
  const size_t frames = bytes > 0 ? static_cast<size_t>(bytes) / (kMixerChannels * sizeof(int16_t)) : 0;
  static_cast<SdlAudio*>(self)->mixer_.Mix(reinterpret_cast<int16_t*>(stream), frames);
}

int32_t SdlAudio::Open() {
  if (device_ != 0) return kAudioReady;
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return kAudioNoDevice;
  SDL_AudioSpec want{};
  want.freq = kMixerRate;
  want.format = AUDIO_S16SYS;
  want.channels = kMixerChannels;
  want.samples = 1024;
  want.callback = &SdlAudio::Callback;
  want.userdata = this;
  SDL_AudioSpec have{};
  // No format changes allowed: SDL adapts the stream to the hardware, so the
  // mixer always works in its own format.
  const SDL_AudioDeviceID id = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
  if (id == 0) {
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return kAudioRefused;
  }
  device_ = id;
  SDL_PauseAudioDevice(device_, 0);
  return kAudioReady;
}

void SdlAudio::Close() {
  if (device_ == 0) return;
  // Closing waits for the callback to finish; after that no lock is needed.
  SDL_CloseAudioDevice(device_);
  device_ = 0;
  mixer_.Clear();
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

int32_t SdlAudio::CreateBuffer(const WaveFormat& format, const uint8_t* data, uint32_t bytes) {
  if (device_ == 0) return 0;
  // Converting a long track takes a while; do it before taking the lock so
  // the device keeps playing meanwhile.
  MixerSamples samples;
  if (!ConvertToDevice(format, data, bytes, kMixerRate, samples)) return 0;
  const int32_t handle = nextHandle_++;
  SDL_LockAudioDevice(device_);
  mixer_.Add(handle, std::move(samples));
  SDL_UnlockAudioDevice(device_);
  return handle;
}

void SdlAudio::ReleaseBuffer(int32_t handle) {
  if (device_ == 0) return;
  MixerSamples gone;  // freed after the lock is dropped
  SDL_LockAudioDevice(device_);
  gone = mixer_.Remove(handle);
  SDL_UnlockAudioDevice(device_);
}

void SdlAudio::Play(int32_t handle, bool looping) {
  if (device_ == 0) return;
  SDL_LockAudioDevice(device_);
  mixer_.Play(handle, looping);
  SDL_UnlockAudioDevice(device_);
}

void SdlAudio::Stop(int32_t handle) {
  if (device_ == 0) return;
  SDL_LockAudioDevice(device_);
  mixer_.Stop(handle);
  SDL_UnlockAudioDevice(device_);
}

void SdlAudio::SetVolume(int32_t handle, int32_t percent) {
  if (device_ == 0) return;
  SDL_LockAudioDevice(device_);
  mixer_.SetVolume(handle, percent);
  SDL_UnlockAudioDevice(device_);
}

}  // namespace platform
