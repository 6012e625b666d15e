#include "musicdec/wav_writer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "musicdec/decoder.h"
#include "musicdec_test_support.h"

namespace {

namespace fs = std::filesystem;
using musicdec_test::TempFolder;

TEST(MusicdecWav, HeaderIsTheCanonicalOne) {
  const auto h = musicdec::WavHeader(3);
  std::string file(h.begin(), h.end());
  file += std::string(12, '\x7f');
  const auto wav = musicdec_test::ParseWav(file);
  ASSERT_TRUE(wav.valid) << wav.problem;
  EXPECT_EQ(wav.samples.size(), 6u);
  EXPECT_EQ(wav.samples[0], 0x7f7f);
  // A header promising more data than the file holds is caught by the reader.
  file.pop_back();
  EXPECT_FALSE(musicdec_test::ParseWav(file).valid);
}

TEST(MusicdecWav, AtomicFileShowsOnlyCompleteFiles) {
  TempFolder dir;
  const fs::path target = dir.Path() / "floor1.wav";
  {
    musicdec::AtomicFile file(target.string());
    ASSERT_TRUE(file.Open()) << file.Error();
    ASSERT_TRUE(file.Write("abc", 3));
    EXPECT_TRUE(fs::exists(file.TempPath()));
    EXPECT_FALSE(fs::exists(target));
    // Dropped without Commit: nothing under either name.
  }
  EXPECT_TRUE(fs::is_empty(dir.Path()));

  const std::string big(200000, 'x');  // more than one internal buffer
  musicdec::AtomicFile file(target.string());
  ASSERT_TRUE(file.Open());
  ASSERT_TRUE(file.Write(big.data(), big.size()));
  ASSERT_TRUE(file.Write("end", 3));
  ASSERT_TRUE(file.Commit()) << file.Error();
  EXPECT_EQ(musicdec_test::ReadFile(target), big + "end");
  EXPECT_FALSE(fs::exists(file.TempPath()));

  musicdec::AtomicFile nowhere((dir.Path() / "missing" / "floor1.wav").string());
  EXPECT_FALSE(nowhere.Open());
  EXPECT_NE(nowhere.Error().find("cannot create"), std::string::npos);
}

TEST(MusicdecWav, TrackNumberComesFromTheProgramName) {
  EXPECT_EQ(musicdec::TrackNumberFromName("dec1.exe"), 1);
  EXPECT_EQ(musicdec::TrackNumberFromName("./music/dec2.exe"), 2);
  EXPECT_EQ(musicdec::TrackNumberFromName("/games/v2/music/dec3.exe"), 3);  // folders do not count
  EXPECT_EQ(musicdec::TrackNumberFromName("dec12"), 12);
  EXPECT_EQ(musicdec::TrackNumberFromName("musicdec"), -1);
  EXPECT_EQ(musicdec::TrackNumberFromName("dec0.exe"), -1);
  EXPECT_EQ(musicdec::TrackNumberFromName("dec123.exe"), -1);
  EXPECT_EQ(musicdec::TrackNumberFromName(""), -1);
  EXPECT_EQ(musicdec::WavName(2), "floor2.wav");
  EXPECT_EQ(musicdec::MarkerName(3), "fin3.txt");
  EXPECT_EQ(musicdec::PackedTrackName(1), "track1.vxm");
}

}  // namespace
