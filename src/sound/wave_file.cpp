#include "sound/wave_file.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <string>

#include "config/log.h"
#include "platform/game_files.h"
#include "platform/riff_reader.h"
#include "platform/sound_mixer.h"

namespace {

using platform::FourCC;

uint16_t Le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t Le32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
         (static_cast<uint32_t>(p[3]) << 24);
}

// The 18 bytes of a WAVEFORMATEX.
platform::WaveFormat ParseFormat(const uint8_t* p) {
  platform::WaveFormat f;
  f.formatTag = Le16(p);
  f.channels = Le16(p + 2);
  f.samplesPerSec = Le32(p + 4);
  f.avgBytesPerSec = Le32(p + 8);
  f.blockAlign = Le16(p + 12);
  f.bitsPerSample = Le16(p + 14);
  f.extraSize = Le16(p + 16);
  return f;
}

// What a static sound buffer can be made of: mono or stereo, 8 or 16 bits,
// a block size that matches, and a rate a sound device can play.
bool Playable(const platform::WaveFormat& f) {
  if (f.channels != 1 && f.channels != 2) return false;
  if (f.bitsPerSample != 8 && f.bitsPerSample != 16) return false;
  if (f.blockAlign != f.channels * (f.bitsPerSample / 8)) return false;
  return f.samplesPerSec >= 100 && f.samplesPerSec <= 200000;
}

}  // namespace

int32_t ReadWave(platform::RiffReader& reader, WaveData& out, uint32_t maxBytes, int64_t maxHeldBytes) {
  platform::RiffChunk riff;
  platform::RiffChunk first;
  if (!reader.DescendRiff(FourCC('W', 'A', 'V', 'E'), riff) || !reader.Descend(first)) return kWaveNotPcm;
  // The first chunk is the format, whatever its name. Eighteen bytes are
  // read even from a 16-byte chunk; bytes the file lacks read as 0.
  uint8_t raw[18] = {};
  reader.Read(raw, sizeof raw);
  out.format = ParseFormat(raw);
  if (out.format.formatTag != 1) return kWaveNotPcm;
  reader.Ascend(first);
  platform::RiffChunk data;
  if (!reader.DescendTo(FourCC('d', 'a', 't', 'a'), riff, data)) return kWaveNotPcm;

  out.bytes = data.size;
  if (data.size == 0 || data.size > maxBytes || !Playable(out.format)) return kWaveNoBuffer;
  if (SampleHeldBytes(out.format, data.size) > maxHeldBytes) {
    out.overBudget = true;
    return kWaveNoBuffer;
  }
  uint8_t* samples = new (std::nothrow) uint8_t[data.size];
  if (samples == nullptr) return kWaveNoBuffer;
  out.samples.reset(samples);
  // A data chunk that claims more than the file holds keeps what is there;
  // the rest is silence (unsigned 8-bit samples are silent at 128).
  const size_t got = reader.Read(samples, data.size);
  std::memset(samples + got, out.format.bitsPerSample == 8 ? 0x80 : 0, data.size - got);
  return kWaveLoaded;
}

int64_t SampleHeldBytes(const platform::WaveFormat& format, uint32_t bytes) {
  const uint64_t device = platform::ConvertedBytes(format, bytes, platform::kMixerRate);
  return static_cast<int64_t>(std::max<uint64_t>(bytes, device));
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
  s.heldBytes = SampleHeldBytes(wave.format, wave.bytes);
  sound.sampleBytes += s.heldBytes;
  return kWaveLoaded;
}
