#include "renderer/GLSubmission.h"

#include <cstdint>

#include <GL/gl.h>

#include "platform/GLFunctions.h"
#include "renderer/Shader.h"

namespace {

void SetMaterial(GLenum which, const GLfloat rgba[4]) { glMaterialfv(GL_FRONT_AND_BACK, which, rgba); }

void SetShininess() { glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, 32); }

void ColourOf(unsigned long rgb, GLfloat out[4], float scale) {
  out[0] = float((rgb >> 16) & 0xFF) / 255 * scale;
  out[1] = float((rgb >> 8) & 0xFF) / 255 * scale;
  out[2] = float(rgb & 0xFF) / 255 * scale;
  out[3] = 1;
}

// The eye sits 50 units out, so far parts of the model grey towards 0.5.
void EnableDepthFog() {
  const GLfloat grey[4] = {0.5f, 0.5f, 0.5f, 1};
  glEnable(GL_FOG);
  glFogi(GL_FOG_MODE, GL_LINEAR);
  glFogfv(GL_FOG_COLOR, grey);
  glFogf(GL_FOG_DENSITY, 0.5f);
  glFogf(GL_FOG_START, 48);
  glFogf(GL_FOG_END, 52);
  glHint(GL_FOG_HINT, GL_DONT_CARE);
}

}  // namespace

void GLSubmitVertices(const Vertex* vertices) { glVertexPointer(3, GL_FLOAT, 0, vertices); }

void GLSubmitNormals(const Vertex* normals) {
  glEnableClientState(GL_NORMAL_ARRAY);
  glNormalPointer(GL_FLOAT, 0, normals);
}

void GLSubmitColors(const ColorArrayElement* colors) {
  const GLfloat white[4] = {1, 1, 1, 1};
  SetShininess();
  SetMaterial(GL_SPECULAR, white);
  glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);
  glEnable(GL_COLOR_MATERIAL);
  glEnableClientState(GL_COLOR_ARRAY);
  glColorPointer(3, GL_FLOAT, 0, colors);
}

void GLSubmitTextureCoordinates(const TexCoord* coordinates) {
  const GLfloat white[4] = {1, 1, 1, 1};
  SetShininess();
  SetMaterial(GL_SPECULAR, white);
  SetMaterial(GL_AMBIENT_AND_DIFFUSE, white);
  glEnableClientState(GL_TEXTURE_COORD_ARRAY);
  glTexCoordPointer(2, GL_FLOAT, 0, coordinates);
}

void GLBindTexture(const OurTexture* texture) {
  glEnable(GL_TEXTURE_2D);
  glBindTexture(GL_TEXTURE_2D, GLuint(reinterpret_cast<uintptr_t>(texture)));
}

void GLSubmitSolidColor(unsigned long rgb) {
  GLfloat colour[4];
  ColourOf(rgb, colour, 1);
  SetShininess();
  SetMaterial(GL_SPECULAR, colour);
  SetMaterial(GL_AMBIENT_AND_DIFFUSE, colour);
}

// The model ambient light of 0.2 gives back the colour itself, unlit.
void GLSubmitSolidAmbientColor(unsigned long rgb) {
  const GLfloat black[4] = {0, 0, 0, 1};
  GLfloat ambient[4];
  ColourOf(rgb, ambient, 1 / 0.2f);
  SetMaterial(GL_SPECULAR, black);
  SetMaterial(GL_DIFFUSE, black);
  SetMaterial(GL_AMBIENT, ambient);
}

void GLDisableTextureArrayState() {
  glDisable(GL_TEXTURE_2D);
  glDisableClientState(GL_TEXTURE_COORD_ARRAY);
}

void GLDisableColorArrayState() {
  glDisable(GL_COLOR_MATERIAL);
  glDisableClientState(GL_COLOR_ARRAY);
}

void GLDisableNormalArrayState() { glDisableClientState(GL_NORMAL_ARRAY); }

void GLSubmitClipPlane(A4Vector plane) {
  const GLdouble equation[4] = {plane.a, plane.b, plane.c, plane.d};
  glEnable(GL_CLIP_PLANE1);
  glClipPlane(GL_CLIP_PLANE1, equation);
}

void GLDisableClipPlane() { glDisable(GL_CLIP_PLANE1); }

void GLSubmitPoints(const uint16_t* indices, int count) {
  EnableDepthFog();
  glDrawElements(GL_POINTS, count, GL_UNSIGNED_SHORT, indices);
  glDisable(GL_FOG);
}

void GLSubmitLines(const LineSegment* segments, int count, bool depthCue) {
  if (depthCue) EnableDepthFog();
  glDrawElements(GL_LINES, 2 * count, GL_UNSIGNED_SHORT, segments);
  if (depthCue) glDisable(GL_FOG);
}

void GLSubmitTriangles(const Triangle* triangles, int count) {
  glDrawElements(GL_TRIANGLES, 3 * count, GL_UNSIGNED_INT, triangles);
}

bool GLEnableShaders(Shader* fragmentProgram, Shader* vertexProgram) {
  glDisable(GL_LIGHTING);
  glEnable(GL_VERTEX_PROGRAM_ARB);
  glEnable(GL_FRAGMENT_PROGRAM_ARB);
  fragmentProgram->bind();
  vertexProgram->bind();
  if (gGL.programLocalParameter4d) gGL.programLocalParameter4d(GL_VERTEX_PROGRAM_ARB, 0, 1, 0, 0, 0);
  glEnable(GL_CULL_FACE);
  glCullFace(GL_BACK);
  return fragmentProgram->isWorking() && vertexProgram->isWorking();
}

void GLFlipBackFacing() {
  if (gGL.programLocalParameter4d) gGL.programLocalParameter4d(GL_VERTEX_PROGRAM_ARB, 0, -1, 0, 0, 0);
  glCullFace(GL_FRONT);
}

void GLDisableShaders() {
  glEnable(GL_LIGHTING);
  glDisable(GL_FRAGMENT_PROGRAM_ARB);
  glDisable(GL_VERTEX_PROGRAM_ARB);
  glDisable(GL_CULL_FACE);
}

void OurSetUniformShaderParameter(unsigned long index, const double* four) {
  if (gGL.programLocalParameter4dv) gGL.programLocalParameter4dv(GL_FRAGMENT_PROGRAM_ARB, GLuint(index), four);
}
