#include "musicdec/decimal.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "musicdec/decoder.h"

namespace {

using musicdec::ParseDecimal;

std::uint64_t Bits(double v) {
  std::uint64_t b = 0;
  std::memcpy(&b, &v, sizeof b);
  return b;
}

// What the C++ library reads, by the rules the score parser had: the whole
// text, a finite value.
std::optional<double> Library(const std::string& s) {
  double v = 0.0;
  const auto [ptr, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  if (ec != std::errc() || ptr != s.data() + s.size() || !std::isfinite(v)) return std::nullopt;
  return v;
}

void ExpectSameAsLibrary(const std::string& s) {
  const std::optional<double> ours = ParseDecimal(s);
  const std::optional<double> theirs = Library(s);
  ASSERT_EQ(ours.has_value(), theirs.has_value()) << "'" << s << "'";
  if (ours) {
    ASSERT_EQ(Bits(*ours), Bits(*theirs)) << "'" << s << "': " << *ours << " vs " << *theirs;
  }
}

TEST(MusicdecDecimal, EveryNumberOfTheShippedTracksReadsAsTheLibraryReadsIt) {
  int numbers = 0;
  for (int track = 1; track <= 3; ++track) {
    std::ifstream in(musicdec::ShippedTrackPath(track));
    ASSERT_TRUE(in) << musicdec::ShippedTrackPath(track);
    std::string word;
    while (in >> word) {
      if (word.empty() || !(word[0] == '-' || word[0] == '.' || (word[0] >= '0' && word[0] <= '9'))) continue;
      ExpectSameAsLibrary(word);
      ++numbers;
    }
  }
  EXPECT_GT(numbers, 1000);
}

TEST(MusicdecDecimal, HardRoundingCasesAndOddForms) {
  for (const char* s :
       {"0", "-0", "0.0", "00012.5000", ".5", "5.", "-.25", "0.1", "0.2", "0.3", "1.7976931348623157e308",
        "1.7976931348623159e308", "1e309", "2.2250738585072014e-308", "4.9e-324", "1e-400",
        "9007199254740993", "9007199254740992.5", "9007199254740993.0000000000000001", "123456789012345678901234",
        "0.000000000000000000000000000001", "1e22", "1e23", "8.5e-5", "3e-23", "2.5e22", "999999999999999",
        "9999999999999999", "0.30000000000000004", "1.00000000000000011102230246251565404236316680908203125",
        "1.00000000000000011102230246251565404236316680908203124", "44100", "-16", "1e+3", "1E-3", "7e0",
        // Not numbers, or not wholly.
        "", "-", ".", "+1", "1e", "1e+", "e5", "1..2", "1.2.3", "1 ", " 1", "0x10", "inf", "nan", "1,5", "--1",
        "1e5x"})
    ExpectSameAsLibrary(s);
}

// Random decimals of every length up to 25 digits, with and without a
// point and an exponent, against the library.
TEST(MusicdecDecimal, RandomDecimalsReadAsTheLibraryReadsThem) {
  std::mt19937_64 random(20261208);
  for (int n = 0; n < 200000; ++n) {
    std::string s;
    if (random() % 3 == 0) s += '-';
    const int length = 1 + static_cast<int>(random() % 25);
    const int point = static_cast<int>(random() % (length + 2)) - 1;  // -1: none
    for (int i = 0; i < length; ++i) {
      if (i == point) s += '.';
      s += static_cast<char>('0' + random() % 10);
    }
    if (random() % 4 == 0) s += "e" + std::to_string(static_cast<int>(random() % 700) - 350);
    ExpectSameAsLibrary(s);
  }
}

}  // namespace
