#include "window/MathPaneKeys.h"

#include "CoreUtilities/text/OurTextEngine.h"

#include <QList>

namespace {

int32_t ModifierSet(Qt::KeyboardModifiers m) {
  int32_t set = 0;
  if (m & Qt::MetaModifier) set |= kOurCommandKey;
  if (m & Qt::ShiftModifier) set |= kOurShiftKey;
  if (m & Qt::AltModifier) set |= kOurOptionKey;
  if (m & Qt::ControlModifier) set |= kOurControlKey;
  return set;
}

// The character a special key stands for; 0 for one that is no character.
uint32_t SpecialKeyCharacter(int key) {
  switch (key) {
    case Qt::Key_Left: return 28;
    case Qt::Key_Right: return 29;
    case Qt::Key_Up: return 30;
    case Qt::Key_Down: return 31;
    case Qt::Key_Backspace: return 8;
    case Qt::Key_Delete: return 0x7F;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return 9;
    case Qt::Key_Return:
    case Qt::Key_Enter: return 13;
    case Qt::Key_Escape: return 27;
    default: return 0;
  }
}

// The digit of a key of the digit row by its xkb key code, which X11 and
// Wayland report as the scan code whatever the layout; 0 for another key.
uint32_t DigitRowDigit(uint32_t scanCode) {
  constexpr uint32_t kKeyCodeOfOne = 10;  // 1 to 9, then 0
  if (scanCode < kKeyCodeOfOne || scanCode > kKeyCodeOfOne + 9) return 0;
  return scanCode == kKeyCodeOfOne + 9 ? '0' : '1' + (scanCode - kKeyCodeOfOne);
}

bool IsDigit(uint32_t c) { return c >= '0' && c <= '9'; }

}  // namespace

bool TranslateKeyPress(int key, Qt::KeyboardModifiers qtModifiers, const QString& text, MathPaneKeyStroke* stroke,
                       uint32_t nativeScanCode) {
  int32_t modifiers = ModifierSet(qtModifiers);
  if (key == Qt::Key_Backtab) modifiers |= kOurShiftKey;
  uint32_t keyCharacter = SpecialKeyCharacter(key);
  uint32_t unicode = keyCharacter;
  if (keyCharacter == 0) {
    if (key <= 0 || key > 0xFFFF) return false;  // modifiers, function keys
    keyCharacter = static_cast<uint32_t>(key);
    // Qt names a letter key by its capital; the map tells them apart.
    if (!(modifiers & kOurShiftKey)) keyCharacter = QChar::toLower(keyCharacter);
    const bool printable = !text.isEmpty() && text.at(0).unicode() >= 32 && text.at(0).unicode() != 0x7F;
    unicode = printable ? text.toUcs4().value(0) : keyCharacter;
    const uint32_t digit = DigitRowDigit(nativeScanCode);
    if ((modifiers & kOurShiftKey) && digit && !IsDigit(keyCharacter)) keyCharacter = digit;
  }
  stroke->unicode = unicode;
  stroke->keyCharacter = static_cast<uint8_t>(keyCharacter <= 0xFF ? keyCharacter : 0);
  stroke->modifiers = modifiers;
  return true;
}

std::vector<MathPaneKeyStroke> TranslateCommittedText(const QString& text) {
  std::vector<MathPaneKeyStroke> strokes;
  for (char32_t c : text.toUcs4()) strokes.push_back({c, static_cast<uint8_t>(c <= 0xFF ? c : 0), 0});
  return strokes;
}
