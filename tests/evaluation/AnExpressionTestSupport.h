#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "evaluation/AnExpression.h"
#include "expression/ExpressionParser.h"

class DocumentRecord;

inline std::unique_ptr<AnExpression> MakeExpression(const std::string& text, DocumentRecord* document = nullptr) {
  ExpressionRecord* tree = CoreParseExpr(text.data(), static_cast<int32_t>(text.size()));
  EXPECT_NE(tree, nullptr) << text;
  return std::make_unique<AnExpression>(tree, document);
}

// A formula for a graph that takes it over; none for none.
inline AnExpression* HandedFormula(const char* text, DocumentRecord* document = nullptr) {
  return text ? MakeExpression(text, document).release() : nullptr;
}

inline std::unique_ptr<AnExpression> CompiledExpression(const std::string& text, DocumentRecord* document = nullptr) {
  auto e = MakeExpression(text, document);
  AnExpression::Compile(e.get());
  return e;
}
