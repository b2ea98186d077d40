#pragma once

#include "expression/ExpressionParser.h"
#include "expression/ExpressionWriter.h"
#include "expression/TreeDisposal.h"

#include <cstring>
#include <memory>
#include <string>

struct TreeDeleter {
  void operator()(ExpressionRecord* tree) const { DisposExpr(tree); }
};
using Tree = std::unique_ptr<ExpressionRecord, TreeDeleter>;

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
