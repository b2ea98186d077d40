#include "CoreUtilities/text/OurString.h"

#include "CoreUtilities/text/UnicodeConversion.h"

#include <algorithm>
#include <cstring>
#include <new>

size_t OurStringLength(const UniChar* s) {
  if (!s) return 0;
  size_t n = 0;
  while (s[n]) ++n;
  return n;
}

UniChar* OurStringCopy(UniChar* dst, const UniChar* src) {
  const size_t n = OurStringLength(src);
  std::copy_n(src, n, dst);
  dst[n] = 0;
  return dst;
}

UniChar* OurStringCreate(const UniChar* s, size_t n) {
  if (!s) n = 0;
  auto* copy = new (std::nothrow) UniChar[n + 1];
  if (!copy) return nullptr;
  std::copy_n(s, n, copy);
  copy[n] = 0;
  return copy;
}

void OurStringDispose(UniChar* s) { delete[] s; }

int OurStringCompare(const UniChar* a, const UniChar* b) {
  if (!a) return b ? 1 : 0;
  if (!b) return -1;
  for (;; ++a, ++b) {
    if (*a != *b) return int{*a} - int{*b};
    if (!*a) return 0;
  }
}

bool OurStringEqual(const UniChar* a, const UniChar* b) {
  if (!a || !b) return a == b;
  return OurStringCompare(a, b) == 0;
}

const UniChar* OurStringFindCharacter(const UniChar* s, UniChar c) {
  if (!s) return nullptr;
  for (;; ++s) {
    if (*s == c) return s;
    if (!*s) return nullptr;
  }
}

UniChar* OurStringFindCharacter(UniChar* s, UniChar c) {
  return const_cast<UniChar*>(OurStringFindCharacter(static_cast<const UniChar*>(s), c));
}

void OurCStringToString(const char* bytes, UniChar* dst, OurStringEncoding encoding) {
  dst[0] = 0;
  if (!bytes) return;
  const size_t length = std::strlen(bytes);
  switch (encoding) {
    case kEncodingOneByte:
      for (size_t i = 0; i <= length; ++i) dst[i] = static_cast<unsigned char>(bytes[i]);
      return;
    case kEncodingASCII:
      for (size_t i = 0; i <= length; ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b > 127) {
          dst[0] = 0;
          return;
        }
        dst[i] = b;
      }
      return;
    case kEncodingUTF8: {
      // A UTF-8 text never needs more units than it has bytes.
      const char* source = bytes;
      UniChar* target = dst;
      if (ConvertUTF8toUTF16(&source, bytes + length, &target, dst + length) != kConversionOK) target = dst;
      *target = 0;
      return;
    }
  }
}

void OurStringToCString(const UniChar* s, char* dst, size_t size, OurStringEncoding encoding) {
  if (size == 0) return;
  dst[0] = 0;
  const size_t length = OurStringLength(s);
  switch (encoding) {
    case kEncodingASCII:
    case kEncodingOneByte: {
      if (length >= size) return;
      const UniChar highest = encoding == kEncodingASCII ? 127 : 255;
      for (size_t i = 0; i < length; ++i) {
        if (s[i] > highest) {
          dst[0] = 0;
          return;
        }
        dst[i] = static_cast<char>(s[i]);
      }
      dst[length] = 0;
      return;
    }
    case kEncodingUTF8: {
      const UniChar* source = s;
      char* target = dst;
      if (ConvertUTF16toUTF8(&source, s + length, &target, dst + size - 1) != kConversionOK) target = dst;
      *target = 0;
      return;
    }
  }
}

size_t OurStringSizeForEncoding(const UniChar* s, OurStringEncoding encoding) {
  const size_t length = OurStringLength(s);
  switch (encoding) {
    case kEncodingASCII:
    case kEncodingOneByte: return length + 1;
    case kEncodingUTF8: {
      // A surrogate counts 2, so a pair counts the 4 bytes of its character.
      size_t bytes = 1;
      for (size_t i = 0; i < length; ++i) {
        const UniChar u = s[i];
        bytes += u < 0x80 ? 1 : u < 0x800 ? 2 : (u >= 0xD800 && u <= 0xDFFF) ? 2 : 3;
      }
      return bytes;
    }
  }
  return 0;
}

bool ValidSymbolInTableHeading(UniChar c, bool) {
  if (c >= u'0' && c <= u'9') return false;
  switch (c) {
    case u'!':
    case u'"':
    case u'\'':
    case u'(':
    case u')':
    case u'+':
    case u'-':
    case u'/':
    case u'<':
    case u'=':
    case u'>': return false;
    default: return true;
  }
}
