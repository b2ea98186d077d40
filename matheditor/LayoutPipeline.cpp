#include "matheditor/LayoutPipeline.h"

#include "platform/CheckedConvert.h"
#include "CoreUtilities/threads/ComputationDeadline.h"
#include "CoreUtilities/text/NumberText.h"
#include "expression/MathEditRecord.h"
#include "expression/OperatorTable.h"
#include "expression/SelectionGeometry.h"
#include "expression/TableHeadingQueries.h"
#include "expression/TreeBuilding.h"
#include "expression/TreeWalking.h"
#include "matheditor/DrawingLayer.h"
#include "matheditor/LineBreaking.h"
#include "matheditor/MathTypesetState.h"
#include "matheditor/TreeOrder.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <vector>

namespace {

constexpr uint8_t kTableHeadingStyle = 2;
constexpr uint8_t kRootSizeLevel = 2;
constexpr uint8_t kSmallestSizeLevel = 4;

bool EveryNodeHasEditData(ExpressionRecord* root) {
  bool every = true;
  ForEachTopDown(root, [&](ExpressionRecord* n) { every = every && n->editData; });
  return every;
}

// The formula's nodes in post-order: operands before their node, so read
// backwards every node comes before its operands. A layout goes over them
// many times once the tree stands.
using Order = std::vector<ExpressionRecord*>;

void Collect(ExpressionRecord* root, Order& order) {
  order.clear();
  ForEachBottomUp(root, [&](ExpressionRecord* n) { order.push_back(n); });
}

// Gives every node edit data, starting each layout with no overflow left
// from an earlier wrap width; false when some node could not get any.
bool PrepareEditData(const Order& order) {
  bool complete = true;
  for (ExpressionRecord* n : order) {
    if (!n->editData) n->AllocateEditDataIfNecessary();
    if (n->editData)
      n->editData->overflow = 0;
    else
      complete = false;
  }
  return complete;
}

// An abandoned layout leaves no box behind to draw or select.
void EmptyEveryBox(ExpressionRecord* root) {
  ForEachTopDown(root, [](ExpressionRecord* n) {
    if (EditData* e = n->editData) {
      e->bottom = e->left = e->ascent = e->descent = e->width = 0;
      e->bottomOffset = e->leftOffset = 0;
    }
  });
}

float SizeOfLevel(uint8_t level) { return gMathScriptSize[std::min<uint8_t>(level, 5)]; }

// Whether operand i of p is set one script size smaller than p.
bool ScriptSizeStep(const ExpressionRecord* p, int32_t i) {
  switch (p->opcode) {
    case kOpPower:
    case kOpSn: return i == 1 && !p->editData->overflow;
    case kOpSum:
    case kOpProduct:
    case kOpSubstitution:
    case kOpIndexes:
    case kOpLog:
    case kOpGrad:
    case kOpSqrt:
    case kOpBesselJ: return i >= 1;
    case kOpOpTotal:
    case kOpOpPartial: return i == 1;
    default: return false;
  }
}

void MarkOverflow(ExpressionRecord* node, float wrapWidth) {
  if (node->editData->overflow || !(node->editData->width > wrapWidth)) return;
  for (ExpressionRecord* n = node; n; n = n->parent) n->editData->overflow = 1;
}

void MarkTableHeadings(const Order& order, const DocumentRecord* document) {
  for (ExpressionRecord* n : order) {
    const bool heading = n->opcode == kOpAtom && document && IsIDTableHeading(n->payload.id, document);
    if (heading)
      n->editData->styleFlags |= kTableHeadingStyle;
    else
      n->editData->styleFlags &= static_cast<uint8_t>(~kTableHeadingStyle);
  }
}

void FixSizes(const Order& order) {
  order.back()->editData->sizeLevel = kRootSizeLevel;
  for (auto n = order.rbegin(); n != order.rend(); ++n) {
    ExpressionRecord* p = *n;
    const uint8_t level = p->editData->sizeLevel;
    for (int32_t i = 0; i < p->operandCount; ++i)
      if (ExpressionRecord* o = p->operands[i])
        o->editData->sizeLevel = ScriptSizeStep(p, i) ? std::min<uint8_t>(level + 1, kSmallestSizeLevel) : level;
  }
}

// False when an export's deadline passed first: the boxes are then only
// partly set, and the caller lays out nothing.
bool IterateOnce(const Order& order) {
  constexpr size_t kNodesBetweenClockReads = 64;
  MERecord* r = gMathCurrentMEH;
  const float wrapWidth = r ? r->wrapWidth : kNoWrapWidth;
  for (size_t k = 0; k < order.size(); ++k) {
    if (k % kNodesBetweenClockReads == 0 && DrawingDeadlinePassed()) return false;
    TypesetNode(order[k], 0, nullptr);
    MarkOverflow(order[k], wrapWidth);
  }
  if (!r) return true;
  const EditData& e = *order.back()->editData;
  r->baselineOffset = DoubleToInt32(e.descent - (e.composed ? 0.0f : kMathAxis * gMathFontSize));
  return true;
}

void Place(const Order& order) {
  EditData& r = *order.back()->editData;
  r.leftOffset = 0;
  r.bottomOffset = r.ascent + r.descent;
  r.left = r.leftOffset;
  r.bottom = r.bottomOffset;
  for (auto n = order.rbegin() + 1; n != order.rend(); ++n) {
    EditData& e = *(*n)->editData;
    const EditData& p = *(*n)->parent->editData;
    e.bottom = p.bottom + e.bottomOffset;
    e.left = p.left + e.leftOffset;
  }
}

// Whether the display text reads back as the value: Str2D(text) == value,
// without the general reader for plain decimals of up to 15 digits. Their
// digits and their power of ten are exact doubles, so one division gives
// the correctly rounded value any reader gives.
bool TextReadsAs(const UniChar* text, double value) {
  constexpr int kExactDigits = 15;
  double digits = 0;
  int count = 0;
  int fraction = -1;  // digits after the point; -1 before one
  for (const UniChar* c = text; *c; ++c) {
    if (*c == u'.' && fraction < 0 && count > 0) {
      fraction = 0;
      continue;
    }
    if (*c < u'0' || *c > u'9' || ++count > kExactDigits) return Str2D(text) == value;
    digits = digits * 10 + (*c - u'0');
    if (fraction >= 0) ++fraction;
  }
  if (count == 0 || fraction == 0) return Str2D(text) == value;
  static constexpr double kPowers[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                       1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
  return (fraction > 0 ? digits / kPowers[fraction] : digits) == value;
}

// x times 10^shift, rounded once from x's shortest decimal digits: a
// division by a power of ten rounds twice (1.5e30 / 1e30 is not 1.5) and
// loses the digits of a subnormal, so the mantissa would not read back as
// the digits shown and the next layout would show other digits.
double ShiftedByPowerOfTen(double x, int32_t shift) {
  char text[64];
  char* end = std::to_chars(text, text + sizeof text - 16, x, std::chars_format::scientific).ptr;
  char* e = std::find(text, end, 'e');
  int32_t exponent = 0;
  std::from_chars(e + 1 + (e[1] == '+'), end, exponent);
  end = std::to_chars(e + 1, text + sizeof text, exponent + shift).ptr;
  double shifted = x;
  std::from_chars(text, end, shifted);
  return shifted;
}

// Gives a number its display text, splitting a power of ten off into a
// scientific-notation node; true when the tree changed.
bool NumberToString(ExpressionRecord* n) {
  if (n->opcode != kOpNumber || !n->payload.number) return false;
  NumberBlock& number = *n->payload.number;
  if (TextReadsAs(number.text, number.value)) return false;
  int32_t exponent = 0;
  D2StrE(number.value, number.text, &exponent);
  if (exponent == 0) return false;
  const double mantissa = ShiftedByPowerOfTen(number.value, -exponent);
  ExpressionRecord* power = Number(exponent);
  if (!power) return false;
  D2Str(exponent, power->payload.number->text);
  number.value = mantissa;
  D2Str(mantissa, number.text);  // the digits the next layout finds
  DO_BinOpOn(n, power, 1, kOpSn);
  return true;
}

// Numbers to display text and the parentheses the hierarchy asks for, in
// one walk (both look only below the node they change); the order of the
// tree they leave.
void ImplementHierarchy(ExpressionRecord* root, Order& order) {
  order.clear();
  bool changed = false;
  ForEachBottomUp(root, [&](ExpressionRecord* n) {
    changed = NumberToString(n) || changed;
    changed = HIER_ParenthesizeOperands(n) || changed;
    order.push_back(n);
  });
  if (changed) Collect(root, order);
}

}  // namespace

void TypesetNode(ExpressionRecord* node, int32_t mode, MathGraphicsContext* context) {
  MathTextSizeAndNormalFace(SizeOfLevel(node->editData->sizeLevel));
  const OperatorInfo* info = FindOperatorInfo(node->opcode);
  if (info) GetTypesetHandler(info->handler)(node, mode, context);
}

void setfont(ExpressionRecord* node) {
  node->AllocateEditDataIfNecessary();
  if (node->editData && (node->editData->styleFlags & kTableHeadingStyle)) UseBold();
}

void ORIGINS_NumbersToStrings(ExpressionRecord* node) {
  if (!node) return;
  ForEachBottomUp(node, [](ExpressionRecord* n) { NumberToString(n); });
}

void HIER_FixSizes(ExpressionRecord* root) {
  BorrowedVector<ExpressionRecord*> order;
  Collect(root, *order);
  FixSizes(*order);
}

void ORIGINS_IterateOnce(ExpressionRecord* root) {
  BorrowedVector<ExpressionRecord*> order;
  Collect(root, *order);
  IterateOnce(*order);
}

void MATH_Hmm() {
  MERecord* r = gMathCurrentMEH;
  if (!r || !r->root) return;
  if (r->layoutValid && r->wrapWidth == r->lastLayoutWidth) return;
  gMathScriptSize = r->sizeTable ? r->sizeTable : gMathDefaultSizes;
  LB_Precompute();
  ExpressionRecord* root = r->root;
  BorrowedVector<ExpressionRecord*> borrowed;
  Order& order = *borrowed;
  ImplementHierarchy(root, order);
  const auto layNothing = [&] {
    r->layoutValid = 0;
    EmptyEveryBox(root);
  };
  if (!PrepareEditData(order)) return layNothing();
  FixSizes(order);
  MarkTableHeadings(order, r->document);
  if (!IterateOnce(order)) return layNothing();
  if (root->editData->overflow) {
    FixSizes(order);
    if (!IterateOnce(order)) return layNothing();
  }
  Place(order);
  LB_ComputeLineBreaks();
  r->layoutValid = 1;
  r->lastLayoutWidth = r->wrapWidth;
}

void OUTPUT_DrawExpression(ExpressionRecord* root, MathGraphicsContext* context) {
  if (!root || !EveryNodeHasEditData(root)) return;
  const PortTextPass pass;
  // An export out of time keeps what it drew of a long formula.
  ForEachBottomUp(root, [&](ExpressionRecord* n) {
    if (!DrawingDeadlinePassed()) TypesetNode(n, 1, context);
  });
}

void MATH_GetIPCoords(float* x, float* y1, float* y2) {
  const MERecord* r = gMathCurrentMEH;
  if (!r) return;
  FRect box, companion;
  ME_GetIPRect(box, companion);
  const bool emptyTextRange = r->rangeStart == r->rangeEnd;
  switch (r->caretType) {
    case kIPAfterNode:
      *x = box.right - 1;
      *y1 = box.bottom - 1;
      *y2 = box.top;
      return;
    case kIPStringText:
    case kIPNumberText:
    case kIPNameText:
      if (!emptyTextRange) return;
      [[fallthrough]];
    case kIPBeforeNode:
      *x = box.left;
      *y1 = box.bottom;
      *y2 = box.top;
      return;
    case kIPWholeNode:
      *x = (box.left + box.right) / 2;
      *y1 = box.bottom;
      *y2 = box.top;
      return;
    default: return;
  }
}

void ORIGINS_RecalculateAndDraw2() {
  MERecord* r = gMathCurrentMEH;
  if (!r) return;
  r->layoutValid = 0;
  r->layoutValid2 = 0;
  if (!r->root) return;
  ForEachBottomUp(r->root, [](ExpressionRecord* n) { n->AllocateEditDataIfNecessary(); });
  if (EditData* e = r->root->editData) e->width = e->descent = e->ascent = 0;
}

void DoubleCheckEditingDataInCurrentMEH() {
  MERecord* r = gMathCurrentMEH;
  if (r && r->layoutValid && r->root && !EveryNodeHasEditData(r->root)) r->layoutValid = 0;
}
