#include "document/BlockDefaults.h"
#include "document/DocumentRecord.h"
#include "document/DocumentWindow.h"
#include "document/MathPaneEditing.h"
#include "document/MathPaneDrawing.h"
#include "expression/MathEditRecord.h"
#include "expression/SelectionGeometry.h"
#include "expression/TreeShorthands.h"
#include "expression/TreeBuilding.h"
#include "expression/SymbolTable.h"
#include "matheditor/CommandDispatch.h"
#include "matheditor/KeyMap.h"
#include "matheditor/MathEditInterface.h"
#include "matheditor/MathEditorStartup.h"
#include "platform/OurPort.h"
#include "tests/expression/ParserTestSupport.h"
#include "tests/window/MathPaneFixture.h"
#include "window/MathPaneWidget.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTest>

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

namespace {

ExpressionRecord* Var(char name) {
  const char text[2] = {name, 0};
  return Atomic(GetVariableIDFromString(text));
}

class MathPane : public MathPaneFixture {
 protected:
  MERecord* AddEquation(ExpressionRecord* tree = nullptr) {
    MBlock block{};
    SetEquationDefaults(block);
    block.equation = MENew(&fWindow);
    if (tree) SetEquationTree(block, tree);
    fDocument.fContents.blocks.Add(block);
    return block.equation;
  }
  void AddText(const char* text) {
    MBlock block{};
    SetTextDefaults(block);
    block.text = OurTextNew();
    OurTextInsertString(text, int32_t(std::strlen(text)), true, block.text);
    fDocument.fContents.blocks.Add(block);
  }
  void Show() {
    fWidget = std::make_unique<MathPaneWidget>(&fWindow);
    fWidget->resize(400, 300);
    fWidget->show();
    FocusMathPaneBlock(&fWindow, 0);
    fWidget->RedrawMath();
  }
  MERecord* Equation(int i) { return fDocument.fContents.blocks[i].equation; }
  // A node's box centre in the pane.
  QPoint Centre(MERecord* record, const ExpressionRecord* node) {
    LayOutMathPane(&fWindow, fWindow.mathPanePort->bounds);
    FRect box{};
    ME_GetScreenBounds(node, box);
    return QPoint(int((box.left + box.right) / 2) + record->drawRect[kDrawLeft],
                  int((box.top + box.bottom) / 2) + record->drawRect[kDrawTop]);
  }
  void Post(QEvent::Type type, QPoint at) {
    QCoreApplication::postEvent(
        fWidget.get(),
        new QMouseEvent(type, QPointF(at), QPointF(fWidget->mapToGlobal(at)), Qt::LeftButton,
                        type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier));
  }
  QImage Pane() const { return fWindow.mathPanePort->image.copy(); }
};

TEST_F(MathPane, KeyClicksTypeWhatTheEditorsKeysType) {
  AddEquation();
  Show();
  const char* script = "y=sin x^2+3/4";
  QTest::keyClicks(fWidget.get(), script);
  QTest::keyClick(fWidget.get(), Qt::Key_Left);
  QTest::keyClick(fWidget.get(), Qt::Key_Backspace);

  MERecord* headless = MENew(&fWindow);
  for (const char* c = script; *c; ++c) MEKey(uint8_t(*c), uint8_t(*c), 0, headless, &fWindow);
  MEKey(28, 28, 0, headless, &fWindow);
  MEKey(8, 8, 0, headless, &fWindow);
  EXPECT_EQ(Written(Equation(0)->root), Written(headless->root));
  EXPECT_NE(Written(headless->root).find("sin"), std::string::npos);
  EXPECT_EQ(Equation(0)->caretType, headless->caretType);
  MEDispose(headless);
  EXPECT_TRUE(fDocument.fModified);
}

TEST_F(MathPane, ReturnAddsAFormulaAndBackspaceTakesALonePromptAway) {
  AddEquation(Var('x'));
  Show();
  QTest::keyClick(fWidget.get(), Qt::Key_Left);
  EXPECT_FALSE(fDocument.fModified);  // a caret movement changes nothing
  QTest::keyClick(fWidget.get(), Qt::Key_Return);
  ASSERT_EQ(fDocument.fContents.blocks.Count(), 2);
  EXPECT_EQ(fDocument.fFocusedBlock, 1);
  EXPECT_TRUE(IsPrompt(Equation(1)));
  EXPECT_EQ(Equation(1)->active, 1);
  EXPECT_EQ(Equation(0)->active, 0);
  EXPECT_TRUE(fDocument.fModified);
  QTest::keyClick(fWidget.get(), Qt::Key_Backspace);
  ASSERT_EQ(fDocument.fContents.blocks.Count(), 1);
  EXPECT_EQ(fDocument.fFocusedBlock, 0);
  EXPECT_EQ(Written(Equation(0)->root), "x");

  // The pane's only formula stays, prompt or not.
  QTest::keyClick(fWidget.get(), Qt::Key_Backspace);
  QTest::keyClick(fWidget.get(), Qt::Key_Backspace);
  EXPECT_EQ(fDocument.fContents.blocks.Count(), 1);
}

TEST_F(MathPane, ClickFocusesAndDragSelectsWhileKeysWait) {
  ExpressionRecord* sum = NewExpression(kOpPlus, 4);
  for (int i = 0; i < 4; ++i) {
    sum->operands[i] = Var(char('a' + i));
    sum->operands[i]->parent = sum;
  }
  MERecord* first = AddEquation(sum);
  MERecord* second = AddEquation(Var('x'));
  Show();
  const QPoint x = Centre(second, second->root);
  Post(QEvent::MouseButtonRelease, x);
  QTest::mousePress(fWidget.get(), Qt::LeftButton, Qt::NoModifier, x);
  EXPECT_EQ(fDocument.fFocusedBlock, 1);
  EXPECT_EQ(second->active, 1);
  EXPECT_EQ(first->active, 0);

  // Drag from a to c; a key pressed meanwhile waits for the release.
  const QPoint a = Centre(first, sum->operands[0]);
  const QPoint c = Centre(first, sum->operands[2]);
  Post(QEvent::MouseMove, c);
  QCoreApplication::postEvent(fWidget.get(), new QKeyEvent(QEvent::KeyPress, Qt::Key_Z, Qt::NoModifier, "z"));
  Post(QEvent::MouseButtonRelease, c);
  QTest::mousePress(fWidget.get(), Qt::LeftButton, Qt::NoModifier, a);
  EXPECT_EQ(fDocument.fFocusedBlock, 0);
  EXPECT_EQ(first->selected, sum);
  EXPECT_EQ(first->caretType, kIPOperandRange);
  EXPECT_EQ(first->rangeStart, 0);
  EXPECT_EQ(first->rangeEnd, 2);
  EXPECT_EQ(Written(first->root), "a+b+c+d");
  QCoreApplication::processEvents();
  EXPECT_NE(Written(first->root), "a+b+c+d");
}

TEST_F(MathPane, HighlightUnderTheFormulaAndTheCaretOverIt) {
  ExpressionRecord* sine = Sin(Var('x'));
  MERecord* record = AddEquation(Tothe(sine, Number(2)));
  AddText("Some words");
  Show();
  record->active = 0;
  fWidget->RedrawMath();
  const QImage plain = Pane();
  record->active = 1;
  record->selected = sine;
  record->caretType = kIPWholeNode;
  fWidget->RedrawMath();
  const QImage lit = Pane();

  MESetCurrentEqn(record, &fWindow);
  FRect box, exponent;
  ME_GetIPRect(box, exponent);
  ASSERT_LT(exponent.left, exponent.right);  // sin² x: the exponent is the companion box
  const QPoint at(record->drawRect[kDrawLeft], record->drawRect[kDrawTop]);
  auto pixel = [](const QImage& image, int h, int v) { return image.pixel(h, v) & 0xFFFFFFu; };
  int glyphPixels = 0, litPixels = 0;
  for (int v = int(box.top); v < int(box.bottom); ++v)
    for (int h = int(box.left); h < int(box.right); ++h) {
      if (h >= int(exponent.left) - 1 && h <= int(exponent.right) + 1) continue;
      const uint32_t before = pixel(plain, h + at.x(), v + at.y()), after = pixel(lit, h + at.x(), v + at.y());
      if (before == 0x000000) {
        ++glyphPixels;
        EXPECT_EQ(after, 0x000000u) << h << "," << v;  // the formula lies over the highlight
      }
      litPixels += before != after;
    }
  EXPECT_GT(glyphPixels, 0);
  EXPECT_GT(litPixels, 0);
  // Inside the exponent's box (off its blended edges) the highlight is gone.
  for (int v = int(exponent.top) + 2; v < int(exponent.bottom) - 2; ++v)
    for (int h = int(exponent.left) + 2; h < int(exponent.right) - 2; ++h)
      EXPECT_EQ(pixel(plain, h + at.x(), v + at.y()), pixel(lit, h + at.x(), v + at.y())) << h << "," << v;

  // A caret bar is the XOR of what lies under it, drawn last.
  record->selected = sine->operands[0];
  record->caretType = kIPAfterNode;
  fWidget->RedrawMath();
  EXPECT_EQ(record->caretDrawn, 1);
  const QImage caret = Pane();
  int inverted = 0;
  for (int v = 0; v < caret.height(); ++v)
    for (int h = 0; h < caret.width(); ++h)
      if (pixel(caret, h, v) != pixel(plain, h, v)) {
        ++inverted;
        EXPECT_EQ(pixel(caret, h, v), pixel(plain, h, v) ^ 0xFFFFFFu) << h << "," << v;
      }
  EXPECT_GT(inverted, 5);

  // The text block below the formula is painted too.
  const QRect text = LayOutMathPane(&fWindow, fWindow.mathPanePort->bounds).blocks[1];
  int ink = 0;
  for (int v = text.top(); v <= text.bottom(); ++v)
    for (int h = text.left(); h <= text.right(); ++h) ink += pixel(plain, h, v) != 0xFFFFFF;
  EXPECT_GT(ink, 20);
}

// The empty space under the blocks continues the last formula, past a text
// block that follows it.
TEST_F(MathPane, ClickUnderTheLastBlockTypesAtTheEndOfTheLastFormula) {
  AddEquation(Var('x'));
  AddEquation(Var('y'));
  AddText("notes");
  Show();
  const QRect last = LayOutMathPane(&fWindow, fWindow.mathPanePort->bounds).blocks.back();
  const QPoint under(20, fWidget->height() - 5);
  ASSERT_GT(under.y(), last.bottom());
  Post(QEvent::MouseButtonRelease, under);
  QTest::mousePress(fWidget.get(), Qt::LeftButton, Qt::NoModifier, under);
  EXPECT_EQ(fDocument.fFocusedBlock, 1);
  QTest::keyClicks(fWidget.get(), "+1");
  EXPECT_EQ(Written(Equation(1)->root), "y+1");
  EXPECT_EQ(Written(Equation(0)->root), "x");
}

// Every key-map entry of Shift with a digit, pressed on a US and on a
// German keyboard: the key event carries the character the layout puts
// on the shifted key and the key's xkb scan code, as X11 delivers it.
TEST_F(MathPane, ShiftedDigitEntriesWorkOnUsAndGermanKeyboards) {
  const struct {
    const char* name;
    const char16_t* shifted;  // Shift+1 .. Shift+9, Shift+0
  } kLayouts[] = {{"US", u"!@#$%^&*()"}, {"German", u"!\"\u00a7$%&/()="}};
  constexpr uint32_t kScanCodeOfOne = 10;
  AddEquation();
  Show();
  int entries = 0;
  for (const KeyMapRow& row : KeyMap()) {
    if (row.modifiers == kModAny || !(row.modifiers & kModShift) || row.character < '0' || row.character > '9')
      continue;
    ++entries;
    const int index = row.character == '0' ? 9 : row.character - '1';
    Qt::KeyboardModifiers modifiers = Qt::ShiftModifier;
    if (row.modifiers & kModControl) modifiers |= Qt::ControlModifier;
    if (row.modifiers & kModOption) modifiers |= Qt::AltModifier;
    if (row.modifiers & kModCommand) modifiers |= Qt::MetaModifier;
    for (const auto& layout : kLayouts) {
      SCOPED_TRACE(std::string(layout.name) + " Shift+" + char(row.character));
      AddEquation();
      const int32_t block = fDocument.fContents.blocks.Count() - 1;
      FocusMathPaneBlock(&fWindow, block);
      const char16_t c = layout.shifted[index];
      // Under Ctrl the text of '@' to '~' is their control character.
      const char16_t text = (modifiers & Qt::ControlModifier) && c >= 0x40 && c < 0x7F ? char16_t(c & 0x1F) : c;
      QKeyEvent press(QEvent::KeyPress, int(c), modifiers, kScanCodeOfOne + index, c, 0, QString(QChar(text)));
      QCoreApplication::sendEvent(fWidget.get(), &press);

      MERecord* expected = MENew(&fWindow);
      MATH_FunctionCode(row.code);
      EXPECT_EQ(Written(Equation(block)->root), Written(expected->root));
      EXPECT_NE(Written(expected->root), "?");
      MEDispose(expected);
    }
  }
  EXPECT_GT(entries, 0);
}

}  // namespace
