#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>

#include "CoreUtilities/threads/ComputeThreads.h"
#include "CoreUtilities/threads/CooperativeThreads.h"
#include "document/DocumentPaneHooks.h"
#include "document/DocumentRecord.h"
#include "document/InvalExprs.h"
#include "tests/document/DocumentTestSupport.h"
#include "tests/support/HangLimit.h"
#include "tests/expression/ParserTestSupport.h"

// The compute threads for a whole suite.
class ThreadsRunning : public testing::Test {
 protected:
  static void SetUpTestSuite() { InitializeZLThreads(); }
  static void TearDownTestSuite() { ShutdownZLThreads(); }
};

// A document of the statements given after the header.
inline std::unique_ptr<DocumentRecord> DocumentOf(const std::string& statements) {
  return Read("Zentrolabworksheet 4;\n" + statements);
}

// The two ends of a range the document read; a failure names the caller's line.
inline void ExpectRange(const double* range, double low, double high, int line = __builtin_LINE()) {
  SCOPED_TRACE(line);
  EXPECT_EQ(range[0], low);
  EXPECT_EQ(range[1], high);
}

// Waits for the document's next wake-up (an expansion, a graph or the
// result strings finished) as the window's event loop waits for events:
// without the baton, so the expansion runs meanwhile. The wait looks again
// now and then, as a wake-up taken by an idle leaves none to wait for.
inline void AwaitDocumentWake(DocumentRecord* document) {
  OurEventLoopAboutToBlock();
  WaitForDocumentWake(document, 10000);
  OurEventLoopAwake();
}

// Waits for the condition, woken by the document; false, reported as a
// hang, when it did not come within the guard.
template <typename Condition>
bool AwaitDocument(DocumentRecord* document, Condition condition, const char* what) {
  const auto guard = std::chrono::steady_clock::now() + kHangLimit;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > guard) {
      ADD_FAILURE() << "hang: " << what << " never came";
      return false;
    }
    AwaitDocumentWake(document);
  }
  return true;
}

inline bool AwaitExpansion(DocumentRecord* document) {
  return AwaitDocument(
      document, [&] { return document->fExpansion.expansionDone.load(); }, "the expansion");
}

inline bool AwaitResults(DocumentRecord* document) {
  return AwaitDocument(
      document, [&] { return document->fExpansion.resultsPublished.load(); }, "the results");
}

// The expanded form of the document's equations, as text, by block.
inline std::string ExpandedText(const DocumentRecord* document, int32_t block) {
  for (const ExpandedEquation& e : document->fExpansion.expanded)
    if (e.block == block) return Written(e.tree.get());
  return "(none)";
}
