#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "musicdec/noise_source.h"
#include "musicdec/score.h"
#include "musicdec_test_support.h"

namespace {

using musicdec::Note;
using musicdec::ParseScore;

std::string Song(const std::string& body) {
  return "vxm 1\ninstrument lead\nend\ninstrument drum\n  pitch C2\nend\n" + body;
}

std::vector<Note> NotesOf(const musicdec::Score& s, int instrument) {
  std::vector<Note> out;
  for (const Note& n : s.notes)
    if (n.instrument == instrument) out.push_back(n);
  return out;
}

TEST(MusicdecScoreParser, ReadsSettingsAndPatches) {
  const auto r = ParseScore(R"(vxm 1
# comment line
title Some Song   # ignored
tempo 90
steps 3
swing 0.2
level -14.5
reverb 0.6 0.2 0.5
delay 2 0.4 2500
instrument lead
  osc1 pulse 0.8 -12 5
  osc2 noise 0.3
  pw 0.25
  unison 3 12
  env 0.01 0.5 0.6 0.7
  filter bp 1200 0.4
  fenv -1.5 0.002 0.3 0.1 0.4
  vibrato 6 20 0.5
  poly 1
  pan -0.5
end
instrument copy from lead
  pan 0.5
end
pattern p 6
  copy C#4 . . . . .   # a sharp is not a comment
end
order p
)");
  ASSERT_TRUE(r.ok) << r.error;
  const auto& s = r.score;
  EXPECT_EQ(s.tempo, 90.0);
  EXPECT_EQ(s.stepsPerBeat, 3);
  EXPECT_DOUBLE_EQ(s.swing, 0.2);
  EXPECT_DOUBLE_EQ(s.levelDb, -14.5);
  EXPECT_EQ(s.delaySteps, 2);
  ASSERT_EQ(s.instruments.size(), 2u);
  const auto& lead = s.instruments[0];
  EXPECT_EQ(lead.osc[0].wave, musicdec::Wave::Pulse);
  EXPECT_FLOAT_EQ(lead.osc[0].level, 0.8f);
  EXPECT_FLOAT_EQ(lead.osc[0].semitones, -12.0f);
  EXPECT_FLOAT_EQ(lead.osc[0].cents, 5.0f);
  EXPECT_EQ(lead.osc[1].wave, musicdec::Wave::Noise);
  EXPECT_EQ(lead.unison, 3);
  EXPECT_FLOAT_EQ(lead.amp.sustain, 0.6f);
  EXPECT_EQ(lead.filter, musicdec::FilterMode::BandPass);
  EXPECT_FLOAT_EQ(lead.filterEnvOctaves, -1.5f);
  EXPECT_EQ(lead.poly, 1);
  // "from" copies everything, then the block changes what it names.
  const auto& copy = s.instruments[1];
  EXPECT_EQ(copy.name, "copy");
  EXPECT_EQ(copy.unison, 3);
  EXPECT_FLOAT_EQ(copy.pan, 0.5f);
  ASSERT_EQ(s.notes.size(), 1u);
  EXPECT_EQ(s.notes[0].pitches[0], 61);
  // 90 beats a minute, 3 steps a beat: 9800 samples a step.
  EXPECT_EQ(s.LoopFrames(), 6 * 9800);
  EXPECT_EQ(s.StepStartSample(1), 11760);  // 1.2 steps with the swing
  EXPECT_EQ(s.StepStartSample(2), 19600);
}

TEST(MusicdecScoreParser, NoteNames) {
  EXPECT_EQ(musicdec::ParseNoteName("C4"), 60);
  EXPECT_EQ(musicdec::ParseNoteName("A4"), 69);
  EXPECT_EQ(musicdec::ParseNoteName("F#2"), 42);
  EXPECT_EQ(musicdec::ParseNoteName("Bb3"), 58);
  EXPECT_EQ(musicdec::ParseNoteName("C0"), 12);
  EXPECT_EQ(musicdec::ParseNoteName("G9"), 127);
  for (const char* bad : {"", "C", "C#", "H4", "c4", "G#9", "C10", "C-1", "Cx4", "C4 "})
    EXPECT_EQ(musicdec::ParseNoteName(bad), -1) << bad;
}

TEST(MusicdecScoreParser, StepsBecomeNotes) {
  const auto r = ParseScore(Song(R"(pattern a 8
  lead C4 - - . D4+F4+A4:3 - E4:9 .
  drum x X o x:2
end
order a a+12
)"));
  ASSERT_TRUE(r.ok) << r.error;
  const auto& s = r.score;
  EXPECT_EQ(s.songSteps, 16);
  const auto lead = NotesOf(s, 0);
  ASSERT_EQ(lead.size(), 6u);
  EXPECT_EQ(lead[0].startStep, 0);
  EXPECT_EQ(lead[0].lengthSteps, 3);
  EXPECT_EQ(lead[1].startStep, 4);
  EXPECT_EQ(lead[1].lengthSteps, 2);
  ASSERT_EQ(lead[1].pitchCount, 3);
  EXPECT_EQ(lead[1].pitches[2], 69);
  EXPECT_FLOAT_EQ(lead[1].velocity, 3.0f / 9.0f);
  EXPECT_FLOAT_EQ(lead[2].velocity, 1.0f);
  EXPECT_EQ(lead[2].lengthSteps, 1);
  // The second pass of the pattern is an octave up.
  EXPECT_EQ(lead[3].startStep, 8);
  EXPECT_EQ(lead[3].pitches[0], 72);
  // A four-step drum line repeats to fill the pattern; hits keep their pitch.
  const auto drum = NotesOf(s, 1);
  ASSERT_EQ(drum.size(), 16u);
  for (const Note& n : drum) EXPECT_EQ(n.pitches[0], 36);
  EXPECT_FLOAT_EQ(drum[0].velocity, 7.0f / 9.0f);
  EXPECT_FLOAT_EQ(drum[1].velocity, 1.0f);
  EXPECT_FLOAT_EQ(drum[2].velocity, 4.0f / 9.0f);
  EXPECT_FLOAT_EQ(drum[3].velocity, 2.0f / 9.0f);
  EXPECT_EQ(drum[4].startStep, 4);
}

TEST(MusicdecScoreParser, HoldsCrossPatternsAndTheLoopPoint) {
  const auto r = ParseScore(Song(R"(pattern a 4
  lead - - . C4
end
pattern b 4
  lead - E4 - -
end
pattern c 4
  drum x
end
order a b c a*2
)"));
  ASSERT_TRUE(r.ok) << r.error;
  const auto lead = NotesOf(r.score, 0);
  // Song: - - . C4 | - E4 - - | . . . . | - - . C4 | - - . C4
  ASSERT_EQ(lead.size(), 4u);
  EXPECT_EQ(lead[0].startStep, 3);
  EXPECT_EQ(lead[0].lengthSteps, 2);  // held into pattern b
  EXPECT_EQ(lead[1].startStep, 5);
  EXPECT_EQ(lead[1].lengthSteps, 3);  // ends where pattern c has no lead line
  EXPECT_EQ(lead[2].lengthSteps, 3);
  // The last note is held over the end of the song into its first two steps.
  EXPECT_EQ(lead[3].startStep, 19);
  EXPECT_EQ(lead[3].lengthSteps, 3);
}

struct BadScore {
  const char* name;
  std::string text;
  const char* error;  // part of the expected message
};

TEST(MusicdecScoreParser, RejectsBadScoresWithAReason) {
  const std::string big(musicdec::kMaxScoreBytes + 1, ' ');
  std::string manyInstruments = "vxm 1\n";
  for (int i = 0; i < 17; ++i) manyInstruments += "instrument i" + std::to_string(i) + "\nend\n";
  const std::vector<BadScore> cases = {
      {"empty", "", "empty score"},
      {"only comments", "# nothing\n\n", "empty score"},
      {"no header", "tempo 100\n", "line 1: expected the header"},
      {"other version", "vxm 2\n", "expected the header"},
      {"binary", std::string("vxm 1\n\0\x01", 8), "not text"},
      {"too large", "vxm 1\n" + big, "larger than"},
      {"long line", "vxm 1\ntitle " + std::string(5000, 'x') + "\n", "line 2: line longer"},
      {"unknown keyword", "vxm 1\ntempo 100\nvolume 3\n", "line 3: unknown keyword 'volume'"},
      {"tempo zero", "vxm 1\ntempo 0\n", "line 2: '0' is not a number from 30 to 300"},
      {"tempo huge", "vxm 1\ntempo 1e308\n", "not a number"},
      {"tempo overflow", "vxm 1\ntempo 1e999\n", "not a number"},
      {"tempo nan", "vxm 1\ntempo nan\n", "not a number"},
      {"tempo inf", "vxm 1\ntempo inf\n", "not a number"},
      {"tempo junk", "vxm 1\ntempo 12abc\n", "not a number"},
      {"two tempos", "vxm 1\ntempo 100 120\n", "takes 1 values"},
      {"steps fraction", "vxm 1\nsteps 2.5\n", "not a whole number"},
      {"unknown wave", Song("instrument x\n  osc1 sawtooth\nend\n"), "unknown wave 'sawtooth'"},
      {"unison absurd", Song("instrument x\n  unison 1000 10\nend\n"), "not a whole number from 1 to 4"},
      {"poly zero", Song("instrument x\n  poly 0\nend\n"), "from 1 to 8"},
      {"unknown setting", Song("instrument x\n  colour red\nend\n"), "unknown instrument setting"},
      {"bad filter", Song("instrument x\n  filter notch 100 0\nend\n"), "unknown filter"},
      {"bad pitch", Song("instrument x\n  pitch X9\nend\n"), "not a note name"},
      {"instrument twice", Song("instrument lead\nend\n"), "defined twice"},
      {"bad base", Song("instrument x from nobody\nend\n"), "unknown instrument 'nobody'"},
      {"bad name", Song("instrument 9x\nend\n"), "bad instrument name"},
      {"too many instruments", manyInstruments, "more than 16 instruments"},
      {"pattern absurd", Song("pattern a 1000000000\nend\n"), "from 1 to 1024"},
      {"pattern negative", Song("pattern a -4\nend\n"), "from 1 to 1024"},
      {"pattern twice", Song("pattern a 4\nend\npattern a 4\nend\n"), "defined twice"},
      {"uneven line", Song("pattern a 8\n  lead C4 . .\nend\norder a\n"), "3 steps, which does not divide"},
      {"overfull line", Song("pattern a 2\n  lead C4 . .\nend\n"), "more steps than the pattern length"},
      {"unknown step", Song("pattern a 2\n  lead C4 Q\nend\n"), "bad step 'Q'"},
      {"velocity zero", Song("pattern a 2\n  lead C4:0 .\nend\n"), "bad step"},
      {"empty chord note", Song("pattern a 2\n  lead C4+ .\nend\n"), "bad step"},
      {"chord too big", Song("pattern a 1\n  lead C4+D4+E4+F4+G4+A4+B4\nend\n"), "bad step"},
      {"unknown instrument", Song("pattern a 2\n  flute C4 .\nend\n"), "unknown instrument 'flute'"},
      {"missing end", Song("pattern a 2\n  lead C4 .\n"), "missing 'end'"},
      {"no order", Song("pattern a 2\nend\n"), "no song order"},
      {"unknown pattern", Song("order a\n"), "unknown pattern 'a'"},
      {"bad transposition", Song("pattern a 2\nend\norder a+99\n"), "bad transposition"},
      {"transposed off the scale", Song("pattern a 1\n  lead G9\nend\norder a+1\n"), "out of range"},
      {"absurd repeat", Song("pattern a 2\nend\norder a*99999999999\n"), "bad repeat count"},
      {"order too long", Song("pattern a 1\nend\norder a*1000 a*100\n"), "longer than 1024 entries"},
      {"too many steps", Song("pattern a 1024\nend\norder a*17\n"), "longer than 16384 steps"},
      {"too many seconds", Song("tempo 30\nsteps 1\npattern a 301\nend\norder a\n"),
       "longer than 600 seconds"},
  };
  for (const BadScore& c : cases) {
    const auto r = ParseScore(c.text);
    EXPECT_FALSE(r.ok) << c.name;
    EXPECT_NE(r.error.find(c.error), std::string::npos) << c.name << ": got \"" << r.error << "\"";
  }
}

TEST(MusicdecScoreParser, EveryTruncationIsAnsweredCleanly) {
  const std::string full = musicdec_test::kShortScore;
  ASSERT_TRUE(ParseScore(full).ok);
  int accepted = 0;
  for (std::size_t n = 0; n < full.size(); ++n) {
    const auto r = ParseScore(std::string_view(full).substr(0, n));
    if (r.ok) {
      ++accepted;
      EXPECT_GT(r.score.LoopFrames(), 0);
    } else {
      EXPECT_FALSE(r.error.empty()) << n;
    }
  }
  // Only cuts inside the last line ("order a") can still make a song.
  EXPECT_LE(accepted, 2);
}

TEST(MusicdecScoreParser, GarbageIsRejectedNotFatal) {
  // Random mixes of real words, numbers and bytes, from a fixed seed.
  const std::vector<std::string> words = {"vxm",  "1",     "tempo", "pattern", "end", "order", "instrument",
                                          "osc1", "saw",   "x",     "-",       ".",   "C4",    "a",
                                          "lead", "4",     "1e9",   "-7",      "\n",  "\n",    "\n",
                                          "poly", "D3+F3", "a*3",   "a+2",     "#",   "nan",   "from"};
  musicdec::NoiseSource rng(1234);
  int accepted = 0;
  for (int round = 0; round < 3000; ++round) {
    std::string text = round % 2 ? "vxm 1\n" : "";
    const int length = static_cast<int>(rng.NextBits() % 120);
    for (int i = 0; i < length; ++i) {
      const std::uint32_t pick = rng.NextBits();
      if (pick % 7 == 0) {
        text += static_cast<char>(rng.NextBits() % 256);
      } else {
        text += words[pick % words.size()];
        text += ' ';
      }
    }
    const auto r = ParseScore(text);
    if (r.ok) {
      ++accepted;
      EXPECT_LE(r.score.LoopFrames(),
                static_cast<std::int64_t>(musicdec::kMaxSongSeconds * musicdec::kSampleRate));
    } else {
      EXPECT_FALSE(r.error.empty());
    }
  }
  EXPECT_LT(accepted, 3000);
}

}  // namespace
