#pragma once

// True when the selected node of the current math-edit record can be moved
// by the move commands: its parent is a product, sum, equation, list,
// negation, bracket or fraction, or it is operand 0 of an integral, sum,
// product or power. False without a current record or selection.
bool FACTOR_CanMove();
