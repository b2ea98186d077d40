#include "CoreUtilities/ComputeThreads.h"

#include "CoreUtilities/CooperativeThreads.h"
#include "CoreUtilities/GraphViewThread.h"
#include "CoreUtilities/JobQueue.h"
#include "CoreUtilities/MathPaneThread.h"

void InitializeZLThreads() {
  StartComputeThreads();
  StartGraphViewThread();
  StartMathPaneThread();
}

void ShutdownZLThreads() {
  ShutdownCooperativeThreads();
  StopGraphViewThread();
  StopMathPaneThread();
  StopComputeThreads();
}
