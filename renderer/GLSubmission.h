#pragma once

#include "evaluation/AnExpression.h"
#include "renderer/DrawContext.h"

class Shader;

// The OpenGL halves of the submission calls: GL state and draws on the
// caller's arrays, in the current context.
void GLSubmitVertices(const Vertex* vertices);
void GLSubmitNormals(const Vertex* normals);
void GLSubmitColors(const ColorArrayElement* colors);
void GLSubmitTextureCoordinates(const TexCoord* coordinates);
void GLBindTexture(const OurTexture* texture);
void GLSubmitSolidColor(unsigned long rgb);
void GLSubmitSolidAmbientColor(unsigned long rgb);
void GLDisableTextureArrayState();
void GLDisableColorArrayState();
void GLDisableNormalArrayState();
void GLSubmitClipPlane(A4Vector plane);
void GLDisableClipPlane();
void GLSubmitPoints(const uint16_t* indices, int count);
void GLSubmitLines(const LineSegment* segments, int count, bool depthCue);
void GLSubmitTriangles(const Triangle* triangles, int count);
bool GLEnableShaders(Shader* fragmentProgram, Shader* vertexProgram);
void GLFlipBackFacing();
void GLDisableShaders();
