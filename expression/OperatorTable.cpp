#include "expression/OperatorTable.h"

#include "CoreUtilities/text/InternedStrings.h"

namespace {

using enum Typesetter;

struct RowSource {
  const char* name;
  Typesetter handler;
  uint8_t arity;
  uint8_t syntacticKind;
  uint32_t character;
  uint8_t numeric;
};

constexpr uint8_t V = kVariableArity;

constexpr RowSource kRows[gNumTemplates] = {
    {"", kNum, 0, 6, 0, 1},  // 4096
    {"", kPrompt, 0, 6, 0, 0},
    {"", kAtomic, 0, 6, 0, 0},
    {"", kString, 0, 6, 0, 0},
    {"indexes", kIndexes, V, 0, 0, 0},  // 4100
    {"matrix", kMatrix, V, 0, 0, 0},
    {"", kInfix, V, 5, 0x00B7, 1},
    {"function", kFxn, 2, 1, 0, 0},
    {"", kInfix, V, 5, 0x002B, 1},
    {"", kInfix, V, 5, 0x003D, 0},
    {"", kInfix, V, 5, 0x002C, 0},
    {"notequal", kInfix, V, 5, 0x2260, 0},
    {"", kInfix, V, 5, 0x003C, 0},
    {"leq", kInfix, V, 5, 0x2264, 0},
    {"", kInfix, V, 5, 0x003E, 0},  // 4110
    {"geq", kInfix, V, 5, 0x2265, 0},
    {"in", kInfix, V, 5, 0x220A, 0},
    {"substitution", kSubst, V, 2, 0, 0},
    {"fact", kFact, 1, 2, 0x0021, 1},
    {"superscriptT", kDagger, 1, 2, 0, 0},
    {"plusorminus", kNegate, 1, 3, 0x00B1, 0},
    {"minusorplus", kNegate, 1, 3, 0x2213, 0},
    {"minus", kNegate, 1, 3, 0x2212, 1},
    {"sin", kSin, 1, 3, 0, 1},
    {"cos", kSin, 1, 3, 0, 1},  // 4120
    {"tan", kSin, 1, 3, 0, 1},
    {"cot", kSin, 1, 3, 0, 1},
    {"csc", kSin, 1, 3, 0, 1},
    {"sec", kSin, 1, 3, 0, 1},
    {"asin", kSin, 1, 3, 0, 1},
    {"acos", kSin, 1, 3, 0, 1},
    {"atan", kSin, 1, 3, 0, 1},
    {"acot", kSin, 1, 3, 0, 1},
    {"acsc", kSin, 1, 3, 0, 1},
    {"asec", kSin, 1, 3, 0, 1},  // 4130
    {"sinh", kSin, 1, 3, 0, 1},
    {"cosh", kSin, 1, 3, 0, 1},
    {"tanh", kSin, 1, 3, 0, 1},
    {"coth", kSin, 1, 3, 0, 1},
    {"csch", kSin, 1, 3, 0, 1},
    {"sech", kSin, 1, 3, 0, 1},
    {"asinh", kSin, 1, 3, 0, 1},
    {"acosh", kSin, 1, 3, 0, 1},
    {"atanh", kSin, 1, 3, 0, 1},
    {"acoth", kSin, 1, 3, 0, 1},  // 4140
    {"acsch", kSin, 1, 3, 0, 1},
    {"asech", kSin, 1, 3, 0, 1},
    {"sgn", kSin, 1, 3, 0, 1},
    {"log", kLog, V, 3, 0, 1},
    {"sqrt", kSqrt, V, 3, 0, 1},
    {"grad", kDel, V, 3, 0, 0},
    {"div", kPrefix, 1, 3, 0x00B7, 0},
    {"curl", kPrefix, 1, 3, 0x00D7, 0},
    {"lap", kLap, 1, 3, 0, 0},
    {"optotal", kDerivs, V, 3, 0x0064, 0},  // 4150
    {"oppartial", kDerivs, V, 3, 0x2202, 0},
    {"sum", kExtended, V, 3, 0x2211, 0},
    {"product", kExtended, V, 3, 0x220F, 0},
    {"lparen", kParens, 1, 3, 0, 0},
    {"id", kParens, 1, 4, 0, 1},
    {"abs", kAbs, 1, 4, 0, 1},
    {"overline", kOverbar, 1, 4, 0, 1},
    {"over", kDiv, 2, 1, 0x2215, 1},
    {"power", kTothe, 2, 1, 0x005E, 1},
    {"sn", kTentothe, 2, 1, 0, 1},  // 4160
    {"choice", kParens, 2, 1, 0, 1},
    {"interval", kInner, 2, 1, 0, 0},
    {"dot", kInfix, 2, 1, 0x00B7, 0},
    {"cross", kInfix, 2, 1, 0x00D7, 0},
    {"floor", kFloor, 1, 4, 0, 1},
    {"ceil", kCeiling, 1, 4, 0, 1},
    {"ln", kSin, 1, 3, 0, 1},
    {"exp", kSin, 1, 3, 0, 1},
    {"arg", kSin, 1, 3, 0, 1},
    {"imag", kSin, 1, 3, 0, 1},  // 4170
    {"real", kSin, 1, 3, 0, 1},
    {"prime", kFact, 1, 2, 0x0027, 0},
    {"hat", kHat, 1, 2, 0, 0},
    {"besselj", kBesselj, 2, 1, 0x004A, 1},
    {"if", kInfix, 2, 1, 0, 1},
    {"branch", kBranch, V, 5, 0, 1},
    {"integral", kIntegral2, 2, 1, 0x222B, 0},
    {"mod", kSin, 1, 3, 0, 0},
    {"min", kSin, 1, 3, 0, 1},
    {"max", kSin, 1, 3, 0, 1},  // 4180
    {"clamp", kSin, 1, 3, 0, 0},
    {"Sum", kSin, 1, 3, 0, 1},
    {"Count", kSin, 1, 3, 0, 1},
    {"Mean", kSin, 1, 3, 0, 1},
    {"StdDev", kSin, 1, 3, 0, 1},
    {"Re", kSin, 1, 3, 0, 1},
    {"Im", kSin, 1, 3, 0, 1},
    {"slider", kSin, 1, 3, 0, 0},
    {"set", kSet, 1, 4, 0, 0},
    {"Transpose", kSin, 1, 3, 0, 0},  // 4190
    {"Trace", kSin, 1, 3, 0, 0},
    {"Det", kSin, 1, 3, 0, 0},
    {"Rotate", kSin, 1, 3, 0, 0},
    {"Interpolate", kSin, 1, 3, 0, 0},
    {"And", kSin, 1, 3, 0, 0},
    {"Or", kSin, 1, 3, 0, 0},
    {"Not", kSin, 1, 3, 0, 0},
    {"Inf", kSin, 1, 3, 0, 1},
    {"Sup", kSin, 1, 3, 0, 1},  // 4199
};

struct SpecialSymbolSource {
  const char* name;
  uint32_t character;
  uint8_t variableId;
};

constexpr SpecialSymbolSource kSpecialSymbols[gNumSpecialSymbols] = {
    {"pi", 0x03C0, 1},  {"phi", 0x03C6, 2},    {"theta", 0x03B8, 3},
    {"inf", 0x221E, 4}, {"degree", 0x00B0, 5}, {"ldots", 0x2026, 6},
};

OperatorInfo xOp_Stuff[gNumTemplates];
SpecialSymbolInfo xSpecialSymbolStuff[gNumSpecialSymbols];

// Interned before main so that names compare by pointer from then on.
[[maybe_unused]] const bool gNamesInterned = [] {
  for (int32_t row = 0; row < gNumTemplates; ++row) {
    const RowSource& source = kRows[row];
    xOp_Stuff[row] = OperatorInfo{kFirstOperatorKind + row,
                                  OurInternCString(source.name),
                                  source.handler,
                                  source.arity,
                                  source.syntacticKind,
                                  source.character,
                                  source.numeric};
  }
  for (int32_t i = 0; i < gNumSpecialSymbols; ++i) {
    const SpecialSymbolSource& source = kSpecialSymbols[i];
    xSpecialSymbolStuff[i] = SpecialSymbolInfo{OurInternCString(source.name), source.character, source.variableId};
  }
  return true;
}();

void LeaveUnmeasured(ExpressionRecord*, int32_t, MathGraphicsContext*) {}

TypesetHandler gTypesetHandlers[kTypesetterCount] = {};

}  // namespace

