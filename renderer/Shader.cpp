#include "renderer/Shader.h"

#include "platform/EGLContexts.h"
#include "platform/GLFunctions.h"
#include "renderer/GLProbes.h"

namespace {

bool HasProgramFunctions() {
  return gGL.genPrograms && gGL.bindProgram && gGL.programString && gGL.getProgramiv && gGL.isProgram &&
         gGL.deletePrograms;
}

}  // namespace

Shader::Shader(const char* text, const char* programText, bool fragment)
    : fHasProgram(programText != nullptr),
      fProgramText(programText ? programText : ""),
      fText(text ? text : ""),
      fFragment(fragment) {}

Shader::~Shader() {
  // A name in another context, even one made later at the same address, may
  // be some other program's: the one made here went with its own context.
  if (fProgramId >= 0 && fContextSerial != 0 && fContextSerial == OurCurrentGLContextSerial() && gGL.deletePrograms) {
    const GLuint id = GLuint(fProgramId);
    gGL.deletePrograms(1, &id);
  }
}

bool Shader::PassesDriverChecks() const {
  const GLenum target = fFragment ? GL_FRAGMENT_PROGRAM_ARB : GL_VERTEX_PROGRAM_ARB;
  GLint instructions = 0, underLimits = 0;
  gGL.getProgramiv(target, GL_PROGRAM_NATIVE_INSTRUCTIONS_ARB, &instructions);
  gGL.getProgramiv(target, GL_PROGRAM_UNDER_NATIVE_LIMITS_ARB, &underLimits);
  return instructions != 0 && underLimits != 0 && gGL.isProgram(GLuint(fProgramId));
}

void Shader::bind() {
  static const bool nvidia = RendererIsNVidia();
  const GLenum target = fFragment ? GL_FRAGMENT_PROGRAM_ARB : GL_VERTEX_PROGRAM_ARB;
  bool firstBind = false;
  if (!fLoaded) {
    fLoaded = true;
    if (!fHasProgram || !HasProgramFunctions()) {
      fFailed = true;
      return;
    }
    GLuint id = 0;
    gGL.genPrograms(1, &id);
    fProgramId = id;
    fContextSerial = OurCurrentGLContextSerial();
    gGL.bindProgram(target, id);
    gGL.programString(target, GL_PROGRAM_FORMAT_ASCII_ARB, GLsizei(fProgramText.size()), fProgramText.data());
    if (glGetError() == GL_INVALID_OPERATION) {
      GLint position = -1;
      glGetIntegerv(GL_PROGRAM_ERROR_POSITION_ARB, &position);
      if (position >= 0) {
        const auto* why = reinterpret_cast<const char*>(glGetString(GL_PROGRAM_ERROR_STRING_ARB));
        fErrorString = why ? why : "";
        fErrorPosition = position;
        fFailed = true;
        return;
      }
    }
    if (nvidia && fFragment && !PassesDriverChecks()) {
      fFailed = true;
      return;
    }
    firstBind = true;
  }
  if (fProgramId < 0) return;
  gGL.bindProgram(target, GLuint(fProgramId));
  if (firstBind && !nvidia && !PassesDriverChecks()) fFailed = true;
}
