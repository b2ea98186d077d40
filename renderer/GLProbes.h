#pragma once

#include <cstdint>

struct MDrawContext;

// Where the card's GL_RENDERER and GL_EXTENSIONS strings come from: the
// current context, unless a test hands in its own.
struct GLStringSource {
  const char* (*renderer)() = nullptr;
  const char* (*extensions)() = nullptr;
};
// An empty source goes back to the current context.
void SetGLStringSource(const GLStringSource& source);

// The name occurs in the list between blanks or the list's ends.
bool IsWholeWordOf(const char* list, const char* name);
bool HasGLExtension(const char* name);

bool IsR200();
bool RendererIsNVidia();
bool RendererIsATI();
bool DoVBOsWork(const MDrawContext* ctx);
bool DoesContextSupportShaders(const MDrawContext* ctx);
// Line width and point size for a multisampled context: wide where the
// driver draws thin multisampled lines too faint.
float MultisampleLineWidth();
