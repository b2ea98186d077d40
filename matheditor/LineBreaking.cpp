#include "matheditor/LineBreaking.h"

#include "CoreUtilities/memory/MemoryBudget.h"
#include "matheditor/TreeOrder.h"

#include <algorithm>

namespace {

bool IsUnbreakable(const ExpressionRecord* n) {
  switch (n->opcode) {
    case kOpLog:
    case kOpGrad: return n->operandCount != 1;
    case kOpNumber:
    case kOpPrompt:
    case kOpString:
    case kOpIndexes:
    case kOpMatrix:
    case kOpSubstitution:
    case kOpSqrt:
    case kOpOpTotal:
    case kOpOpPartial:
    case kOpSum:
    case kOpProduct:
    case kOpOverline:
    case kOpChoice:
    case kOpBranch: return true;
    default: return false;
  }
}

float RowStart(const MERecord* r, int32_t i) { return r->lineRows ? r->lineRows[i].start : 0.0f; }
float RowTop(const MERecord* r, int32_t i) { return r->lineRows ? r->lineRows[i].top : 0.0f; }

float RootWidth(const MERecord* r) { return r->root && r->root->editData ? r->root->editData->width : 0.0f; }

float LineHeight(const MERecord* r) {
  const EditData* e = r->root && r->root->editData ? r->root->editData : nullptr;
  return e ? e->ascent + e->descent : 0.0f;
}

// The display line of a one-line x.
int32_t LineOfX(const MERecord* r, float x) {
  int32_t line = 0;
  for (int32_t i = 1; i < r->lineCount; ++i)
    if (RowStart(r, i) <= x) line = i;
  return line;
}

// The display line of a display v: the last whose top lies above it.
int32_t LineOfV(const MERecord* r, float v) {
  int32_t line = 0;
  for (int32_t i = 1; i < r->lineCount; ++i)
    if (RowTop(r, i) < v) line = i;
  return line;
}

float LineWidth(const MERecord* r, int32_t i) {
  return (i + 1 < r->lineCount ? RowStart(r, i + 1) : RootWidth(r)) - RowStart(r, i);
}

void ClearOverflowBelow(ExpressionRecord* node) {
  ForEachTopDown(node, [](ExpressionRecord* n) {
    if (n->editData) n->editData->overflow = 0;
  });
}

void ClearUnbreakableOverflow(ExpressionRecord* root) {
  ForEachTopDownWhere(root, [](ExpressionRecord* n) {
    if (!IsUnbreakable(n)) return true;
    ClearOverflowBelow(n);
    return false;
  });
}

bool GivesBreakPoint(const ExpressionRecord* n) {
  const ExpressionRecord* p = n->parent;
  if (!p || !p->editData || !p->editData->overflow) return false;
  return !(p->opcode == kOpEquals && (n->opcode == kOpAtom || n->opcode == kOpMatrix));
}

// A table of n rows counted against the memory budget; null when refused.
LineRow* NewRows(int32_t n) {
  return static_cast<LineRow*>(OurAllocateMemory(sizeof(LineRow) * static_cast<size_t>(n), true));
}

bool ResetTable(MERecord* r) {
  // Most layouts keep their one line: its table serves again.
  if (r->lineRows && r->lineCount == 1) {
    r->lineRows[0] = {0, 0};
  } else {
    LineRow* rows = NewRows(1);
    if (!rows) return false;
    OurDisposeMemory(r->lineRows);
    r->lineRows = rows;
  }
  r->lineCount = 1;
  r->widestLine = RootWidth(r);
  return true;
}

void BreakLines(MERecord* r, const float* points, int32_t count) {
  if (count == 0) return;
  for (int32_t i = 0; i < r->lineCount; ++i) {
    for (;;) {
      const float start = RowStart(r, i);
      if (!(LineWidth(r, i) > r->wrapWidth)) break;
      const float limit = start + r->wrapWidth;
      if (!(points[0] < limit)) break;
      const float* k = std::lower_bound(points, points + count, limit);
      if (k == points + count || !(*k > start)) break;
      if (k > points && k[-1] > start) {
        if (!UserBreak(k[-1])) return;
        continue;
      }
      if (!UserBreak(*k)) return;
      break;
    }
  }
}

FPoint DisplayOf(const MERecord* r, float lineX, float x, float y) {
  if (r->lineCount < 2) return {y, x};
  const int32_t i = LineOfX(r, lineX);
  return {y + RowTop(r, i), x - RowStart(r, i)};
}

void DrawSteps(float x, float y, float w, const FPoint* steps, int32_t count, MathGraphicsContext* context) {
  const MERecord* r = gMathCurrentMEH;
  const FPoint start = r ? DisplayOf(r, x + w, x + w, y) : FPoint{y, x + w};
  DIM_MoveTo(start.h, start.v, context);
  DIM_DrawPolyLine(count, steps, context);
}

}  // namespace

