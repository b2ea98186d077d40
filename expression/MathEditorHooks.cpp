#include "expression/MathEditorHooks.h"

namespace {
MathEditorHooks gEditorHooks = {};
}

void InstallMathEditorHooks(const MathEditorHooks& hooks) { gEditorHooks = hooks; }

const MathEditorHooks& CurrentMathEditorHooks() { return gEditorHooks; }

void EditorSetIP(ExpressionRecord* node, MathIPType type) {
  if (gEditorHooks.setIP) return gEditorHooks.setIP(node, type);
  if (!gMathCurrentMEH || !node) return;
  gMathCurrentMEH->selected = node;
  gMathCurrentMEH->caretType = type;
}

void EditorGoUpExpr() {
  if (gEditorHooks.goUpExpr) return gEditorHooks.goUpExpr();
  MERecord* r = gMathCurrentMEH;
  if (!r || !r->selected || !r->selected->parent) return;
  r->selected = r->selected->parent;
  r->caretType = kIPWholeNode;
}

void EditorRecalculateAndDraw() {
  if (gEditorHooks.recalculateAndDraw) return gEditorHooks.recalculateAndDraw();
  if (!gMathCurrentMEH) return;
  gMathCurrentMEH->layoutValid = 0;
  gMathCurrentMEH->layoutValid2 = 0;
}
