#pragma once

#include <GL/gl.h>
#include <GL/glext.h>

// The OpenGL entry points beyond 1.1, loaded from the first context made,
// of either kind (platform/GLContextRecord.h). A null entry is one the
// driver lacks.
struct GLFunctionTable {
  PFNGLGENFRAMEBUFFERSPROC genFramebuffers;
  PFNGLDELETEFRAMEBUFFERSPROC deleteFramebuffers;
  PFNGLBINDFRAMEBUFFERPROC bindFramebuffer;
  PFNGLGENRENDERBUFFERSPROC genRenderbuffers;
  PFNGLDELETERENDERBUFFERSPROC deleteRenderbuffers;
  PFNGLBINDRENDERBUFFERPROC bindRenderbuffer;
  PFNGLRENDERBUFFERSTORAGEMULTISAMPLEPROC renderbufferStorageMultisample;
  PFNGLFRAMEBUFFERRENDERBUFFERPROC framebufferRenderbuffer;
  PFNGLCHECKFRAMEBUFFERSTATUSPROC checkFramebufferStatus;
  PFNGLBLITFRAMEBUFFERPROC blitFramebuffer;
  PFNGLGENBUFFERSARBPROC genBuffers;
  PFNGLBINDBUFFERARBPROC bindBuffer;
  PFNGLBUFFERDATAARBPROC bufferData;
  PFNGLBUFFERSUBDATAARBPROC bufferSubData;
  PFNGLGETBUFFERSUBDATAARBPROC getBufferSubData;
  PFNGLMAPBUFFERARBPROC mapBuffer;
  PFNGLUNMAPBUFFERARBPROC unmapBuffer;
  PFNGLISBUFFERARBPROC isBuffer;
  PFNGLGENPROGRAMSARBPROC genPrograms;
  PFNGLBINDPROGRAMARBPROC bindProgram;
  PFNGLPROGRAMSTRINGARBPROC programString;
  PFNGLGETPROGRAMIVARBPROC getProgramiv;
  PFNGLISPROGRAMARBPROC isProgram;
  PFNGLDELETEPROGRAMSARBPROC deletePrograms;
  PFNGLPROGRAMLOCALPARAMETER4DARBPROC programLocalParameter4d;
  PFNGLPROGRAMLOCALPARAMETER4DVARBPROC programLocalParameter4dv;
};

extern GLFunctionTable gGL;
