#pragma once

#include "CoreUtilities/text/UniChar.h"
#include "expression/ExpressionRecord.h"
#include "expression/MathEditRecord.h"

#include <cstdint>

struct DocumentWindow;
struct MathGraphicsContext;

// A selection box: top, left, bottom, right.
struct FRect {
  float top;
  float left;
  float bottom;
  float right;
};

// What the math-edit record asks of the math editor and the document,
// which are built above this layer and install their own at start-up.
// Until then (and for any entry left null) nothing is laid out, loaded or
// drawn and text has no width.
struct MathEditorHooks {
  // Gives every node of the current formula edit data and lays it out
  // when it is stale.
  void (*layOutCurrentFormula)();
  // Loads the window's document into the editor's globals and the current
  // record.
  void (*loadDocumentGlobals)(DocumentWindow* window);
  // Sets the math font, plain face, for the node at the point size.
  void (*setTextStyle)(ExpressionRecord* node, float size);
  float (*charWidth)(UniChar c);
  // The horizontal position of a character offset within the text.
  float (*offsetToPosition)(const UniChar* text, int32_t offset);
  // Highlights a box (which: 0 the main, 1 the companion box).
  void (*invertRect)(const FRect& box, int32_t which, MathGraphicsContext* context);
  // The caret of the current record at the node, with the caret type.
  void (*setIP)(ExpressionRecord* node, MathIPType type);
  // The current record's selection widened to the selected node's parent.
  void (*goUpExpr)();
  // The current formula's layout marked stale, to be measured and drawn
  // again.
  void (*recalculateAndDraw)();
};

void InstallMathEditorHooks(const MathEditorHooks& hooks);
const MathEditorHooks& CurrentMathEditorHooks();

// The three editor entries the algebra calls on the current record. Until
// the editor fills them they do what they do for caret type 0: select the
// node, widen to the parent, clear the two layout bytes. No current record:
// nothing.
void EditorSetIP(ExpressionRecord* node, MathIPType type);
void EditorGoUpExpr();
void EditorRecalculateAndDraw();
