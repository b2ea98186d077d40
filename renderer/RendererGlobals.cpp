#include "renderer/RendererGlobals.h"

#include <vector>

#include "renderer/BackgroundPatterns.h"
#include "renderer/GLContexts.h"

int32_t gHasOpenGL = 1;
int32_t gForceHardware = 1;
int32_t gForceOffscreen = 0;
int32_t gUseVBOs = 1;
// Stays 0: the one threaded engine the driver has, Mesa's GL thread, is
// switched for the whole process by its environment before the first
// context, never for one context, and with it a drag step on screen took
// more processor and wall time, not less (OnscreenFrame_bench): every
// frame's swap, read-back and error check waits for the thread to catch up.
int32_t gMTGLActive = 0;
int32_t gFlushMTGLEveryFrame = 1;
int32_t gDisableMultiThreadedOpenGL = 0;
int32_t gDisableVertexBufferObjectsPreference = 0;
int32_t gEnableVertexBufferObjectsPreference = 0;
int32_t gDisableAntialiasingPreference = 0;
int32_t gDisableFragmentProgramPreference = 0;
int32_t gR200MultisampleDriverBugFixed = 0;
int32_t gGeForceMultisampleDriverBugFixed = 0;
int32_t gATIMultisampleDisableBugFixed = 0;

int64_t gFramesRendered = 0;
int64_t gTrianglesRendered = 0;

namespace {
// Never destroyed: a context still queued when the process ends stays
// reachable instead of being lost with the queue before the driver is gone.
std::vector<GLContextRecord*>& gContextDestructionQueue = *new std::vector<GLContextRecord*>;
}  // namespace

void SetHardwareFlag(bool hardware) {
  if (gHasOpenGL) gForceHardware = hardware;
}

void QueueContextForDestruction(GLContextRecord* context) { gContextDestructionQueue.push_back(context); }

bool AreAnyOpenGLContextsAwaitingDestruction() { return !gContextDestructionQueue.empty(); }

void DestroyContextsAwaitingDestruction() {
  for (GLContextRecord* context : gContextDestructionQueue) DestroyGLContext(context);
  std::vector<GLContextRecord*>().swap(gContextDestructionQueue);
}

void ReleaseRendererMemoryBeforeQuitting() {
  DestroyContextsAwaitingDestruction();
  ReleaseBackgroundPatterns();
}
