#pragma once

#include "CoreUtilities/text/OurString.h"
#include "expression/NodeContents.h"
#include "expression/OperatorTable.h"
#include "expression/SymbolTable.h"
#include "expression/TreeBuilding.h"
#include "expression/TreeDisposal.h"

#include <cmath>
#include <cstring>
#include <initializer_list>
#include <random>
#include <set>
#include <string>
#include <vector>

// Trees of every kind, shaped as the parser's normalisations leave them
// (no nested lists of one kind, non-negative numbers, call forms with the
// operand counts the parser gives), so that reading back must give them
// exactly.
class TreeMaker {
 public:
  // leafPercent: the chance of a leaf above the last level, for deep trees
  // of moderate size.
  explicit TreeMaker(uint32_t seed, bool withGrouping, uint32_t leafPercent = 0)
      : fRandom(seed), fGrouping(withGrouping), fLeafPercent(leafPercent) {
    for (const char* name : {"alpha", "it's", "r2d2", "vector", "sin"}) fNames.push_back(GetVariableIDFromString(name));
  }

  ExpressionRecord* Make(int depth, OpCodeT parent, bool commaAllowed) {
    OpCodeT kind;
    do {
      const bool leaf = depth <= 0 || fRandom() % 100 < fLeafPercent;
      kind = leaf ? Pick({kOpNumber, kOpAtom, kOpString, kOpPrompt})
                  : kFirstOperatorKind + int32_t(fRandom() % gNumTemplates);
      if (kind == kOpId && !fGrouping) kind = kOpAtom;
    } while ((kind == parent && IsList(kind)) || (kind == kOpComma && !commaAllowed));
    fSeen.insert(kind);
    return Build(kind, depth - 1);
  }

  std::set<OpCodeT> fSeen;

 private:
  static bool IsList(OpCodeT kind) {
    const OperatorInfo* info = FindOperatorInfo(kind);
    return info && info->syntacticKind == kInfixList;
  }

  OpCodeT Pick(std::initializer_list<OpCodeT> kinds) { return kinds.begin()[fRandom() % kinds.size()]; }
  int32_t Between(int32_t low, int32_t high) { return low + int32_t(fRandom() % uint32_t(high - low + 1)); }

  ExpressionRecord* Leaf(OpCodeT kind) {
    switch (kind) {
      case kOpNumber: {
        const double values[] = {0, 1, 0.1, 2.5e-300, 1e300, INFINITY, NAN, 123456789.123};
        const int pick = Between(0, 9);
        if (pick < 8) return Number(values[pick]);
        uint64_t bits = fRandom() & 0x7FFFFFFFFFFFFFFFull;
        double x;
        std::memcpy(&x, &bits, sizeof x);
        return Number(std::isfinite(x) ? x : 3.0);
      }
      case kOpAtom: {
        const int32_t ids[] = {'x', 'Q', 1, 2, 6, 8, 10, 13, '$', '\'', 92, '7', 7};
        const int pick = Between(0, 17);
        return Atomic(pick < 13 ? ids[pick] : fNames[size_t(pick - 13)]);
      }
      case kOpString: {
        const char16_t* texts[] = {u"", u"a\"b", u"tab\there", u"line\nend", u"\u00e9\u4e2d\U0001F600"};
        ExpressionRecord* node = NewExpression(kOpString, 0);
        const char16_t* text = texts[fRandom() % 5];
        node->text = OurStringCreate(reinterpret_cast<const UniChar*>(text), std::char_traits<char16_t>::length(text));
        return node;
      }
      default: return NewPrompt();
    }
  }

  ExpressionRecord* Build(OpCodeT kind, int depth) {
    const OperatorInfo* info = FindOperatorInfo(kind);
    if (info->arity == 0) return Leaf(kind);
    int32_t count = info->arity == kVariableArity ? Between(2, 3) : info->arity;
    bool commas = true;
    switch (kind) {
      case kOpIndexes: count = 2; break;
      case kOpLog:
      case kOpSqrt:
      case kOpGrad: count = Between(1, 2); break;
      case kOpOpTotal:
      case kOpOpPartial: count = 1; break;
      case kOpIntegral:
        count = Between(2, 4);
        commas = false;
        break;
      case kOpSum:
      case kOpProduct:
        count = Between(2, 4);
        commas = false;
        break;
      case kOpSubstitution:
      case kOpLeq:
      case kOpGeq:
      case kOpBranch: commas = false; break;
      case kOpFunction: commas = false; break;
      case kOpMatrix: return Matrix(depth);
      default: break;
    }
    ExpressionRecord* node = NewExpression(kind, count);
    for (int32_t i = 0; i < count; ++i) node->operands[i] = Make(depth, kind, commas && (kind != kOpComma || i > 0));
    if (kind == kOpFunction && node->operands[1]->opcode == kOpComma) {
      DisposExpr(node->operands[1]);
      node->operands[1] = Leaf(kOpAtom);
    }
    if (kind == kOpIndexes) node->payload.shape = MatrixShape{0, 1};
    AdoptOperands(node);
    return node;
  }

  ExpressionRecord* Matrix(int depth) {
    const int32_t rows = Between(1, 3), columns = Between(1, 3);
    ExpressionRecord* node = NewExpression(kOpMatrix, rows * columns);
    for (int32_t i = 0; i < rows * columns; ++i) node->operands[i] = Make(depth, kOpMatrix, columns == 1);
    node->payload.shape = MatrixShape{uint16_t(rows), uint16_t(columns)};
    AdoptOperands(node);
    return node;
  }

  std::mt19937 fRandom;
  bool fGrouping;
  uint32_t fLeafPercent;
  std::vector<int32_t> fNames;
};