const OperatorInfo* const gOpInfo = xOp_Stuff;
const SpecialSymbolInfo* const gSpecialSymbolInfo = xSpecialSymbolStuff;
float gMathDefaultSizes[6] = {24.0f, 24.0f, 18.0f, 12.0f, 9.0f, 9.0f};

void SetTypesetHandler(Typesetter which, TypesetHandler handler) {
  gTypesetHandlers[static_cast<int32_t>(which)] = handler;
}

TypesetHandler GetTypesetHandler(Typesetter which) {
  const TypesetHandler handler = gTypesetHandlers[static_cast<int32_t>(which)];
  return handler ? handler : LeaveUnmeasured;
}

const OperatorInfo* FindOperatorInfo(OpCodeT kind) {
  return IsOperatorTableKind(kind) ? &gOpInfo[kind - kFirstOperatorKind] : nullptr;
}

bool IsFxn(OpCodeT kind) {
  const OperatorInfo* info = FindOperatorInfo(kind);
  return info && info->handler == kSin;
}

bool IsInequalityOrBooleanOp(OpCodeT kind) {
  return (kind >= kOpNotEqual && kind <= kOpGeq) || (kind >= kOpAnd && kind <= kOpNot) || kind == kOpConditions ||
         kind == kOpParsedBoolean;
}
