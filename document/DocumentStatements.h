#pragma once

#include "expression/DocumentStatements.h"

// The document's handlers of the parser's statements.
DocumentStatementHooks DocumentStatementHandlers();
