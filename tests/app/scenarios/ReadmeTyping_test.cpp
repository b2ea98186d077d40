#include "tests/app/ApplicationFixture.h"

#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>

#include <cstring>
#include <numbers>
#include <string>
#include <utility>
#include <vector>

#include "app/EditCommands.h"
#include "document/CoordinateDisplay.h"
#include "document/MathPaneEditing.h"
#include "expression/ExpressionParser.h"
#include "expression/TreeDisposal.h"
#include "window/CoordinateDisplayWidget.h"
#include "window/MathPaneWidget.h"

namespace {

// The README's typing table, row by row: the keys as the README writes
// them and the formula they give, in the text form.
const std::vector<std::pair<std::string, std::string>> kExamples = {
    {"`y=sin x+n`", "y=sin(x)+n"},
    {"`x^2` Right `+1`", "x^2+1"},
    {"`x^2+1`", "x^(2+1)"},
    {"`x/2` Right `+1`", "x/2+1"},
    {"Ctrl+R `x` Right `+1`", "sqrt(x)+1"},
    {"`sin x*2`", "sin(x)*2"},
    {"`sin x/x`", "sin(x/x)"},
    {"`sin x` Up Up `/x`", "sin(x)/x"},
    {"`sin x` Up Up `^2`", "sin(x)^2"},
    {"`x` Up `_`", "overline(x)"},
    {"`x_`", "x*overline(?)"},
    {"`|x`", "abs(x)"},
    {"`n!`", "n!"},
    {"`y'=x`", "prime(y)=x"},
    {"`x+1` Up Up `@`", "(x+1)^2"},
    {"`y=x+1` Shift+Left `#`", "y=x+1^3"},
    {"`x^2` Up Escape", "x^?"},
    {"`x+1` Up Escape", "x"},
    {"`y=2x` Shift+Left Escape", "y=?"},
    {"`y=x` Return `y=2x` Shift+Left Escape", "y=?"},
    {"`y=x` Return `y=3ab` Shift+Left Escape", "y=3"},
    {"`y=x+1` Shift+Left Escape", "y=x"},
    {"`y=x` Return `y=x+1` Up Up Escape", "y=?"},
    {"`y=x` Up Up Escape", "?"},
    {"`y=x+1` Shift+Left Backspace", "y=x+?"},
    {"`y=x+1` Shift+Left Backspace Backspace", "y=x"},
    {"Ctrl+Shift+S `k`", "sum(k,k=0,5)"},
    {"Ctrl+Shift+P `k`", "product(k,k=0,5)"},
    {"Ctrl+Shift+I `x`", "integral(x,x,0,1)"},
    {"`y=x` Ctrl+F `x>0`", "y=(if(x,x>0))"},
    {"`a` Ctrl+Shift+X `b`", "cross(a,b)"},
    {"`a` Alt+X `b`", "cross(a,b)"},
    {"`a` Ctrl+. `b`", "dot(a,b)"},
    {"`ab` Left Alt+-", "a-b"},
    {"Ctrl+[ `0` Tab `1`", "interval(0,1)"},
    {"Alt+P Alt+T Alt+F", "pi*theta*phi"},
    {"Ctrl+4", "vector(x,y,u,v)"},
    {"Ctrl+4 Down Backspace `cos t` Tab Backspace `sin t` Tab Backspace Backspace Tab Backspace Backspace",
     "vector(cos(t),sin(t))"},
    {"Ctrl+4 Down Ctrl+A", "vector(x,y,u,v,?)"},
    {"Ctrl+4 Down Ctrl+Tab", "matrix(4,2,x,?,y,?,u,?,v,?)"},
    {"Ctrl+Shift+4", "matrix(4,4,1,0,0,0,0,1,0,0,0,0,1,0,0,0,0,1)"},
};

QString Readme() {
  QFile file(ZL_TEST_DATA_DIR "/../../README.md");
  return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// The rows of the typing table: each line of the section that starts with
// a bar, past the heading row and its rule; a bar inside code is "\|".
std::vector<std::pair<std::string, std::string>> ReadmeExamples(const QString& readme) {
  std::vector<std::pair<std::string, std::string>> rows;
  const qsizetype from = readme.indexOf("## Writing mathematics");
  const qsizetype to = readme.indexOf("\n## ", from + 1);
  int line = 0;
  for (const QString& text : readme.mid(from, to - from).split('\n')) {
    if (!text.startsWith('|') || line++ < 2) continue;
    QStringList cells = text.mid(1, text.size() - 2).replace("\\|", "\x01").split('|');
    for (QString& cell : cells) cell = cell.replace('\x01', '|').trimmed();
    const QString formula = cells.value(1);
    rows.emplace_back(cells.value(0).toStdString(), formula.mid(1, formula.size() - 2).toStdString());
  }
  return rows;
}

// One key as a US keyboard on X11 gives it: the Qt key, the modifiers,
// the text and the scan code (xkb key codes 10 to 19 for the digit row).
struct KeyPress {
  int key = 0;
  Qt::KeyboardModifiers modifiers;
  QString text;
  quint32 scanCode = 0;
};

constexpr char kShiftedDigits[] = ")!@#$%^&*(";  // Shift+0 .. Shift+9
constexpr char kShiftedSigns[] = "~_+{}|:\"<>?";
constexpr char kUnshiftedSigns[] = "`-=[]\\;',./";

// The control character xkb makes of a character typed with Ctrl.
char16_t UnderControl(char16_t c) {
  if ((c >= '@' && c < 0x7F) || c == ' ') return c & 0x1F;
  if (c == '2') return 0;
  if (c >= '3' && c <= '7') return char16_t(c - '3' + 0x1B);
  if (c == '8') return 0x7F;
  if (c == '/') return 0x1F;
  return c;
}

// A character typed on its key with the modifiers held besides any Shift
// the character needs.
KeyPress CharacterKey(char c, Qt::KeyboardModifiers held) {
  KeyPress press{0, held, {}, 0};
  char produced = c;
  char base = c;
  if (c >= 'A' && c <= 'Z') press.modifiers |= Qt::ShiftModifier;
  if (c >= 'a' && c <= 'z') base = char(c - 'a' + 'A');
  if (const char* digit = std::strchr(kShiftedDigits, c); digit && c) {
    press.modifiers |= Qt::ShiftModifier;
    base = char('0' + (digit - kShiftedDigits));
  } else if (const char* sign = std::strchr(kShiftedSigns, c); sign && c) {
    press.modifiers |= Qt::ShiftModifier;
    base = kUnshiftedSigns[sign - kShiftedSigns + 0];
  }
  if ((held & Qt::ShiftModifier) && base >= '0' && base <= '9') produced = kShiftedDigits[base - '0'];
  if ((held & Qt::ShiftModifier) && base >= 'A' && base <= 'Z') produced = base;
  if (base >= '0' && base <= '9') press.scanCode = base == '0' ? 19 : quint32(10 + base - '1');
  press.key = QChar::toUpper(char32_t(static_cast<unsigned char>(produced)));
  const char16_t typed = char16_t(produced);
  press.text = QString(QChar((press.modifiers & Qt::ControlModifier) ? UnderControl(typed) : typed));
  return press;
}

// A word of the keys column: a named key, or a chord such as Ctrl+Shift+4.
bool WordKey(const QString& word, KeyPress* press) {
  const struct {
    const char* name;
    int key;
    const char16_t* text;
  } kNamed[] = {
      {"Right", Qt::Key_Right, u""},       {"Left", Qt::Key_Left, u""},      {"Up", Qt::Key_Up, u""},
      {"Down", Qt::Key_Down, u""},         {"Tab", Qt::Key_Tab, u"\t"},      {"Backspace", Qt::Key_Backspace, u"\b"},
      {"Escape", Qt::Key_Escape, u"\x1b"}, {"Return", Qt::Key_Return, u"\r"}};
  QStringList parts = word.split('+');
  const QString last = parts.takeLast();
  Qt::KeyboardModifiers held;
  for (const QString& part : parts) {
    if (part == "Ctrl") {
      held |= Qt::ControlModifier;
    } else if (part == "Shift") {
      held |= Qt::ShiftModifier;
    } else if (part == "Alt") {
      held |= Qt::AltModifier;
    } else {
      return false;
    }
  }
  for (const auto& named : kNamed) {
    if (last != named.name) continue;
    *press = {named.key, held, QString::fromUtf16(named.text), 0};
    return true;
  }
  if (last.size() != 1) return false;
  const char c = last[0].toLatin1();
  *press = CharacterKey((held & Qt::ShiftModifier) ? c : char(QChar::toLower(char32_t(c))), held);
  return true;
}

// The keys of a row in order; false for a word that names no key.
bool KeysOf(const std::string& column, std::vector<KeyPress>* keys) {
  const QString text = QString::fromStdString(column);
  for (qsizetype i = 0; i < text.size();) {
    if (text[i] == ' ') {
      ++i;
    } else if (text[i] == '`') {
      const qsizetype close = text.indexOf('`', i + 1);
      if (close < 0) return false;
      for (QChar c : text.mid(i + 1, close - i - 1)) keys->push_back(CharacterKey(c.toLatin1(), {}));
      i = close + 1;
    } else {
      qsizetype end = text.indexOf(' ', i);
      if (end < 0) end = text.size();
      KeyPress press;
      if (!WordKey(text.mid(i, end - i), &press)) return false;
      keys->push_back(press);
      i = end;
    }
  }
  return true;
}

class ReadmeTyping : public WindowTest {
 protected:
  static bool Readable(const std::string& text) {
    ExpressionRecord* tree = ParseExprFromString(text.c_str());
    DisposExpr(tree);
    return tree != nullptr;
  }
  // A fresh document window, active, its formula focused.
  DocumentMainWindow* FreshWindow() {
    DocumentMainWindow* window = NewDocumentWindow();
    if (!window) return nullptr;
    window->show();
    window->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(window));
    window->MathPane()->setFocus();
    return window;
  }
  // The key through the window as the platform delivers it: the menus'
  // shortcuts first. True when a menu took it.
  static bool Press(QWidget* pane, const KeyPress& k) {
    if (qt_sendShortcutOverrideEvent(pane, 0, k.key, k.modifiers, k.text)) return true;
    QKeyEvent press(QEvent::KeyPress, k.key, k.modifiers, k.scanCode, 0, 0, k.text);
    QApplication::sendEvent(pane, &press);
    QKeyEvent release(QEvent::KeyRelease, k.key, k.modifiers, k.scanCode, 0, 0, k.text);
    QApplication::sendEvent(pane, &release);
    return false;
  }
};

TEST_F(ReadmeTyping, TheTableIsTheTestsOwn) {
  const QString readme = Readme();
  ASSERT_FALSE(readme.isEmpty());
  EXPECT_EQ(ReadmeExamples(readme), kExamples);
}

TEST_F(ReadmeTyping, EveryExampleTypesTheFormulaShown) {
  DocumentMainWindow* sanity = FreshWindow();
  ASSERT_NE(sanity, nullptr);
  // The menus do take their keys here, so a key they take would show.
  KeyPress cut;
  ASSERT_TRUE(WordKey("Ctrl+X", &cut));
  ASSERT_TRUE(Press(sanity->MathPane(), cut));
  CloseEveryWindow();

  for (const auto& [column, formula] : kExamples) {
    SCOPED_TRACE(column);
    std::vector<KeyPress> keys;
    ASSERT_TRUE(KeysOf(column, &keys));
    DocumentMainWindow* window = FreshWindow();
    ASSERT_NE(window, nullptr);
    for (const KeyPress& key : keys)
      EXPECT_FALSE(Press(window->MathPane(), key))
          << "a menu took " << QKeySequence(QKeyCombination(key.modifiers, Qt::Key(key.key))).toString().toStdString();
    // The tree of the formula the caret is in (the new one after Return) as
    // its text form writes it, parentheses the layout added included; the
    // form pastes back.
    EXPECT_EQ(FormulaText(window->Document(), window->Document()->fFocusedBlock), formula);
    EXPECT_TRUE(Readable(formula)) << formula;
    CloseEveryWindow();
  }
}

// The circle of the README: the text form pasted, then t's range typed in
// its fields under the graph.
TEST_F(ReadmeTyping, PastedCircleAndItsRangeOfT) {
  const QString readme = Readme();
  ASSERT_TRUE(readme.contains("`vector(cos(t), sin(t))`"));
  ASSERT_TRUE(readme.contains("type `0` and `2*pi` there"));
  DocumentMainWindow* window = FreshWindow();
  ASSERT_NE(window, nullptr);
  DocumentRecord* document = window->Document();
  QGuiApplication::clipboard()->setText("vector(cos(t), sin(t))");
  EditPaste(window);
  EXPECT_EQ(FormulaText(document, 0), "vector(cos(t),sin(t))");

  ASSERT_TRUE(WaitFor([&] { return IsDocumentGraphDone(document); }));
  window->RunIdle();
  ASSERT_TRUE(document->fCoordinates.shown[kCoordT]);
  EXPECT_EQ(document->fCoordinates.high[kCoordT], 1);  // an arc, until the range is set
  for (const auto& [end, text] : {std::pair{0, "0"}, std::pair{1, "2*pi"}}) {
    QLineEdit* field = window->Coordinates()->RangeField(kCoordT, end);
    field->setText(text);
    QTest::keyClick(field, Qt::Key_Return);
  }
  ASSERT_TRUE(WaitFor([&] { return IsDocumentGraphDone(document); }));
  EXPECT_EQ(document->fCoordinates.low[kCoordT], 0);
  EXPECT_DOUBLE_EQ(document->fCoordinates.high[kCoordT], 2 * std::numbers::pi);
}

}  // namespace
