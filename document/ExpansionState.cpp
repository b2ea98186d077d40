#include "document/ExpansionState.h"

ExpansionState::~ExpansionState() { Clear(); }

void ExpansionState::Clear() {
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
