#include "expression/MathEditorHooks.h"

namespace {
MathEditorHooks gHooks = {};
}

void InstallMathEditorHooks(const MathEditorHooks& hooks) { gHooks = hooks; }

const MathEditorHooks& CurrentMathEditorHooks() { return gHooks; }

void EditorSetIP(ExpressionRecord* node, MathIPType type) {
  if (gHooks.setIP) return gHooks.setIP(node, type);
  if (!gMathCurrentMEH || !node) return;
  gMathCurrentMEH->selected = node;
  gMathCurrentMEH->caretType = type;
}

void EditorGoUpExpr() {
  if (gHooks.goUpExpr) return gHooks.goUpExpr();
  MERecord* r = gMathCurrentMEH;
  if (!r || !r->selected || !r->selected->parent) return;
  r->selected = r->selected->parent;
  r->caretType = kIPWholeNode;
}

void EditorRecalculateAndDraw() {
  if (gHooks.recalculateAndDraw) return gHooks.recalculateAndDraw();
  if (!gMathCurrentMEH) return;
  gMathCurrentMEH->layoutValid = 0;
  gMathCurrentMEH->layoutValid2 = 0;
}
