#pragma once

#include <memory>

#include "expression/ExpressionRecord.h"
#include "expression/TreeDisposal.h"

// A tree its scope or its object owns, freed whole when the handle goes;
// release() only where the tree becomes an operand of another tree.
struct TreeDeleter {
  void operator()(ExpressionRecord* tree) const { DisposExpr(tree); }
};
using Tree = std::unique_ptr<ExpressionRecord, TreeDeleter>;
