// Maths functions that give the same bits on every processor and compiler.
//
// The C library's sin, exp, pow, ... may differ in the last bit between
// processors (and between builds of the library for one processor), and a
// stored value (a pixel of generated art, a decoded sample, a table the game
// reads) must not. These are built from + - * / and sqrt only, each
// correctly rounded by IEEE 754, with exact range reduction, so they answer
// alike wherever the file is compiled without fused multiply-adds (the
// build turns contraction off; fast-math must never be used here).
//
// Accuracy: the double forms are within about one unit in the last place
// (Pow: a few units where |y · log x| nears the overflow limit); the float
// forms work in double and round once, so they are almost always the
// correctly rounded float. Special values (NaN, infinities, signed zeros)
// follow the C library's rules.
#pragma once

namespace rmath {

double Sin(double x);
double Cos(double x);
double Tan(double x);
double Atan(double x);
double Atan2(double y, double x);
double Acos(double x);
double Exp(double x);
double Exp2(double x);
double Expm1(double x);
double Log(double x);
double Log10(double x);
double Pow(double x, double y);
double Tanh(double x);
double Hypot(double x, double y);

inline float Sin(float x) { return static_cast<float>(Sin(static_cast<double>(x))); }
inline float Cos(float x) { return static_cast<float>(Cos(static_cast<double>(x))); }
inline float Tan(float x) { return static_cast<float>(Tan(static_cast<double>(x))); }
inline float Atan(float x) { return static_cast<float>(Atan(static_cast<double>(x))); }
inline float Atan2(float y, float x) {
  return static_cast<float>(Atan2(static_cast<double>(y), static_cast<double>(x)));
}
inline float Acos(float x) { return static_cast<float>(Acos(static_cast<double>(x))); }
inline float Exp(float x) { return static_cast<float>(Exp(static_cast<double>(x))); }
inline float Exp2(float x) { return static_cast<float>(Exp2(static_cast<double>(x))); }
inline float Expm1(float x) { return static_cast<float>(Expm1(static_cast<double>(x))); }
inline float Log(float x) { return static_cast<float>(Log(static_cast<double>(x))); }
inline float Log10(float x) { return static_cast<float>(Log10(static_cast<double>(x))); }
inline float Pow(float x, float y) {
  return static_cast<float>(Pow(static_cast<double>(x), static_cast<double>(y)));
}
inline float Tanh(float x) { return static_cast<float>(Tanh(static_cast<double>(x))); }
inline float Hypot(float x, float y) {
  return static_cast<float>(Hypot(static_cast<double>(x), static_cast<double>(y)));
}

}  // namespace rmath
