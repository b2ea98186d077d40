#include "document/ExpansionState.h"

#include "expression/TreeDisposal.h"

ExpansionState::~ExpansionState() { Clear(); }

void ExpansionState::Clear() {
  for (ExpandedEquation& e : expanded) DisposExpr(e.tree);
  for (ResultFormula& r : resultFormulas) DisposExpr(r.tree);
  expanded.clear();
  resultFormulas.clear();
  transformation = {};
  transformationBlock = -1;
  expansionDone.store(false, std::memory_order_release);
  resultsPublished.store(false, std::memory_order_release);
  graphed = false;
  passStarted = false;
  passCutShort = false;
  rows.clear();
  messages.clear();
}
