// Reads the text form of a packed track (see FORMAT.md) into a Score.
#include <algorithm>
#include <charconv>
#include <cmath>
#include <initializer_list>
#include <optional>

#include "musicdec/decimal.h"
#include "musicdec/score.h"

namespace musicdec {
namespace {

enum class CellKind : std::uint8_t { Rest, Hold, Note, Hit };

struct Cell {
  CellKind kind = CellKind::Rest;
  std::uint8_t velocity = 7;  // 1..9
  std::uint8_t pitchCount = 0;
  std::array<std::uint8_t, kMaxChordNotes> pitches{};
};

struct PatternLine {
  int instrument = 0;
  std::vector<Cell> cells;  // repeated to fill the pattern
};

struct Pattern {
  std::string name;
  int steps = 0;
  std::vector<PatternLine> lines;
};

struct OrderEntry {
  int pattern = 0;
  int transpose = 0;
  int line = 0;
};

// Joins message pieces; also sidesteps a false -Wrestrict of GCC 12 on
// "literal" + std::string chains.
std::string Cat(std::initializer_list<std::string_view> parts) {
  std::string s;
  for (std::string_view p : parts) s.append(p);
  return s;
}

std::string LineError(int line, std::string_view what) {
  return Cat({"line ", std::to_string(line), ": ", what});
}

bool IsValidName(std::string_view s) {
  if (s.empty() || s.size() > kMaxNameLength) return false;
  auto alpha = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; };
  if (!alpha(s[0])) return false;
  return std::all_of(s.begin(), s.end(), [&](char c) { return alpha(c) || (c >= '0' && c <= '9'); });
}

// The shipped tracks hold plain decimals ("0.82", "-16", "3200"); the
// parser of our own reads them to the same doubles on every build.
std::optional<double> ParseNumber(std::string_view s) { return ParseDecimal(s); }

std::optional<int> ParseInt(std::string_view s) {
  int v = 0;
  const char* end = s.data() + s.size();
  auto [ptr, ec] = std::from_chars(s.data(), end, v);
  if (ec != std::errc() || ptr != end) return std::nullopt;
  return v;
}

std::optional<Wave> ParseWave(std::string_view s) {
  if (s == "off") return Wave::Off;
  if (s == "sine") return Wave::Sine;
  if (s == "tri") return Wave::Triangle;
  if (s == "saw") return Wave::Saw;
  if (s == "square") return Wave::Square;
  if (s == "pulse") return Wave::Pulse;
  if (s == "noise") return Wave::Noise;
  return std::nullopt;
}

// Reads the numeric arguments of one line, each checked against its range.
class Args {
 public:
  Args(const std::vector<std::string_view>& words, int line, std::string& error)
      : words_(words), line_(line), error_(error) {}

  std::size_t Count() const { return words_.size() - 1; }

  bool Expect(std::size_t minArgs, std::size_t maxArgs) {
    if (Count() < minArgs || Count() > maxArgs) {
      const std::string range = minArgs == maxArgs ? std::string() : Cat({" to ", std::to_string(maxArgs)});
      error_ = LineError(line_, Cat({"'", words_[0], "' takes ", std::to_string(minArgs), range, " values"}));
      return false;
    }
    return true;
  }

  bool Number(std::size_t i, double lo, double hi, float& out) {
    double v = 0.0;
    if (!Number(i, lo, hi, v)) return false;
    out = static_cast<float>(v);
    return true;
  }

  bool Number(std::size_t i, double lo, double hi, double& out) {
    auto v = ParseNumber(words_[i]);
    if (!v || *v < lo || *v > hi) {
      error_ =
          LineError(line_, Cat({"'", words_[i], "' is not a number from ", Format(lo), " to ", Format(hi)}));
      return false;
    }
    out = *v;
    return true;
  }

  bool Integer(std::size_t i, int lo, int hi, int& out) {
    auto v = ParseInt(words_[i]);
    if (!v || *v < lo || *v > hi) {
      error_ = LineError(line_, Cat({"'", words_[i], "' is not a whole number from ", std::to_string(lo),
                                     " to ", std::to_string(hi)}));
      return false;
    }
    out = *v;
    return true;
  }

