#include <GL/gl.h>
#include <GL/glext.h>
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <sstream>
#include <string>

#include "platform/EGLContexts.h"
#include "platform/GLFunctions.h"
#include "renderer/Shader.h"
#include "tests/graphpane/FragmentCorpus.h"

namespace {

// How often each output component is the destination of an instruction.
std::map<std::string, int> OutputWrites(const std::string& text) {
  std::map<std::string, int> writes;
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    const size_t opcodeEnd = line.find(' ');
    if (opcodeEnd == std::string::npos || line.compare(0, 5, "PARAM") == 0 || line.compare(0, 4, "TEMP") == 0) continue;
    const size_t start = line.find_first_not_of(' ', opcodeEnd);
    const size_t end = line.find_first_of(",;", start);
    if (start == std::string::npos || end == std::string::npos) continue;
    const std::string destination = line.substr(start, end - start);
    if (destination.rfind("result.", 0) == 0) ++writes[destination];
  }
  return writes;
}

TEST(FragmentProgramCorpus, EveryColourLoadsOnMesaAndWritesEachOutputOnce) {
  const std::vector<CorpusColour> corpus = ReadFragmentCorpus();
  ASSERT_GE(corpus.size(), 200u);
  CorpusDocument document;
  const std::unique_ptr<GLContextRecord, decltype(&OurDisposeGLContext)> context(OurNewGLContext(8, 8, 0),
                                                                                 &OurDisposeGLContext);
  ASSERT_NE(context, nullptr);
  ASSERT_TRUE(OurMakeGLContextCurrent(context.get()));
  for (const CorpusColour& colour : corpus) {
    SCOPED_TRACE(colour.Describe());
    const CorpusProgram program(colour, &document.document);
    ASSERT_FALSE(program.text.empty());
    Shader shader("", program.text.c_str(), true);
    shader.bind();
    EXPECT_EQ(shader.errorPosition(), -1) << shader.errorString() << "\n" << program.text;
    GLint instructions = 0, underLimits = 0;
    gGL.getProgramiv(GL_FRAGMENT_PROGRAM_ARB, GL_PROGRAM_NATIVE_INSTRUCTIONS_ARB, &instructions);
    gGL.getProgramiv(GL_FRAGMENT_PROGRAM_ARB, GL_PROGRAM_UNDER_NATIVE_LIMITS_ARB, &underLimits);
    EXPECT_GT(instructions, 0);
    EXPECT_TRUE(underLimits);
    EXPECT_TRUE(shader.isWorking());
    const std::map<std::string, int> expected = {
        {"result.color.x", 1}, {"result.color.y", 1}, {"result.color.z", 1}, {"result.color.w", 1}};
    EXPECT_EQ(OutputWrites(program.text), expected) << program.text;
  }
}

}  // namespace
