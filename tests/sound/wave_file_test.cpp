#include "sound/wave_file.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "assets/data_set_check.h"
#include "sound/sound_context.h"
#include "sound/wave_bytes.h"
#include "support/engine_test.h"

namespace {

using namespace std::string_literals;
using platform::HeadlessBackend;
using vxtest::Chunk;
using vxtest::ChunkClaiming;
using vxtest::FormatBody;
using vxtest::Le16;
using vxtest::PcmWave;
using vxtest::Riff;

const std::string kDataDir = std::string(VX_SOURCE_DIR) + "/tests/sound/data/";

std::vector<uint8_t> Bytes(const std::string& s) { return std::vector<uint8_t>(s.begin(), s.end()); }

bool HaveSox() { return std::system("command -v sox >/dev/null 2>&1") == 0; }

// The same file with a LIST chunk in front of its format chunk.
std::string WithListFirst(const std::string& wav) {
  const std::string list = Chunk("LIST", "INFO" + Chunk("ICMT", "made for a test"));
  return Riff("WAVE", list + wav.substr(12));
}

class WaveFile : public vxtest::EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    ASSERT_EQ(backend->OpenAudio(), platform::kAudioReady);
  }
  int32_t Load(const std::string& bytes) {
    vxtest::WriteFile("t.wav", bytes);
    return LoadWave(sound, 7, "t.wav");
  }
  const HeadlessBackend::SoundBuffer* Buffer() const {
    auto it = backend->SoundBuffers().find(slot.buffer);
    return it == backend->SoundBuffers().end() ? nullptr : &it->second;
  }

  SoundContext sound;
  SoundSlot& slot = sound.slots[7];
};

TEST_F(WaveFile, SixteenByteFormatChunkReadsTwoBytesBeyondIt) {
  ASSERT_EQ(Load(PcmWave(2, 22050, 16, "abcdefgh")), kWaveLoaded);
  const auto* b = Buffer();
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(b->slot, 7);
  EXPECT_EQ(b->format.formatTag, 1);
  EXPECT_EQ(b->format.channels, 2);
  EXPECT_EQ(b->format.samplesPerSec, 22050u);
  EXPECT_EQ(b->format.avgBytesPerSec, 88200u);
  EXPECT_EQ(b->format.blockAlign, 4);
  EXPECT_EQ(b->format.bitsPerSample, 16);
  EXPECT_EQ(b->format.extraSize, 'd' | ('a' << 8));  // the start of "data"
  EXPECT_EQ(b->data, Bytes("abcdefgh"));
}

TEST_F(WaveFile, FirstChunkIsTheFormatWhateverItsName) {
  // A chunk of another name that holds PCM format bytes is accepted...
  ASSERT_EQ(Load(Riff("WAVE", Chunk("JUNK", FormatBody(1, 1, 8000, 8)) + Chunk("data", "xyz"))), kWaveLoaded);
  EXPECT_EQ(Buffer()->format.samplesPerSec, 8000u);
  // ...and a real format chunk behind a list is never looked at.
  SoundSlot before = slot;
  EXPECT_EQ(Load(WithListFirst(PcmWave(1, 8000, 8, "xyz"))), kWaveNotPcm);
  EXPECT_EQ(slot.buffer, before.buffer);
  EXPECT_EQ(Load(Riff("WAVE",
                      Chunk("data", "\x01\x00zzzzzzzzzzzzzzzz"s) + Chunk("fmt ", FormatBody(1, 1, 8000, 8)))),
            kWaveNotPcm)
      << "the data chunk taken as the format, then no data chunk after it";
}

TEST_F(WaveFile, ChunksBetweenFormatAndDataAreSkipped) {
  const std::string wav =
      Riff("WAVE", Chunk("fmt ", FormatBody(1, 1, 11025, 8) + Le16(0)) + Chunk("note", "odd") +
                       Chunk("fact", "\x04\x00\x00\x00"s) + Chunk("data", "\x10\x20\x30\x40"));
  ASSERT_EQ(Load(wav), kWaveLoaded);
  EXPECT_EQ(Buffer()->data, Bytes("\x10\x20\x30\x40"));
  // An 18-byte format chunk is read whole; the extra size is its own.
  EXPECT_EQ(Buffer()->format.extraSize, 0);
}

