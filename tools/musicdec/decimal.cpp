#include "musicdec/decimal.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace musicdec {
namespace {

// The powers of ten that doubles hold exactly.
constexpr double kExactTens[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                 1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
constexpr int kLargestExactTen = 22;
// Up to 15 digits always fit the 53 bits of a double's significand.
constexpr int kExactDigits = 15;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Correct rounding for what the fast path cannot take: the C++ library's
// from_chars where it has one, else the C library's strtod, which is
// correctly rounded in glibc and musl (the browser's); the text was checked
// against the grammar before, so neither sees a locale, a blank, a hex form
// or a word.
std::optional<double> ParseSlowly(std::string_view s) {
#if defined(__cpp_lib_to_chars) && __cpp_lib_to_chars >= 201611L
  double v = 0.0;
  const auto [ptr, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  if (ec != std::errc() || ptr != s.data() + s.size()) return std::nullopt;
  return v;
#else
  const std::string text(s);
  errno = 0;
  char* end = nullptr;
  const double v = std::strtod(text.c_str(), &end);
  if (end != text.c_str() + text.size() || errno == ERANGE) return std::nullopt;
  return v;
#endif
}

}  // namespace

std::optional<double> ParseDecimal(std::string_view s) {
  std::size_t i = 0;
  const bool negative = i < s.size() && s[i] == '-';
  if (negative) ++i;
  // The digits as one whole number `digits` times ten to the `scale`.
  std::uint64_t digits = 0;
  int significant = 0;   // digits taken into `digits`, leading zeros not counted
  bool anyDigit = false;
  bool dropped = false;  // a non-zero digit beyond what `digits` holds
  long scale = 0;
  for (bool point = false; i < s.size(); ++i) {
    const char c = s[i];
    if (c == '.' && !point) {
      point = true;
      continue;
    }
    if (!IsDigit(c)) break;
    anyDigit = true;
    if (significant == 0 && c == '0') {
      if (point) --scale;
      continue;
    }
    if (significant < 19) {
      digits = digits * 10 + static_cast<std::uint64_t>(c - '0');
      ++significant;
      if (point) --scale;
    } else {
      dropped = dropped || c != '0';
      if (!point) ++scale;
    }
  }
  if (!anyDigit) return std::nullopt;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    std::size_t j = i + 1;
    const bool expNegative = j < s.size() && s[j] == '-';
    if (j < s.size() && (s[j] == '-' || s[j] == '+')) ++j;
    if (j == s.size() || !IsDigit(s[j])) return std::nullopt;
    long exponent = 0;
    for (; j < s.size() && IsDigit(s[j]); ++j) exponent = std::min(exponent * 10 + (s[j] - '0'), 100000L);
    scale += expNegative ? -exponent : exponent;
    i = j;
  }
  if (i != s.size()) return std::nullopt;
  if (digits == 0) return negative ? -0.0 : 0.0;
  // Both the digits and the power of ten are exact doubles, so the one
  // multiplication or division rounds the exact value once, correctly.
  if (significant <= kExactDigits && !dropped && scale >= -kLargestExactTen && scale <= kLargestExactTen) {
    const double whole = static_cast<double>(digits);
    const double v = scale >= 0 ? whole * kExactTens[scale] : whole / kExactTens[-scale];
    return negative ? -v : v;
  }
  std::optional<double> v = ParseSlowly(s);
  if (v && !std::isfinite(*v)) return std::nullopt;
  return v;
}

std::string FormatDecimal(double v) {
  char buf[32];
#if defined(__cpp_lib_to_chars) && __cpp_lib_to_chars >= 201611L
  const auto [ptr, ec] = std::to_chars(buf, buf + sizeof buf, v);
  return ec == std::errc() ? std::string(buf, ptr) : std::string("?");
#else
  const int n = std::snprintf(buf, sizeof buf, "%.17g", v);
  return n > 0 && n < static_cast<int>(sizeof buf) ? std::string(buf, static_cast<std::size_t>(n)) : "?";
#endif
}

}  // namespace musicdec
