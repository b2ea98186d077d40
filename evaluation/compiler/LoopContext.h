#pragma once

#include <cstdint>
#include <vector>

#include "expression/ExpressionRecord.h"

class DocumentRecord;

// A sum or product with its range: (index = start, bound, body).
bool HasLoopRange(const ExpressionRecord* node);
// The index atom of a loop with its range.
const ExpressionRecord* LoopRangeIndex(const ExpressionRecord* loop);

// The loops around the node a compilation stands at, kept up to date as
// the walk steps down, across and up, so that what the compiler asks about
// them costs no walk to the root per node. Ancestors above the compiled
// root count too: a hoisted subtree is compiled apart from its tree.
class LoopContext {
 public:
  void Start(const ExpressionRecord* node, DocumentRecord* document);
  // The walk goes from `from` to its operand number `operand`.
  void Down(const ExpressionRecord* from, int32_t operand);
  // The walk goes to the parent's operand number `operand`, a sibling.
  void Across(const ExpressionRecord* parent, int32_t operand);
  // The walk goes up to `to`, the parent of where it stood.
  void Up(const ExpressionRecord* to);

  // Some ancestor runs the node zero or more times: a sum or product, a
  // table statistic, a minimum or maximum over table data.
  bool InLoop() const { return fLoops > 0; }
  // The node reads the index of no ranged loop around it.
  bool ReadsNoIndex(const ExpressionRecord* node) const;
  // The node names the index of a ranged loop whose body holds it.
  bool NamesBodyIndex(const ExpressionRecord* node) const;

 private:
  struct Range {
    const ExpressionRecord* index;
    bool inBody;
  };

  bool RunsRepeatedly(const ExpressionRecord* node) const;
  void Enter(const ExpressionRecord* ancestor, int32_t operand);

  DocumentRecord* fDocument = nullptr;
  int32_t fLoops = 0;
  std::vector<Range> fRanges;  // the innermost entered by the walk last
};
