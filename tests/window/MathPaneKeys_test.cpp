#include "matheditor/KeyMap.h"
#include "window/MathPaneKeys.h"

#include <gtest/gtest.h>

namespace {

struct Row {
  int key;
  Qt::KeyboardModifiers modifiers;
  const char16_t* text;
  uint32_t unicode;
  uint8_t keyCharacter;
  int32_t set;
  int32_t code;
};

TEST(MathPaneKeys, QtKeysBecomeTheEditorsKeystrokes) {
  const Qt::KeyboardModifiers none = Qt::NoModifier;
  const Row rows[] = {
      {Qt::Key_A, none, u"a", 'a', 'a', 0, 'a'},
      {Qt::Key_A, Qt::ShiftModifier, u"A", 'A', 'A', 2, 'A'},
      {Qt::Key_P, Qt::AltModifier, u"p", 'p', 'p', 4, 0x1312},
      {Qt::Key_E, Qt::ControlModifier, u"\x05", 'e', 'e', 8, 0x1040},  // the text is a control character
      {Qt::Key_A, Qt::ControlModifier | Qt::ShiftModifier, u"\x01", 'A', 'A', 10, 0x18A0},
      {Qt::Key_Left, none, u"", 28, 28, 0, 0x1604},
      {Qt::Key_Right, Qt::MetaModifier, u"", 29, 29, 1, 0x2100},
      {Qt::Key_Right, Qt::MetaModifier | Qt::AltModifier, u"", 29, 29, 5, 0x2101},
      {Qt::Key_Up, Qt::ShiftModifier, u"", 30, 30, 2, 0x160A},
      {Qt::Key_Down, Qt::ControlModifier | Qt::ShiftModifier, u"", 31, 31, 10, 0x2107},
      {Qt::Key_Backspace, none, u"\b", 8, 8, 0, 0x1609},
      {Qt::Key_Backspace, Qt::ShiftModifier, u"\b", 8, 8, 2, 0x1611},
      {Qt::Key_Delete, none, u"\x7f", 0x7F, 0x7F, 0, 0x1611},
      {Qt::Key_Tab, none, u"\t", 9, 9, 0, 0x1600},
      {Qt::Key_Tab, Qt::AltModifier, u"\t", 9, 9, 4, 0x160F},
      {Qt::Key_Backtab, none, u"", 9, 9, 2, 0x160E},
      {Qt::Key_Backtab, Qt::ShiftModifier, u"", 9, 9, 2, 0x160E},
      {Qt::Key_Escape, none, u"\x1b", 27, 27, 0, 0x2203},
      {Qt::Key_Less, Qt::AltModifier, u"<", '<', '<', 4, 0x1909},
      {Qt::Key_Less, none, u"<", '<', '<', 0, 0x1905},
      {Qt::Key_Eacute, none, u"\u00e9", 0xE9, 0xE9, 0, 0x190C},
      {Qt::Key_multiply, none, u"\u00d7", 0xD7, 0xD7, 0, 0x1006},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.key);
    MathPaneKeyStroke stroke;
    ASSERT_TRUE(TranslateKeyPress(row.key, row.modifiers, QString::fromUtf16(row.text), &stroke));
    EXPECT_EQ(stroke.unicode, row.unicode);
    EXPECT_EQ(stroke.keyCharacter, row.keyCharacter);
    EXPECT_EQ(stroke.modifiers, row.set);
    EXPECT_EQ(Xlate(stroke.unicode, stroke.keyCharacter, stroke.modifiers), row.code);
  }
  MathPaneKeyStroke untouched{1, 2, 3};
  for (int key : {int(Qt::Key_Shift), int(Qt::Key_Control), int(Qt::Key_F5)})
    EXPECT_FALSE(TranslateKeyPress(key, none, QString(), &untouched)) << key;
  EXPECT_EQ(untouched.unicode, 1u);
}

TEST(MathPaneKeys, CommittedTextIsTypedCharacterByCharacter) {
  const std::vector<MathPaneKeyStroke> strokes = TranslateCommittedText(QString::fromUtf16(u"\u03c0x\U0001D465"));
  ASSERT_EQ(strokes.size(), 3u);
  EXPECT_EQ(strokes[0].unicode, 0x3C0u);
  EXPECT_EQ(strokes[0].keyCharacter, 0);
  EXPECT_EQ(strokes[1].unicode, uint32_t('x'));
  EXPECT_EQ(strokes[1].keyCharacter, 'x');
  EXPECT_EQ(strokes[2].unicode, 0x1D465u);  // one character, not two halves
  for (const MathPaneKeyStroke& s : strokes) EXPECT_EQ(s.modifiers, 0);
}

}  // namespace