void LB_Precompute() {}

void LB_ComputeLineBreaks() {
  MERecord* r = gMathCurrentMEH;
  if (!r || !r->root || !ResetTable(r)) return;
  // Overflow marks reach up to the root: without one there is no break.
  if (!r->root->editData || !r->root->editData->overflow) return;
  ClearUnbreakableOverflow(r->root);
  int32_t nodes = 0;
  ForEachTopDown(r->root, [&](ExpressionRecord*) { ++nodes; });
  auto* points = static_cast<float*>(OurAllocateMemory(sizeof(float) * static_cast<size_t>(nodes), false));
  if (!points) return;
  // A break at the formula's right end would only start an empty line.
  const float end = RootWidth(r);
  int32_t count = 0;
  ForEachBottomUp(r->root, [&](ExpressionRecord* n) {
    const float right = n->editData->left + n->editData->width;
    if (count < nodes && GivesBreakPoint(n) && right < end) points[count++] = right;
  });
  // Operands are not always placed left to right.
  std::sort(points, points + count);
  BreakLines(r, points, count);
  OurDisposeMemory(points);
}

bool UserBreak(float x) {
  MERecord* r = gMathCurrentMEH;
  if (!r) return false;
  const int32_t count = r->lineCount + 1;
  LineRow* rows = NewRows(count);
  if (!rows) return false;
  int32_t out = 0;
  int32_t in = 0;
  for (; in < r->lineCount && RowStart(r, in) < x; ++in) rows[out++] = {RowStart(r, in), 0};
  rows[out++] = {x, 0};
  for (; in < r->lineCount; ++in) rows[out++] = {RowStart(r, in), 0};
  OurDisposeMemory(r->lineRows);
  r->lineRows = rows;
  r->lineCount = count;
  const float height = LineHeight(r);
  float widest = 0;
  for (int32_t i = 0; i < count; ++i) {
    rows[i].top = static_cast<float>(i) * height;
    widest = std::max(widest, LineWidth(r, i));
  }
  r->widestLine = widest;
  return true;
}

void UnVirtual(FPoint* point) {
  const MERecord* r = gMathCurrentMEH;
  if (!point || !r || r->lineCount < 2) return;
  const int32_t i = LineOfV(r, point->v);
  point->h += RowStart(r, i);
  point->v -= RowTop(r, i);
}

FPoint ToDisplay(float x, float y) {
  const MERecord* r = gMathCurrentMEH;
  return r ? DisplayOf(r, x, x, y) : FPoint{y, x};
}

void LB_MoveTo(float x, float y, MathGraphicsContext* context) {
  const FPoint p = ToDisplay(x, y);
  DIM_MoveTo(p.h, p.v, context);
}

void LB_LineTo(float x, float y, MathGraphicsContext* context) {
  const FPoint p = ToDisplay(x, y);
  DIM_LineTo(p.h, p.v, context);
}

void LB_InvertRect(const FRect& box, bool plain, MathGraphicsContext* context) {
  const MERecord* r = gMathCurrentMEH;
  if (!r || r->lineCount < 2) {
    DIM_InvertRect(box, plain, context);
    return;
  }
  const int32_t first = LineOfX(r, box.left);
  const int32_t last = LineOfX(r, box.right);
  const auto moved = [&](int32_t line, float left, float right) {
    return FRect{box.top + RowTop(r, line), left, box.bottom + RowTop(r, line), right};
  };
  if (first == last) {
    DIM_InvertRect(moved(first, box.left - RowStart(r, first), box.right - RowStart(r, first)), plain, context);
    return;
  }
  DIM_InvertRect(moved(first, box.left - RowStart(r, first), r->widestLine), false, context);
  for (int32_t line = first + 1; line < last; ++line)
    DIM_InvertRect(FRect{RowTop(r, line), 0, RowTop(r, line + 1), r->widestLine}, false, context);
  DIM_InvertRect(moved(last, 0, box.right - RowStart(r, last)), false, context);
}

float LB_Width(const MERecord* record) {
  if (!record) return 0;
  return record->lineCount < 2 ? RootWidth(record) : record->wrapWidth;
}

float LB_Height(const MERecord* record) {
  if (!record) return 0;
  return LineHeight(record) * static_cast<float>(std::max(record->lineCount, 1));
}

void DrawBracket(float x, float y, float w, float h, MathGraphicsContext* context) {
  const FPoint steps[3] = {{0, -w}, {-h, 0}, {0, w}};
  DrawSteps(x, y, w, steps, 3, context);
}

void DrawHalfBracket(float x, float y, float w, float h, MathGraphicsContext* context) {
  const FPoint steps[2] = {{0, -w}, {-h, 0}};
  DrawSteps(x, y, w, steps, 2, context);
}
