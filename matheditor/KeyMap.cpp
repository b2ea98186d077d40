#include "matheditor/KeyMap.h"

#include "CoreUtilities/text/NumberText.h"
#include "expression/SelectionQuestions.h"

#include <array>

namespace {

constexpr uint8_t kCmd = kModCommand;
constexpr uint8_t kShift = kModShift;
constexpr uint8_t kOpt = kModOption;
constexpr uint8_t kCtrl = kModControl;
constexpr uint8_t kNone = 0;

// Runs of one modifier set; an earlier row shadows a later one for the
// same key. A control key that a menu item takes (Ctrl+X, Ctrl+-) has a
// second key here that no menu takes.
constexpr std::array<KeyMapRow, 114> kMap{{
    {kCmd | kShift, kKeyLeft, 0x2105},
    {kCmd | kShift, kKeyRight, 0x2102},
    {kCmd, kKeyLeft, 0x2103},
    {kCmd, kKeyRight, 0x2100},
    {kCmd, kKeyUp, 0x2106},
    {kCmd, kKeyDown, 0x2107},
    {kCmd | kOpt, kKeyLeft, 0x2104},
    {kCmd | kOpt, kKeyRight, 0x2101},
    {kCmd | kOpt, kKeyUp, 0x2106},
    {kCmd | kOpt, kKeyDown, 0x2107},
    {kOpt, 'p', 0x1312},
    {kOpt, 't', 0x1314},
    {kOpt, 'f', 0x1306},
    {kOpt, 'd', 0x1332},
    {kOpt, '<', 0x1909},
    {kOpt, '>', 0x190A},
    {kOpt, '=', 0x190B},
    {kShift | kOpt, '=', 0x1014},
    {kShift | kOpt | kCtrl, '=', 0x1015},
    {kOpt, 'x', 0x1044},
    {kCtrl, 'e', 0x1040},
    {kCtrl, 'a', 0x18A0},
    {kCtrl, '=', 0x1010},
    {kOpt, '\t', 0x160F},
    {kCtrl, '-', 0x1900},
    {kOpt, '-', 0x1900},
    {kShift | kCtrl, kKeyLeft, 0x2104},
    {kShift | kCtrl, kKeyRight, 0x2101},
    {kShift | kCtrl, kKeyUp, 0x2106},
    {kShift | kCtrl, kKeyDown, 0x2107},
    {kCtrl, kKeyLeft, 0x2103},
    {kCtrl, kKeyRight, 0x2100},
    {kCtrl, kKeyUp, 0x2106},
    {kCtrl, kKeyDown, 0x2107},
    {kShift, kKeyLeft, 0x160D},
    {kShift, kKeyRight, 0x160C},
    {kShift, kKeyUp, 0x160A},
    {kShift, kKeyDown, 0x160B},
    {kNone, kKeyLeft, 0x1604},
    {kNone, kKeyRight, 0x1603},
    {kNone, kKeyUp, 0x1601},
    {kNone, kKeyDown, 0x1602},
    {kCtrl, '[', 0x1042},
    {kCtrl, ';', 0x1328},
    {kCtrl, 'g', 0x1332},
    {kCtrl, 'f', 0x104F},
    {kCtrl, '.', 0x1043},
    {kCtrl, 'j', 0x104E},
    {kShift | kCtrl, '4', 0x18C3},
    {kCtrl, '4', 0x1908},
    {kCtrl, '6', 0x104D},
    {kCtrl, 'x', 0x1044},
    {kCtrl, 'r', 0x1031},
    {kCtrl, '<', 0x1909},
    {kCtrl, '>', 0x190A},
    {kShift | kCtrl, '<', 0x1909},
    {kShift | kCtrl, '>', 0x190A},
    {kShift | kCtrl, 'E', 0x1010},
    {kShift | kCtrl, 'N', 0x190B},
    {kShift | kCtrl, 'K', 0x1041},
    {kCtrl, '\t', 0x18A1},
    {kShift | kCtrl, 'A', 0x18A0},
    {kShift | kCtrl, 'R', 0x1031},
    {kShift | kCtrl, 'S', 0x18BB},
    {kShift | kCtrl, 'P', 0x18C5},
    {kShift | kCtrl, 'X', 0x1044},
    {kShift | kCtrl, 'G', 0x1013},
    {kShift | kCtrl, 'I', 0x18C0},
    {kShift | kCtrl, 'F', 0x104F},
    {kModAny, 0x2212, 0x1016},
    {kModAny, 0x00B1, 0x1014},
    {kModAny, 0x2213, 0x1015},
    {kModAny, 0x00D7, 0x1006},
    {kModAny, 0x2215, 0x103E},
    {kModAny, 0x2044, 0x103E},
    {kModAny, 0x2264, 0x1909},
    {kModAny, 0x2265, 0x190A},
    {kModAny, 0x2260, 0x190B},
    {kModAny, 0x2208, 0x1010},
    {kModAny, 0x221A, 0x1031},
    {kModAny, 0x221B, 0x18AF},
    {kModAny, 0x220F, 0x18C5},
    {kModAny, 0x2211, 0x18BB},
    {kModAny, 0x222B, 0x18BF},
    {kModAny, 0x2013, 0x1900},
    {kModAny, 0x03C0, 0x1312},
    {kModAny, 0x03B8, 0x1314},
    {kModAny, 0x03A6, 0x1306},
    {kModAny, 0x00B0, 0x1332},
    {kModAny, 0x2026, 0x1328},
    {kModAny, 0x007F, 0x1611},
    {kModAny, 0x00F7, 0x103E},
    {kModAny, '{', 0x105D},
    {kModAny, '@', 0x18AA},
    {kModAny, '#', 0x18AB},
    {kModAny, '<', 0x1905},
    {kModAny, '>', 0x1906},
    {kModAny, ';', 0x1907},
    {kModAny, '+', 0x1008},
    {kModAny, '*', 0x1006},
    {kModAny, '^', 0x103F},
    {kModAny, '!', 0x1012},
    {kModAny, '|', 0x103C},
    {kModAny, '(', 0x103B},
    {kModAny, ')', 0x1610},
    {kModAny, '[', 0x103B},
    {kModAny, '/', 0x103E},
    {kModAny, '=', 0x1901},
    {kModAny, '-', 0x1016},
    {kModAny, '"', 0x1003},
    {kModAny, '_', 0x103D},
    {kNone, '\'', 0x104C},
    {kShift, '\t', 0x160E},
    {kNone, '\t', 0x1600},
}};

constexpr uint32_t kBackspace = 8;
constexpr uint32_t kEscape = 27;

bool TypesItself(uint32_t c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' ||
         c == uint32_t(gDefaultDecimalTabChar) || c == '\\';
}

bool TypesIntoString(uint32_t c) {
  return c <= 127 && c != '\t' && c != ' ' && c != '"' && !(c >= kKeyLeft && c <= kKeyDown);
}

bool Matches(const KeyMapRow& row, uint32_t unicode, uint8_t keyCharacter, int32_t modifiers) {
  if (unicode == row.character && (modifiers == row.modifiers || row.modifiers == kModAny)) return true;
  return keyCharacter == row.character &&
         (modifiers == row.modifiers || (modifiers & ~int32_t{kModShift}) == row.modifiers);
}

}  // namespace

std::span<const KeyMapRow> KeyMap() { return kMap; }

int32_t Xlate(uint32_t unicode, uint8_t keyCharacter, int32_t modifiers) {
  if (unicode == kBackspace) return (modifiers & kModShift) ? 0x1611 : 0x1609;
  if (unicode == kEscape && modifiers == 0) return 0x2203;
  if ((modifiers == 0 || modifiers == kModShift) && TypesItself(unicode)) return int32_t(unicode);
  if (IsTypingInString() && TypesIntoString(unicode)) return int32_t(unicode);
  for (const KeyMapRow& row : kMap)
    if (Matches(row, unicode, keyCharacter, modifiers)) return row.code;
  if (unicode == ',') return gDefaultDecimalTabChar == ',' ? 0 : 0x1907;
  return unicode > 128 ? 0x190C : 0;
}
