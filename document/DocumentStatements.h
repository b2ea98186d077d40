#pragma once

#include <cstdint>

#include "expression/DocumentStatements.h"

// The document's handlers of the parser's statements.
DocumentStatementHooks DocumentStatementHandlers();

// How many range, scale, corner, slider, grain or depth statements the
// reads of this process left unread because no view can use their numbers
// (NaN, infinite, past kLargestViewValue, or a 3-D box or depth the view
// cannot draw); each keeps the value before it.
int32_t RefusedSettingCount();
