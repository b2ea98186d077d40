#pragma once

// On the current record with caret type 1: the selected operands
// rangeStart..rangeEnd of the selected node become one new node of the same
// kind at place rangeStart, which becomes the selection with caret type 0.
// False, nothing changed, when there is no record, the range does not lie
// within the node, or memory is refused.
bool MATH_IPisRange();
