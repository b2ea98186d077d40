#pragma once

#include "expression/ExpressionRecord.h"

#include <cstdint>

// The rules of SIMP_OneLevel, one per node kind, shared between its files.

enum class RuleEnd { kDone, kRestart };

RuleEnd ProductRule(ExpressionRecord* node);
RuleEnd SumRule(ExpressionRecord* node);
RuleEnd QuotientRule(ExpressionRecord* node);
RuleEnd PowerRule(ExpressionRecord* node);

// SIMP_OneLevel on each operand of the node, in order.
void SimplifyOperands(ExpressionRecord* node);
// The node's contents become the number (its old subtrees freed); false,
// unchanged, when memory ran out.
bool ReplaceByNumber(ExpressionRecord* node, double value);
// The node's contents become those of the new tree, which must not hold
// any of the node's subtrees; the new tree is freed when refused.
bool ReplaceContents(ExpressionRecord* node, ExpressionRecord* tree);
// The node takes the contents of its operand i; the other operands are
// freed.
bool KeepOnlyOperand(ExpressionRecord* node, int32_t i);
// A fold is made only when it gives a finite value (or its operands were
// not all finite to begin with).
bool IsSoundFold(double result, double a, double b);
