#include "document/CoordinateDisplay.h"

#include <algorithm>
#include <cmath>

#include "algebra/RewriteHelpers.h"
#include "document/DocumentIdle.h"
#include "document/DocumentRecord.h"
#include "evaluation/ScalarExprEval.h"
#include "expression/ExpressionParser.h"
#include "expression/NumericComputability.h"
#include "expression/OwnedTree.h"
#include "graphpane/AGraphPane.h"

void SetCoordinateValues(int32_t field, double low, double high, DocumentRecord* document) {
  if (!document || field < 0 || field >= kCoordDisplayParamCount) return;
  CoordinateDisplayValues& display = document->fCoordinates;
  display.shown[field] = true;
  display.low[field] = low;
  display.high[field] = high;
}

void ClearCoordinateDisplay(DocumentRecord* document) {
  if (!document) return;
  CoordinateDisplayValues& display = document->fCoordinates;
  for (int32_t p = 0; p < kCoordDisplayParamCount; ++p)
    if (p != display.focusedField) display.shown[p] = false;
  std::erase_if(display.shownParameters, [&](int32_t letter) { return letter != display.focusedParameter; });
}

void RedoCoordinateDisplay(DocumentRecord* document) {
  if (!document || !document->fGraphPane) return;
  ClearCoordinateDisplay(document);
  const int32_t* flags = document->fGraphPane->CoordinateDisplayFlags();
  for (int32_t p = 0; p < kCoordDisplayParamCount; ++p)
    if (flags[p] != 0) document->fGraphPane->ShowParam(CoordDisplayParam(p));
}

void ShowParameterInDisplay(int32_t letter, DocumentRecord* document) {
  if (!document || IsParameterShown(letter, document)) return;
  document->fCoordinates.shownParameters.push_back(letter);
}

bool IsParameterShown(int32_t letter, const DocumentRecord* document) {
  const std::vector<int32_t>& shown = document->fCoordinates.shownParameters;
  return std::find(shown.begin(), shown.end(), letter) != shown.end();
}

bool EditCoordinateRange(int32_t field, double low, double high, DocumentRecord* document) {
  AGraphPane* pane = document ? document->fGraphPane.get() : nullptr;
  if (!pane || field < 0 || field >= kCoordDisplayParamCount) return false;
  if (!pane->IsUsableRange(field, low, high)) return false;
  // Running graphs read the ranges: they go first; the pass makes them anew.
  pane->EraseGraph();
  pane->SetParameterValue(field, 0, low);
  pane->SetParameterValue(field, 1, high);
  pane->ShowParam(CoordDisplayParam(field));
  document->fModified = true;
  DoGraph(document);
  return true;
}

bool EditShownParameter(int32_t letter, double value, DocumentRecord* document) {
  if (!document || !std::isfinite(value)) return false;
  for (DocumentParameter& parameter : document->fContents.parameters) {
    if (parameter.name != letter) continue;
    parameter.value = value;
    document->fModified = true;
    DoGraph(document);
    return true;
  }
  return false;
}

std::optional<double> CoordinateFieldValue(const std::string& text, DocumentRecord* document) {
  const Tree tree(ParseExprFromString(text.c_str()));
  if (!tree) return std::nullopt;
  // A letter would read as its default value: refuse it rather than guess.
  bool constant = true;
  PostOrder(tree.get(),
            [&](ExpressionRecord* n) { constant = constant && CanComputeNumerically(n, document, 0, nullptr); });
  const double value = constant ? ScalarExprEval(tree.get(), document) : NAN;
  if (!std::isfinite(value)) return std::nullopt;
  return value;
}
