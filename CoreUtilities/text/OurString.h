#pragma once

#include "CoreUtilities/text/UniChar.h"

#include <cstddef>
#include <cstdint>

// Zero-terminated UTF-16 strings. Strings made here come from array new and
// go back through OurStringDispose.

enum OurStringEncoding : int32_t {
  kEncodingASCII = 0,    // 7-bit
  kEncodingOneByte = 1,  // the byte value is the character code
  kEncodingUTF8 = 2,
};

size_t OurStringLength(const UniChar* s);  // 0 for null
UniChar* OurStringCopy(UniChar* dst, const UniChar* src);
// The first n units of s, terminated; null when memory runs out.
UniChar* OurStringCreate(const UniChar* s, size_t n);
void OurStringDispose(UniChar* s);

// 0 when equal, else the difference of the first differing units (a's
// minus b's); null sorts after every string and equals null.
int OurStringCompare(const UniChar* a, const UniChar* b);
bool OurStringEqual(const UniChar* a, const UniChar* b);

// The first unit equal to c (0 finds the terminator), or null.
UniChar* OurStringFindCharacter(UniChar* s, UniChar c);
const UniChar* OurStringFindCharacter(const UniChar* s, UniChar c);

// dst holds one unit per byte plus the terminator. Bytes that cannot be
// read in the encoding give the empty string.
void OurCStringToString(const char* bytes, UniChar* dst, OurStringEncoding encoding);
// Writes at most size bytes, terminator included; text that cannot be
// represented or does not fit gives the empty string.
void OurStringToCString(const UniChar* s, char* dst, size_t size, OurStringEncoding encoding);
// Bytes OurStringToCString needs, terminator included; 0 for an unknown encoding.
size_t OurStringSizeForEncoding(const UniChar* s, OurStringEncoding encoding);

// Whether c may appear in a table column heading; the flag is unused.
bool ValidSymbolInTableHeading(UniChar c, bool flag);
