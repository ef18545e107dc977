// The runtime's own double-precision mathematics: power, exponential and logarithm, and the small
// routines they are built from. Every step is one IEEE double operation rounded to nearest, in a fixed
// order, so results are reproducible to the last bit on every build (runtime/CMakeLists.txt keeps the
// compiler from fusing or reordering them). No platform maths library, no tables, no state: every
// routine may run on any number of threads at once.
//
// Each routine has a range inside which its result is fixed bit for bit (listed below as "exact for").
// Outside it the routines still return a value and never trap or hang; those results are listed as
// "otherwise" and are what a script can rely on as well.
#pragma once

#include <cstdint>

// The greatest integer not above x.
// Exact for -2147483648 <= x < 2147483648.
// Otherwise: NaN gives 0; x below -2147483648 gives -2147483648; x from 2147483648 up gives 2147483647.
int32_t NumToInt(double x);

// Absolute value; only values below zero are negated, so -0.0 and a negative NaN come back unchanged.
double NumAbs(double x);

// x itself, unchanged.
double NumToDouble(double x);

// x * 2^n by repeated squaring of 2 (or 0.5), one rounded product per set bit of abs(n), lowest first.
// A factor outside the double range makes the result infinite (from n >= 1024) or zero (from
// n <= -2048) even where the exact product would be finite.
// ±0.0 and ±infinity come back unchanged for every n (the plain product would be 0 * infinity = NaN for
// a zero with n >= 1024 and an infinity with n <= -2048).
// n = -2147483648 scales by 2^-2147483648: ±0.0 (sign kept) for every finite x.
double NumLdexp(double x, int32_t n);

// Splits x into a mantissa m with 0.5 <= abs(m) < 1, returned, and an exponent stored in *exponent, so
// that x = m * 2^exponent exactly. The mantissa keeps the sign of x.
// Exact for x zero, NaN, or 2^-1024 <= abs(x) < 2^1023 (exponents -1023 ... 1023).
// ±0.0 gives ±0.0 and NaN gives 0.0, both with exponent 0.
// Otherwise: smaller subnormals and values from 2^1023 up give their true mantissa and exponent
// (-1073 ... -1024, or 1024); ±infinity gives ±infinity with exponent 0.
double NumFrexp(double x, int32_t* exponent);

// x to the power n by squaring, for every x and n; n = 0 gives 1.0 whatever x is, and a negative n
// gives 1.0 / x^abs(n) (so a zero base gives an infinity).
double NumPowInt(double x, int32_t n);

// e to the power x: a reduction by ln 2 and a continued fraction, then NumLdexp.
// Exact for abs(x) < 1488522235.5. Inside that range the result is +infinity from x = 709.436139303104
// on and 0.0 from x = -745.1332191019412 down; NaN gives NaN.
// Otherwise: x >= 1488522235.5 and +infinity give +infinity; x <= -1488522235.5 and -infinity give 0.0.
double NumExp(double x);

// Natural logarithm: a split by a power of two and a continued fraction.
// Values not greater than zero, and NaN, give 0.0 (there is no real logarithm).
// Exact for 7.866824069956793e-309 <= x < 1.2711610061536464e308 (x / sqrt 2 within NumFrexp's exact
// range).
// Otherwise: positive values beyond that range go through the same steps with their true exponent,
// so their logarithm is as accurate as inside it; +infinity gives +infinity.
double NumLog(double x);

// x to the power y. A whole y within ±2147483647 goes through NumPowInt for every base (negative bases
// and zero included); any other y gives NumExp(y * NumLog(x)) for x > 0, and 0.0 for a base that is
// zero, negative or NaN (no real power, or the true power 0 of a zero base).
// Exact wherever NumLog's and NumExp's exact ranges hold for x and y * NumLog(x).
// Otherwise the results follow from those two routines: an infinite base or exponent gives an infinity
// or 0.0 as the exponential goes; a NaN exponent with a positive base gives NaN; 1.0 to an infinite
// power is NaN (infinity times log 1 = 0).
double NumPow(double x, double y);
