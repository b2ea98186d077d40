#include "graphs2d/AContourPlot.h"
#include "graphs2d/CurveStroke.h"

#include <cmath>
#include <new>

#include "CoreUtilities/files/ErrorQueue.h"
#include "CoreUtilities/MathConstants.h"
#include "evaluation/AnExpression.h"
#include "graphpane/AGraphColor.h"
#include "graphs2d/A2DTransform.h"
#include "graphs2d/GrainSteps.h"
#include "graphs2d/LevelShades.h"
#include "graphs2d/RootFinding.h"
#include "graphs2d/SegmentGeometry.h"

namespace {

constexpr int32_t kUndefinedOrConstantMessage = 10;
// Corners (x first): 0 (0, 0), 1 (0, 1), 2 (1, 1), 3 (1, 0).
constexpr int32_t kCornerOffset[4][2] = {{0, 0}, {0, 1}, {1, 1}, {1, 0}};
// Left side, rising diagonal, bottom, top, right side.
constexpr int32_t kEdgeCorners[5][2] = {{0, 1}, {0, 2}, {0, 3}, {1, 2}, {2, 3}};
// Upper-left and lower-right triangles by their edges.
constexpr int32_t kTriangleEdges[2][3] = {{0, 1, 3}, {1, 2, 4}};

}  // namespace

AContourPlot::AContourPlot(Compiled function, double grain, Colour colour, const A2DTransform& transform)
    : fTransform(transform),
      fFunction(std::move(function)),
      fColour(std::move(colour)),
      fLevelCount(GrainLevelCount(grain)),
      fJobs(this, GraphJobs::kOneJob) {
  AnExpression::Compile(fFunction.get());
  ConstructMesh();
  Submit();
}

AContourPlot::~AContourPlot() { Stop(); }

void AContourPlot::Stop() { fJobs.Stop(fColour.get(), {fFunction.get()}); }

void AContourPlot::Submit() { fJobs.Submit(fColour.get(), {fFunction.get()}); }

void AContourPlot::ConstructMesh() {
  const MRect& r = fTransform.pixelRect;
  const double ux = fTransform.xUnitsPerPixel, uy = fTransform.yUnitsPerPixel;
  fX0 = (r.left - fTransform.xOrigin - 0.5) * ux;
  fX1 = (r.right - fTransform.xOrigin - 0.5) * ux;
  fY0 = -(r.bottom - fTransform.yOrigin - 0.5) * uy;
  fY1 = -(r.top - fTransform.yOrigin - 0.5) * uy;
  fDX = (fX1 - fX0) / kMeshSquares;
  fDY = (fY1 - fY0) / kMeshSquares;
  fRow.reset(new (std::nothrow) RowEntry[kMeshSquares + 1]());
  if (!fRow) QueueError(kOutOfMemoryError);
  for (int32_t& c : fCarriedEdge) c = 0;
}

void AContourPlot::SetContourRange() {
  double min = gInf, max = -gInf;
  for (int32_t j = 0; j < 20; ++j) {
    for (int32_t i = 0; i < 20; ++i) {
      const double x = fX0 + (i + 0.5) * (fX1 - fX0) / 20, y = fY0 + (j + 0.5) * (fY1 - fY0) / 20;
      const double v = fFunction->Evaluate(0, 0, x, y, 0, 0);
      if (!std::isfinite(v)) continue;
      if (v < min) min = v;
      if (v > max) max = v;
    }
  }
  if (ChooseContourLevels(min, max, fLevelCount, fLevels)) fLevelsValid.store(true, std::memory_order_release);
}

int32_t AContourPlot::Compute(int32_t slice) {
  if (!HasRowBuffer()) return fJobs.Finish(slice, kJobNothingToCompute, fTransform.document);
  if (!LevelsValid()) SetContourRange();
  // Without levels the job has still run: it is done, with nothing to draw.
  if (LevelsValid() && !LoopOverUnitSquares()) {
    OurLock lock(fMutex);
    fVertices.RemoveAllElements();
    fSegments.RemoveAllElements();
    // The buffer stays until ViewChanged: Draw may be reading the pointer.
    fWalkFailed.store(true, std::memory_order_release);
    QueueError(kOutOfMemoryError);
  }
  if (fJobs.Cancelled()) return fJobs.Finish(slice, kJobCancelled, fTransform.document);
  return fJobs.Finish(slice, kJobFinished, fTransform.document);
}

bool AContourPlot::LoopOverUnitSquares() {
  for (int32_t j = 0; j < kMeshSquares; ++j) {
    for (int32_t i = 0; i < kMeshSquares; ++i) {
      const double x = fX0 + i * fDX, y = fY0 + j * fDY;
      SetCorners(i, j, x, y);
      if (fJobs.Cancelled()) return true;
      if (!SetEdges(i, j, x, y) || !AddSegments()) return false;
    }
  }
  return true;
}

