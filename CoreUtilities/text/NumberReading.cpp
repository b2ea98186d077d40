#include "CoreUtilities/MathConstants.h"
#include "CoreUtilities/text/NumberText.h"

#include <algorithm>
#include <charconv>
#include <cstring>

namespace {

bool IsCSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
bool IsDecimalDigit(char c) { return c >= '0' && c <= '9'; }
bool IsHexDigit(char c) { return IsDecimalDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

// The written exponent, saturated far beyond any double's range.
long long ReadExponent(const char* p, const char* last) {
  constexpr long long kSaturation = 1'000'000'000'000;
  bool negative = false;
  if (p < last && (*p == '+' || *p == '-')) negative = *p++ == '-';
  long long exponent = 0;
  for (; p < last && IsDecimalDigit(*p); ++p) exponent = std::min(exponent * 10 + (*p - '0'), kSaturation);
  return negative ? -exponent : exponent;
}

// from_chars reports a value beyond the double range without one; the
// reading wanted is infinity when it overflowed and zero when it underflowed,
// which the power of the leading digit tells apart.
double OutOfRangeMagnitude(const char* first, const char* last, bool hex) {
  long long integerDigits = 0, fractionZeros = 0, exponent = 0;
  bool afterPoint = false, seenNonzero = false;
  for (const char* p = first; p < last; ++p) {
    const char c = *p;
    if (c == '.') {
      afterPoint = true;
    } else if (hex ? IsHexDigit(c) : IsDecimalDigit(c)) {
      if (c != '0') seenNonzero = true;
      if (!afterPoint && seenNonzero) ++integerDigits;
      if (afterPoint && !seenNonzero) ++fractionZeros;
    } else {
      exponent = ReadExponent(p + 1, last);
      break;
    }
  }
  const long long digitPower = integerDigits > 0 ? integerDigits - 1 : -(fractionZeros + 1);
  return digitPower * (hex ? 4 : 1) + exponent > 0 ? gInf : 0.0;
}

}  // namespace

double StringToDouble(const char* bytes) {
  if (!bytes) return gNaN;
  const char* p = bytes;
  while (IsCSpace(*p)) ++p;
  const char* const end = p + std::strlen(p);
  bool negative = false;
  if (*p == '+' || *p == '-') negative = *p++ == '-';
  if (*p == '+' || *p == '-') return gNaN;

  const bool hex =
      p[0] == '0' && (p[1] == 'x' || p[1] == 'X') && (IsHexDigit(p[2]) || (p[2] == '.' && IsHexDigit(p[3])));
  if (hex) p += 2;
  double value = 0;
  const auto read = std::from_chars(p, end, value, hex ? std::chars_format::hex : std::chars_format::general);
  if (read.ec == std::errc::result_out_of_range)
    value = OutOfRangeMagnitude(p, read.ptr, hex);
  else if (read.ec != std::errc{})
    return gNaN;
  return negative ? -value : value;
}
