#include "tools/ProbeArguments.h"

#include <charconv>
#include <cstdint>
#include <cstring>
#include <iostream>

#include "evaluation/AnExpression.h"
#include "expression/ExpressionParser.h"

namespace {

template <typename T>
T Parsed(const char* text, T fallback) {
  if (text == nullptr) return fallback;
  T value = fallback;
  const auto [end, error] = std::from_chars(text, text + std::strlen(text), value);
  return error == std::errc() && *end == '\0' ? value : T(-1);
}

}  // namespace

int WholeArgument(const char* text, int fallback) { return Parsed(text, fallback); }

double NumberArgument(const char* text, double fallback) { return Parsed(text, fallback); }

AnExpression* ExpressionFromText(const std::string& text, DocumentRecord* document) {
  ExpressionRecord* tree = CoreParseExpr(text.data(), static_cast<int32_t>(text.size()));
  if (tree == nullptr) {
    std::cerr << "can't read the formula: " << text << '\n';
    return nullptr;
  }
  return new AnExpression(tree, document);
}
