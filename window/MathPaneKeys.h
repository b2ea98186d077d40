#pragma once

#include <QString>
#include <Qt>

#include <cstdint>
#include <vector>

// One keystroke as the formula editor takes it: the Unicode character, the
// key character and the modifier set (1 command, 2 shift, 4 option,
// 8 control).
struct MathPaneKeyStroke {
  uint32_t unicode = 0;
  uint8_t keyCharacter = 0;
  int32_t modifiers = 0;
};

// A Qt key press as a keystroke: command is Meta, option Alt, control
// Ctrl. The key character comes from the key code (under Ctrl the text
// holds a control character); arrows are 28 to 31, Backspace 8, Delete
// 0x7F, Backtab a shift-tab. With Shift, a key of the digit row (known by
// its native scan code) has its digit as key character, whatever character
// the layout puts on it, so the key map's shifted digits match. False for a
// key that stands for no character (a bare modifier, a function key).
bool TranslateKeyPress(int key, Qt::KeyboardModifiers qtModifiers, const QString& text, MathPaneKeyStroke* stroke,
                       uint32_t nativeScanCode = 0);

// Text an input method committed: one unmodified keystroke per character.
std::vector<MathPaneKeyStroke> TranslateCommittedText(const QString& text);
