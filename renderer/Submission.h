#pragma once

#include <cstdint>

#include "CoreUtilities/text/UniChar.h"
#include "evaluation/AnExpression.h"
#include "renderer/AVector.h"
#include "renderer/DrawContext.h"

class Shader;

// How graphs hand geometry to the renderer in force: arrays and a colour
// source, then a draw call. Arrays stay the caller's and must live until the
// draw call returns. Renderer 0 does nothing.
void OurSubmitVertices(const Vertex* vertices, int count, MDrawContext* ctx);
void OurSubmitNormals(const Vertex* normals, MDrawContext* ctx);
void OurSubmitColors(const ColorArrayElement* colors, MDrawContext* ctx);
void OurSubmitTextureCoordinates(const TexCoord* coordinates, MDrawContext* ctx);
void OurBindTexture(OurTexture* texture, MDrawContext* ctx);
void OurSubmitSolidColor(unsigned long rgb, MDrawContext* ctx);
void OurSubmitSolidAmbientColor(unsigned long rgb, MDrawContext* ctx);
void OurSubmitOpacity(float opacity, MDrawContext* ctx);
void OurDisableTextureArrayState(MDrawContext* ctx);
void OurDisableColorArrayState(MDrawContext* ctx);
void OurDisableNormalArrayState(MDrawContext* ctx);
bool SupportsClipPlane(MDrawContext* ctx);
void OurSubmitClipPlane(A4Vector plane, MDrawContext* ctx);
void OurDisableClipPlane(MDrawContext* ctx);
bool OurEnableShaders(Shader* fragmentProgram, Shader* vertexProgram, MDrawContext* ctx);
void OurFlipBackFacing(MDrawContext* ctx);
void OurDisableShaders(MDrawContext* ctx);
// Fragment-program local parameter index, in the current context.
void OurSetUniformShaderParameter(unsigned long index, const double* four);

// Symbols and labels (UTF-16, null entries allowed) and sizes may be null.
void OurSubmitPoints(const uint16_t* indices, const UniChar* const* symbols, const UniChar* const* labels,
                     const float* sizes, int count, MDrawContext* ctx);
// The software renderer always greys lines with distance.
void OurSubmitLines(const LineSegment* segments, int count, bool depthCue, MDrawContext* ctx);
void OurSubmitTriangles(const Triangle* triangles, int count, MDrawContext* ctx);

// The view box a compute thread scales by. Graphs copy it on the interface
// thread when they submit their jobs, since a context may be disposed and
// remade while a job runs; a context without a view gives an empty box.
struct ModelSpace {
  double low[3] = {0, 0, 0};
  double high[3] = {0, 0, 0};
};
ModelSpace ModelSpaceOf(const MDrawContext* ctx);

// The view box's scale to -2 .. 2 and its centre; false when degenerate or
// when the context has no view yet.
struct ModelScale {
  double s[3], c[3];
};
bool ScaleOf(const ModelSpace& space, ModelScale& m);

// The view box's extents.
void GetModelSpaceDimensions(double* dx, double* dy, double* dz, const ModelSpace& space);
void GetModelSpaceDimensions(double* dx, double* dy, double* dz, const MDrawContext* ctx);
// The largest distance from the box centre, axes scaled so the box spans
// -2 to 2; 0 for no vertices or an empty box.
double CalculateMaximumModelSpaceRadius(const Vertex* vertices, int count, const ModelSpace& space);
double CalculateMaximumModelSpaceRadius(const Vertex* vertices, int count, const MDrawContext* ctx);

// The light on a unit normal of the view frame (the eye on +x, z up): a
// directional light from the upper left front with its highlight.
double LightIntensity(AVector viewFrameNormal);
// Scales a projected point toward the origin until both coordinates lie
// within 16383, so that rounding them stays in range.
void LimitProjectedCoordinates(double* x, double* y);
