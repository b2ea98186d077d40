#pragma once

// The renderer's OpenGL contexts as the destruction queue holds them.
void FinishGLContext(void* context);
void DestroyGLContext(void* context);
