// Helpers shared by the music decoder tests: temporary folders, a WAV
// header reader written independently of the writer, and small scores.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace musicdec_test {

class TempFolder {
 public:
  TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "musicdec_XXXXXX").string();
    if (mkdtemp(pattern.data()) != nullptr) path_ = pattern;
  }
  ~TempFolder() {
    std::error_code ec;
    if (!path_.empty()) std::filesystem::remove_all(path_, ec);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const std::filesystem::path& Path() const { return path_; }

 private:
  std::filesystem::path path_;
};

inline std::string ReadFile(const std::filesystem::path& p) {
  std::ifstream f(p, std::ios::binary);
  std::stringstream ss;
  ss << f.rdbuf();
  return ss.str();
}

inline void WriteFile(const std::filesystem::path& p, const std::string& text) {
  std::ofstream f(p, std::ios::binary | std::ios::trunc);
  f << text;
}

struct WavFile {
  bool valid = false;
  std::string problem;
  std::vector<std::int16_t> samples;  // interleaved left/right
};

inline std::uint32_t Le32(const std::string& b, std::size_t at) {
  return static_cast<std::uint32_t>(static_cast<unsigned char>(b[at])) |
         static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 1])) << 8 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 2])) << 16 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 3])) << 24;
}

inline std::uint16_t Le16(const std::string& b, std::size_t at) {
  return static_cast<std::uint16_t>(static_cast<unsigned char>(b[at]) | static_cast<unsigned char>(b[at + 1])
                                                                            << 8);
}

// Accepts exactly what the game needs: RIFF/WAVE, "fmt " first, PCM 16-bit
// stereo at 44100 Hz, then "data" whose size matches the rest of the file.
inline WavFile ParseWav(const std::string& b) {
  WavFile w;
  auto fail = [&](const char* why) {
    w.problem = why;
    return w;
  };
  if (b.size() < 44) return fail("shorter than a header");
  if (b.compare(0, 4, "RIFF") != 0 || b.compare(8, 4, "WAVE") != 0) return fail("not RIFF/WAVE");
  if (Le32(b, 4) != b.size() - 8) return fail("RIFF size does not match the file size");
  if (b.compare(12, 4, "fmt ") != 0 || Le32(b, 16) != 16)
    return fail("fmt chunk is not first or not 16 bytes");
  if (Le16(b, 20) != 1 || Le16(b, 22) != 2 || Le32(b, 24) != 44100 || Le32(b, 28) != 44100 * 4 ||
      Le16(b, 32) != 4 || Le16(b, 34) != 16)
    return fail("not PCM 16-bit stereo 44100 Hz");
  if (b.compare(36, 4, "data") != 0) return fail("no data chunk after fmt");
  if (Le32(b, 40) != b.size() - 44) return fail("data size does not match the file size");
  w.samples.resize((b.size() - 44) / 2);
  for (std::size_t i = 0; i < w.samples.size(); ++i)
    w.samples[i] = static_cast<std::int16_t>(Le16(b, 44 + 2 * i));
  w.valid = true;
  return w;
}

// How far the signal jumps when the loop goes from its last frame back to
// its first, and how large a jump is at the given quantile inside the loop.
struct SeamMeasure {
  int wrapJump = 0;
  int typicalJump = 0;
};

inline SeamMeasure MeasureSeam(const std::vector<std::int16_t>& s, double quantile) {
  SeamMeasure m;
  const std::size_t frames = s.size() / 2;
  if (frames < 2) return m;
  std::vector<int> jumps;
  jumps.reserve(frames);
  auto jump = [&](std::size_t a, std::size_t b) {
    return std::max(std::abs(s[2 * a] - s[2 * b]), std::abs(s[2 * a + 1] - s[2 * b + 1]));
  };
  for (std::size_t i = 0; i + 1 < frames; ++i) jumps.push_back(jump(i, i + 1));
  const auto k = static_cast<std::size_t>(quantile * static_cast<double>(jumps.size() - 1));
  std::nth_element(jumps.begin(), jumps.begin() + static_cast<std::ptrdiff_t>(k), jumps.end());
  m.typicalJump = jumps[k];
  m.wrapJump = jump(frames - 1, 0);
  return m;
}

// A two-bar song with drums, a bass line, a pad chord held over the loop
// point and effects: short to render, but it uses every part of the mix.
inline const char* kShortScore = R"(vxm 1
tempo 140
steps 4
reverb 0.8 0.3 0.4
delay 3 0.5 3000
instrument kick
  osc1 sine 1
  pitch A1
  pitchenv 24 0.03
  env 0.001 0.3 0 0.1
  volume 1
end
instrument hat
  osc1 off
  noise 1 7000
  env 0.001 0.05 0 0.04
  volume 0.4
end
instrument bass
  osc1 saw 1
  sub 0.5
  filter lp 400 0.3
  fenv 2 0.002 0.2 0 0.1
  env 0.003 0.3 0.7 0.08
  poly 1
  volume 0.5
end
instrument pad
  osc1 saw 1
  osc2 square 0.5 12 5
  unison 2 10
  filter lp 1500 0.2
  env 0.3 1 0.8 1.2
  width 0.6
  reverb 0.6
  delay 0.3
  volume 0.3
  poly 6
end
pattern a 32
  kick x . . . x . . . x . . . x . x . | x . . . x . . . x . . . x . . .
  hat  . . x o
  bass D2 - . D2 . . D3 . C2 - . C2 . . C3 . | Bb1 - . Bb1 . . Bb2 . A1 - . A1 . . A2 -
  pad  - - - - - - - - - - - - - - - - | . . A3+D4+F4 - - - - - - - - - - - - -
end
order a
)";

}  // namespace musicdec_test
