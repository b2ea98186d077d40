#include "expression/ParsedNodes.h"

#include "CoreUtilities/text/OurString.h"
#include "expression/NodeContents.h"
#include "expression/NodeMemory.h"
#include "expression/OperatorTable.h"
#include "expression/ParseNames.h"
#include "expression/ParserState.h"
#include "expression/SimplifierPasses.h"
#include "expression/TreeBuilding.h"
#include "expression/TreeDisposal.h"
#include "expression/TreeRewriting.h"
#include "expression/TreeSurgery.h"
#include "expression/TreeWalking.h"

#include <cstdlib>
#include <utility>
#include <vector>

namespace {

bool IsCommaWithTwo(const ExpressionRecord* node) { return node->opcode == kOpComma && node->operandCount == 2; }

// Kinds whose call form takes a list of two: the list becomes the operands,
// anything else gets a prompt as its missing second operand.
bool TakesTwoArguments(OpCodeT kind) {
  switch (kind) {
    case kOpSn:
    case kOpDot:
    case kOpChoice:
    case kOpCross:
    case kOpInterval:
    case kOpBesselJ:
    case kOpIf:
    case kOpEquals:
    case kOpPower: return true;
    default: return false;
  }
}

// Infix-list kinds without an infix token: their whole list is kept.
bool TakesArgumentList(OpCodeT kind) { return kind == kOpNotEqual || kind == kOpIn; }

bool TakesOneOrTwoArguments(OpCodeT kind) { return kind == kOpLog || kind == kOpSqrt || kind == kOpGrad; }

// Flattens the argument in place, keeping the node list free of the shells
// the flattening frees.
bool FlattenRecorded(ExpressionRecord* argument) {
  std::vector<ExpressionRecord*> before;
  for (ExpressionRecord* node = argument; node; node = NextTopDownWithin(node, argument)) before.push_back(node);
  SIMP_RemoveParensRecurse(argument);
  yyForgetFreedNodes(before.data(), static_cast<int32_t>(before.size()), argument);
  return true;
}

ExpressionRecord* WithPrompt(OpCodeT kind, ExpressionRecord* argument) {
  ExpressionRecord* prompt = NewPrompt();
  if (!prompt) return nullptr;
  yyAdd(prompt);
  ExpressionRecord* node = ParsedBinary(kind, argument, prompt);
  return node ? yyAdd(node) : nullptr;
}

// Two-operand kinds (the table's, the subscript and the integral's
// shortest form) must have their two operands after normalisation.
int32_t RequiredOperands(const ExpressionRecord* node) {
  if (node->opcode == kOpIndexes) return 2;
  const OperatorInfo* info = FindOperatorInfo(node->opcode);
  return info && info->arity == 2 ? 2 : 0;
}

bool PadOrAccept(ExpressionRecord* node) {
  const int32_t required = RequiredOperands(node);
  if (required == 0) return true;
  if (node->opcode == kOpIndexes) node->payload.shape = MatrixShape{0, 1};
  if (node->opcode == kOpIntegral && node->operandCount >= 2 && node->operandCount <= 4) return true;
  // An integral has at most four parts; a longer list stayed one operand
  // and would grow by a prompt on every reading.
  if (node->opcode == kOpIntegral && node->operandCount == 1 && node->operands[0]->opcode == kOpComma) return false;
  if (node->operandCount == required) return true;
  if (node->operandCount != 1) return false;
  ExpressionRecord* prompt = NewPrompt();
  if (!prompt || !SizeNode(node, 2)) {
    DisposeNode(prompt);
    return false;
  }
  node->operands[1] = prompt;
  prompt->parent = node;
  return true;
}

bool MatrixShapeFits(ExpressionRecord* node) {
  if (node->opcode != kOpMatrix) return true;
  if (node->payload.shape.rows == 0 && node->operandCount == 1 && node->operands[0]->opcode != kOpComma)
    node->payload.shape = MatrixShape{1, 1};
  const MatrixShape shape = node->payload.shape;
  return shape.rows >= 1 && shape.columns >= 1 && int32_t{shape.rows} * shape.columns == node->operandCount;
}

bool IsWellFormed(ExpressionRecord* tree) {
  std::vector<std::pair<ExpressionRecord*, int32_t>> pending{{tree, 1}};
  while (!pending.empty()) {
    auto [node, depth] = pending.back();
    pending.pop_back();
    if (depth > kMostParsedNesting || !PadOrAccept(node) || !MatrixShapeFits(node)) return false;
    for (int32_t i = 0; i < node->operandCount; ++i) pending.emplace_back(node->operands[i], depth + 1);
  }
  return true;
}

}  // namespace

