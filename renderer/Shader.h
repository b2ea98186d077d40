#pragma once

#include <cstdint>
#include <string>

// An ARB fragment or vertex program, loaded into the current OpenGL context
// at its first bind. A program the driver rejects, or runs outside its
// native limits, leaves the shader failed; callers test isWorking.
class Shader {
 public:
  // Either text may be null; a null program text fails at the first bind.
  Shader(const char* text, const char* programText, bool fragment);
  ~Shader();
  Shader(const Shader&) = delete;
  Shader& operator=(const Shader&) = delete;

  bool isWorking() const { return !fFailed; }
  void bind();

  // Where the driver stopped reading a rejected text, and why; -1 and empty
  // otherwise.
  int32_t errorPosition() const { return fErrorPosition; }
  const std::string& errorString() const { return fErrorString; }

 private:
  bool PassesDriverChecks() const;

  int64_t fProgramId = -1;
  bool fLoaded = false;
  bool fHasProgram;
  std::string fProgramText;
  std::string fText;
  bool fFragment;
  bool fFailed = false;
  int32_t fErrorPosition = -1;
  std::string fErrorString;
  // Program names belong to the context they were made in.
  uint64_t fContextSerial = 0;
};

// Fixed-function light 0 per vertex for surfaces coloured by fragment
// programs: texcoord[0] carries the object position, texcoord[1] the
// vertex's texture coordinate; local parameter 0's x is 1, or -1 to light
// the back faces.
extern const char* const gVertexProgram;
// Turns a frame of hue, saturation and value into red, green and blue.
extern const char* const gHSVtoRGB;
