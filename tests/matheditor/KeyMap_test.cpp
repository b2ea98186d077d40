#include "MathLayoutFixture.h"

#include "CoreUtilities/text/NumberText.h"
#include "matheditor/CommandDispatch.h"
#include "matheditor/KeyMap.h"
#include "matheditor/MathEditInterface.h"

#include <fstream>
#include <map>
#include <sstream>
#include <string>

namespace {

uint8_t ParseModifiers(const std::string& text) {
  static const std::map<std::string, uint8_t> kBits{
      {"command", kModCommand}, {"shift", kModShift}, {"option", kModOption}, {"control", kModControl}};
  if (text == "any") return kModAny;
  if (text == "none") return 0;
  uint8_t bits = 0;
  std::stringstream parts(text);
  for (std::string part; std::getline(parts, part, '+');) bits |= kBits.at(part);
  return bits;
}

uint16_t ParseKey(const std::string& text) {
  static const std::map<std::string, uint16_t> kNamed{{"left", 28}, {"right", 29}, {"up", 30},
                                                      {"down", 31}, {"tab", 9},    {"apostrophe", '\''}};
  if (kNamed.contains(text)) return kNamed.at(text);
  if (text.starts_with("U+")) return uint16_t(std::stoul(text.substr(2), nullptr, 16));
  return uint16_t(static_cast<unsigned char>(text.at(0)));
}

TEST(KeyMap, RowByRowAsDocumented) {
  std::ifstream file(ZL_TEST_DATA_DIR "/key_map.csv");
  ASSERT_TRUE(file);
  size_t row = 0;
  const auto map = KeyMap();
  for (std::string line; std::getline(file, line);) {
    if (line.empty() || line[0] == '#') continue;
    std::stringstream fields(line);
    std::string modifiers, key, code;
    std::getline(fields, modifiers, ',');
    std::getline(fields, key, ',');
    std::getline(fields, code, ',');
    ASSERT_LT(row, map.size()) << line;
    EXPECT_EQ(map[row].modifiers, ParseModifiers(modifiers)) << line;
    EXPECT_EQ(map[row].character, ParseKey(key)) << line;
    EXPECT_EQ(map[row].code, int16_t(std::stoi(code, nullptr, 16))) << line;
    ++row;
  }
  EXPECT_EQ(row, map.size());
}

struct SavedDecimal {
  ~SavedDecimal() { gDefaultDecimalTabChar = saved; }
  int32_t saved = gDefaultDecimalTabChar;
};

TEST(Xlate, RulesInOrder) {
  EXPECT_EQ(Xlate(8, 8, kModShift | kModCommand | kModOption), 0x1611);
  EXPECT_EQ(Xlate(8, 8, kModCommand | kModControl), 0x1609);
  EXPECT_EQ(Xlate(27, 27, 0), 0x2203);
  EXPECT_EQ(Xlate(27, 27, kModShift), 0);
  EXPECT_EQ(Xlate('Q', 'q', kModShift), 'Q');
  EXPECT_EQ(Xlate('p', 'p', kModOption), 0x1312);  // a letter with option is looked up
  EXPECT_EQ(Xlate('<', '<', kModOption), 0x1909);  // the exact row shadows the any-modifier one
  EXPECT_EQ(Xlate('<', '<', 0), 0x1905);
  EXPECT_EQ(Xlate('$', '4', kModShift | kModControl), 0x18C3);  // by the key character
  EXPECT_EQ(Xlate('4', '4', kModControl), 0x1908);
  EXPECT_EQ(Xlate(29, 29, kModCommand | kModShift), 0x2102);
  EXPECT_EQ(Xlate(0xE9, 0xE9, 0), 0x190C);
  EXPECT_EQ(Xlate(128, 128, 0), 0);
  EXPECT_EQ(Xlate(' ', ' ', 0), 0);
  SavedDecimal saved;
  gDefaultDecimalTabChar = '.';
  EXPECT_EQ(Xlate(',', ',', 0), 0x1907);
  gDefaultDecimalTabChar = ',';
  EXPECT_EQ(Xlate(',', ',', 0), ',');
  EXPECT_EQ(Xlate(',', ',', kModCommand), 0);
}

using MEKeyTest = MathLayoutTest;

TEST_F(MEKeyTest, KeysEditTheRecordAndShowThePromptAsACaretUntilAMove) {
  for (char c : std::string("sin")) EXPECT_EQ(MEKey(uint32_t(c), uint8_t(c), 0, fRecord, nullptr), c);
  EXPECT_TRUE(gShowPromptAsIP);
  EXPECT_EQ(fRecord->root->opcode, kOpSin);
  EXPECT_EQ(MEKey(30, 30, 0, fRecord, nullptr), 0x1601);  // up arrow
  EXPECT_FALSE(gShowPromptAsIP);
  EXPECT_EQ(fRecord->selected, fRecord->root);
  EXPECT_EQ(MEKey(8, 8, 0, fRecord, nullptr), 0x1609);
  EXPECT_TRUE(gShowPromptAsIP);
  // Typing in a string takes characters the map would otherwise bind.
  ExpressionRecord* string = StringLeaf(u"");
  LayOut(string);
  fRecord->caretType = kIPStringText;
  EXPECT_EQ(MEKey('+', '+', 0, fRecord, nullptr), '+');
  EXPECT_EQ(MEKey(0xE9, 0xE9, 0, fRecord, nullptr), 0x190C);
  EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(string->text)), u"+\u00e9");
}

}  // namespace