TEST_F(WaveFile, WhatIsNotAPcmWaveGivesStatus2) {
  const std::string body = FormatBody(1, 1, 22050, 8);
  const std::vector<std::pair<const char*, std::string>> cases = {
      {"float samples", Riff("WAVE", Chunk("fmt ", FormatBody(3, 1, 22050, 32)) + Chunk("data", "abcd"))},
      {"extensible format",
       Riff("WAVE", Chunk("fmt ", FormatBody(0xfffe, 1, 22050, 16)) + Chunk("data", "ab"))},
      {"no data chunk", Riff("WAVE", Chunk("fmt ", body) + Chunk("note", "ab"))},
      {"other form", Riff("AVI ", Chunk("fmt ", body) + Chunk("data", "ab"))},
      {"big-endian riff", "RIFX" + Riff("WAVE", Chunk("fmt ", body) + Chunk("data", "ab")).substr(4)},
      {"empty file", ""},
      {"header only", "RIFF\x04\x00\x00\x00WAVE"s},
      {"format cut short", Riff("WAVE", "fmt \x10\x00\x00\x00\x01"s)},
      {"format bigger than the file", Riff("WAVE", ChunkClaiming("fmt ", 0x7fffffff, body + "data"))},
  };
  for (const auto& [what, bytes] : cases) EXPECT_EQ(Load(bytes), kWaveNotPcm) << what;
  EXPECT_EQ(slot.buffer, 0);
  EXPECT_EQ(LoadWave(sound, 7, "missing.wav"), kWaveCannotOpen);
  EXPECT_TRUE(backend->SoundBuffers().empty());
}

TEST_F(WaveFile, DataCutShortIsCompletedWithSilence) {
  ASSERT_EQ(Load(Riff("WAVE",
                      Chunk("fmt ", FormatBody(1, 1, 22050, 16)) + ChunkClaiming("data", 8, "\x11\x22\x33"))),
            kWaveLoaded);
  EXPECT_EQ(Buffer()->data, (std::vector<uint8_t>{0x11, 0x22, 0x33, 0, 0, 0, 0, 0}));
  // Unsigned 8-bit samples are silent at 128.
  ASSERT_EQ(
      Load(Riff("WAVE", Chunk("fmt ", FormatBody(1, 1, 22050, 8)) + ChunkClaiming("data", 6, "\x01\x02"))),
      kWaveLoaded);
  EXPECT_EQ(Buffer()->data, (std::vector<uint8_t>{1, 2, 0x80, 0x80, 0x80, 0x80}));
}

TEST_F(WaveFile, BuffersThatCannotBeMadeGiveStatus3) {
  ASSERT_EQ(Load(PcmWave(1, 22050, 8, "ok")), kWaveLoaded);
  const int32_t kept = slot.buffer;
  const std::vector<std::pair<const char*, std::string>> formats = {
      {"no channels", FormatBody(1, 0, 22050, 8, 1)},
      {"three channels", FormatBody(1, 3, 22050, 16)},
      {"rate 0", FormatBody(1, 1, 0, 8)},
      {"rate below 100", FormatBody(1, 1, 99, 8)},
      {"rate above 200000", FormatBody(1, 1, 200001, 8)},
      {"12 bits", FormatBody(1, 1, 22050, 12, 2)},
      {"24 bits", FormatBody(1, 1, 22050, 24)},
      {"block align", FormatBody(1, 2, 22050, 16, 2)},
      {"block align 0", FormatBody(1, 1, 22050, 16, 0)},
  };
  for (const auto& [what, fmt] : formats) {
    EXPECT_EQ(Load(Riff("WAVE", Chunk("fmt ", fmt) + Chunk("data", "abcdefgh"))), kWaveNoBuffer) << what;
  }
  EXPECT_EQ(Load(PcmWave(1, 22050, 8, "")), kWaveNoBuffer) << "no samples";
  EXPECT_EQ(Load(Riff("WAVE", Chunk("fmt ", FormatBody(1, 1, 22050, 8)) +
                                  ChunkClaiming("data", (256u << 20) + 1, "abcd"))),
            kWaveNoBuffer)
      << "over 256 MiB";
  EXPECT_EQ(slot.buffer, kept);
  EXPECT_EQ(backend->SoundBuffers().size(), 1u);
  for (const uint32_t rate : {100u, 200000u}) EXPECT_EQ(Load(PcmWave(1, rate, 8, "ok")), kWaveLoaded) << rate;
  // The device refuses the buffer.
  backend->CloseAudio();
  EXPECT_EQ(Load(PcmWave(1, 22050, 8, "ok")), kWaveNoBuffer);
}

