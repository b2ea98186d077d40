#include "CoreUtilities/text/NumberText.h"

#include "CoreUtilities/MathConstants.h"
#include "CoreUtilities/text/MessageTable.h"
#include "CoreUtilities/text/OurString.h"
#include "CoreUtilities/text/UnicodeConversion.h"
#include "platform/CheckedConvert.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <langinfo.h>
#include <string>

int32_t gSignificantFigures = 8;
int32_t gDefaultDecimalTabChar = u'.';

namespace {

constexpr int kMessageInfinity = 33;
constexpr int kMessageNotANumber = 34;

// Beyond the 767 significant digits a double can have, more precision
// changes nothing in "%g" output.
constexpr int kMostUsefulDigits = 800;

UniChar DecimalCharacterSetting() { return static_cast<UniChar>(gDefaultDecimalTabChar); }

void ReplaceFirst(UniChar* s, UniChar from, UniChar to) {
  if (UniChar* found = OurStringFindCharacter(s, from)) *found = to;
}

// Letters of number text are ASCII, so units above 127 mean no number.
std::string NarrowToASCII(const UniChar* s) {
  std::string bytes;
  for (; *s; ++s) {
    if (*s > 127) return {};
    bytes += static_cast<char>(*s);
  }
  return bytes;
}

// Unicode general categories Zs, Zl and Zp; none lies outside the BMP.
bool IsUnicodeSeparator(UniChar c) {
  return c == 0x20 || c == 0xA0 || c == 0x1680 || (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 ||
         c == 0x202F || c == 0x205F || c == 0x3000;
}

}  // namespace

UniChar* OurDoubleToString(UniChar* dst, double x, int32_t digits) {
  char text[kMostUsefulDigits + 32];
  const auto written =
      std::to_chars(text, text + sizeof text, x, std::chars_format::general, std::min(digits, kMostUsefulDigits));
  const auto length = std::min<std::ptrdiff_t>(written.ptr - text, kNumberTextCapacity - 1);
  std::copy(text, text + length, dst);
  dst[length] = 0;
  return dst;
}

double OurStringToDouble(const UniChar* s) {
  if (!s || !*s) return gNaN;
  return StringToDouble(NarrowToASCII(s).c_str());
}

UniChar GetDecimalCharacter() {
  // Unlike localeconv, nl_langinfo fills no shared buffer, so display code
  // on any thread may ask.
  const char* point = nl_langinfo(RADIXCHAR);
  UniChar units[4];
  const char* source = point;
  UniChar* target = units;
  const size_t length = std::strlen(point);
  if (ConvertUTF8toUTF16(&source, point + length, &target, units + 4) != kConversionOK || target - units != 1)
    return u'.';
  return units[0];
}

void D2Str(double x, UniChar* dst) {
  if (std::isinf(x)) {
    OurStringCopy(dst, x > 0 ? u"Infinity" : u"-Infinity");
    return;
  }
  if (std::isnan(x)) {
    OurStringCopy(dst, u"NaN");
    return;
  }
  OurDoubleToString(dst, x, gSignificantFigures);
  ReplaceFirst(dst, u'.', DecimalCharacterSetting());
}

void D2StrE(double x, UniChar* dst, int32_t* exponent) {
  D2Str(x, dst);
  *exponent = 0;
  if (UniChar* e = OurStringFindCharacter(dst, u'e')) {
    *exponent = DoubleToInt32(OurStringToDouble(e + 1));
    *e = 0;
  }
}

void PrefixDoubleToString(UniChar* dst, const UniChar* prefix, double x) {
  PrefixDoubleToString(dst, prefix, x, gSignificantFigures);
}

void PrefixDoubleToString(UniChar* dst, const UniChar* prefix, double x, int32_t digits) {
  OurStringCopy(dst, prefix);
  UniChar* tail = dst + OurStringLength(dst);
  if (std::isnan(x)) {
    OurStringCopy(tail, OurGetLocalizedString(kMessageNotANumber));
  } else if (std::isinf(x)) {
    if (x < 0) {
      *tail++ = u'-';
      *tail++ = u' ';
    }
    OurStringCopy(tail, OurGetLocalizedString(kMessageInfinity));
  } else {
    OurDoubleToString(tail, x, digits);
    const UniChar decimal = GetDecimalCharacter();
    if (decimal != u'.') ReplaceFirst(tail, u'.', decimal);
  }
}

void PrefixComplexToString(UniChar* dst, const UniChar* prefix, Complex z, int32_t digits) {
  PrefixDoubleToString(dst, prefix, z.re, digits);
  UniChar* tail = dst + OurStringLength(dst);
  const bool negative = std::signbit(z.im) && !std::isnan(z.im);
  OurStringCopy(tail, negative ? u" - " : u" + ");
  PrefixDoubleToString(tail + 3, nullptr, negative ? -z.im : z.im, digits);
  tail += OurStringLength(tail);
  OurStringCopy(tail, u" i");
}

double Str2D(const UniChar* s) {
  if (!s || !*s) return gNaN;
  while (IsUnicodeSeparator(*s)) ++s;
  // "%lg" itself reads "Infinity", "-Infinity" and "NaN".
  std::u16string rest(s);
  const size_t decimal = rest.find(DecimalCharacterSetting());
  if (decimal != std::u16string::npos) rest[decimal] = u'.';
  return OurStringToDouble(rest.c_str());
}
