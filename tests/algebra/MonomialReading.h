#pragma once

#include "algebra/SimplifierNodes.h"

#include <cmath>
#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

// Multiplied-out trees read back as monomials, to compare with a reference
// expansion as polynomials rather than as trees.

// Exponents by variable name.
using Powers = std::map<std::string, int64_t>;

// "a^2*x" style: names sorted, exponent 1 not written, "1" for none.
inline std::string KeyOf(const Powers& powers) {
  std::string key;
  for (const auto& [name, exponent] : powers) {
    if (exponent == 0) continue;
    if (!key.empty()) key += '*';
    key += name;
    if (exponent != 1) key += '^' + std::to_string(exponent);
  }
  return key.empty() ? "1" : key;
}

// Reads one monomial of the rewritten tree: a number, a letter, a letter
// to a whole power, or a product of these, each letter once. The sign
// multiplies the exponents; false for anything else.
inline bool ReadMonomial(const ExpressionRecord* node, int64_t sign, double* coefficient, Powers* powers) {
  auto letter = [&](const ExpressionRecord* atom, int64_t exponent) {
    if (!IsKind(atom, kOpAtom) || atom->payload.id < 'a' || atom->payload.id > 'z') return false;
    const std::string name(1, char(atom->payload.id));
    if (powers->count(name)) return false;  // the same letter twice: not grouped
    (*powers)[name] = sign * exponent;
    return true;
  };
  auto factor = [&](const ExpressionRecord* f) {
    if (IsNumberNode(f)) {
      *coefficient *= NumberValue(f);
      return true;
    }
    if (IsPower(f) && IsNumberNode(f->operands[1]) &&
        std::trunc(NumberValue(f->operands[1])) == NumberValue(f->operands[1]))
      return letter(f->operands[0], int64_t(NumberValue(f->operands[1])));
    return letter(f, 1);
  };
  if (IsNegation(node)) {
    *coefficient = -*coefficient;
    node = node->operands[0];
  }
  if (!IsProduct(node)) return factor(node);
  for (int32_t k = 0; k < node->operandCount; ++k) {
    if (IsNumberNode(node->operands[k]) && k != 0) return false;  // numbers gather in front
    if (!factor(node->operands[k])) return false;
  }
  return true;
}

// The terms of a multiplied-out tree as (key, coefficient), or false when
// one is no monomial.
inline bool ReadTerms(const ExpressionRecord* tree, std::vector<std::pair<std::string, double>>* terms) {
  const bool sum = IsSum(tree);
  const int32_t count = sum ? tree->operandCount : IsNumberEqualTo(tree, 0.0) ? 0 : 1;
  for (int32_t k = 0; k < count; ++k) {
    double coefficient = 1.0;
    Powers powers;
    if (!ReadMonomial(sum ? tree->operands[k] : tree, 1, &coefficient, &powers)) return false;
    terms->emplace_back(KeyOf(powers), coefficient);
  }
  return true;
}
