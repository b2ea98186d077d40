#include "graphpane/EquationDefinitions.h"

#include "expression/SymbolTable.h"
#include "expression/VariableIds.h"

namespace {

bool IsTwoSidedEquation(const ExpressionRecord* tree) {
  return tree != nullptr && tree->opcode == kOpEquals && tree->operandCount == 2;
}

bool IsCoordinateName(const ExpressionRecord* node) {
  return node->opcode == kOpAtom && Is_xyzwtuvr_theta_phi(node->payload.id);
}

bool IsSubscripted(const ExpressionRecord* node) {
  return node->opcode == kOpIndexes && node->operandCount >= 1 && node->operands[0]->opcode == kOpAtom;
}

}  // namespace

std::optional<Complex> ComplexConstantValue(const ExpressionRecord* node) {
  if (node == nullptr) return std::nullopt;
  switch (node->opcode) {
    case kOpNumber: return Complex{node->payload.number->value, 0};
    case kOpAtom:
      if (node->payload.id == kIdI) return Complex{0, 1};
      return std::nullopt;
    case kOpLParen:
    case kOpBracket: return node->operandCount == 1 ? ComplexConstantValue(node->operands[0]) : std::nullopt;
    case kOpMinus: {
      if (node->operandCount < 1 || node->operandCount > 2) return std::nullopt;
      const auto first = ComplexConstantValue(node->operands[0]);
      if (!first) return std::nullopt;
      if (node->operandCount == 1) return Complex{-first->re, -first->im};
      const auto second = ComplexConstantValue(node->operands[1]);
      if (!second) return std::nullopt;
      return Complex{first->re - second->re, first->im - second->im};
    }
    case kOpPlus:
    case kOpTimes: {
      if (node->operandCount == 0) return std::nullopt;
      Complex result = node->opcode == kOpPlus ? Complex{0, 0} : Complex{1, 0};
      for (int i = 0; i < node->operandCount; ++i) {
        const auto term = ComplexConstantValue(node->operands[i]);
        if (!term) return std::nullopt;
        if (node->opcode == kOpPlus)
          result = {result.re + term->re, result.im + term->im};
        else
          result = {result.re * term->re - result.im * term->im, result.re * term->im + result.im * term->re};
      }
      return result;
    }
    default: return std::nullopt;
  }
}

bool IsParameterName(const ExpressionRecord* node) {
  if (node == nullptr || node->opcode != kOpAtom) return false;
  const int32_t id = node->payload.id;
  return !Is_xyzwtuvr_theta_phi_pi_degree_e_i_inf(id) && !IsReservedWord(id);
}

bool IsExprDefinition(const ExpressionRecord* tree) {
  if (!IsTwoSidedEquation(tree)) return false;
  const ExpressionRecord* left = tree->operands[0];
  if (IsParameterName(left) || IsSubscripted(left)) return true;
  return left->opcode == kOpFunction && left->operandCount >= 1 && IsParameterName(left->operands[0]);
}

bool IsExprPointPlot(const ExpressionRecord* tree) {
  if (!IsTwoSidedEquation(tree) || !IsParameterName(tree->operands[0])) return false;
  const auto value = ComplexConstantValue(tree->operands[1]);
  return value && value->im != 0;
}

bool IsExprGraphableDefinition(const ExpressionRecord* tree) {
  return IsTwoSidedEquation(tree) && IsSubscripted(tree->operands[0]) &&
         IsCoordinateName(tree->operands[0]->operands[0]);
}