TEST_F(WaveFile, ReloadingASlotReplacesItsBuffer) {
  ASSERT_EQ(Load(PcmWave(1, 22050, 8, "first")), kWaveLoaded);
  const int32_t first = slot.buffer;
  ASSERT_EQ(Load(PcmWave(1, 22050, 8, "second")), kWaveLoaded);
  EXPECT_NE(slot.buffer, first);
  EXPECT_EQ(backend->SoundBuffers().count(first), 0u);
  EXPECT_TRUE(backend->HasCall("sound release slot 7"));
  EXPECT_EQ(Buffer()->data, Bytes("second"));
}

// Files that other programs wrote.
TEST_F(WaveFile, CommittedSoxFilesLoad) {
  ASSERT_EQ(LoadWave(sound, 7, (kDataDir + "sine_u8_mono_22050.wav").c_str()), kWaveLoaded);
  const auto* b = Buffer();
  EXPECT_EQ(b->format.channels, 1);
  EXPECT_EQ(b->format.bitsPerSample, 8);
  EXPECT_EQ(b->format.samplesPerSec, 22050u);
  ASSERT_EQ(b->data.size(), 220u);
  EXPECT_EQ(std::vector<uint8_t>(b->data.begin(), b->data.begin() + 4),
            (std::vector<uint8_t>{0x81, 0x8b, 0x97, 0xa1}));

  ASSERT_EQ(LoadWave(sound, 7, (kDataDir + "sine_s16_stereo_44100.wav").c_str()), kWaveLoaded);
  b = Buffer();
  EXPECT_EQ(b->format.channels, 2);
  EXPECT_EQ(b->format.bitsPerSample, 16);
  EXPECT_EQ(b->format.samplesPerSec, 44100u);
  EXPECT_EQ(b->data.size(), 880u);

  vxtest::WriteFile("list.wav", WithListFirst(vxtest::ReadFile(kDataDir + "sine_u8_mono_22050.wav")));
  EXPECT_EQ(LoadWave(sound, 7, "list.wav"), kWaveNotPcm);
}

TEST_F(WaveFile, AlsaSampleFilesLoad) {
  const std::filesystem::path dir = "/usr/share/sounds/alsa";
  std::error_code ec;
  if (!std::filesystem::is_directory(dir, ec)) GTEST_SKIP() << "alsa-utils sample files not installed";
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir, ec)) {
    if (entry.path().extension() != ".wav") continue;
    ++files;
    SCOPED_TRACE(entry.path().string());
    ASSERT_EQ(LoadWave(sound, 7, entry.path().c_str()), kWaveLoaded);
    const auto* b = Buffer();
    EXPECT_EQ(b->format.formatTag, 1);
    EXPECT_EQ(b->format.blockAlign, b->format.channels * b->format.bitsPerSample / 8);
    // The whole file is header, format and samples.
    EXPECT_EQ(b->data.size() + 44, static_cast<size_t>(entry.file_size()));
  }
  EXPECT_GT(files, 0);
}

