#pragma once

#include "CoreUtilities/text/UniChar.h"

// Strict conversion between UTF-8 and UTF-16: surrogates encoded in UTF-8,
// overlong forms, code points above U+10FFFF and unpaired surrogates are
// all refused, never replaced.

enum UnicodeConversionResult : int {
  kConversionOK = 0,
  kConversionSourceExhausted,  // the source ends inside a character
  kConversionTargetExhausted,  // no room for the next character
  kConversionSourceIllegal,    // a malformed or forbidden sequence
};

// Both advance *sourceStart and *targetStart past what was converted; on a
// failure they stop at the start of the character that could not be.
UnicodeConversionResult ConvertUTF8toUTF16(const char** sourceStart, const char* sourceEnd, UniChar** targetStart,
                                           UniChar* targetEnd);
UnicodeConversionResult ConvertUTF16toUTF8(const UniChar** sourceStart, const UniChar* sourceEnd, char** targetStart,
                                           char* targetEnd);
