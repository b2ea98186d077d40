#pragma once

struct GLContextRecord;

// The renderer's OpenGL contexts as the destruction queue holds them.
void FinishGLContext(GLContextRecord* context);
void DestroyGLContext(GLContextRecord* context);
