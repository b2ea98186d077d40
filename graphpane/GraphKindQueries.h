#pragma once

#include <vector>

#include "expression/ExpressionRecord.h"

class DocumentRecord;

// Questions the document, math pane and window ask of equations before or
// without graphing them. A missing list is null.
using EquationList = std::vector<ExpressionRecord*>;

bool MayUseTransparency(const EquationList* equations, DocumentRecord* document);
bool IsPointPlot(const EquationList* equations, bool is3D, bool is4D, DocumentRecord* document);
bool AllowsPictures(ExpressionRecord* equation, bool is3D, bool is4D, DocumentRecord* document);
bool AllowsCheckers(const EquationList* equations, bool is3D, bool is4D, DocumentRecord* document);

struct ExprTypeInfo {
  bool threeD = false;
  bool fourD = false;
  bool graphable = false;
  bool primed = false;
  bool labelled = false;
};

ExprTypeInfo GetExprTypeInfo(ExpressionRecord* equation, double xyType, DocumentRecord* document);