  bool Env(std::size_t first, Envelope& env) {
    return Number(first, 0.0005, 10.0, env.attack) && Number(first + 1, 0.001, 10.0, env.decay) &&
           Number(first + 2, 0.0, 1.0, env.sustain) && Number(first + 3, 0.001, 10.0, env.release);
  }

 private:
  static std::string Format(double v) { return FormatDecimal(v); }

  const std::vector<std::string_view>& words_;
  int line_;
  std::string& error_;
};

bool ParseOscillator(Args& a, const std::vector<std::string_view>& w, Oscillator& osc, int line,
                     std::string& error) {
  if (!a.Expect(1, 4)) return false;
  auto wave = ParseWave(w[1]);
  if (!wave) {
    error = LineError(line, Cat({"unknown wave '", w[1], "'"}));
    return false;
  }
  osc = Oscillator{*wave, wave == Wave::Off ? 0.0f : 1.0f, 0.0f, 0.0f};
  if (a.Count() >= 2 && !a.Number(2, 0.0, 2.0, osc.level)) return false;
  if (a.Count() >= 3 && !a.Number(3, -48.0, 48.0, osc.semitones)) return false;
  if (a.Count() >= 4 && !a.Number(4, -100.0, 100.0, osc.cents)) return false;
  return true;
}

bool ParseInstrumentLine(const std::vector<std::string_view>& w, int line, Instrument& ins,
                         std::string& error) {
  Args a(w, line, error);
  const std::string_view key = w[0];
  if (key == "osc1") return ParseOscillator(a, w, ins.osc[0], line, error);
  if (key == "osc2") return ParseOscillator(a, w, ins.osc[1], line, error);
  if (key == "pw") return a.Expect(1, 1) && a.Number(1, 0.05, 0.95, ins.pulseWidth);
  if (key == "unison")
    return a.Expect(2, 2) && a.Integer(1, 1, kMaxUnison, ins.unison) &&
           a.Number(2, 0.0, 100.0, ins.unisonCents);
  if (key == "sub") return a.Expect(1, 1) && a.Number(1, 0.0, 2.0, ins.subLevel);
  if (key == "noise") {
    if (!a.Expect(1, 3) || !a.Number(1, 0.0, 2.0, ins.noiseLevel)) return false;
    if (a.Count() >= 2 && !a.Number(2, 0.0, 18000.0, ins.noiseHighPass)) return false;
    return a.Count() < 3 || a.Number(3, 0.0, 10.0, ins.noiseDecay);
  }
  if (key == "env") return a.Expect(4, 4) && a.Env(1, ins.amp);
  if (key == "filter") {
    if (!a.Expect(1, 3)) return false;
    const std::string_view m = w[1];
    if (m == "off") {
      ins.filter = FilterMode::Off;
      return a.Expect(1, 1);
    }
    if (m == "lp") {
      ins.filter = FilterMode::LowPass;
    } else if (m == "hp") {
      ins.filter = FilterMode::HighPass;
    } else if (m == "bp") {
      ins.filter = FilterMode::BandPass;
    } else {
      error = LineError(line, Cat({"unknown filter '", m, "'"}));
      return false;
    }
    return a.Expect(3, 3) && a.Number(2, 20.0, 20000.0, ins.cutoff) && a.Number(3, 0.0, 1.0, ins.resonance);
  }
  if (key == "fenv")
    return a.Expect(5, 5) && a.Number(1, -8.0, 8.0, ins.filterEnvOctaves) && a.Env(2, ins.filterEnv);
  if (key == "keytrack") return a.Expect(1, 1) && a.Number(1, 0.0, 1.0, ins.keyTrack);
  if (key == "velfilter") return a.Expect(1, 1) && a.Number(1, -4.0, 4.0, ins.velocityFilterOctaves);
  if (key == "pitchenv")
    return a.Expect(2, 2) && a.Number(1, -48.0, 48.0, ins.pitchEnvSemitones) &&
           a.Number(2, 0.001, 2.0, ins.pitchEnvDecay);
  if (key == "vibrato") {
    if (!a.Expect(2, 3) || !a.Number(1, 0.1, 20.0, ins.vibratoRate) ||
        !a.Number(2, 0.0, 100.0, ins.vibratoCents))
      return false;
    return a.Count() < 3 || a.Number(3, 0.0, 10.0, ins.vibratoDelay);
  }
  if (key == "glide") return a.Expect(1, 1) && a.Number(1, 0.0, 2.0, ins.glide);
  if (key == "poly") return a.Expect(1, 1) && a.Integer(1, 1, kMaxPoly, ins.poly);
  if (key == "drive") return a.Expect(1, 1) && a.Number(1, 0.0, 10.0, ins.drive);
  if (key == "volume") return a.Expect(1, 1) && a.Number(1, 0.0, 2.0, ins.volume);
  if (key == "pan") return a.Expect(1, 1) && a.Number(1, -1.0, 1.0, ins.pan);
  if (key == "width") return a.Expect(1, 1) && a.Number(1, 0.0, 1.0, ins.width);
  if (key == "reverb") return a.Expect(1, 1) && a.Number(1, 0.0, 1.0, ins.reverbSend);
  if (key == "delay") return a.Expect(1, 1) && a.Number(1, 0.0, 1.0, ins.delaySend);
  if (key == "pitch") {
    if (!a.Expect(1, 1)) return false;
    ins.hitNote = ParseNoteName(w[1]);
    if (ins.hitNote < 0) {
      error = LineError(line, Cat({"'", w[1], "' is not a note name"}));
      return false;
    }
    return true;
  }
  error = LineError(line, Cat({"unknown instrument setting '", key, "'"}));
  return false;
}

// One step of a pattern line: ".", "-", "x", "X", "o", or notes such as
// "C4" or "D3+F3+A3", each optionally followed by ":velocity" (1..9).
bool ParseCell(std::string_view tok, Cell& cell, int line, std::string& error) {
  auto fail = [&] {
    error = LineError(line, Cat({"bad step '", tok, "'"}));
    return false;
  };
  cell = Cell{};
  if (tok == ".") return true;
  if (tok == "-") {
    cell.kind = CellKind::Hold;
    return true;
  }
  std::string_view body = tok;
  if (auto colon = tok.find(':'); colon != std::string_view::npos) {
    std::string_view v = tok.substr(colon + 1);
    if (v.size() != 1 || v[0] < '1' || v[0] > '9') return fail();
    cell.velocity = static_cast<std::uint8_t>(v[0] - '0');
    body = tok.substr(0, colon);
  }
  const bool explicitVelocity = body.size() != tok.size();
  if (body == "x" || body == "X" || body == "o") {
    cell.kind = CellKind::Hit;
    if (!explicitVelocity) cell.velocity = body == "X" ? 9 : body == "o" ? 4 : 7;
    return true;
  }
  cell.kind = CellKind::Note;
  while (!body.empty()) {
    const std::size_t plus = body.find('+');
    const std::string_view name = body.substr(0, plus);
    const int midi = ParseNoteName(name);
    if (midi < 0 || cell.pitchCount >= kMaxChordNotes) return fail();
    cell.pitches[cell.pitchCount++] = static_cast<std::uint8_t>(midi);
    if (plus == std::string_view::npos) break;
    body = body.substr(plus + 1);
    if (body.empty()) return fail();
  }
  return cell.pitchCount > 0 || fail();
}

// "name", "name+5", "name-2", each optionally followed by "*count".
bool ParseOrderWord(std::string_view w, const std::vector<Pattern>& patterns, int line,
                    std::vector<OrderEntry>& order, std::string& error) {
  int repeat = 1;
  if (auto star = w.find('*'); star != std::string_view::npos) {
    auto r = ParseInt(w.substr(star + 1));
    if (!r || *r < 1 || *r > static_cast<int>(kMaxOrderEntries)) {
      error = LineError(line, Cat({"bad repeat count in '", w, "'"}));
      return false;
    }
    repeat = *r;
    w = w.substr(0, star);
  }
  int transpose = 0;
  if (auto sign = w.find_first_of("+-"); sign != std::string_view::npos) {
    auto t = ParseInt(w.substr(sign + (w[sign] == '+' ? 1 : 0)));
    if (!t || *t < -48 || *t > 48) {
      error = LineError(line, Cat({"bad transposition in '", w, "'"}));
      return false;
    }
    transpose = *t;
    w = w.substr(0, sign);
  }
  auto it = std::find_if(patterns.begin(), patterns.end(), [&](const Pattern& p) { return p.name == w; });
  if (it == patterns.end()) {
    error = LineError(line, Cat({"unknown pattern '", w, "'"}));
    return false;
  }
  if (order.size() + static_cast<std::size_t>(repeat) > kMaxOrderEntries) {
    error = LineError(line, "song order longer than " + std::to_string(kMaxOrderEntries) + " entries");
    return false;
  }
  for (int i = 0; i < repeat; ++i)
    order.push_back({static_cast<int>(it - patterns.begin()), transpose, line});
  return true;
}

bool FinishPattern(Pattern& p, int line, std::string& error) {
  for (const PatternLine& pl : p.lines) {
    const int n = static_cast<int>(pl.cells.size());
    if (n == 0 || p.steps % n != 0) {
      error =
          LineError(line, "pattern '" + p.name + "': a line has " + std::to_string(n) +
                              " steps, which does not divide the pattern length " + std::to_string(p.steps));
      return false;
    }
  }
  return true;
}

// Lays the song order out step by step for every instrument and turns the
// steps into notes. Holds at the start of the song continue a note still
// sounding at its end, so the loop joins like any other bar line.
bool BuildNotes(const std::vector<Pattern>& patterns, const std::vector<OrderEntry>& order, Score& score,
                std::string& error) {
  const int total = score.songSteps;
  std::vector<Cell> lane(static_cast<std::size_t>(total));
  for (int ins = 0; ins < static_cast<int>(score.instruments.size()); ++ins) {
    int pos = 0;
    for (const OrderEntry& e : order) {
      const Pattern& p = patterns[static_cast<std::size_t>(e.pattern)];
      const PatternLine* pl = nullptr;
      for (const PatternLine& l : p.lines)
        if (l.instrument == ins) pl = &l;
      for (int k = 0; k < p.steps; ++k) {
        Cell c = pl ? pl->cells[static_cast<std::size_t>(k) % pl->cells.size()] : Cell{};
        if (c.kind == CellKind::Note) {
          for (std::uint8_t i = 0; i < c.pitchCount; ++i) {
            const int m = c.pitches[i] + e.transpose;
            if (m < 0 || m > 127) {
              error = LineError(e.line, "transposition puts a note of pattern '" + p.name + "' out of range");
              return false;
            }
            c.pitches[i] = static_cast<std::uint8_t>(m);
          }
        }
        lane[static_cast<std::size_t>(pos + k)] = c;
      }
      pos += p.steps;
    }
    for (int s = 0; s < total; ++s) {
      const Cell& c = lane[static_cast<std::size_t>(s)];
      if (c.kind != CellKind::Note && c.kind != CellKind::Hit) continue;
      int len = 1;
      while (len < total && lane[static_cast<std::size_t>((s + len) % total)].kind == CellKind::Hold) ++len;
      Note n;
      n.instrument = ins;
      n.startStep = s;
      n.lengthSteps = len;
      n.velocity = static_cast<float>(c.velocity) / 9.0f;
      if (c.kind == CellKind::Hit) {
        n.pitchCount = 1;
        n.pitches[0] = static_cast<std::uint8_t>(score.instruments[static_cast<std::size_t>(ins)].hitNote);
      } else {
        n.pitchCount = c.pitchCount;
        n.pitches = c.pitches;
      }
      score.notes.push_back(n);
    }
  }
  std::stable_sort(score.notes.begin(), score.notes.end(),
                   [](const Note& a, const Note& b) { return a.startStep < b.startStep; });
  return true;
}

std::vector<std::string_view> SplitWords(std::string_view s) {
  std::vector<std::string_view> words;
  std::size_t i = 0;
  while (i < s.size()) {
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t' || s[i] == '\r')) ++i;
    std::size_t j = i;
    while (j < s.size() && s[j] != ' ' && s[j] != '\t' && s[j] != '\r') ++j;
    if (j > i) words.push_back(s.substr(i, j - i));
    i = j;
  }
  return words;
}

// A comment starts with "#" at the start of a word, so "C#4" stays a note.
std::string_view StripComment(std::string_view s) {
  for (std::size_t i = 0; i < s.size(); ++i)
    if (s[i] == '#' && (i == 0 || s[i - 1] == ' ' || s[i - 1] == '\t')) return s.substr(0, i);
  return s;
}

enum class Block { Header, Top, Instrument, Pattern };

}  // namespace

