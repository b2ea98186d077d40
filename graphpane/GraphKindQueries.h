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

// Whether the contour and density choices apply: an expression in x, y, r,
// theta (not in x alone or y alone), z = f(x, y) or z = f(r, theta), one in
// z alone, or z = f(x, y, r, theta); a list is asked of its first item.
bool UnprimedExprMayBeContourOrDensityPlot(ExpressionRecord* e, DocumentRecord* document);
// Some equation of the list qualifies as written or in primed coordinates.
bool MayBeContourOrDensityPlot(const EquationList* equations, DocumentRecord* document);

struct ExprTypeInfo {
  bool threeD = false;
  bool fourD = false;
  bool graphable = false;
  bool primed = false;
  bool labelled = false;
};

ExprTypeInfo GetExprTypeInfo(ExpressionRecord* equation, double xyType, DocumentRecord* document);
