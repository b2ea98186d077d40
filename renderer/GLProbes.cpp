#include "renderer/GLProbes.h"

#include <GL/gl.h>

#include <cstring>
#include <initializer_list>

#include "renderer/DrawContext.h"
#include "renderer/RendererGlobals.h"

namespace {

const char* CurrentString(GLenum name) {
  const auto* text = reinterpret_cast<const char*>(glGetString(name));
  return text ? text : "";
}

GLStringSource gSource;

const char* RendererString() {
  const char* text = gSource.renderer ? gSource.renderer() : CurrentString(GL_RENDERER);
  return text ? text : "";
}

const char* ExtensionsString() {
  const char* text = gSource.extensions ? gSource.extensions() : CurrentString(GL_EXTENSIONS);
  return text ? text : "";
}

bool RendererBeginsWith(const char* prefix) { return std::strncmp(RendererString(), prefix, std::strlen(prefix)) == 0; }

}  // namespace

void SetGLStringSource(const GLStringSource& source) { gSource = source; }

bool IsWholeWordOf(const char* list, const char* name) {
  const size_t length = std::strlen(name);
  if (length == 0) return false;
  for (const char* at = std::strstr(list, name); at; at = std::strstr(at + 1, name)) {
    const bool startsWord = at == list || at[-1] == ' ';
    const bool endsWord = at[length] == ' ' || at[length] == '\0';
    if (startsWord && endsWord) return true;
  }
  return false;
}

bool HasGLExtension(const char* name) { return IsWholeWordOf(ExtensionsString(), name); }

bool IsR200() {
  return RendererBeginsWith("ATI Radeon 8500") || RendererBeginsWith("ATI Radeon 9000") ||
         RendererBeginsWith("ATI Radeon 9200");
}

bool RendererIsNVidia() {
  const char* name = RendererString();
  return (name[0] == 'N' || name[0] == 'n') && (name[1] == 'V' || name[1] == 'v');
}

bool RendererIsATI() { return RendererBeginsWith("ATI"); }

bool DoVBOsWork(const MDrawContext*) {
  if (gDisableVertexBufferObjectsPreference) return false;
  const bool extension = HasGLExtension("GL_ARB_vertex_buffer_object");
  if (gEnableVertexBufferObjectsPreference) return extension && gUseVBOs;
  // Every system this runs on is later than the one the R200 rule names.
  const bool quirk = RendererBeginsWith("ATI Radeon 9800") || (RendererIsATI() && IsR200());
  return extension && (bool(gUseVBOs) != quirk);
}

bool DoesContextSupportShaders(const MDrawContext* ctx) {
  if (gDisableFragmentProgramPreference) return false;
  if (ctx->rendererType != kRendererOnscreen && ctx->rendererType != kRendererOffscreen) return false;
  for (const char* name :
       {"GL_ARB_vertex_program", "GL_ARB_fragment_program", "GL_ARB_fragment_shader", "GL_ARB_shader_objects"})
    if (!HasGLExtension(name)) return false;
  return true;
}

float MultisampleLineWidth() {
  const bool wide = (!gR200MultisampleDriverBugFixed && IsR200()) ||
                    (!gGeForceMultisampleDriverBugFixed && RendererBeginsWith("NVidia GeForce4 MX"));
  return wide ? 3.0f : 1.5f;
}
