#include "CoreUtilities/threads/ComputeThreads.h"

#include "CoreUtilities/threads/CooperativeThreads.h"
#include "CoreUtilities/threads/GraphViewThread.h"
#include "CoreUtilities/threads/JobQueue.h"
#include "CoreUtilities/threads/MathPaneThread.h"

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
