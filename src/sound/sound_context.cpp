#include "sound/sound_context.h"

#include <algorithm>
#include <cstring>

#include "config/log.h"
#include "platform/game_files.h"
#include "platform/platform.h"
#include "platform/riff_reader.h"
#include "sound/wave_file.h"

namespace {

// The buffer of a slot that may be played, or 0.
int32_t PlayableBuffer(const SoundContext& sound, int32_t slot) {
  if (sound.available == 0 || static_cast<uint32_t>(slot) >= static_cast<uint32_t>(kSoundSlots)) return 0;
  return sound.slots[slot].buffer;
}

int32_t SlotVolume(const SoundContext& sound, int32_t slot) {
  const bool music = slot >= kFirstMusicSlot && slot < kFirstMusicSlot + kMusicSlotCount;
  return music ? sound.musicVolume : sound.soundVolume;
}

}  // namespace

int32_t vxInitDirectSound(SoundContext& sound) {
  EngineLog quiet;  // no log wired: the lines go nowhere
  EngineLog& log = sound.log != nullptr ? *sound.log : quiet;
  LogLine(log, "vxInitDirectSound started");
  const int32_t opened = platform::Current().OpenAudio();
  int32_t status = 0;
  if (opened == platform::kAudioReady) {
    sound.device = 1;
    LogLine(log, "DirectSoundCreate ok");
    LogLine(log, "SetCooperativeLevel ok");
    for (SoundSlot& s : sound.slots) s.buffer = 0;
    sound.available = 1;
  } else if (opened == platform::kAudioRefused) {
    LogLine(log, "DirectSoundCreate ok");
    sound.available = 0;
    status = 2;
  } else {
    sound.available = 0;
    status = 1;
  }
  LogLine(log, "vxInitDirectSound finished. error status: ", status);
  return status;
}

void SetVolumes(SoundContext& sound, int32_t soundPercent, int32_t musicPercent) {
  sound.soundVolume = std::clamp(soundPercent, 0, kFullVolume);
  sound.musicVolume = std::clamp(musicPercent, 0, kFullVolume);
  platform::Backend& p = platform::Current();
  for (int32_t slot = 0; slot < kSoundSlots; ++slot) {
    if (sound.slots[slot].buffer != 0) p.SetSoundBufferVolume(sound.slots[slot].buffer, SlotVolume(sound, slot));
  }
}

int32_t LoadWave(SoundContext& sound, int32_t slot, const char* name) {
  if (static_cast<uint32_t>(slot) >= static_cast<uint32_t>(kSoundSlots)) return kWaveNoBuffer;
  SoundSlot& s = sound.slots[slot];
  platform::RiffReader reader;
  if (!reader.OpenFile(platform::GameFile(name).c_str())) return kWaveCannotOpen;
  WaveData wave;
  // The slot's earlier buffer still counts: it is released only once the
  // new one exists.
  const int64_t left = std::max<int64_t>(0, sound.sampleBudget - sound.sampleBytes);
  const int32_t status = ReadWave(reader, wave, kMaxWaveBytes, left);
  reader.Close();
  if (wave.overBudget && sound.log != nullptr)
    LogText(*sound.log, "LoadWave over memory budget. not loaded: ", name);
  if (status != kWaveLoaded) return status;
  platform::Backend& p = platform::Current();
  const int32_t handle = p.CreateSoundBuffer(wave.format, wave.samples.get(), wave.bytes, slot);
  if (handle == 0) return kWaveNoBuffer;
  // The slot's earlier buffer goes with it, so that a reloaded slot leaves
  // nothing behind that could play on unreachable.
  if (s.buffer != 0) p.ReleaseSoundBuffer(s.buffer);
  sound.sampleBytes -= s.heldBytes;
  s.buffer = handle;
  if (const int32_t volume = SlotVolume(sound, slot); volume != kFullVolume) p.SetSoundBufferVolume(handle, volume);
  s.heldBytes = SampleHeldBytes(wave.format, wave.bytes);
  sound.sampleBytes += s.heldBytes;
  return kWaveLoaded;
}

void LoadSound(SoundContext& sound, const char* name, int32_t slot) {
  if (sound.available == 0 || static_cast<uint32_t>(slot) >= static_cast<uint32_t>(kSoundSlots)) return;
  char buffer[1001] = {};
  size_t length = 0;
  while (name != nullptr && length < 1000 && name[length] != 0) ++length;
  if (length > 0) std::memcpy(buffer, name, length);
  LoadWave(sound, slot, buffer);
}

void PlaySound(SoundContext& sound, int32_t slot) {
  const int32_t buffer = PlayableBuffer(sound, slot);
  if (buffer != 0) platform::Current().PlaySoundBuffer(buffer, false);
}

void PlaySoundLooping(SoundContext& sound, int32_t slot) {
  const int32_t buffer = PlayableBuffer(sound, slot);
  if (buffer != 0) platform::Current().PlaySoundBuffer(buffer, true);
}

void StopSound(SoundContext& sound, int32_t slot) {
  const int32_t buffer = PlayableBuffer(sound, slot);
  if (buffer != 0) platform::Current().StopSoundBuffer(buffer);
}

void ReleaseSound(SoundContext& sound) {
  platform::Backend& p = platform::Current();
  for (SoundSlot& s : sound.slots) {
    if (s.buffer != 0) p.ReleaseSoundBuffer(s.buffer);
    s = SoundSlot{};
  }
  sound.sampleBytes = 0;
  if (sound.device != 0) p.CloseAudio();
  sound.device = 0;
  // Nothing may reach the closed device afterwards.
  sound.available = 0;
}