void AContourPlot::SetCorners(int32_t i, int32_t j, double x, double y) {
  bool known[4] = {};
  if (j > 0) {
    fCorner[0] = fRow[i].value, fCorner[3] = fRow[i + 1].value;
    known[0] = known[3] = true;
  }
  if (i > 0) {
    fCorner[1] = fCarriedValue, known[1] = true;
    if (j == 0) fCorner[0] = fRow[i].value, known[0] = true;
  }
  for (int32_t c = 0; c < 4; ++c) {
    if (!known[c]) {
      fCorner[c] = fFunction->Evaluate(0, 0, x + kCornerOffset[c][0] * fDX, y + kCornerOffset[c][1] * fDY, 0, 0);
    }
  }
  if (j < kMeshSquares - 1) fRow[i].value = fCorner[1];
  if (i < kMeshSquares - 1) fCarriedValue = fCorner[2];
  if (j == 0) fRow[i + 1].value = fCorner[3];
  if (i == kMeshSquares - 1) fRow[kMeshSquares].value = fCorner[2];
}

bool AContourPlot::SetEdges(int32_t i, int32_t j, double x, double y) {
  for (auto& edge : fEdges) {
    for (int32_t& c : edge) c = 0;
  }
  const bool shared[kEdgeCount] = {i > 0, false, j > 0, false, false};
  for (int32_t L = 0; L < fLevelCount; ++L) {
    if (shared[kBottom]) fEdges[kBottom][L] = fRow[i].crossings[L];
    if (shared[kLeft]) fEdges[kLeft][L] = fCarriedEdge[L];
  }
  for (int32_t edge = 0; edge < kEdgeCount; ++edge) {
    if (shared[edge]) continue;
    const int32_t c0 = kEdgeCorners[edge][0], c1 = kEdgeCorners[edge][1];
    const double xa = x + kCornerOffset[c0][0] * fDX, ya = y + kCornerOffset[c0][1] * fDY;
    const double xb = x + kCornerOffset[c1][0] * fDX, yb = y + kCornerOffset[c1][1] * fDY;
    for (int32_t L = 0; L < fLevelCount; ++L) {
      const double a = fCorner[c0] - fLevels[L], b = fCorner[c1] - fLevels[L];
      if (!((a < 0 && b >= 0) || (a >= 0 && b < 0))) continue;
      double rx = 0, ry = 0;
      if (!FindRoot(fFunction.get(), fLevels[L], 0.01, a, b, &rx, xa, xb, &ry, ya, yb, nullptr, 0, 0)) continue;
      OurLock lock(fMutex);
      if (fVertices.Add(ContourVertex{rx, ry, static_cast<int16_t>(L)}) != 0) return false;
      fEdges[edge][L] = fVertices.Count();
    }
  }
  for (int32_t L = 0; L < fLevelCount; ++L) {
    if (j < kMeshSquares - 1) fRow[i].crossings[L] = fEdges[kTop][L];
    if (i < kMeshSquares - 1) fCarriedEdge[L] = fEdges[kRight][L];
  }
  return true;
}

bool AContourPlot::AddSegments() {
  for (int32_t L = 0; L < fLevelCount; ++L) {
    for (const auto& triangle : kTriangleEdges) {
      int32_t found[3], n = 0;
      for (int32_t edge : triangle) {
        if (fEdges[edge][L] != 0) found[n++] = fEdges[edge][L] - 1;
      }
      if (n != 2) continue;
      OurLock lock(fMutex);
      if (fSegments.Add(ContourSegment{found[0], found[1]}) != 0) return false;
    }
  }
  return true;
}

bool AContourPlot::IsDoneComputing() { return fJobs.AllDone(); }

int32_t AContourPlot::GraphVisibility() {
  if (!IsDoneComputing()) return 0;
  OurLock lock(fMutex);
  return fSegments.Count() > 0 ? 0 : kUndefinedOrConstantMessage;
}

void AContourPlot::InvalConstant(int32_t variableId) {
  AnExpression::InvalConstants(fColour.get(), fFunction.get());
  if (fFunction->Contains(variableId) || fColour->Contains(variableId)) ViewChanged();
}

void AContourPlot::SetParameter(ViewAttribute attribute, double value) {
  if (attribute == kAttributeGrain) {
    // Stopped first: the job reads the count and writes the levels.
    Stop();
    fLevelsValid.store(false, std::memory_order_release);
    fLevelCount = GrainLevelCount(value);
    ViewChanged();
  }
}

void AContourPlot::ViewChanged() {
  Stop();
  {
    OurLock lock(fMutex);
    fVertices.RemoveAllElements();
    fSegments.RemoveAllElements();
  }
  fRow.reset();
  fWalkFailed.store(false, std::memory_order_relaxed);
  ConstructMesh();
  Submit();
}

