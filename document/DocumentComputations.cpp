#include "document/DocumentRecord.h"

#include <cassert>

#include "document/InvalExprs.h"
#include "document/MathPaneResults.h"

void BeginDocumentComputation(DocumentRecord* document) {
  if (document) document->fRunningComputations.fetch_add(1, std::memory_order_acq_rel);
}

void EndDocumentComputation(DocumentRecord* document) {
  if (document) document->fRunningComputations.fetch_sub(1, std::memory_order_acq_rel);
}

void AssertNoDocumentComputation([[maybe_unused]] const DocumentRecord* document) {
  assert(document == nullptr || document->fRunningComputations.load(std::memory_order_acquire) == 0);
}

DocumentRecord::~DocumentRecord() {
  StopDocumentComputations(this);
  fGraphPane.reset();
}

void DocumentRecord::ThreadedCalculateMathPaneResultStrings() { ComputeMathPaneResults(this); }
