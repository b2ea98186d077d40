#pragma once

#include "CoreUtilities/text/UniChar.h"

#include <cstdint>

// Writes one Unicode scalar value as one or two units followed by a
// terminator (room for three); false, writing nothing, for a surrogate code
// or a value above 0x10FFFF.
inline bool EncodeUTF16(uint32_t character, UniChar* units) {
  if (character > 0x10FFFF || (character >= 0xD800 && character <= 0xDFFF)) return false;
  if (character <= 0xFFFF) {
    units[0] = static_cast<UniChar>(character);
    units[1] = 0;
    return true;
  }
  character -= 0x10000;
  units[0] = static_cast<UniChar>(0xD800 + (character >> 10));
  units[1] = static_cast<UniChar>(0xDC00 + (character & 0x3FF));
  units[2] = 0;
  return true;
}
