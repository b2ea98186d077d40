#include "expression/MathEditRecord.h"
#include "matheditor/Composing.h"
#include "matheditor/LineBreaking.h"
#include "matheditor/MathTypesetState.h"
#include "matheditor/Typesetters.h"

#include <algorithm>
#include <vector>

namespace {

// Largest adjusted descent and ascent and summed width of a run of scripts
// set side by side from x0.
struct ScriptRun {
  float descent = 0;
  float ascent = 0;
  float width = 0;
};

ScriptRun PlaceScripts(ExpressionRecord* node, int32_t from, int32_t to, float x0, float size) {
  ScriptRun run;
  float x = x0;
  for (int32_t i = from; i < to; ++i) {
    EditData& e = Box(node->operands[i]);
    const float t = e.composed ? 0.0f : kMathAxis * size;
    run.descent = std::max(run.descent, e.descent - t);
    run.ascent = std::max(run.ascent, e.ascent + t);
    run.width += e.width;
    e.leftOffset = x;
    x += e.width;
  }
  return run;
}

void SetScriptBottoms(ExpressionRecord* node, int32_t from, int32_t to, float size, float baseline) {
  for (int32_t i = from; i < to; ++i) {
    EditData& e = Box(node->operands[i]);
    const float t = e.composed ? 0.0f : kMathAxis * size;
    e.bottomOffset = (e.descent - t) - baseline;
  }
}

struct MatrixShapeOf {
  int32_t rows;
  int32_t columns;
};

// A shape that does not match the operands is read as one row.
MatrixShapeOf ShapeOf(const ExpressionRecord* node) {
  const int32_t rows = node->payload.shape.rows;
  const int32_t columns = node->payload.shape.columns;
  if (rows >= 1 && columns >= 1 && rows * columns == node->operandCount) return {rows, columns};
  return {1, std::max<int32_t>(node->operandCount, 1)};
}

}  // namespace

void indexes_(ExpressionRecord* node, int32_t mode, MathGraphicsContext*) {
  if (mode != 0 || node->operandCount < 1) return;
  const float s0 = gMathFontSize;
  const EditData& base = Box(node->operands[0]);
  const float x0 = base.width + 0.038f * s0;
  const int32_t n = node->operandCount;
  const int32_t k = std::clamp<int32_t>(node->payload.shape.columns, 0, n - 1);
  if (n > 1) MathTextSize(gMathScriptSize[std::min<int>(Box(node->operands[1]).sizeLevel, 5)]);
  const float s1 = gMathFontSize;
  const ScriptRun sub = PlaceScripts(node, 1, k + 1, x0, s1);
  const ScriptRun sup = PlaceScripts(node, k + 1, n, x0, s1);
  const float hs = sub.ascent + sub.descent;
  const float hp = sup.ascent + sup.descent;
  const float baseHeight = base.ascent + base.descent;
  const float drop = Sup_Drop(baseHeight, hs);
  const float raise = Sup_Drop(base.ascent, hp);
  const float u = std::max(hs - drop, 0.0f);
  Box(node->operands[0]).leftOffset = 0;
  Box(node->operands[0]).bottomOffset = -u;
  SetScriptBottoms(node, 1, k + 1, s1, sub.descent);
  SetScriptBottoms(node, k + 1, n, s1, baseHeight + u - raise + sup.descent);
  EditData& e = Box(node);
  e.width = std::max(sup.width, sub.width) + x0;
  e.descent = base.descent + u;
  e.ascent = sup.width == 0 ? base.ascent : base.ascent - raise + sup.ascent + sup.descent;
  e.composed = base.composed;
}

void matrix_(ExpressionRecord* node, int32_t mode, MathGraphicsContext* context) {
  const float s = gMathFontSize;
  const MatrixShapeOf shape = ShapeOf(node);
  EditData& e = Box(node);
  if (mode == 1) {
    const float h = e.ascent + e.descent;
    DrawBracket(e.left + 0.2f * s, e.bottom - 0.2f * s, 0.3f * s, h - 0.4f * s, context);
    DrawBracket(e.left + e.width - 0.2f * s, e.bottom - 0.2f * s, -0.3f * s, h - 0.4f * s, context);
    return;
  }
  const auto cell = [&](int32_t r, int32_t c) -> ExpressionRecord* {
    const int32_t i = r * shape.columns + c;
    return i < node->operandCount ? node->operands[i] : nullptr;
  };
  const auto shift = [&](const ExpressionRecord* x) { return Box(x).composed ? 0.0f : kMathAxis * s; };
  std::vector<float> rowDescent(shape.rows, 0), rowAscent(shape.rows, 0), columnWidth(shape.columns, 0);
  for (int32_t r = 0; r < shape.rows; ++r)
    for (int32_t c = 0; c < shape.columns; ++c)
      if (const ExpressionRecord* x = cell(r, c)) {
        rowDescent[r] = std::max(rowDescent[r], Box(x).descent - shift(x));
        rowAscent[r] = std::max(rowAscent[r], Box(x).ascent + shift(x));
        columnWidth[c] = std::max(columnWidth[c], Box(x).width);
      }
  float height = 0.4f * s;
  for (int32_t r = 0; r < shape.rows; ++r) height += rowAscent[r] + rowDescent[r] + 0.4f * s;
  float width = 0.4f * s;
  for (int32_t c = 0; c < shape.columns; ++c) width += columnWidth[c] + 0.6f * s;
  e.width = width;
  e.ascent = height / 2;
  e.descent = height - height / 2;
  e.composed = 0;
  float below = 0;  // heights of the rows under the current one
  for (int32_t r = shape.rows - 1; r >= 0; --r) {
    float before = 0;  // widths of the columns left of the current one
    for (int32_t c = 0; c < shape.columns; ++c) {
      if (ExpressionRecord* x = cell(r, c)) {
        EditData& xe = Box(x);
        xe.leftOffset = (columnWidth[c] - xe.width) / 2 + 0.3f * s + 0.2f * s + before + gMathLineWidth;
        xe.bottomOffset = -((rowDescent[r] - (xe.descent - shift(x))) + 0.2f * s + below);
      }
      before += columnWidth[c] + 0.6f * s;
    }
    below += rowAscent[r] + rowDescent[r] + 0.4f * s;
  }
}