bool AContourPlot::Hidden() const { return fColour->fType == AGraphColor::kHidden; }

void AContourPlot::Draw() {
  if (Hidden() || !HasRowBuffer() || !LevelsValid()) return;
  uint32_t shades[kMaxContourLevels];
  LevelShades(fColour->fSolidColor, fLevelCount, shades);
  OurLock lock(fMutex);
  for (int32_t level = 0; level < fLevelCount; ++level) {
    CurveStroke stroke(fTransform.pixelRect);
    bool any = false;
    for (int32_t s = 0; s < fSegments.Count(); ++s) {
      const ContourVertex& a = fVertices[fSegments[s].first];
      const ContourVertex& b = fVertices[fSegments[s].second];
      if (a.level != level) continue;
      stroke.Line(MPoint{int16_t(fTransform.YTOI_InfSafe(a.y)), int16_t(fTransform.XTOI_InfSafe(a.x))},
                  MPoint{int16_t(fTransform.YTOI_InfSafe(b.y)), int16_t(fTransform.XTOI_InfSafe(b.x))});
      any = true;
    }
    if (any) stroke.Compose(shades[level]);
  }
}

bool AContourPlot::IsPointOverCurve(double x, double y) {
  if (!HasRowBuffer() || Hidden() || !LevelsValid()) return false;
  const double tx = 4 * fTransform.xUnitsPerPixel, ty = 4 * fTransform.yUnitsPerPixel;
  for (int32_t L = 0; L < fLevelCount; ++L) {
    if (NearImplicitFunction(fFunction.get(), fLevels[L], x, y, tx, ty)) {
      fSelectedLevel = L;
      return true;
    }
  }
  return false;
}

int32_t AContourPlot::NearestSegmentLevel(double x, double y) {
  const double aspect = fTransform.xUnitsPerPixel / fTransform.yUnitsPerPixel;
  double best = gInf;
  int32_t level = -1;
  OurLock lock(fMutex);
  for (int32_t s = 0; s < fSegments.Count(); ++s) {
    const ContourVertex& a = fVertices[fSegments[s].first];
    const ContourVertex& b = fVertices[fSegments[s].second];
    const double d = DistanceToSegmentSquared(x, y * aspect, a.x, a.y * aspect, b.x, b.y * aspect);
    if (d < best) best = d, level = a.level;
  }
  return level;
}

Selection AContourPlot::GetSelection(double x, double y) {
  Selection selection;
  if (!HasRowBuffer() || Hidden() || !LevelsValid()) return selection;
  const double aspect = fTransform.xUnitsPerPixel / fTransform.yUnitsPerPixel;
  double best = gInf, px = 0, py = 0;
  {
    OurLock lock(fMutex);
    for (int32_t s = 0; s < fSegments.Count(); ++s) {
      const ContourVertex& a = fVertices[fSegments[s].first];
      const ContourVertex& b = fVertices[fSegments[s].second];
      if (a.level != fSelectedLevel) continue;
      const double d = DistanceToSegmentSquared(x, y * aspect, a.x, a.y * aspect, b.x, b.y * aspect);
      if (d < best) {
        best = d;
        FindClosestPointOnSegment(x, y * aspect, a.x, a.y * aspect, b.x, b.y * aspect, &px, &py);
        py /= aspect;
      }
    }
  }
  if (best == gInf) return selection;
  const double level = fLevels[fSelectedLevel], ux = fTransform.xUnitsPerPixel, uy = fTransform.yUnitsPerPixel;
  double rx = 0, ry = 0;
  if (!ImplicitFunctionNearbyRoot(fFunction.get(), level, px, py, 2 * ux, 2 * uy, x, y, &rx, &ry)) return selection;
  selection.kind = kSelectContourValue;
  selection.parameter = level;
  selection.x = rx, selection.y = ry;
  ImplicitFunctionSnapToAxes(fFunction.get(), level, 4 * ux, 4 * uy, &selection);
  return selection;
}

Neighborhood AContourPlot::GetNeighborhood(double x, double y, double radius, double, double parameterHigh) {
  if (!HasRowBuffer() || Hidden() || !LevelsValid()) return Neighborhood{};
  double level = parameterHigh;
  if (level == gInf) {
    const int32_t nearest = NearestSegmentLevel(x, y);
    if (nearest < 0) return Neighborhood{};
    level = fLevels[nearest];
  }
  const double aspect = fTransform.yUnitsPerPixel / fTransform.xUnitsPerPixel;
  Neighborhood n = ImplicitFunctionNeighborhood(fFunction.get(), level, x, y, radius, radius * aspect);
  n.centre.parameter = level;
  return n;
}
