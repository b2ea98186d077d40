#include "shaders/FragmentProgram.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "evaluation/compiler/StackMachineRewriting.h"
#include "expression/ExpressionParser.h"
#include "expression/TreeDisposal.h"
#include "renderer/Frame.h"
#include "renderer/RendererGlobals.h"
#include "renderer/Shader.h"
#include "shaders/Expr2ARB.h"
#include "tests/renderer/RendererTestWorld.h"

namespace {

// A parsed formula with its argument lists made operands.
struct Tree {
  explicit Tree(const char* text) : root(text ? ParseExprFromString(text) : nullptr) {
    if (root) MungeMinMaxModClamp(root, nullptr);
  }
  ~Tree() { DisposExpr(root); }
  Tree(const Tree&) = delete;
  Tree& operator=(const Tree&) = delete;
  ExpressionRecord* root;
};

struct Uniforms {
  ~Uniforms() {
    for (ExpressionRecord* e : list) DisposExpr(e);
  }
  std::vector<ExpressionRecord*> list;
};

// The instruction lines of a text, by opcode.
int Count(const std::string& text, const std::string& op) {
  std::istringstream lines(text);
  int count = 0;
  for (std::string line; std::getline(lines, line);) {
    if (line.rfind(op + " ", 0) == 0) ++count;
  }
  return count;
}

int CountContaining(const std::string& text, const std::string& part) {
  int count = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

// One formula's value written to the red output.
std::string RedOnly(const char* formula) {
  Uniforms uniforms;
  Program program(&uniforms.list, nullptr);
  Tree tree(formula);
  program.emit("MOV", program.getExternal("result.color.x"), program.emitExpr(tree.root));
  return program.getString();
}

std::string RGB(const char* r, const char* g, const char* b, const char* mask = nullptr) {
  Uniforms uniforms;
  Tree red(r), green(g), blue(b), m(mask);
  return Expr2ARB::getARBString(&uniforms.list, red.root, green.root, blue.root, m.root, nullptr);
}

std::string HSV(const char* h, const char* s, const char* v, bool raw) {
  Uniforms uniforms;
  Tree hue(h), saturation(s), value(v);
  return Expr2ARB::getARBStringFromHSV(&uniforms.list, hue.root, saturation.root, value.root, nullptr, nullptr, raw);
}

TEST(FragmentProgram, SmallIntegerPowersAreProductsAndOthersCheckTheirDomain) {
  const std::string square = RedOnly("x^2");
  EXPECT_EQ(Count(square, "MUL"), 1);
  EXPECT_EQ(Count(square, "POW"), 0);
  const std::string inverseSquare = RedOnly("x^(-2)");
  EXPECT_EQ(Count(inverseSquare, "MUL"), 1);
  EXPECT_EQ(Count(inverseSquare, "RCP"), 1);
  EXPECT_EQ(Count(RedOnly("x^6"), "MUL"), 3);
  EXPECT_EQ(Count(RedOnly("x^1"), "MUL"), 0);
  const std::string root = RedOnly("x^0.5");
  EXPECT_EQ(Count(root, "POW"), 1);
  EXPECT_EQ(Count(root, "KIL"), 1);
  EXPECT_EQ(Count(RedOnly("sqrt(x)"), "KIL"), 1);
  EXPECT_EQ(Count(RedOnly("ln(x)"), "KIL"), 1);
}

TEST(FragmentProgram, RepeatedWorkIsDoneOnceButEveryOutputIsWritten) {
  Uniforms uniforms;
  Program program(&uniforms.list, nullptr);
  Tree first("sin(x)+y"), second("sin(x)+y");
  program.emit("MOV", program.getExternal("result.color.x"), program.emitExpr(first.root));
  program.emit("MOV", program.getExternal("result.color.y"), program.emitExpr(second.root));
  const std::string text = program.getString();
  EXPECT_EQ(Count(text, "SIN"), 1);
  EXPECT_EQ(Count(text, "ADD"), 1);
  EXPECT_EQ(Count(text, "MOV"), 2);

  // A saturation of 1 and the alpha of 1 are the same MOV; both stay.
  const std::string raw = HSV("x", "1", "y", true);
  for (const char* out : {"result.color.x", "result.color.y", "result.color.z", "result.color.w"}) {
    EXPECT_EQ(CountContaining(raw, out), 1) << out << "\n" << raw;
  }
  for (const std::string& text : {RGB("x", "y", "z"), HSV("x", "y", "z", false)}) {
    EXPECT_EQ(CountContaining(text, "result.color.w"), 1) << text;
  }
}

TEST(FragmentProgram, ConstantsFillRegistersInOrderPaddedWithZeros) {
  Uniforms uniforms;
  Program program(&uniforms.list, nullptr);
  int32_t ids[6];
  for (int i = 0; i < 6; ++i) ids[i] = program.getConst(i + 1);
  EXPECT_EQ(program.getConst(-3), -ids[2]);
  program.emit("ADD", program.getExternal("result.color.x"), ids[5], -ids[4]);
  const std::string text = program.getString();
  char block[512];
  std::snprintf(block, sizeof block, "PARAM C1 = {\n    % 35.30f,\n    % 35.30f,\n    % 35.30f,\n    % 35.30f\n};\n",
                5.0, 6.0, 0.0, 0.0);
  EXPECT_NE(text.find(block), std::string::npos) << text;
  EXPECT_NE(text.find("ADD      result.color.x,  C1.y, -C1.x;\n"), std::string::npos) << text;
  EXPECT_EQ(text.find("PARAM C2"), std::string::npos);

  // A constant too long for a line of 256 characters is written whole.
  Program large(&uniforms.list, nullptr);
  large.emit("MOV", large.getExternal("result.color.x"), large.getConst(1e100));
  const std::string largeText = large.getString();
  char number[512];
  std::snprintf(number, sizeof number, "PARAM C0 = {\n    % 35.30f,\n", 1e100);
  EXPECT_NE(largeText.find(number), std::string::npos) << largeText;
  EXPECT_NE(largeText.find("};\n"), std::string::npos) << largeText;
  EXPECT_EQ(text.rfind("!!ARBfp1.0\n\nTEMP R0;\n\n", 0), 0u);
  EXPECT_EQ(text.substr(text.size() - 7), ";\n\nEND\n");
}

TEST(FragmentProgram, TemporariesShareRegistersOnlyWhenTheirLivesDoNotOverlap) {
  const std::string text = RedOnly("sin(x)*cos(y)+sin(y)*cos(x)");
  // Four live values at most: two products of two factors each.
  EXPECT_EQ(Count(text, "TEMP"), 1) << text;
  Uniforms uniforms;
  Program spread(&uniforms.list, nullptr);
  spread.setRegisterReuse(false);
  Tree tree("sin(x)*cos(y)+sin(y)*cos(x)+sin(z)");
  spread.emit("MOV", spread.getExternal("result.color.x"), spread.emitExpr(tree.root));
  EXPECT_GE(Count(spread.getString(), "TEMP"), 2);
}

TEST(FragmentProgram, WhatHasNoValueInAProgramGivesNoText) {
  for (const char* formula : {"t", "r*x", "w", "sum(k,k=1,3)"}) {
    Uniforms uniforms;
    Tree tree(formula), one("1");
    ASSERT_NE(tree.root, nullptr) << formula;
    EXPECT_EQ(Expr2ARB::getARBString(&uniforms.list, tree.root, one.root, one.root, nullptr, nullptr), "") << formula;
    EXPECT_TRUE(uniforms.list.empty());
  }
  EXPECT_EQ(Count(RGB("x", "y", "z", "2"), "KIL"), 0);
  EXPECT_EQ(Count(RGB("x", "y", "z", "x"), "KIL"), 1);
}

class FragmentProgramOnMesa : public testing::Test {
 protected:
  void TearDown() override { DestroyContextsAwaitingDestruction(); }
};

TEST_F(FragmentProgramOnMesa, GeneratedTextsLoadWithoutError) {
  RendererTestWorld world(16, 16);
  ScopedDrawContext ctx(kRendererAutomatic);
  Qd3d_SetPane(ctx.ctx, {0, 0, 16, 16}, &ctx.view, false);
  ASSERT_EQ(GetRendererType(ctx.ctx), kRendererOffscreen);
  const std::vector<std::string> texts = {
      RGB("x", "y", "z"),
      RGB("x^0.5", "abs(y)^1.5", "sin(x)*cos(y)", "x^2+y^2"),
      RGB("atan(x/y)", "asin(x)", "ln(x^2+1)", "x<y"),
      RGB("floor(3*x)/3", "sgn(x)*0.5+0.5", "exp(-x^2)", "0<x<y"),
      RGB("min(x,y,z)", "max(x,1-y)", "mod(x,0.25)*4", "z>=0"),
      RGB("rho", "phi/pi", "theta/(2*pi)+0.5"),
      RGB("x^(-3)", "log(y^2+1)", "acot(x)", "x>0"),
      RGB(nullptr, nullptr, nullptr, "x^2+y^2<1"),
      HSV("360*x", "y", "z", false),
      HSV("x", "1", "y", true),
  };
  for (size_t k = 0; k < texts.size(); ++k) {
    const std::string& text = texts[k];
    ASSERT_FALSE(text.empty()) << k;
    Shader shader("", text.c_str(), true);
    shader.bind();
    EXPECT_TRUE(shader.isWorking()) << shader.errorString() << "\n" << text;
    EXPECT_EQ(shader.errorPosition(), -1) << text;
  }
}

// Each formula's red at texcoord x = 0.25 k, drawn on a whole-pane quad.
TEST_F(FragmentProgramOnMesa, AZeroBaseToAPositivePowerIsZero) {
  RendererTestWorld world(8, 8);
  ScopedDrawContext ctx(kRendererAutomatic);
  Qd3d_SetPane(ctx.ctx, {0, 0, 8, 8}, &ctx.view, false);
  ASSERT_EQ(GetRendererType(ctx.ctx), kRendererOffscreen);
  struct Case {
    const char* formula;
    double x, red;
  };
  const Case cases[] = {{"x^0.5", 0, 0},      {"max(x,0)^0.5", 0, 0}, {"max(x,0)^0.5", -0.5, 0},
                        {"x^0.5", 0.25, 0.5}, {"x^0", 0, 1},          {"(x-1)^3", 0.5, 0}};
  for (const Case& c : cases) {
    const std::string text = RGB(c.formula, "1", "0");
    ASSERT_FALSE(text.empty()) << c.formula;
    ASSERT_EQ(RenderStart(ctx.ctx, true), 0);
    Shader shader("", text.c_str(), true);
    glEnable(GL_FRAGMENT_PROGRAM_ARB);
    shader.bind();
    ASSERT_TRUE(shader.isWorking()) << text;
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glColor4f(1, 1, 1, 1);
    glBegin(GL_QUADS);
    glTexCoord3f(float(c.x), 0, 0);
    glVertex2f(-1, -1);
    glVertex2f(1, -1);
    glVertex2f(1, 1);
    glVertex2f(-1, 1);
    glEnd();
    glDisable(GL_FRAGMENT_PROGRAM_ARB);
    ASSERT_EQ(RenderEnd(ctx.ctx), 0);
    const uint32_t pixel = world.Pixel(4, 4);
    EXPECT_NEAR(double((pixel >> 16) & 0xFF) / 255, c.red, 1.5 / 255) << c.formula << " at " << c.x;
    EXPECT_EQ((pixel >> 8) & 0xFF, 0xFFu) << c.formula << " at " << c.x;
  }
}

}  // namespace
