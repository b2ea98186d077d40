#pragma once

#include "CoreUtilities/text/UniChar.h"

#include <cstdint>

// The text of a message id: graph diagnostics 1-25, progress 26-27, typing
// hints 28-30, value words 31-35, alerts from 36 (36: out of memory), demo
// scripts 50-59. Ids without a message give the interned "Internal Error".
// The text belongs to the table.
const UniChar* OurGetLocalizedString(int32_t messageId);