TEST_F(WaveFile, SoxOutputInSeveralFormatsLoadsSampleExact) {
  if (!HaveSox()) GTEST_SKIP() << "sox not installed";
  struct Case {
    int channels, rate, bits;
  };
  for (const Case c :
       {Case{1, 22050, 8}, Case{2, 22050, 8}, Case{1, 44100, 16}, Case{2, 44100, 16}, Case{1, 11025, 16}}) {
    const std::string name =
        "s" + std::to_string(c.channels) + "_" + std::to_string(c.rate) + "_" + std::to_string(c.bits);
    SCOPED_TRACE(name);
    const std::string make = "sox -n -r " + std::to_string(c.rate) + " -c " + std::to_string(c.channels) +
                             " -b " + std::to_string(c.bits) + " " + name +
                             ".wav synth 0.05 sine 440 2>/dev/null";
    ASSERT_EQ(std::system(make.c_str()), 0);
    ASSERT_EQ(std::system(("sox " + name + ".wav -t raw " + name + ".raw 2>/dev/null").c_str()), 0);
    ASSERT_EQ(LoadWave(sound, 7, (name + ".wav").c_str()), kWaveLoaded);
    const auto* b = Buffer();
    EXPECT_EQ(b->format.channels, c.channels);
    EXPECT_EQ(static_cast<int>(b->format.samplesPerSec), c.rate);
    EXPECT_EQ(b->format.bitsPerSample, c.bits);
    EXPECT_EQ(b->data, Bytes(vxtest::ReadFile(name + ".raw")));

    vxtest::WriteFile(name + "_list.wav", WithListFirst(vxtest::ReadFile(name + ".wav")));
    EXPECT_EQ(LoadWave(sound, 7, (name + "_list.wav").c_str()), kWaveNotPcm);
  }
  // Without a sample size sox writes 32-bit floats in an extensible format.
  ASSERT_EQ(std::system("sox -n -r 22050 -c 1 float.wav synth 0.01 sine 440 2>/dev/null"), 0);
  EXPECT_EQ(LoadWave(sound, 7, "float.wav"), kWaveNotPcm);
}

}  // namespace

// The loader and the start-up check judge a sample by one rule: what the
// check passes loads, and what the loader refuses the check names with the
// reason. Only a data chunk the file does not hold to its end differs: it
// loads (silence at the end) and is named as cut short.
TEST_F(WaveFile, TheStartUpCheckNamesExactlyWhatTheLoaderRefuses) {
  const std::string data(12, '\0');
  const std::vector<std::pair<std::string, std::string>> files = {
      {PcmWave(1, 22050, 16, data), ""},
      {PcmWave(2, 200000, 8, data), ""},
      {Riff("WAVE", Chunk("fmt ", FormatBody(1, 3, 22050, 16)) + Chunk("data", data)), "3 channels (1 or 2 play)"},
      {Riff("WAVE", Chunk("fmt ", FormatBody(1, 0, 22050, 8, 1)) + Chunk("data", data)), "0 channels (1 or 2 play)"},
      {Riff("WAVE", Chunk("fmt ", FormatBody(1, 1, 22050, 24)) + Chunk("data", data)),
       "24 bits per sample (8 or 16 play)"},
      {Riff("WAVE", Chunk("fmt ", FormatBody(1, 1, 0, 8)) + Chunk("data", data)),
       "rate 0 samples per second (100 to 200000 play)"},
      {Riff("WAVE", Chunk("fmt ", FormatBody(1, 1, 99, 8)) + Chunk("data", data)),
       "rate 99 samples per second (100 to 200000 play)"},
      {Riff("WAVE", Chunk("fmt ", FormatBody(1, 2, 22050, 16, 0)) + Chunk("data", data)),
       "block align 0 (4 for 2 channels of 16 bits)"},
      {PcmWave(1, 22050, 8, ""), "no samples: the data chunk is empty"},
      {Riff("WAVE", Chunk("fmt ", FormatBody(3, 1, 22050, 16)) + Chunk("data", data)), "not a PCM wave file"},
      {Riff("WAVE", Chunk("fmt ", FormatBody(1, 1, 22050, 8))), "no sample data"},
      {Riff("WAVE", Chunk("fmt ", FormatBody(1, 1, 22050, 8)) + ChunkClaiming("data", (256u << 20) + 1, "ab")),
       "268435457 bytes of samples (at most 268435456 play)"},
  };
  for (const auto& [bytes, reason] : files) {
    SCOPED_TRACE(reason);
    std::string detail;
    vxtest::WriteFile("t.wav", bytes);
    const bool passes = FileLoads("t.wav", detail);
    EXPECT_EQ(passes, Load(bytes) == kWaveLoaded);
    EXPECT_EQ(detail, reason);
  }
  // Cut short: plays, and is named.
  const std::string cut =
      Riff("WAVE", Chunk("fmt ", FormatBody(1, 1, 22050, 8)) + ChunkClaiming("data", 6, "\x01\x02"));
  EXPECT_EQ(Load(cut), kWaveLoaded);
  std::string detail;
  EXPECT_FALSE(FileLoads("t.wav", detail));
  EXPECT_EQ(detail, "cut short: 50 bytes needed, 46 there");
}
