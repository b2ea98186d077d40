// Types a key script into a formula through the editor's key entry and
// prints the formula, the caret type, the caret node and the range after
// each key:
//   zl_edit 'y=x^2' 's i n Right ^ 2'
// Keys are separated by spaces: a character stands for itself; named keys
// are Left Right Up Down Tab Backspace Escape Space; modifiers go in front
// joined by '+' (cmd, shift, opt, ctrl), as in cmd+Right or opt+p; U+XXXX
// is any character.
#include "expression/ExpressionWriter.h"
#include "matheditor/KeyMap.h"
#include "matheditor/MathEditInterface.h"
#include "tools/FormulaImages.h"

#include <QGuiApplication>

#include <charconv>
#include <cstdio>
#include <map>
#include <memory>
#include <sstream>
#include <string>

namespace {

struct Key {
  uint32_t unicode = 0;
  int32_t modifiers = 0;
};

std::string Written(const ExpressionRecord* tree) {
  const std::unique_ptr<char[]> text(ExportTextFormatOfExpr(tree, false));
  return text ? text.get() : "(unwritable)";
}

// False when the word names no key.
bool ReadKey(std::string word, Key& key) {
  static const std::map<std::string, int32_t> kModifiers{
      {"cmd", kModCommand}, {"shift", kModShift}, {"opt", kModOption}, {"ctrl", kModControl}};
  static const std::map<std::string, uint32_t> kNamed{{"Left", kKeyLeft}, {"Right", kKeyRight}, {"Up", kKeyUp},
                                                      {"Down", kKeyDown}, {"Tab", '\t'},        {"Backspace", 8},
                                                      {"Escape", 27},     {"Space", ' '}};
  for (size_t plus; word.size() > 1 && (plus = word.find('+')) != std::string::npos && plus > 0;) {
    const auto modifier = kModifiers.find(word.substr(0, plus));
    if (modifier == kModifiers.end()) break;
    key.modifiers |= modifier->second;
    word = word.substr(plus + 1);
  }
  if (const auto named = kNamed.find(word); named != kNamed.end()) {
    key.unicode = named->second;
    return true;
  }
  if (word.size() > 2 && word.starts_with("U+")) {
    const auto [end, error] = std::from_chars(word.data() + 2, word.data() + word.size(), key.unicode, 16);
    return error == std::errc() && end == word.data() + word.size();
  }
  if (word.size() != 1) return false;
  key.unicode = static_cast<unsigned char>(word[0]);
  return true;
}

void PrintState(const std::string& label, const MERecord* record) {
  std::printf("%-10s %s | caret %d on %s | range %d..%d\n", label.c_str(), Written(record->root).c_str(),
              int(record->caretType), Written(record->selected).c_str(), record->rangeStart, record->rangeEnd);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: zl_edit FORMULA 'KEY KEY ...'\n");
    return 2;
  }
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication application(argc, argv);
  MERecord* record = TypesetFormulaText(argv[1], 24, kNoWrapWidth);
  if (!record) {
    std::fprintf(stderr, "zl_edit: cannot read the formula \"%s\"\n", argv[1]);
    return 1;
  }
  PrintState("(start)", record);
  std::istringstream script(argv[2]);
  for (std::string word; script >> word;) {
    Key key;
    if (!ReadKey(word, key)) {
      std::fprintf(stderr, "zl_edit: no key \"%s\"\n", word.c_str());
      MEDispose(record);
      return 2;
    }
    const uint8_t keyCharacter = key.unicode < 256 ? uint8_t(key.unicode) : 0;
    MEKey(key.unicode, keyCharacter, key.modifiers, record, nullptr);
    PrintState(word, record);
  }
  MEDispose(record);
  return 0;
}
