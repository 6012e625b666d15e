#include "platform/sound_mixer.h"

#include <algorithm>
#include <new>

namespace platform {
namespace {

// One source frame as 16-bit left and right.
void SourceFrame(const WaveFormat& f, const uint8_t* data, uint64_t frame, int32_t& left, int32_t& right) {
  const uint8_t* p = data + frame * f.blockAlign;
  if (f.bitsPerSample == 8) {
    left = (static_cast<int32_t>(p[0]) - 128) * 256;
    right = f.channels == 2 ? (static_cast<int32_t>(p[1]) - 128) * 256 : left;
  } else {
    left = static_cast<int16_t>(static_cast<uint16_t>(p[0] | (p[1] << 8)));
    right = f.channels == 2 ? static_cast<int16_t>(static_cast<uint16_t>(p[2] | (p[3] << 8))) : left;
  }
}

int16_t Saturate(int32_t v) { return static_cast<int16_t>(std::clamp(v, -32768, 32767)); }

}  // namespace

bool MixerAcceptsFormat(const WaveFormat& f) {
  if (f.formatTag != 1 || f.samplesPerSec == 0) return false;
  if (f.channels != 1 && f.channels != 2) return false;
  if (f.bitsPerSample != 8 && f.bitsPerSample != 16) return false;
  return f.blockAlign == f.channels * (f.bitsPerSample / 8);
}

uint64_t ConvertedBytes(const WaveFormat& format, uint32_t bytes, int32_t deviceRate) {
  if (!MixerAcceptsFormat(format) || deviceRate <= 0) return 0;
  const uint64_t inFrames = bytes / format.blockAlign;
  if (inFrames == 0) return 0;
  const uint64_t outFrames =
      std::max<uint64_t>(1, inFrames * static_cast<uint64_t>(deviceRate) / format.samplesPerSec);
  return outFrames * kMixerChannels * sizeof(int16_t);
}

bool ConvertToDevice(const WaveFormat& format, const uint8_t* data, uint32_t bytes, int32_t deviceRate,
                     MixerSamples& out) {
  out = MixerSamples{};
  if (data == nullptr) return false;
  const uint64_t outBytes = ConvertedBytes(format, bytes, deviceRate);
  if (outBytes == 0 || outBytes > kMaxMixerBufferBytes) return false;
  const uint64_t inFrames = bytes / format.blockAlign;
  const uint64_t srcRate = format.samplesPerSec;
  const uint64_t dstRate = static_cast<uint64_t>(deviceRate);
  const uint64_t outFrames = outBytes / (kMixerChannels * sizeof(int16_t));
  int16_t* samples = new (std::nothrow) int16_t[outFrames * kMixerChannels];
  if (samples == nullptr) return false;
  out.samples.reset(samples);
  out.frames = static_cast<uint32_t>(outFrames);

  // Output frame i sits at source position i × src / dst: a whole frame and
  // a fraction in units of 1 / dst, stepped without division. The last
  // source frame is held at the end.
  uint64_t index = 0;
  uint64_t fraction = 0;
  const int64_t denominator = static_cast<int64_t>(dstRate);
  for (uint64_t i = 0; i < outFrames; ++i) {
    int32_t l0 = 0, r0 = 0, l1 = 0, r1 = 0;
    SourceFrame(format, data, index, l0, r0);
    if (fraction != 0 && index + 1 < inFrames) {
      SourceFrame(format, data, index + 1, l1, r1);
      const int64_t f = static_cast<int64_t>(fraction);
      l0 += static_cast<int32_t>((static_cast<int64_t>(l1 - l0) * f) / denominator);
      r0 += static_cast<int32_t>((static_cast<int64_t>(r1 - r0) * f) / denominator);
    }
    samples[i * 2] = static_cast<int16_t>(l0);
    samples[i * 2 + 1] = static_cast<int16_t>(r0);
    fraction += srcRate;
    while (fraction >= dstRate) {
      fraction -= dstRate;
      ++index;
    }
  }
  return true;
}

SoundMixer::SoundMixer() { voices_.reserve(256); }

SoundMixer::Voice* SoundMixer::Find(int32_t handle) {
  for (Voice& v : voices_)
    if (v.handle == handle) return &v;
  return nullptr;
}

const SoundMixer::Voice* SoundMixer::Find(int32_t handle) const {
  for (const Voice& v : voices_)
    if (v.handle == handle) return &v;
  return nullptr;
}

void SoundMixer::Add(int32_t handle, MixerSamples samples) {
  Voice v;
  v.handle = handle;
  v.data = std::move(samples);
  voices_.push_back(std::move(v));
}

MixerSamples SoundMixer::Remove(int32_t handle) {
  MixerSamples taken;
  for (size_t i = 0; i < voices_.size(); ++i) {
    if (voices_[i].handle != handle) continue;
    taken = std::move(voices_[i].data);
    voices_.erase(voices_.begin() + static_cast<std::ptrdiff_t>(i));
    break;
  }
  return taken;
}

void SoundMixer::Clear() { voices_.clear(); }

void SoundMixer::Play(int32_t handle, bool looping) {
  Voice* v = Find(handle);
  if (v == nullptr) return;
  v->position = 0;
  v->looping = looping;
  v->playing = v->data.frames > 0;
}

void SoundMixer::Stop(int32_t handle) {
  Voice* v = Find(handle);
  if (v == nullptr) return;
  v->position = 0;
  v->playing = false;
}

void SoundMixer::SetVolume(int32_t handle, int32_t percent) {
  Voice* v = Find(handle);
  if (v == nullptr) return;
  v->volume = std::clamp(percent, 0, kFullVolume);
}

int32_t SoundMixer::Volume(int32_t handle) const {
  const Voice* v = Find(handle);
  return v != nullptr ? v->volume : 0;
}

void SoundMixer::AddVoice(Voice& v, int32_t* sum, size_t frames) {
  size_t done = 0;
  while (done < frames && v.playing) {
    const size_t left = v.data.frames - v.position;
    const size_t take = std::min(left, frames - done);
    const int16_t* src = v.data.samples.get() + static_cast<size_t>(v.position) * 2;
    int32_t* dst = sum + done * 2;
    if (v.volume >= kFullVolume) {
      for (size_t k = 0; k < take * 2; ++k) dst[k] += src[k];
    } else {
      // A silent voice still runs on, so that it is where it would be.
      const int32_t volume = v.volume;
      for (size_t k = 0; k < take * 2; ++k) dst[k] += src[k] * volume / kFullVolume;
    }
    done += take;
    v.position += static_cast<uint32_t>(take);
    if (v.position >= v.data.frames) {
      v.position = 0;
      if (!v.looping) v.playing = false;
    }
  }
}

void SoundMixer::Mix(int16_t* out, size_t frames) {
  constexpr size_t kBlock = 256;
  int32_t sum[kBlock * 2];
  while (frames > 0) {
    const size_t n = std::min(frames, kBlock);
    std::fill(sum, sum + n * 2, 0);
    for (Voice& v : voices_)
      if (v.playing) AddVoice(v, sum, n);
    for (size_t k = 0; k < n * 2; ++k) out[k] = Saturate(sum[k]);
    out += n * 2;
    frames -= n;
  }
}

bool SoundMixer::IsPlaying(int32_t handle) const {
  const Voice* v = Find(handle);
  return v != nullptr && v->playing;
}

uint32_t SoundMixer::Position(int32_t handle) const {
  const Voice* v = Find(handle);
  return v != nullptr ? v->position : 0;
}

const MixerSamples* SoundMixer::Samples(int32_t handle) const {
  const Voice* v = Find(handle);
  return v != nullptr ? &v->data : nullptr;
}

}  // namespace platform
