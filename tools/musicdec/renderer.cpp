#include "musicdec/renderer.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "maths/repro_math.h"
#include "musicdec/effects.h"
#include "musicdec/synth_voice.h"

#if defined(__SSE__)
#include <xmmintrin.h>
#endif

namespace musicdec {
namespace {

constexpr std::size_t kWidthDelay = 485;  // 11 ms: the side signal of "width"
constexpr std::size_t kSinkFrames = 4096;
constexpr double kWarmSeconds = 8.0;

// Reverb and filter tails decay into denormal floats, which are very slow
// on x86; flush them to zero while rendering. The processors that flush
// here all flush alike (inputs and results), so the WAV has the same bytes
// on each of them.
class DenormalGuard {
 public:
#if defined(__SSE__)
  DenormalGuard() : saved_(_mm_getcsr()) { _mm_setcsr(saved_ | 0x8040u); }
  ~DenormalGuard() { _mm_setcsr(saved_); }

 private:
  unsigned saved_;
#elif defined(__aarch64__)
  DenormalGuard() {
    asm volatile("mrs %0, fpcr" : "=r"(saved_));
    SetFpcr(saved_ | (std::uint64_t{1} << 24));  // FZ
  }
  ~DenormalGuard() { SetFpcr(saved_); }

 private:
  static void SetFpcr(std::uint64_t v) { asm volatile("msr fpcr, %0" : : "r"(v)); }
  std::uint64_t saved_ = 0;
#endif
};

struct Event {
  std::int64_t at = 0;
  std::uint32_t note = 0;  // index into Score::notes
  std::uint32_t pass = 0;
  bool on = false;
};

std::vector<Event> BuildEvents(const Score& score, std::uint32_t passes) {
  const std::int64_t loop = score.LoopFrames();
  std::vector<Event> events;
  events.reserve(score.notes.size() * 2 * passes);
  for (std::uint32_t pass = 0; pass < passes; ++pass) {
    const std::int64_t base = loop * pass;
    for (std::size_t i = 0; i < score.notes.size(); ++i) {
      const Note& n = score.notes[i];
      const int end = n.startStep + n.lengthSteps;
      const std::int64_t off = end >= score.songSteps ? loop + score.StepStartSample(end - score.songSteps)
                                                      : score.StepStartSample(end);
      events.push_back(
          {base + score.StepStartSample(n.startStep), static_cast<std::uint32_t>(i), pass, true});
      events.push_back({base + off, static_cast<std::uint32_t>(i), pass, false});
    }
  }
  // At the same instant, notes end before new ones take their voices.
  std::stable_sort(events.begin(), events.end(), [](const Event& a, const Event& b) {
    return a.at != b.at ? a.at < b.at : (!a.on && b.on);
  });
  return events;
}

struct Bus {
  const Instrument* ins = nullptr;
  std::array<Voice, kMaxPoly> voices;
  std::vector<float> widthLine;
  std::size_t widthPos = 0;
  float panL = 1.0f;
  float panR = 1.0f;
};

class Mixer {
 public:
  explicit Mixer(const Score& score)
      : score_(score),
        buses_(score.instruments.size()),
        reverb_(score.reverbSize, score.reverbDamp, score.reverbWet),
        delay_(static_cast<std::size_t>(
                   std::max<long long>(1, std::llround(score.delaySteps * score.SamplesPerStep()))),
               score.delayFeedback, score.delayTone) {
    for (std::size_t i = 0; i < buses_.size(); ++i) {
      Bus& b = buses_[i];
      b.ins = &score.instruments[i];
      for (Voice& v : b.voices) v.Bind(b.ins);
      const float angle = (b.ins->pan + 1.0f) * 0.785398163f;
      b.panL = rmath::Cos(angle) * 1.41421356f;
      b.panR = rmath::Sin(angle) * 1.41421356f;
      if (b.ins->width > 0.0f) b.widthLine.assign(kWidthDelay, 0.0f);
    }
  }