int ParseNoteName(std::string_view name) {
  static constexpr int kOffsets[7] = {9, 11, 0, 2, 4, 5, 7};  // A B C D E F G
  if (name.size() < 2 || name.size() > 3 || name[0] < 'A' || name[0] > 'G') return -1;
  int semitone = kOffsets[name[0] - 'A'];
  std::size_t i = 1;
  if (name[i] == '#') {
    ++semitone;
    ++i;
  } else if (name[i] == 'b') {
    --semitone;
    ++i;
  }
  if (i + 1 != name.size() || name[i] < '0' || name[i] > '9') return -1;
  const int midi = 12 * (name[i] - '0' + 1) + semitone;
  return midi >= 0 && midi <= 127 ? midi : -1;
}

double Score::SamplesPerStep() const { return kSampleRate * 60.0 / (tempo * stepsPerBeat); }

std::int64_t Score::StepStartSample(int step) const {
  const double at = step + ((step & 1) ? swing : 0.0);
  return std::llround(at * SamplesPerStep());
}

std::int64_t Score::LoopFrames() const { return std::llround(songSteps * SamplesPerStep()); }

ParseResult ParseScore(std::string_view text) {
  ParseResult r;
  std::string& error = r.error;
  Score& score = r.score;
  if (text.size() > kMaxScoreBytes) {
    error = "score larger than " + std::to_string(kMaxScoreBytes) + " bytes";
    return r;
  }
  if (text.find('\0') != std::string_view::npos) {
    error = "score is not text";
    return r;
  }

  std::vector<Pattern> patterns;
  std::vector<OrderEntry> order;
  Block block = Block::Header;
  int line = 0;
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t eol = text.find('\n', pos);
    if (eol == std::string_view::npos) eol = text.size();
    std::string_view raw = text.substr(pos, eol - pos);
    pos = eol + 1;
    ++line;
    if (raw.size() > kMaxLineBytes) {
      error = LineError(line, "line longer than " + std::to_string(kMaxLineBytes) + " bytes");
      return r;
    }
    raw = StripComment(raw);
    const std::vector<std::string_view> w = SplitWords(raw);
    if (w.empty()) continue;
    Args a(w, line, error);

    switch (block) {
      case Block::Header:
        if (w.size() != 2 || w[0] != "vxm" || w[1] != "1") {
          error = LineError(line, "expected the header 'vxm 1'");
          return r;
        }
        block = Block::Top;
        continue;

      case Block::Instrument:
        if (w[0] == "end") {
          if (!a.Expect(0, 0)) return r;
          block = Block::Top;
        } else if (!ParseInstrumentLine(w, line, score.instruments.back(), error)) {
          return r;
        }
        continue;

      case Block::Pattern: {
        Pattern& p = patterns.back();
        if (w[0] == "end") {
          if (!a.Expect(0, 0) || !FinishPattern(p, line, error)) return r;
          block = Block::Top;
          continue;
        }
        auto ins = std::find_if(score.instruments.begin(), score.instruments.end(),
                                [&](const Instrument& i) { return i.name == w[0]; });
        if (ins == score.instruments.end()) {
          error = LineError(line, Cat({"unknown instrument '", w[0], "'"}));
          return r;
        }
        const int index = static_cast<int>(ins - score.instruments.begin());
        auto pl = std::find_if(p.lines.begin(), p.lines.end(),
                               [&](const PatternLine& l) { return l.instrument == index; });
        if (pl == p.lines.end()) {
          p.lines.push_back({index, {}});
          pl = p.lines.end() - 1;
        }
        for (std::size_t i = 1; i < w.size(); ++i) {
          if (w[i] == "|") continue;
          if (pl->cells.size() >= static_cast<std::size_t>(p.steps)) {
            error = LineError(line, "more steps than the pattern length " + std::to_string(p.steps));
            return r;
          }
          Cell c;
          if (!ParseCell(w[i], c, line, error)) return r;
          pl->cells.push_back(c);
        }
        continue;
      }

      case Block::Top:
        break;
    }

    const std::string_view key = w[0];
    if (key == "title") continue;
    if (key == "tempo") {
      if (!a.Expect(1, 1) || !a.Number(1, 30.0, 300.0, score.tempo)) return r;
    } else if (key == "steps") {
      if (!a.Expect(1, 1) || !a.Integer(1, 1, 8, score.stepsPerBeat)) return r;
    } else if (key == "swing") {
      if (!a.Expect(1, 1) || !a.Number(1, 0.0, 0.45, score.swing)) return r;
    } else if (key == "level") {
      if (!a.Expect(1, 1) || !a.Number(1, -30.0, -6.0, score.levelDb)) return r;
    } else if (key == "reverb") {
      if (!a.Expect(3, 3) || !a.Number(1, 0.0, 1.0, score.reverbSize) ||
          !a.Number(2, 0.0, 1.0, score.reverbDamp) || !a.Number(3, 0.0, 1.0, score.reverbWet))
        return r;
    } else if (key == "delay") {
      if (!a.Expect(3, 3) || !a.Integer(1, 1, 16, score.delaySteps) ||
          !a.Number(2, 0.0, 0.9, score.delayFeedback) || !a.Number(3, 200.0, 16000.0, score.delayTone))
        return r;
    } else if (key == "instrument") {
      // "instrument NAME" or "instrument NAME from BASE" (a copy of BASE to change)
      if (!a.Expect(1, 3) || a.Count() == 2 || (a.Count() == 3 && w[2] != "from")) {
        error = LineError(line, "expected 'instrument NAME' or 'instrument NAME from BASE'");
        return r;
      }
      if (!IsValidName(w[1])) {
        error = LineError(line, Cat({"bad instrument name '", w[1], "'"}));
        return r;
      }
      for (const Instrument& i : score.instruments) {
        if (i.name == w[1]) {
          error = LineError(line, Cat({"instrument '", w[1], "' defined twice"}));
          return r;
        }
      }
      if (score.instruments.size() >= kMaxInstruments) {
        error = LineError(line, "more than " + std::to_string(kMaxInstruments) + " instruments");
        return r;
      }
      Instrument ins;
      if (a.Count() == 3) {
        auto base = std::find_if(score.instruments.begin(), score.instruments.end(),
                                 [&](const Instrument& i) { return i.name == w[3]; });
        if (base == score.instruments.end()) {
          error = LineError(line, Cat({"unknown instrument '", w[3], "'"}));
          return r;
        }
        ins = *base;
      }
      ins.name = std::string(w[1]);
      score.instruments.push_back(std::move(ins));
      block = Block::Instrument;
    } else if (key == "pattern") {
      if (!a.Expect(2, 2)) return r;
      if (!IsValidName(w[1])) {
        error = LineError(line, Cat({"bad pattern name '", w[1], "'"}));
        return r;
      }
      for (const Pattern& p : patterns) {
        if (p.name == w[1]) {
          error = LineError(line, Cat({"pattern '", w[1], "' defined twice"}));
          return r;
        }
      }
      if (patterns.size() >= kMaxPatterns) {
        error = LineError(line, "more than " + std::to_string(kMaxPatterns) + " patterns");
        return r;
      }
      Pattern p;
      p.name = std::string(w[1]);
      if (!a.Integer(2, 1, kMaxPatternSteps, p.steps)) return r;
      patterns.push_back(std::move(p));
      block = Block::Pattern;
    } else if (key == "order") {
      for (std::size_t i = 1; i < w.size(); ++i)
        if (!ParseOrderWord(w[i], patterns, line, order, error)) return r;
    } else {
      error = LineError(line, Cat({"unknown keyword '", key, "'"}));
      return r;
    }
  }

  if (block == Block::Header) {
    error = "empty score: expected the header 'vxm 1'";
    return r;
  }
  if (block != Block::Top) {
    error = LineError(line, "missing 'end' of the last block");
    return r;
  }
  if (order.empty()) {
    error = "no song order";
    return r;
  }
  long long steps = 0;
  for (const OrderEntry& e : order) steps += patterns[static_cast<std::size_t>(e.pattern)].steps;
  if (steps > kMaxSongSteps) {
    error = "song longer than " + std::to_string(kMaxSongSteps) + " steps";
    return r;
  }
  score.songSteps = static_cast<int>(steps);
  if (static_cast<double>(score.LoopFrames()) > kMaxSongSeconds * kSampleRate) {
    error = "song longer than " + std::to_string(static_cast<int>(kMaxSongSeconds)) + " seconds";
    return r;
  }
  if (!BuildNotes(patterns, order, score, error)) return r;
  r.ok = true;
  return r;
}

}  // namespace musicdec
