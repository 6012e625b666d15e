#pragma once
// The x87 80-bit extended format in software: a 64-bit mantissa with an
// explicit integer bit and a 15-bit exponent, every result rounded to the
// nearest (ties to even) exactly as the x87 unit rounds with its default
// 64-bit precision. The random source's sequence is defined in this format;
// where the processor has no such type, the generator computes with this one
// and draws the same numbers, bit for bit.
#include <cstdint>
#include <iosfwd>
#include <string>
#include <type_traits>

class SoftExtended {
 public:
  constexpr SoftExtended() = default;
  // Exact conversions, as loading the value onto the x87 stack is.
  template <class Int, std::enable_if_t<std::is_integral_v<Int>, int> = 0>
  SoftExtended(Int v) {  // NOLINT(google-explicit-constructor)
    if constexpr (std::is_signed_v<Int>) {
      *this = FromInt(v < 0, v < 0 ? 0 - static_cast<uint64_t>(v) : static_cast<uint64_t>(v));
    } else {
      *this = FromInt(false, v);
    }
  }
  SoftExtended(double v);  // NOLINT(google-explicit-constructor)
  // The platform's own long double is another format: no silent conversion.
  SoftExtended(long double v) = delete;

  // The memory image: sign and exponent field (bit 15 the sign), mantissa.
  static constexpr SoftExtended FromBits(uint16_t signExp, uint64_t mantissa) {
    SoftExtended x;
    x.signExp_ = signExp;
    x.mantissa_ = mantissa;
    return x;
  }
  constexpr uint16_t SignExp() const { return signExp_; }
  constexpr uint64_t Mantissa() const { return mantissa_; }

  // Rounded to the nearest double (ties to even), as a store to memory is.
  explicit operator double() const;
  // Truncated toward zero; out of range or not a number gives INT32_MIN,
  // the x87 "integer indefinite".
  explicit operator int32_t() const;

  friend SoftExtended operator+(const SoftExtended& a, const SoftExtended& b);
  friend SoftExtended operator-(const SoftExtended& a, const SoftExtended& b);
  friend SoftExtended operator*(const SoftExtended& a, const SoftExtended& b);
  friend SoftExtended operator/(const SoftExtended& a, const SoftExtended& b);
  friend SoftExtended operator-(const SoftExtended& a) { return FromBits(a.signExp_ ^ 0x8000, a.mantissa_); }
  SoftExtended& operator+=(const SoftExtended& b) { return *this = *this + b; }
  SoftExtended& operator-=(const SoftExtended& b) { return *this = *this - b; }
  SoftExtended& operator*=(const SoftExtended& b) { return *this = *this * b; }
  SoftExtended& operator/=(const SoftExtended& b) { return *this = *this / b; }

  // Comparisons by value: -0 equals +0, and a NaN (or an encoding the x87
  // unit rejects) is unordered, so every comparison but != is false.
  friend bool operator==(const SoftExtended& a, const SoftExtended& b) { return Compare(a, b) == 0; }
  friend bool operator!=(const SoftExtended& a, const SoftExtended& b) { return Compare(a, b) != 0; }
  friend bool operator<(const SoftExtended& a, const SoftExtended& b) { return Compare(a, b) == -1; }
  friend bool operator>(const SoftExtended& a, const SoftExtended& b) { return Compare(a, b) == 1; }
  friend bool operator<=(const SoftExtended& a, const SoftExtended& b) {
    const int c = Compare(a, b);
    return c == -1 || c == 0;
  }
  friend bool operator>=(const SoftExtended& a, const SoftExtended& b) {
    const int c = Compare(a, b);
    return c == 1 || c == 0;
  }

  // -1, 0 or 1 by value; 2 when unordered.
  static int Compare(const SoftExtended& a, const SoftExtended& b);

 private:
  static SoftExtended FromInt(bool negative, uint64_t magnitude);

  uint64_t mantissa_ = 0;
  uint16_t signExp_ = 0;
};

// Square root, correctly rounded to 64 bits.
SoftExtended Sqrt(const SoftExtended& x);
// A NaN or an encoding the x87 unit rejects (what compares unordered).
bool IsNan(const SoftExtended& x);

// The text glibc's "%La" gives for the x87 value with these bits, as an
// iostream prints it with std::hexfloat: the leading hex digit holds the
// top four bits of the mantissa ("0xe.0b7a46ed677c8p+8").
std::string X87HexText(uint16_t signExp, uint64_t mantissa);

std::ostream& operator<<(std::ostream& out, const SoftExtended& x);
