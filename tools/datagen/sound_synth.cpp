#include "datagen/sound_synth.h"

#include <cmath>

#include "maths/repro_math.h"

namespace datagen {

void Svf::Step(float in, float cutoffHz, float q, float& low, float& band, float& high) {
  const float f =
      2 * rmath::Sin(3.14159265f * std::min(cutoffHz, kSampleRate * 0.24f) / (2.0f * kSampleRate));
  const float damp = 1.0f / std::max(q, 0.5f);
  for (int i = 0; i < 2; ++i) {
    low_ += f * band_;
    high = in - low_ - damp * band_;
    band_ += f * high;
  }
  low = low_;
  band = band_;
}

void MixInto(Samples& a, const Samples& b, float gain, float offset) {
  const size_t at = static_cast<size_t>(offset * kSampleRate);
  if (a.size() < at + b.size()) a.resize(at + b.size(), 0.0f);
  for (size_t i = 0; i < b.size(); ++i) a[at + i] += b[i] * gain;
}

void Saturate(Samples& s, float drive) {
  for (float& v : s) v = rmath::Tanh(v * drive);
}

void LowPass(Samples& s, float cutoffHz) {
  const float a = 1 - rmath::Exp(-2 * 3.14159265f * cutoffHz / kSampleRate);
  float y = 0;
  for (float& v : s) {
    y += a * (v - y);
    v = y;
  }
}

void Finish(Samples& s, float peak) {
  float m = 0;
  for (float v : s) m = std::max(m, std::fabs(v));
  const float k = m > 0 ? peak / m : 0;
  const size_t fade = std::min<size_t>(s.size(), kSampleRate / 100);
  for (size_t i = 0; i < s.size(); ++i) {
    float v = s[i] * k;
    if (i >= s.size() - fade) v *= static_cast<float>(s.size() - i) / fade;
    s[i] = v;
  }
}

std::string WavFile(const Samples& s) {
  std::string out;
  auto u32 = [&](uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xff));
  };
  auto u16 = [&](uint32_t v) {
    out.push_back(static_cast<char>(v & 0xff));
    out.push_back(static_cast<char>((v >> 8) & 0xff));
  };
  const uint32_t dataBytes = static_cast<uint32_t>(s.size() * 2);
  out += "RIFF";
  u32(4 + 8 + 16 + 8 + dataBytes);
  out += "WAVE";
  out += "fmt ";
  u32(16);
  u16(1);  // PCM
  u16(1);  // mono
  u32(kSampleRate);
  u32(kSampleRate * 2);
  u16(2);
  u16(16);
  out += "data";
  u32(dataBytes);
  for (float v : s) {
    const long q = std::lround(std::clamp(v, -1.0f, 1.0f) * 32767.0f);
    u16(static_cast<uint32_t>(static_cast<uint16_t>(static_cast<int16_t>(q))));
  }
  return out;
}

}  // namespace datagen
