#include "CoreUtilities/text/UnicodeConversion.h"

#include <cstddef>

namespace {

constexpr char32_t kFirstHighSurrogate = 0xD800;
constexpr char32_t kFirstLowSurrogate = 0xDC00;
constexpr char32_t kLastLowSurrogate = 0xDFFF;

bool IsHighSurrogate(char32_t u) { return u >= kFirstHighSurrogate && u < kFirstLowSurrogate; }
bool IsLowSurrogate(char32_t u) { return u >= kFirstLowSurrogate && u <= kLastLowSurrogate; }

// What may follow a lead byte. Narrowing the range of the second byte is
// what shuts out overlong forms, surrogates and values above U+10FFFF.
struct Utf8Lead {
  int length;  // 0: the byte cannot begin a character
  unsigned char secondMin, secondMax;
};

Utf8Lead DescribeLead(unsigned char b) {
  if (b < 0x80) return {1, 0, 0};
  if (b < 0xC2) return {0, 0, 0};
  if (b < 0xE0) return {2, 0x80, 0xBF};
  if (b == 0xE0) return {3, 0xA0, 0xBF};
  if (b == 0xED) return {3, 0x80, 0x9F};
  if (b < 0xF0) return {3, 0x80, 0xBF};
  if (b == 0xF0) return {4, 0x90, 0xBF};
  if (b < 0xF4) return {4, 0x80, 0xBF};
  if (b == 0xF4) return {4, 0x80, 0x8F};
  return {0, 0, 0};
}

bool IsAllowedTrailByte(const Utf8Lead& lead, std::ptrdiff_t index, unsigned char b) {
  if (index == 1) return b >= lead.secondMin && b <= lead.secondMax;
  return (b & 0xC0) == 0x80;
}

int Utf8LengthOf(char32_t c) { return c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? 3 : 4; }

}  // namespace

UnicodeConversionResult ConvertUTF8toUTF16(const char** sourceStart, const char* sourceEnd, UniChar** targetStart,
                                           UniChar* targetEnd) {
  auto* source = reinterpret_cast<const unsigned char*>(*sourceStart);
  const auto* end = reinterpret_cast<const unsigned char*>(sourceEnd);
  UniChar* target = *targetStart;
  UnicodeConversionResult result = kConversionOK;
  while (source < end) {
    const Utf8Lead lead = DescribeLead(*source);
    if (lead.length == 0) {
      result = kConversionSourceIllegal;
      break;
    }
    // Bytes that are present are checked before running out is reported, so
    // that a truncated but already malformed sequence reads as illegal.
    const std::ptrdiff_t available = end - source;
    std::ptrdiff_t checked = 1;
    while (checked < lead.length && checked < available && IsAllowedTrailByte(lead, checked, source[checked]))
      ++checked;
    if (checked < lead.length) {
      result = checked < available ? kConversionSourceIllegal : kConversionSourceExhausted;
      break;
    }
    char32_t c = lead.length == 1 ? source[0] : source[0] & (0x7F >> lead.length);
    for (int i = 1; i < lead.length; ++i) c = (c << 6) | (source[i] & 0x3F);
    const std::ptrdiff_t units = c >= 0x10000 ? 2 : 1;
    if (targetEnd - target < units) {
      result = kConversionTargetExhausted;
      break;
    }
    if (units == 2) {
      c -= 0x10000;
      *target++ = static_cast<UniChar>(kFirstHighSurrogate + (c >> 10));
      *target++ = static_cast<UniChar>(kFirstLowSurrogate + (c & 0x3FF));
    } else {
      *target++ = static_cast<UniChar>(c);
    }
    source += lead.length;
  }
  *sourceStart = reinterpret_cast<const char*>(source);
  *targetStart = target;
  return result;
}

UnicodeConversionResult ConvertUTF16toUTF8(const UniChar** sourceStart, const UniChar* sourceEnd, char** targetStart,
                                           char* targetEnd) {
  const UniChar* source = *sourceStart;
  auto* target = reinterpret_cast<unsigned char*>(*targetStart);
  auto* end = reinterpret_cast<unsigned char*>(targetEnd);
  UnicodeConversionResult result = kConversionOK;
  while (source < sourceEnd) {
    char32_t c = source[0];
    int used = 1;
    if (IsHighSurrogate(c)) {
      if (sourceEnd - source < 2) {
        result = kConversionSourceExhausted;
        break;
      }
      if (!IsLowSurrogate(source[1])) {
        result = kConversionSourceIllegal;
        break;
      }
      c = 0x10000 + ((c - kFirstHighSurrogate) << 10) + (source[1] - kFirstLowSurrogate);
      used = 2;
    } else if (IsLowSurrogate(c)) {
      result = kConversionSourceIllegal;
      break;
    }
    const int length = Utf8LengthOf(c);
    if (end - target < length) {
      result = kConversionTargetExhausted;
      break;
    }
    if (length == 1) {
      *target++ = static_cast<unsigned char>(c);
    } else {
      static constexpr unsigned char kLeadMarks[] = {0, 0, 0xC0, 0xE0, 0xF0};
      for (int i = length - 1; i > 0; --i) {
        target[i] = static_cast<unsigned char>(0x80 | (c & 0x3F));
        c >>= 6;
      }
      target[0] = static_cast<unsigned char>(kLeadMarks[length] | c);
      target += length;
    }
    source += used;
  }
  *sourceStart = source;
  *targetStart = reinterpret_cast<char*>(target);
  return result;
}
