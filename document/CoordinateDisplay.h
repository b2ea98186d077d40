#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "graphpane/GraphViewRecord.h"

class DocumentRecord;

// The coordinate display as values: which ranges the graphs use and their
// ends, and which shown parameters they read, for the window to show and
// edit.
struct CoordinateDisplayValues {
  bool shown[kCoordDisplayParamCount] = {};
  double low[kCoordDisplayParamCount] = {};
  double high[kCoordDisplayParamCount] = {};
  // The field being edited keeps its values through a clear; -1 none.
  int32_t focusedField = -1;
  // Letters of the shown-parameter list that the graphs read, and the one
  // being edited (kept through a clear; -1 none).
  std::vector<int32_t> shownParameters;
  int32_t focusedParameter = -1;
};

void SetCoordinateValues(int32_t field, double low, double high, DocumentRecord* document);
// Hides every field and parameter but the one being edited.
void ClearCoordinateDisplay(DocumentRecord* document);
// Shows again every range the pane's graphs use, at its current ends.
void RedoCoordinateDisplay(DocumentRecord* document);
void ShowParameterInDisplay(int32_t letter, DocumentRecord* document);
bool IsParameterShown(int32_t letter, const DocumentRecord* document);

// The user's edits: each marks the document changed and graphs it again.
// False, nothing changed, for a range a view it sets cannot take (an end
// not finite, equal ends, a 3-D box finer than its floats), or a letter not
// in the shown-parameter list.
bool EditCoordinateRange(int32_t field, double low, double high, DocumentRecord* document);
bool EditShownParameter(int32_t letter, double value, DocumentRecord* document);
// A field's text as a number: a number or a formula of constants (4 pi).
std::optional<double> CoordinateFieldValue(const std::string& text, DocumentRecord* document);