  void Trigger(const Event& e) {
    const Note& note = score_.notes[e.note];
    Bus& bus = buses_[static_cast<std::size_t>(note.instrument)];
    const std::uint32_t id = e.pass * static_cast<std::uint32_t>(score_.notes.size()) + e.note;
    if (!e.on) {
      for (Voice& v : bus.voices)
        if (v.Active() && v.Gate() && v.NoteId() == id) v.NoteOff();
      return;
    }
    const int poly = bus.ins->poly;
    const int count = poly == 1 ? 1 : note.pitchCount;
    for (int k = 0; k < count; ++k) {
      Voice& v = poly == 1 ? bus.voices[0] : PickVoice(bus, poly);
      v.SetAge(++age_);
      // Seeded by the note's place in the song, so every pass sounds alike.
      v.NoteOn(note.pitches[static_cast<std::size_t>(k)], note.velocity, id,
               MixSeed(e.note * kMaxChordNotes + static_cast<std::uint32_t>(k)));
    }
  }

  void Render(int n, float* left, float* right) {
    float rev[kControlBlock] = {};
    float dly[kControlBlock] = {};
    for (int i = 0; i < n; ++i) left[i] = right[i] = 0.0f;
    for (Bus& bus : buses_) {
      float mono[kControlBlock] = {};
      bool any = false;
      for (Voice& v : bus.voices) {
        if (!v.Active()) continue;
        v.Render(n, mono);
        any = true;
      }
      // A bus with a width line keeps feeding it, so its tail runs out.
      if (!any && bus.widthLine.empty()) continue;
      const Instrument& ins = *bus.ins;
      for (int i = 0; i < n; ++i) {
        const float m = mono[i];
        float side = 0.0f;
        if (!bus.widthLine.empty()) {
          side = 0.6f * ins.width * bus.widthLine[bus.widthPos];
          bus.widthLine[bus.widthPos] = m;
          if (++bus.widthPos == bus.widthLine.size()) bus.widthPos = 0;
        }
        left[i] += m * bus.panL + side;
        right[i] += m * bus.panR - side;
        rev[i] += m * ins.reverbSend;
        dly[i] += m * ins.delaySend;
      }
    }
    for (int i = 0; i < n; ++i) {
      float rl = 0.0f, rr = 0.0f, dl = 0.0f, dr = 0.0f;
      reverb_.Process(rev[i], rl, rr);
      delay_.Process(dly[i], dl, dr);
      left[i] = BlockDc(left[i] + rl + dl, dcL_);
      right[i] = BlockDc(right[i] + rr + dr, dcR_);
    }
  }

 private:
  static Voice& PickVoice(Bus& bus, int poly) {
    Voice* best = nullptr;
    for (int i = 0; i < poly; ++i) {
      Voice& v = bus.voices[static_cast<std::size_t>(i)];
      if (!v.Active()) return v;
      // Prefer the quietest releasing voice, then the oldest held one.
      if (best == nullptr) {
        best = &v;
      } else if (!v.Gate() && (best->Gate() || v.Level() < best->Level())) {
        best = &v;
      } else if (v.Gate() && best->Gate() && v.Age() < best->Age()) {
        best = &v;
      }
    }
    return *best;
  }

  struct DcState {
    float in = 0.0f;
    float out = 0.0f;
  };

  // Pitch-swept drums start every hit on the same half wave, which adds up
  // to an offset; a gentle high pass (about 7 Hz) takes it out.
  static float BlockDc(float x, DcState& s) {
    s.out = x - s.in + 0.999f * s.out;
    s.in = x;
    return s.out;
  }

