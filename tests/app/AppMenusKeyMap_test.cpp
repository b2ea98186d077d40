#include "tests/app/ApplicationFixture.h"

#include "matheditor/KeyMap.h"

#include <QKeySequence>

#include <map>
#include <set>
#include <sstream>

namespace {

// The key combination a key-map row stands for, as Qt names it: command is
// Meta, option Alt, control Ctrl.
QKeyCombination CombinationOf(const KeyMapRow& row) {
  Qt::KeyboardModifiers modifiers;
  if (row.modifiers & kModCommand) modifiers |= Qt::MetaModifier;
  if (row.modifiers & kModShift) modifiers |= Qt::ShiftModifier;
  if (row.modifiers & kModOption) modifiers |= Qt::AltModifier;
  if (row.modifiers & kModControl) modifiers |= Qt::ControlModifier;
  Qt::Key key;
  switch (row.character) {
    case kKeyLeft: key = Qt::Key_Left; break;
    case kKeyRight: key = Qt::Key_Right; break;
    case kKeyUp: key = Qt::Key_Up; break;
    case kKeyDown: key = Qt::Key_Down; break;
    case '\t': key = (row.modifiers & kModShift) ? Qt::Key_Backtab : Qt::Key_Tab; break;
    default: key = Qt::Key(QChar::toUpper(char32_t(row.character)));  // Qt names letters by their capital
  }
  return QKeyCombination(modifiers, key);
}

using WindowMenus = WindowTest;

// On this platform the menus' Ctrl and the key map's control are one key:
// every command the key map gives a control key must have some key that
// no menu item takes.
TEST_F(WindowMenus, EveryControlKeyCommandHasAKeyNoMenuTakes) {
  DocumentMainWindow* window = Open("keys.zlf", "Zentrolabworksheet 4;\nExpr y = x;\n");
  ASSERT_NE(window, nullptr);
  std::map<int, QString> menuKeys;  // by combined key
  for (QAction* action : window->menuBar()->findChildren<QAction*>())
    for (const QKeySequence& keys : action->shortcuts())
      if (!keys.isEmpty()) menuKeys[keys[0].toCombined()] = action->text();
  ASSERT_FALSE(menuKeys.empty());

  std::set<int16_t> controlCodes;
  std::set<int16_t> reached;
  std::ostringstream shadowed;
  for (const KeyMapRow& row : KeyMap()) {
    if (row.modifiers == kModAny) {
      // A character a plain keyboard types, whatever the modifiers.
      if (row.character >= 0x20 && row.character < 0x7F) reached.insert(row.code);
      continue;
    }
    if (row.modifiers & kModControl) controlCodes.insert(row.code);
    const auto taken = menuKeys.find(CombinationOf(row).toCombined());
    if (taken == menuKeys.end()) {
      reached.insert(row.code);
    } else {
      shadowed << " " << QKeySequence(taken->first).toString().toStdString() << " (" << taken->second.toStdString()
               << ")";
    }
  }
  for (int16_t code : controlCodes)
    EXPECT_TRUE(reached.contains(code)) << "no key reaches command " << std::hex << code
                                        << "; menu items take:" << shadowed.str();
}

}  // namespace
