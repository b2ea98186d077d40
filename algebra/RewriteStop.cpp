#include "algebra/RewriteStop.h"

#include "CoreUtilities/threads/CooperativeThreads.h"
#include "CoreUtilities/memory/MemoryBudget.h"

bool MathRewriteMustStop() { return MATH_MemCheckInRecursion() != 0 || OurThreadKillRequested(); }
