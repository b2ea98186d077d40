#include "document/InvalExprs.h"

#include "CoreUtilities/threads/MathPaneThread.h"
#include "document/DocumentExpansion.h"
#include "document/DocumentFunctionList.h"
#include "document/DocumentParameters.h"
#include "document/DocumentRecord.h"
#include "document/SliderAnimation.h"
#include "graphpane/AGraphPane.h"

void StopDocumentComputations(DocumentRecord* document) {
  KillExpansion(document);
  CancelThreadedMathPaneCalculations(document);
  if (document->fGraphPane) document->fGraphPane->EraseGraph();
  document->fExpansion.Clear();
  // The next expansion rebuilds them; meanwhile none may stand for a
  // definition that changed.
  ClearDocumentFunctions(document);
}

void InvalExprs(DocumentRecord* document) {
  if (!document) return;
  StopDocumentComputations(document);
  StopGraphingAnimation(document);
  RebuildParameterDefinitions(document);
  document->fModified = true;
  document->fExpansion.resultDigits = SignificantDigitsInUse(document->fContents);
  StartExpansion(document);
}
