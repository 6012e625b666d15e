// The samples of the game, each layered from noise, swept filters and
// gliding tones: a sword hit, a push, the time-bar chime, three swings,
// three explosions, the shots of the two guns, a death cry and the boss's
// landing.
#include <cmath>

#include "datagen/canvas.h"
#include "datagen/data_set.h"
#include "datagen/sound_synth.h"
#include "maths/repro_math.h"

namespace datagen {
namespace {

auto Decay(float tau) {
  return [tau](float t) { return rmath::Exp(-t / tau); };
}
auto AttackDecay(float attack, float tau) {
  return [attack, tau](float t) {
    return (t < attack ? t / attack : 1.0f) * rmath::Exp(-std::max(0.0f, t - attack) / tau);
  };
}

// Blade on flesh and bone: a metallic ring over a wet crack and a thump.
Samples SwordHit(Random& rng) {
  Samples s;
  const float partials[] = {743, 1187, 1931, 2644, 3420};
  for (int i = 0; i < 5; ++i)
    MixInto(s, Glide(0.5f, partials[i] * 1.02f, partials[i], 0.01f, Decay(0.09f / (1 + i * 0.4f))), 0.22f);
  MixInto(s, SweptNoise(rng, 0.12f, 4200, 1500, 1.4f, Decay(0.025f)), 1.4f);
  MixInto(s, SweptNoise(rng, 0.25f, 900, 300, 0.9f, Decay(0.05f), 0), 0.9f);
  MixInto(s, Glide(0.2f, 160, 70, 0.03f, Decay(0.05f)), 0.8f);
  Saturate(s, 1.6f);
  Finish(s, 0.9f);
  return s;
}

// A dull shove: a falling low tone and a short muffled burst.
Samples Push(Random& rng) {
  Samples s;
  MixInto(s, Glide(0.22f, 130, 55, 0.04f, Decay(0.06f)), 1.0f);
  MixInto(s, SweptNoise(rng, 0.15f, 700, 200, 0.8f, Decay(0.03f), 0), 1.2f);
  Saturate(s, 1.3f);
  Finish(s, 0.85f);
  return s;
}

// A segment of the time bar breaks: a glassy crack and a cold chime.
Samples Chime(Random& rng) {
  Samples s;
  const float base = 1318.5f;
  const float ratios[] = {1.0f, 2.76f, 5.40f, 8.93f};
  for (int i = 0; i < 4; ++i) MixInto(s, Glide(0.9f, base * ratios[i], base * ratios[i], 1, Decay(0.35f / (1 + i))), 0.3f);
  MixInto(s, SweptNoise(rng, 0.05f, 6000, 3000, 2.0f, Decay(0.008f), 2), 0.8f);
  // A slow beat between two close partials makes it shimmer.
  MixInto(s, Glide(0.9f, base * 1.006f, base * 1.006f, 1, Decay(0.3f)), 0.2f);
  Finish(s, 0.75f);
  return s;
}

// A blade cutting air: noise through a band-pass that sweeps up and down.
Samples Swing(Random& rng, float seconds, float low, float high) {
  Samples s(static_cast<size_t>(seconds * kSampleRate));
  Svf f, g;
  for (size_t i = 0; i < s.size(); ++i) {
    const float t = static_cast<float>(i) / kSampleRate, k = t / seconds;
    const float hump = rmath::Sin(3.14159f * rmath::Pow(k, 0.7f));
    const float fc = low + (high - low) * hump;
    float lo, band, hi, lo2, band2, hi2;
    const float n = static_cast<float>(rng.Range(-1, 1));
    f.Step(n, fc, 3.0f, lo, band, hi);
    g.Step(n, fc * 2.1f, 5.0f, lo2, band2, hi2);
    s[i] = (band + 0.35f * band2) * hump * hump;
  }
  Finish(s, 0.7f);
  return s;
}

// A blast: a falling low boom, a roar of noise closing down, and crackle.
Samples Explosion(Random& rng, float seconds, float boom) {
  Samples s;
  MixInto(s, Glide(seconds, boom, boom * 0.45f, 0.15f, AttackDecay(0.004f, 0.22f)), 1.0f);
  MixInto(s, SweptNoise(rng, seconds, 5000, 150, 0.7f, AttackDecay(0.002f, seconds * 0.25f), 0), 1.6f);
  Samples crackle(static_cast<size_t>(seconds * kSampleRate));
  for (size_t i = 0; i < crackle.size(); ++i) {
    const float t = static_cast<float>(i) / kSampleRate;
    if (rng.Unit() < 0.004 * rmath::Exp(-t / (seconds * 0.4f))) {
      const float amp = static_cast<float>(rng.Range(0.3, 1.0));
      for (size_t j = 0; j < 40 && i + j < crackle.size(); ++j)
        crackle[i + j] += amp * static_cast<float>(rng.Range(-1, 1)) * rmath::Exp(-static_cast<float>(j) / 8);
    }
  }
  MixInto(s, crackle, 0.5f);
  Saturate(s, 2.2f);
  LowPass(s, 7000);
  Finish(s, 0.95f);
  return s;
}

// A gun shot: a hard crack, a falling body and a short tail.
Samples Shot(Random& rng, float body, float tail, float click) {
  Samples s;
  if (click > 0) MixInto(s, SweptNoise(rng, 0.02f, 3000, 3000, 6.0f, Decay(0.004f), 1), click);
  const float at = click > 0 ? 0.03f : 0.0f;
  MixInto(s, SweptNoise(rng, 0.08f, 7000, 2000, 0.7f, Decay(0.012f), 2), 1.5f, at);
  MixInto(s, Glide(0.3f, body * 3.5f, body, 0.02f, Decay(0.05f), 0.5f), 1.0f, at);
  MixInto(s, SweptNoise(rng, tail, 2500, 200, 0.8f, AttackDecay(0.003f, tail * 0.3f), 0), 1.0f, at);
  Saturate(s, 2.0f);
  Finish(s, 0.9f);
  return s;
}

// A creature's death cry: a buzzing voice falling in pitch through two
// vowel formants, with breath.
Samples DeathCry(Random& rng) {
  const float seconds = 0.75f;
  Samples s(static_cast<size_t>(seconds * kSampleRate));
  Svf f1, f2;
  double phase = 0;
  for (size_t i = 0; i < s.size(); ++i) {
    const float t = static_cast<float>(i) / kSampleRate, k = t / seconds;
    const float pitch = 230 * rmath::Pow(0.38f, k) * (1 + 0.04f * rmath::Sin(t * 2 * 3.14159f * 7));
    phase += pitch / kSampleRate;
    phase -= std::floor(phase);
    const float saw = static_cast<float>(2 * phase - 1) + 0.3f * static_cast<float>(rng.Range(-1, 1));
    float lo, b1, hi, lo2, b2, hi2;
    f1.Step(saw, 700 - 300 * k, 4.0f, lo, b1, hi);   // "ah" closing to "oh"
    f2.Step(saw, 1150 - 400 * k, 5.0f, lo2, b2, hi2);
    const float env = (t < 0.03f ? t / 0.03f : 1.0f) * (1 - Smooth(0.45f, 1.0f, k));
    s[i] = (b1 + 0.7f * b2) * env;
  }
  Saturate(s, 1.8f);
  Finish(s, 0.85f);
  return s;
}

// Something very heavy landing: a deep thud, rumble and falling debris.
Samples BossLanding(Random& rng) {
  Samples s;
  MixInto(s, Glide(1.4f, 70, 28, 0.2f, AttackDecay(0.005f, 0.35f)), 1.2f);
  MixInto(s, SweptNoise(rng, 1.5f, 900, 60, 0.7f, AttackDecay(0.004f, 0.4f), 0), 1.8f);
  for (int i = 0; i < 9; ++i) {
    const float at = 0.12f + static_cast<float>(rng.Range(0, 0.9));
    // One draw a statement, in a fixed order (a call's arguments are
    // evaluated in an order the compiler chooses).
    const float gain = static_cast<float>(rng.Range(0.15, 0.4));
    const float from = static_cast<float>(rng.Range(1500, 3500));
    const Samples debris = SweptNoise(rng, 0.08f, from, 800, 1.5f, Decay(0.015f));
    MixInto(s, debris, gain, at);
  }
  Saturate(s, 1.8f);
  Finish(s, 0.95f);
  return s;
}

}  // namespace

void WriteSounds(DataSetWriter& out) {
  Random rng(0x50f7d);
  auto put = [&](const std::string& name, const Samples& s) { out.WriteBytes("data/" + name + ".wav", WavFile(s)); };
  put("kat4", SwordHit(rng));
  put("tuk2", Push(rng));
  put("ding2", Chime(rng));
  put("fuh3", Swing(rng, 0.28f, 350, 1700));
  put("fuh4", Swing(rng, 0.34f, 280, 1400));
  put("fuh5", Swing(rng, 0.24f, 450, 2200));
  put("gun2v1", Explosion(rng, 1.0f, 62));
  put("gun2v2", Explosion(rng, 1.2f, 52));
  put("gun2v3", Explosion(rng, 0.9f, 75));
  put("gun3v1", Shot(rng, 95, 0.22f, 0));
  put("gun3v2", Shot(rng, 110, 0.18f, 0));
  put("gun3v3", Shot(rng, 85, 0.26f, 0));
  put("gun4v1", Shot(rng, 55, 0.5f, 0.5f));
  put("gun4v2", Shot(rng, 48, 0.6f, 0.5f));
  put("gun4v3", Shot(rng, 62, 0.45f, 0.5f));
  put("eaty2", DeathCry(rng));
  put("buhv1", BossLanding(rng));
}

}  // namespace datagen
