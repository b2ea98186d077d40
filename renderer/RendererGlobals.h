#pragma once

#include <cstdint>

struct GLContextRecord;

// Switches of the renderer choice, set from hidden preferences at start-up.
extern int32_t gHasOpenGL;
extern int32_t gForceHardware;
extern int32_t gForceOffscreen;
extern int32_t gUseVBOs;
extern int32_t gMTGLActive;
extern int32_t gFlushMTGLEveryFrame;
extern int32_t gDisableMultiThreadedOpenGL;
extern int32_t gDisableVertexBufferObjectsPreference;
extern int32_t gEnableVertexBufferObjectsPreference;
extern int32_t gDisableAntialiasingPreference;
extern int32_t gDisableFragmentProgramPreference;
extern int32_t gR200MultisampleDriverBugFixed;
extern int32_t gGeForceMultisampleDriverBugFixed;
extern int32_t gATIMultisampleDisableBugFixed;

// Frames ended and triangles submitted, for the benchmark.
extern int64_t gFramesRendered;
extern int64_t gTrianglesRendered;

// Asks for an accelerated OpenGL format first; only while OpenGL may be used.
void SetHardwareFlag(bool hardware);

// OpenGL contexts are destroyed only from idle, never inside a frame.
void QueueContextForDestruction(GLContextRecord* context);
bool AreAnyOpenGLContextsAwaitingDestruction();
void DestroyContextsAwaitingDestruction();

// The background patterns frames load on demand, and the kept label.
void ReleaseRendererMemoryBeforeQuitting();
