#pragma once

// A document whose functions a test defines, for programs that call them,
// and the arguments such tests run every call on.

#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "document/DocumentFunctionList.h"
#include "document/DocumentReading.h"
#include "document/DocumentRecord.h"
#include "evaluation/DocumentQueries.h"
#include "tests/evaluation/SameBits.h"
#include "tests/expression/ParserTestSupport.h"

inline const double kCallArguments[] = {
    0.0, -0.0, 1.0, -2.5, 0.7, 3.0, 1e300, -1e-310, std::numeric_limits<double>::infinity(), std::nan("")};

class FunctionDocumentTest : public testing::Test {
 protected:
  void SetUp() override {
    constexpr char text[] = "Zentrolabworksheet 4;\n";
    fDocument = ReadDocumentText(text, static_cast<int32_t>(sizeof text - 1));
    ASSERT_TRUE(fDocument);
  }
  void TearDown() override {
    if (fDocument) ClearDocumentFunctions(fDocument.get());
  }

  // Replaces the document's functions, as a new expansion does.
  void Define(const std::vector<std::pair<std::string, std::string>>& definitions) {
    ClearDocumentFunctions(fDocument.get());
    for (const auto& [definition, parameters] : definitions) {
      AddDocumentFunction(fDocument.get(), Definition(definition, parameters));
    }
    CompileDocumentFunctionList(fDocument.get());
  }

  bool CallsReachTheFunctions() {
    return GetMachineFromDocumentFunction(0, fDocument.get()) == CompiledDocumentFunction(0, fDocument.get());
  }

  std::unique_ptr<DocumentRecord> fDocument;
};
