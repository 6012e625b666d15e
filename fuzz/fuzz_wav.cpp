// The WAV reader on arbitrary bytes, and the device conversion of whatever
// it accepts.
#include <cstddef>
#include <cstdint>
#include <utility>

#include "platform/riff_reader.h"
#include "platform/sound_mixer.h"
#include "sound/wave_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  platform::RiffReader reader;
  reader.OpenMemory(data, size);
  WaveData wave;
  // A short input may declare a sample of up to 256 MiB; a smaller limit
  // keeps the runs fast and takes the same paths.
  const int32_t status = ReadWave(reader, wave, 1 << 20);
  if (status != kWaveLoaded && status != kWaveNotPcm && status != kWaveNoBuffer) __builtin_trap();
  if (status != kWaveLoaded) return 0;
  // Converting the start of the sample reaches every case of the converter.
  const uint32_t bytes = wave.bytes < 4096 ? wave.bytes : 4096;
  platform::MixerSamples samples;
  if (platform::ConvertToDevice(wave.format, wave.samples.get(), bytes, platform::kMixerRate, samples)) {
    platform::SoundMixer mixer;
    mixer.Add(1, std::move(samples));
    mixer.Play(1, true);
    int16_t out[2 * 300];
    mixer.Mix(out, 300);
  }
  return 0;
}
