#include <cmath>

#include "graphs3d/grid/AGridSurface4D.h"
#include "graphs3d/grid/GridMesh.h"
#include "renderer/Submission.h"
#include "renderer/TriangleFacing.h"

namespace {

constexpr unsigned long kPictureFallback4D = 0x808080;

// A direction of 4-space seen in the image space: rows 0 to 2 alone, as
// the eye lies on row 3's line through the origin.
AVector ProjectDirection(const MTransform4D& t, const float (&d)[4]) {
  const auto row = [&](int r) {
    return t.rows[4 * r] * d[0] + t.rows[4 * r + 1] * d[1] + t.rows[4 * r + 2] * d[2] + t.rows[4 * r + 3] * d[3];
  };
  return {row(0), row(1), row(2)};
}

}  // namespace

// Points and normals of the current orientation, one copy per point first;
// points whose tangents are unknown take theirs from the projected
// neighbours; a discrete colour's second copies are spread out last.
void AGridSurface4D::ProjectModel() {
  const int32_t points = fN * fN;
  Vertex* const vertices = fVertices.get();
  Vertex* const normals = fNormals.get();
  for (int32_t k = 0; k < points; ++k) {
    normals[k] = {0, 0, 0};
    if (!fValid[size_t(k)]) {
      vertices[k] = {0, 0, 0};
      continue;
    }
    AVector p;
    double depth;
    ToSpace(*fTransform, fPoints[size_t(k)], &p, &depth);
    vertices[k] = {float(p.x), float(p.y), float(p.z)};
    const Tangents& t = fTangents[size_t(k)];
    const AVector n = Cross(ProjectDirection(*fTransform, t.du), ProjectDirection(*fTransform, t.dv));
    const double length = std::sqrt(Dot(n, n));
    if (length > 0 && std::isfinite(length))
      normals[k] = {float(n.x / length), float(n.y / length), float(n.z / length)};
  }
  NeighbourNormals(vertices, normals, fValid.get(), fN);
  if (fCopies == 2) {
    for (int32_t k = points - 1; k >= 0; --k) {
      vertices[2 * k + 1] = vertices[2 * k] = vertices[k];
      normals[2 * k + 1] = normals[2 * k] = normals[k];
    }
  }
}

// A picture that cannot be made shows grey.
void AGridSurface4D::SubmitColour() {
  if (fColourType == AGraphColor::kPictureTexture && fColour->CheckAndUpdateTexture()) {
    OurBindTexture(fColour->fTexture, fContext);
    OurSubmitTextureCoordinates(fTexCoords.get(), fContext);
  } else if (fColourType == AGraphColor::kPictureTexture) {
    OurSubmitSolidColor(kPictureFallback4D, fContext);
  } else if (fColours) {
    OurSubmitColors(fColours.get(), fContext);
  } else {
    OurSubmitSolidColor(fColour->fSolidColor, fContext);
  }
}

void AGridSurface4D::Draw() {
  if (fColourType == AGraphColor::kHidden || !IsDoneComputing() || !HasSpace()) return;
  ProjectModel();
  // A grid run backwards along a reversed range turns against its
  // derivatives' normals: its triangles follow the normals.
  TurnTrianglesToNormals(fVertices.get(), fNormals.get(), fN * fN * fCopies, fTriangles.get(), fTriangleCount);
  SubmitColour();
  OurSubmitOpacity(float(fOpacity), fContext);
  OurSubmitVertices(fVertices.get(), fN * fN * fCopies, fContext);
  OurSubmitNormals(fNormals.get(), fContext);
  OurSubmitTriangles(fTriangles.get(), fTriangleCount, fContext);
  OurDisableNormalArrayState(fContext);
  if (fColourType == AGraphColor::kPictureTexture)
    OurDisableTextureArrayState(fContext);
  else if (fColours)
    OurDisableColorArrayState(fContext);
}
