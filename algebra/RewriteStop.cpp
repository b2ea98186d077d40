#include "algebra/RewriteStop.h"

#include "CoreUtilities/CooperativeThreads.h"
#include "CoreUtilities/MemoryBudget.h"

bool MathRewriteMustStop() { return MATH_MemCheckInRecursion() != 0 || OurThreadKillRequested(); }
