#pragma once

#include <cstdint>

#include "expression/DocumentStatements.h"

// The document's handlers of the parser's statements.
DocumentStatementHooks DocumentStatementHandlers();

// How many range, scale, corner, slider or grain statements the reads of
// this process left unread because no view can use their numbers (NaN,
// infinite, or past kLargestViewValue); each keeps the value before it.
int32_t RefusedSettingCount();
