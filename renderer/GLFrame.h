#pragma once

#include <cstdint>

struct MDrawContext;

// The state every OpenGL context keeps from its making on.
void SetUpConstantOpenGLState();
// Background, camera and projection of an OpenGL frame.
void SetUpTransformandLighting(MDrawContext* ctx, bool hsvPass, bool clearDepth);
// The OpenGL halves of a frame (renderers 2 and 3).
int32_t GLRenderStart(MDrawContext* ctx, bool hsvPass);
int32_t GLRenderEnd(MDrawContext* ctx);
// Copies the OpenGL picture into the pane of the document's world; other
// renderers do nothing.
void OurReadPixels(MDrawContext* ctx);
