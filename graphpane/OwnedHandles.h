#pragma once

#include <memory>

class AGraphColor;
class AnExpression;
struct ExpressionRecord;
struct TreeDeleter;

// What the pass, the builders and the makers hand on: a compiled formula
// and a graph's colour, each freed by whoever holds it last.
using Compiled = std::unique_ptr<AnExpression>;
using Colour = std::unique_ptr<AGraphColor>;
// A tree on its way to compiling; PassTrees.h has its deleter.
using Tree = std::unique_ptr<ExpressionRecord, TreeDeleter>;
