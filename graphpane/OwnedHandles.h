#pragma once

#include <memory>

#include "expression/OwnedTree.h"

class AGraphColor;
class AnExpression;

// What the pass, the builders and the makers hand on: a compiled formula
// and a graph's colour, each freed by whoever holds it last.
using Compiled = std::unique_ptr<AnExpression>;
using Colour = std::unique_ptr<AGraphColor>;