ExpressionRecord* ParsedBinary(OpCodeT kind, ExpressionRecord* a, ExpressionRecord* b) {
  ExpressionRecord* node = NewExpression(kind, 2);
  if (!node) return nullptr;
  node->operands[0] = a;
  node->operands[1] = b;
  AdoptOperands(node);
  return node;
}

ExpressionRecord* ParsedUnary(OpCodeT kind, ExpressionRecord* a) {
  ExpressionRecord* node = NewExpression(kind, 1);
  if (!node) return nullptr;
  node->operands[0] = a;
  AdoptOperands(node);
  return node;
}

ExpressionRecord* ParsedDifference(ExpressionRecord* a, ExpressionRecord* b) {
  ExpressionRecord* negated = ParsedUnary(kOpMinus, b);
  if (!negated) return nullptr;
  yyAdd(negated);
  return ParsedBinary(kOpPlus, a, negated);
}

ExpressionRecord* ParsedSubscript(ExpressionRecord* base, ExpressionRecord* index) {
  ExpressionRecord* node = ParsedBinary(kOpIndexes, base, index);
  if (node) node->payload.shape = MatrixShape{0, 1};
  return node;
}

ExpressionRecord* ParsedNameAtom(char* name) {
  const int32_t id = VariableIDOfParsedName(name);
  std::free(name);
  return id == 0 ? nullptr : Atomic(id);
}

ExpressionRecord* ParsedString(UniChar* text) {
  ExpressionRecord* node = NewExpression(kOpString, 0);
  if (!node) {
    DisposeParsedString(text);
    return nullptr;
  }
  node->text = text;
  return node;
}

void DisposeParsedString(UniChar* text) { OurStringDispose(text); }

ExpressionRecord* ParsedNamedApplication(char* name, ExpressionRecord* argument) {
  const OpCodeT kind = ParseOp(name);
  if (kind == 0) {
    ExpressionRecord* function = ParsedNameAtom(name);
    if (!function) return nullptr;
    yyAdd(function);
    ExpressionRecord* node = ParsedBinary(kOpFunction, function, argument);
    return node ? yyAdd(node) : nullptr;
  }
  std::free(name);
  if (TakesArgumentList(kind) && argument->opcode == kOpComma) {
    FlattenRecorded(argument);
    argument->opcode = kind;
    return argument;
  }
  if ((TakesTwoArguments(kind) || TakesArgumentList(kind) || TakesOneOrTwoArguments(kind)) &&
      IsCommaWithTwo(argument)) {
    argument->opcode = kind;
    return argument;
  }
  if (TakesTwoArguments(kind) || TakesArgumentList(kind)) return WithPrompt(kind, argument);
  ExpressionRecord* node = ParsedUnary(kind, argument);
  return node ? yyAdd(node) : nullptr;
}

ExpressionRecord* ParsedColumnVector(ExpressionRecord* argument) {
  FlattenRecorded(argument);
  if (argument->opcode == kOpComma) {
    argument->opcode = kOpMatrix;
    argument->payload.shape = MatrixShape{argument->operandCount, 1};
    return argument;
  }
  ExpressionRecord* node = ParsedUnary(kOpMatrix, argument);
  if (!node) return nullptr;
  node->payload.shape = MatrixShape{1, 1};
  return yyAdd(node);
}

ExpressionRecord* FinishParsedTree(ExpressionRecord* tree) {
  MATH_RemoveIdentities(tree);
  FlattenSumsAndProducts(tree);
  SIMP_RemoveParensRecurse(tree);
  SIMP_FixSummationCommaMess(tree);
  yyForget();
  if (IsWellFormed(tree)) return tree;
  DisposExpr(tree);
  return nullptr;
}
