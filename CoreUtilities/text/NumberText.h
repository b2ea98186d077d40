#pragma once

#include "CoreUtilities/Complex.h"
#include "CoreUtilities/text/UniChar.h"

#include <cstdint>

// Number text is written and read the same way whatever the C locale says;
// only GetDecimalCharacter asks the locale.

extern int32_t gSignificantFigures;     // digits of the display conversions; 8
extern int32_t gDefaultDecimalTabChar;  // decimal character shown and read (a UTF-16 unit); '.'

// Buffers receiving number text hold at least 64 units.
inline constexpr int kNumberTextCapacity = 64;

// x as "%.*g" with that many significant digits, cut to 63 characters.
UniChar* OurDoubleToString(UniChar* dst, double x, int32_t digits);
// The number at the start of the text, after white space, as "%lg" reads
// it (hexadecimal included); NaN when there is none.
double StringToDouble(const char* bytes);
double OurStringToDouble(const UniChar* s);  // NaN for null or empty

// The locale's decimal separator when it is one UTF-16 unit, else '.'.
UniChar GetDecimalCharacter();

// Display text: "Infinity", "-Infinity", "NaN", or gSignificantFigures
// digits with gDefaultDecimalTabChar as the decimal character.
void D2Str(double x, UniChar* dst);
// As D2Str, with the decimal exponent cut off and stored (0 when none).
void D2StrE(double x, UniChar* dst, int32_t* exponent);
// prefix (may be null) followed by x; NaN and the infinities as words.
void PrefixDoubleToString(UniChar* dst, const UniChar* prefix, double x);
// The same with the digits given, for threads that must not read
// gSignificantFigures (the interface thread rewrites it per formula).
void PrefixDoubleToString(UniChar* dst, const UniChar* prefix, double x, int32_t digits);
// prefix, the real part, the sign, the imaginary part and i ("1.5 - 2 i");
// dst holds at least 2 * kNumberTextCapacity units besides the prefix.
void PrefixComplexToString(UniChar* dst, const UniChar* prefix, Complex z, int32_t digits);
// Reads number text typed by the user: leading separators skipped, the
// decimal character taken as the point; NaN for null, empty or no number.
double Str2D(const UniChar* s);
