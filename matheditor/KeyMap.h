#pragma once

#include <cstdint>
#include <span>

// Keystrokes to editing command codes.

enum KeyModifier : uint8_t {
  kModCommand = 1,
  kModShift = 2,
  kModOption = 4,
  kModControl = 8,
  kModAny = 255,  // in a key-map row: whatever modifiers are held
};

// The arrow keys as key characters.
inline constexpr uint16_t kKeyLeft = 28;
inline constexpr uint16_t kKeyRight = 29;
inline constexpr uint16_t kKeyUp = 30;
inline constexpr uint16_t kKeyDown = 31;

struct KeyMapRow {
  uint8_t modifiers;
  uint16_t character;
  int16_t code;
};

// The key map in search order; the first matching row wins.
std::span<const KeyMapRow> KeyMap();

// The command code of one keystroke, or 0 when it has none. The character
// is the Unicode one typed; the key character that of the key itself
// (which a shift may have changed).
int32_t Xlate(uint32_t unicode, uint8_t keyCharacter, int32_t modifiers);