  const Score& score_;
  std::vector<Bus> buses_;
  DcState dcL_;
  DcState dcR_;
  Reverb reverb_;
  PingPongDelay delay_;
  std::uint64_t age_ = 0;
};

}  // namespace

float SoftClip(float x) {
  constexpr float kKnee = 0.7f;
  constexpr float kCeiling = 0.99f;
  const float a = std::fabs(x);
  if (a <= kKnee) return x;
  const float y = kKnee + (kCeiling - kKnee) * rmath::Tanh((a - kKnee) / (kCeiling - kKnee));
  return x < 0.0f ? -y : y;
}

struct LoopRenderer::State {
  State(const Score& s, const RenderOptions& o) : score(s), options(o) {}
  const Score& score;
  RenderOptions options;
  RenderStats stats;
  std::int64_t loop = 0;
  std::int64_t measureStart = 0;
  std::int64_t keepStart = 0;
  std::int64_t total = 0;
  std::vector<Event> events;
  std::unique_ptr<Mixer> mixer;
  std::vector<std::int16_t> out;
  double sumSquares = 0.0;
  float gain = 1.0f;
  std::size_t next = 0;
  std::int64_t pos = 0;
  bool flushed = false;
};

LoopRenderer::LoopRenderer(const Score& score, const RenderOptions& options)
    : state_(std::make_unique<State>(score, options)) {
  State& st = *state_;
  st.loop = score.LoopFrames();
  // The loudness is measured on the pass before the kept one. A short loop
  // gets extra passes in front, so that pass already has its echoes and
  // reverb; for a long one their missing start hardly counts.
  const double loopSeconds = static_cast<double>(st.loop) / kSampleRate;
  const int preroll =
      loopSeconds < kWarmSeconds * 4 ? static_cast<int>(std::ceil(kWarmSeconds / loopSeconds)) : 0;
  const std::uint32_t passes = static_cast<std::uint32_t>(preroll) + 2;
  st.measureStart = st.loop * preroll;
  st.keepStart = st.measureStart + st.loop;
  st.total = st.keepStart + st.loop;
  st.events = BuildEvents(score, passes);
  st.mixer = std::make_unique<Mixer>(score);
  st.out.reserve(kSinkFrames * 2);
}

LoopRenderer::~LoopRenderer() = default;

bool LoopRenderer::Done() const { return state_->flushed; }

const RenderStats& LoopRenderer::Stats() const { return state_->stats; }

bool LoopRenderer::Step(std::int64_t frames, const FrameSink& sink) {
  [[maybe_unused]] DenormalGuard guard;
  State& st = *state_;
  const Score& score = st.score;
  float left[kControlBlock];
  float right[kControlBlock];
  const std::int64_t until = frames < st.total - st.pos ? st.pos + frames : st.total;
  while (st.pos < until) {
    if (st.pos == st.keepStart) {
      const double rms = std::sqrt(st.sumSquares / (2.0 * static_cast<double>(st.loop)));
      const double target = rmath::Pow(10.0, score.levelDb / 20.0);
      st.gain = rms > 1e-6 ? static_cast<float>(std::clamp(target / rms, 0.01, 100.0)) : 1.0f;
      st.stats.gain = st.gain;
      st.stats.rmsDb = rms > 0.0 ? 20.0 * rmath::Log10(rms) : -200.0;
      if (!st.options.warmUp) st.mixer = std::make_unique<Mixer>(score);
    }
    while (st.next < st.events.size() && st.events[st.next].at <= st.pos) st.mixer->Trigger(st.events[st.next++]);
    // Blocks end at every pass boundary and at the next event.
    const std::int64_t boundary = (st.pos / st.loop + 1) * st.loop;
    std::int64_t end = std::min(st.pos + kControlBlock, boundary);
    if (st.next < st.events.size()) end = std::min(end, st.events[st.next].at);
    const int n = static_cast<int>(end - st.pos);
    st.mixer->Render(n, left, right);
    if (st.pos >= st.measureStart && st.pos < st.keepStart) {
      for (int i = 0; i < n; ++i) st.sumSquares += double(left[i]) * left[i] + double(right[i]) * right[i];
    } else if (st.pos >= st.keepStart) {
      for (int i = 0; i < n; ++i) {
        for (float v : {left[i], right[i]}) {
          const long s = std::lround(SoftClip(v * st.gain) * 32767.0f);
          st.out.push_back(static_cast<std::int16_t>(std::clamp(s, -32768L, 32767L)));
        }
      }
      if (st.out.size() >= kSinkFrames * 2) {
        if (!sink(st.out.data(), st.out.size() / 2)) return false;
        st.out.clear();
      }
    }
    st.pos = end;
  }
  if (st.pos < st.total || st.flushed) return true;
  st.flushed = true;
  return st.out.empty() || sink(st.out.data(), st.out.size() / 2);
}

bool RenderLoop(const Score& score, const FrameSink& sink, const RenderOptions& options, RenderStats* stats) {
  LoopRenderer renderer(score, options);
  while (!renderer.Done()) {
    if (!renderer.Step(score.LoopFrames() + 1, sink)) return false;
  }
  if (stats != nullptr) *stats = renderer.Stats();
  return true;
}

std::vector<std::int16_t> RenderLoopToMemory(const Score& score, const RenderOptions& options) {
  std::vector<std::int16_t> all;
  all.reserve(static_cast<std::size_t>(score.LoopFrames()) * 2);
  RenderLoop(
      score,
      [&](const std::int16_t* frames, std::size_t count) {
        all.insert(all.end(), frames, frames + count * 2);
        return true;
      },
      options);
  return all;
}

}  // namespace musicdec
