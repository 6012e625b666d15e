#include "sound/wave_file.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <string>
#include <utility>

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

// Why a static sound buffer cannot be made of a format: mono or stereo, 8
// or 16 bits, a block size that matches, and a rate a sound device can
// play; empty when it can.
std::string FormatProblem(const platform::WaveFormat& f) {
  if (f.channels != 1 && f.channels != 2) return std::to_string(f.channels) + " channels (1 or 2 play)";
  if (f.bitsPerSample != 8 && f.bitsPerSample != 16)
    return std::to_string(f.bitsPerSample) + " bits per sample (8 or 16 play)";
  const int32_t align = f.channels * (f.bitsPerSample / 8);
  if (f.blockAlign != align)
    return "block align " + std::to_string(f.blockAlign) + " (" + std::to_string(align) + " for " +
           std::to_string(f.channels) + (f.channels == 1 ? " channel" : " channels") + " of " +
           std::to_string(f.bitsPerSample) + " bits)";
  if (f.samplesPerSec < 100 || f.samplesPerSec > 200000)
    return "rate " + std::to_string(f.samplesPerSec) + " samples per second (100 to 200000 play)";
  return {};
}

int32_t Judged(WaveHeaders& out, int32_t status, std::string reason) {
  out.status = status;
  out.reason = std::move(reason);
  return status;
}

}  // namespace

int32_t ExamineWave(platform::RiffReader& reader, WaveHeaders& out, uint32_t maxBytes) {
  out = WaveHeaders{};
  platform::RiffChunk riff;
  platform::RiffChunk first;
  if (!reader.DescendRiff(FourCC('W', 'A', 'V', 'E'), riff) || !reader.Descend(first))
    return Judged(out, kWaveNotPcm, "not a PCM wave file");
  // The first chunk is the format, whatever its name. Eighteen bytes are
  // read even from a 16-byte chunk; bytes the file lacks read as 0.
  uint8_t raw[18] = {};
  reader.Read(raw, sizeof raw);
  out.format = ParseFormat(raw);
  if (out.format.formatTag != 1) return Judged(out, kWaveNotPcm, "not a PCM wave file");
  reader.Ascend(first);
  platform::RiffChunk data;
  if (!reader.DescendTo(FourCC('d', 'a', 't', 'a'), riff, data))
    return Judged(out, kWaveNotPcm, "no sample data");
  out.bytes = data.size;
  out.dataOffset = data.dataOffset;
  if (std::string problem = FormatProblem(out.format); !problem.empty())
    return Judged(out, kWaveNoBuffer, std::move(problem));
  if (data.size == 0) return Judged(out, kWaveNoBuffer, "no samples: the data chunk is empty");
  if (data.size > maxBytes)
    return Judged(
        out, kWaveNoBuffer,
        std::to_string(data.size) + " bytes of samples (at most " + std::to_string(maxBytes) + " play)");
  return Judged(out, kWaveLoaded, "");
}

int32_t ReadWave(platform::RiffReader& reader, WaveData& out, uint32_t maxBytes, int64_t maxHeldBytes) {
  WaveHeaders headers;
  const int32_t status = ExamineWave(reader, headers, maxBytes);
  out.format = headers.format;
  out.bytes = headers.bytes;
  if (status != kWaveLoaded) return status;
  const uint32_t size = headers.bytes;
  if (SampleHeldBytes(out.format, size) > maxHeldBytes) {
    out.overBudget = true;
    return kWaveNoBuffer;
  }
  uint8_t* samples = new (std::nothrow) uint8_t[size];
  if (samples == nullptr) return kWaveNoBuffer;
  out.samples.reset(samples);
  // A data chunk that claims more than the file holds keeps what is there;
  // the rest is silence (unsigned 8-bit samples are silent at 128).
  const size_t got = reader.Read(samples, size);
  std::memset(samples + got, out.format.bitsPerSample == 8 ? 0x80 : 0, size - got);
  return kWaveLoaded;
}

int64_t SampleHeldBytes(const platform::WaveFormat& format, uint32_t bytes) {
  const uint64_t device = platform::ConvertedBytes(format, bytes, platform::kMixerRate);
  return static_cast<int64_t>(std::max<uint64_t>(bytes, device));
}
