#pragma once

#include "CoreUtilities/MRect.h"

struct DocumentWindow;

// What the editor asks of the math pane that shows the current formula.
// The document fills the table at start-up; until then nothing is redrawn
// and the clip rectangle is empty.
struct MathPaneHooks {
  // Redraws the whole math pane of the window.
  void (*redrawMath)(DocumentWindow* window);
  MRect (*mathPaneClipRect)(DocumentWindow* window);
};

void InstallMathPaneHooks(const MathPaneHooks& hooks);

// Redraws the math pane of the document that owns the current record.
void DIM_RedrawMath();
MRect GetMathPaneClipRect(DocumentWindow* window);
