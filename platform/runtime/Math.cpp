#include "platform/runtime/Math.h"

#include <cmath>

#include "platform/runtime/Exceptions.h"

namespace {

// 2^63: the first double outside Int64.
constexpr double kInt64Limit = 9223372036854775808.0;

Int64 CheckedToInt64(double whole) {
  if (!(whole >= -kInt64Limit && whole < kInt64Limit)) throw EInvalidOp("Invalid floating point operation");
  return static_cast<Int64>(whole);
}

}  // namespace

Int64 Round(double value) {
  // The whole part first, then the fraction decides; exact for every double (no x + 0.5 error).
  const double whole = std::trunc(value);
  const double frac = value - whole;
  double r = whole;
  if (std::fabs(frac) > 0.5) {
    r += value < 0 ? -1.0 : 1.0;
  } else if (std::fabs(frac) == 0.5 && std::fmod(whole, 2.0) != 0.0) {
    r += value < 0 ? -1.0 : 1.0;
  }
  return CheckedToInt64(r);
}

Int64 Trunc(double value) { return CheckedToInt64(std::trunc(value)); }

double Int(double value) { return std::trunc(value); }

double Frac(double value) { return value - std::trunc(value); }

Integer MulDiv(Integer number, Integer numerator, Integer denominator) {
  if (denominator == 0) return -1;
  Int64 product = Int64(number) * numerator;
  const bool negative = (product < 0) != (denominator < 0);
  // Work on magnitudes so that halves round away from zero for every sign combination;
  // |product| <= 2^62, so negation cannot overflow.
  const UInt64 p = static_cast<UInt64>(product < 0 ? -product : product);
  const UInt64 d = static_cast<UInt64>(denominator < 0 ? -Int64(denominator) : Int64(denominator));
  const UInt64 q = (p + d / 2) / d;
  const Int64 result = negative ? -static_cast<Int64>(q) : static_cast<Int64>(q);
  if (result > 0x7FFFFFFF || result < -Int64(0x7FFFFFFF) - 1) return -1;
  return static_cast<Integer>(result);
}
