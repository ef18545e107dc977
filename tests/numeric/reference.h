// A literal transcription of the numeric routines' step-by-step algorithms, kept beside the tests as
// the oracle for the production routines. Built with the same strict floating-point options as
// runtime/numeric.cpp. It is slow on purpose (NumFrexp searches its exponent one step at a time) and
// defined only inside each routine's documented exact range.
#pragma once

#include <cstdint>

namespace reference {

int32_t ToInt(double x);
double Abs(double x);
double ToDouble(double x);
double Ldexp(double x, int32_t n);
double PowInt(double x, int32_t n);
double Frexp(double x, int32_t* e);
double Exp(double x);
double Log(double x);
double Pow(double x, double y);

}  // namespace reference
