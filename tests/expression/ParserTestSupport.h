#pragma once

#include "expression/ExpressionParser.h"
#include "expression/ExpressionWriter.h"
#include "expression/OwnedTree.h"
#include "expression/TreeWalking.h"

#include <cstring>
#include <memory>
#include <string>
#include <vector>

inline Tree Parse(const std::string& text) {
  return Tree(CoreParseExpr(text.data(), static_cast<int32_t>(text.size())));
}

// The written text, or "<null>" when the writer failed.
inline std::string Written(const ExpressionRecord* tree, bool brackets = false) {
  std::unique_ptr<char[]> text(ExportTextFormatOfExpr(tree, brackets));
  return text ? std::string(text.get()) : std::string("<null>");
}

// Parse then write: the canonical text of what was read.
inline std::string Reparsed(const std::string& text, bool brackets = false) {
  Tree tree = Parse(text);
  return tree ? Written(tree.get(), brackets) : std::string("<null>");
}

// A definition such as "'f'(a, b) = a ^ 2 + b" whose parameter names become
// placeholders with the given ids (by default 1000, 1001, ...), in the order
// of `parameters`.
inline ExpressionRecord* Definition(const std::string& text, const std::string& parameters,
                                    std::vector<int32_t> ids = {}) {
  for (size_t i = ids.size(); i < parameters.size(); ++i) ids.push_back(1000 + static_cast<int32_t>(i));
  ExpressionRecord* tree = Parse(text).release();
  for (ExpressionRecord* n = tree; n != nullptr; n = NextTopDown(n)) {
    if (n->opcode != kOpAtom || n->payload.id >= 128) continue;
    const size_t p = parameters.find(static_cast<char>(n->payload.id));
    if (p == std::string::npos) continue;
    n->opcode = kOpDummy;
    n->payload.id = ids[p];
  }
  return tree;
}
