#include "matheditor/MathPaneHooks.h"

#include "expression/MathEditRecord.h"

namespace {
MathPaneHooks sHooks{};
}

void InstallMathPaneHooks(const MathPaneHooks& hooks) { sHooks = hooks; }

void DIM_RedrawMath() {
  if (!gMathCurrentMEH || !sHooks.redrawMath) return;
  sHooks.redrawMath(gMathCurrentMEH->window);
}

MRect GetMathPaneClipRect(DocumentWindow* window) {
  return sHooks.mathPaneClipRect ? sHooks.mathPaneClipRect(window) : MRect{};
}
