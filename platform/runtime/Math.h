// Numeric routines of the run-time library.
#pragma once

#include "platform/runtime/Types.h"

// Banker's rounding: a half goes to the even neighbour (Round(2.5) = 2, Round(3.5) = 4).
// Raises EInvalidOp for a value outside the 64-bit range or not a number.
Int64 Round(double value);
// Toward zero; raises EInvalidOp like Round.
Int64 Trunc(double value);
// The whole part and the fraction, both with the sign of the value.
double Int(double value);
double Frac(double value);

// number * numerator / denominator with a 64-bit intermediate, halves rounded away from zero.
// -1 when the denominator is 0 or the result does not fit 32 bits (callers rely on the -1).
Integer MulDiv(Integer number, Integer numerator, Integer denominator);

// The larger and smaller of two values of one type.
template <typename T>
constexpr T Max(T a, T b) { return a < b ? b : a; }
template <typename T>
constexpr T Min(T a, T b) { return b < a ? b : a; }
