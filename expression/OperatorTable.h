#pragma once

#include "CoreUtilities/text/UniChar.h"
#include "expression/ExpressionRecord.h"
#include "expression/OperatorKinds.h"

#include <cstdint>

// The typesetting handlers of the math editor, one per row of the operator
// table; IsFxn asks whether a kind uses kSin.
enum class Typesetter : uint8_t {
  kNum,
  kPrompt,
  kAtomic,
  kString,
  kIndexes,
  kMatrix,
  kSin,
  kIntegral2,
  kExtended,
  kPrefix,
  kInfix,
  kParens,
  kBranch,
  kSqrt,
  kTothe,
  kTentothe,
  kDiv,
  kLog,
  kFxn,
  kBesselj,
  kDel,
  kLap,
  kNegate,
  kFact,
  kDagger,
  kSet,
  kFloor,
  kCeiling,
  kAbs,
  kOverbar,
  kSubst,
  kDerivs,
  kInner,
  kHat,
};
inline constexpr int32_t kTypesetterCount = static_cast<int32_t>(Typesetter::kHat) + 1;

// Supplied by the math editor; the context may be null (mode 0 measures,
// mode 1 draws).
struct MathGraphicsContext;
using TypesetHandler = void (*)(ExpressionRecord* node, int32_t mode, MathGraphicsContext* context);

// The editor installs its handlers at start-up; until then every slot
// holds a handler that leaves the node unmeasured and draws nothing.
void SetTypesetHandler(Typesetter which, TypesetHandler handler);
TypesetHandler GetTypesetHandler(Typesetter which);

enum SyntacticKind : uint8_t {
  kStructured = 0,  // indexes, matrix
  kTwoPartLayout = 1,
  kPostfix = 2,
  kPrefix = 3,
  kEnclosing = 4,
  kInfixList = 5,
  kLeaf = 6,
};

inline constexpr uint8_t kVariableArity = 9;

struct OperatorInfo {
  OpCodeT opcode;
  const UniChar* name;  // interned; the empty name for kinds known by character
  Typesetter handler;
  uint8_t arity;  // 0 leaves, 1 or 2 fixed, kVariableArity
  uint8_t syntacticKind;
  uint32_t displayCharacter;  // 0 when none
  uint8_t numeric;            // computable whenever its operands are
};

// Row k - 4096 for kind k; the names are interned before main runs.
extern const OperatorInfo* const gOpInfo;
// The row of a kind, or null for the internal and unknown kinds.
const OperatorInfo* FindOperatorInfo(OpCodeT kind);

struct SpecialSymbolInfo {
  const UniChar* name;  // interned
  uint32_t character;
  uint8_t variableId;
};
inline constexpr int32_t gNumSpecialSymbols = 6;
extern const SpecialSymbolInfo* const gSpecialSymbolInfo;

// Point sizes by size level; documents replace them when loaded.
extern float gMathDefaultSizes[6];

// Typeset as a named function (false for the internal kinds).
bool IsFxn(OpCodeT kind);
bool IsInequalityOrBooleanOp(OpCodeT kind);
