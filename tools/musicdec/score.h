// The parsed form of a packed track: song settings, synth patches and the
// note list of one pass through the song order.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace musicdec {

inline constexpr int kSampleRate = 44100;

// Bounds that keep any accepted score cheap to decode and small in memory.
inline constexpr std::size_t kMaxScoreBytes = 256 * 1024;
inline constexpr std::size_t kMaxLineBytes = 4096;
inline constexpr std::size_t kMaxNameLength = 32;
inline constexpr std::size_t kMaxInstruments = 16;
inline constexpr std::size_t kMaxPatterns = 128;
inline constexpr int kMaxPatternSteps = 1024;
inline constexpr std::size_t kMaxOrderEntries = 1024;
inline constexpr int kMaxSongSteps = 16384;
inline constexpr double kMaxSongSeconds = 600.0;
inline constexpr int kMaxPoly = 8;
inline constexpr int kMaxUnison = 4;
inline constexpr std::size_t kMaxChordNotes = 6;

enum class Wave : std::uint8_t { Off, Sine, Triangle, Saw, Square, Pulse, Noise };
enum class FilterMode : std::uint8_t { Off, LowPass, HighPass, BandPass };

struct Envelope {
  float attack = 0.005f;  // seconds from the current level up to 1
  float decay = 0.2f;     // seconds to settle (within 1%) on the sustain level
  float sustain = 1.0f;
  float release = 0.2f;  // seconds to fall (to under 1%) after the note ends
};

struct Oscillator {
  Wave wave = Wave::Off;
  float level = 0.0f;
  float semitones = 0.0f;
  float cents = 0.0f;
};

struct Instrument {
  std::string name;
  std::array<Oscillator, 2> osc{Oscillator{Wave::Saw, 1.0f, 0.0f, 0.0f}, Oscillator{}};
  float pulseWidth = 0.5f;
  int unison = 1;
  float unisonCents = 0.0f;
  float subLevel = 0.0f;
  float noiseLevel = 0.0f;
  float noiseHighPass = 0.0f;  // Hz, 0 = unfiltered
  float noiseDecay = 0.0f;     // seconds, 0 = follows the amp envelope only
  Envelope amp;
  FilterMode filter = FilterMode::Off;
  float cutoff = 20000.0f;
  float resonance = 0.0f;
  float filterEnvOctaves = 0.0f;
  Envelope filterEnv{0.005f, 0.3f, 0.0f, 0.3f};
  float keyTrack = 0.0f;
  float velocityFilterOctaves = 0.0f;
  float pitchEnvSemitones = 0.0f;
  float pitchEnvDecay = 0.05f;
  float vibratoRate = 5.0f;
  float vibratoCents = 0.0f;
  float vibratoDelay = 0.0f;
  float glide = 0.0f;
  int poly = 4;
  float drive = 0.0f;
  float volume = 0.5f;
  float pan = 0.0f;
  float width = 0.0f;
  float reverbSend = 0.0f;
  float delaySend = 0.0f;
  int hitNote = 60;  // pitch of the "x" hits
};

// One note of one pass, in steps from the start of the song. A note may run
// past the end of the song; it then goes on into the next pass.
struct Note {
  int instrument = 0;
  int startStep = 0;
  int lengthSteps = 1;
  float velocity = 0.78f;
  std::uint8_t pitchCount = 0;
  std::array<std::uint8_t, kMaxChordNotes> pitches{};  // MIDI note numbers
};

struct Score {
  double tempo = 120.0;  // beats per minute
  int stepsPerBeat = 4;
  double swing = 0.0;      // fraction of a step by which odd steps are late
  double levelDb = -16.0;  // loudness of the final mix (RMS, dBFS)
  float reverbSize = 0.5f;
  float reverbDamp = 0.5f;
  float reverbWet = 0.3f;
  int delaySteps = 3;
  float delayFeedback = 0.3f;
  float delayTone = 4000.0f;
  std::vector<Instrument> instruments;
  std::vector<Note> notes;  // sorted by start step
  int songSteps = 0;

  double SamplesPerStep() const;
  // Start of a step in samples from the start of its pass (swing included).
  std::int64_t StepStartSample(int step) const;
  // Frames in one pass of the song: the length of the loop.
  std::int64_t LoopFrames() const;
};

struct ParseResult {
  bool ok = false;
  std::string error;  // "line N: what is wrong" when !ok
  Score score;
};

// Never throws on bad text; every size is bounded before anything is allocated.
ParseResult ParseScore(std::string_view text);

// MIDI number of a note name such as "C4", "F#2" or "Bb3" (A4 = 69), or -1.
int ParseNoteName(std::string_view name);

}  // namespace musicdec
