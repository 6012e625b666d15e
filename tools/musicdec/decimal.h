// Decimal numbers of a packed track read into doubles, rounded correctly
// (to the nearest double, ties to even) on every build: the browser's C++
// library has no floating-point from_chars, and the decoded music must be
// the same bytes everywhere.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace musicdec {

// The whole of `s` as a finite decimal number: an optional minus, digits
// with an optional point ("12", "0.5", ".5", "5."), an optional exponent
// ("e-3", "E+2"); what from_chars' general format accepts, with the same
// value. Anything else, or a value beyond the doubles, gives nothing.
std::optional<double> ParseDecimal(std::string_view s);

// The shortest text that reads back as `v` where the C++ library can
// write it; else a 17-digit one. Only for messages.
std::string FormatDecimal(double v);

}  // namespace musicdec
