#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>

#include "CoreUtilities/ComputeThreads.h"
#include "CoreUtilities/CooperativeThreads.h"
#include "document/DocumentRecord.h"
#include "document/InvalExprs.h"
#include "tests/document/DocumentTestSupport.h"
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

// The interface thread's idle yields until the expansion is done.
inline bool AwaitExpansion(DocumentRecord* document) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (!document->fExpansion.expansionDone.load()) {
    if (std::chrono::steady_clock::now() > end) return false;
    OurYieldFromMainThread();
  }
  return true;
}

inline bool AwaitResults(DocumentRecord* document) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (!document->fExpansion.resultsPublished.load()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

// The expanded form of the document's equations, as text, by block.
inline std::string ExpandedText(const DocumentRecord* document, int32_t block) {
  for (const ExpandedEquation& e : document->fExpansion.expanded)
    if (e.block == block) return Written(e.tree);
  return "(none)";
}
