#include "graphs2d/ATextureMapPlot.h"

#include <cmath>

#include "CoreUtilities/files/ErrorQueue.h"
#include "CoreUtilities/drawing/OurGWorld.h"
#include "CoreUtilities/OurTime.h"
#include "CoreUtilities/drawing/PixelColors.h"
#include "evaluation/AnExpression.h"
#include "graphpane/AGraphColor.h"
#include "graphs2d/A2DGraphView.h"
#include "graphs2d/A2DTransform.h"
#include "graphs2d/PlaneTransformSource.h"
#include "graphs2d/TexturedTriangles.h"
#include "platform/CheckedConvert.h"
#include "platform/OurPort.h"

namespace {

constexpr int64_t kRecomputeWaitMicroseconds = 10 * 1000000 / 60;  // ten ticks
constexpr int64_t kPollMicroseconds = 10000;

bool IsValid(const float* pair) { return !std::isinf(pair[0]) && !std::isinf(pair[1]); }

}  // namespace

int32_t TextureGridStep(double grain) {
  if (std::isnan(grain)) grain = 0.5;
  const double step = std::trunc(15 - 10 * grain);
  if (!(step >= 1)) return 1;
  return step >= 32767 ? 32767 : DoubleToInt32(step);
}

ATextureMapPlot::ATextureMapPlot(Compiled f, Compiled g, Colour colour, double grain, const A2DTransform& transform,
                                 A2DGraphView& source, const AListGenericSmall<int32_t>* sourceList)
    : fTransform(transform),
      fSource(source),
      fSourceList(sourceList),
      fF(std::move(f)),
      fG(std::move(g)),
      fColour(std::move(colour)),
      fGrain(grain),
      fGridData(AnExpression::CompileForGrid(fF.get(), fG.get())),
      fJobs(this, GraphJobs::kOneJob) {
  SizeGrid();
  fJobs.Submit(fColour.get(), {fF.get(), fG.get()});
}

ATextureMapPlot::~ATextureMapPlot() {
  fJobs.Stop(fColour.get(), {fF.get(), fG.get()});
  FreeGrid();
}

ATextureMapPlot::SourceMapping ATextureMapPlot::CurrentSourceMapping() const {
  const A2DTransform& t = fSource.ViewTransform();
  return SourceMapping{t.pixelRect,      t.xOrigin,        t.yOrigin,       t.xPixelsPerUnit,
                       t.yPixelsPerUnit, t.xUnitsPerPixel, t.yUnitsPerPixel};
}

void ATextureMapPlot::FreeGrid() {
  fGrid.reset();
  fColumns = fRows = 0;
}

void ATextureMapPlot::SizeGrid() {
  fComputing = CurrentSourceMapping();
  const MRect& r = fComputing.rect;
  if (r.right <= r.left || r.bottom <= r.top) return;
  const int32_t step = TextureGridStep(fGrain);
  const int32_t rows = (r.bottom - r.top) / step + 2, columns = (r.right - r.left) / step + 2;
  fGrid = NewCountedArray<float>(size_t(rows) * size_t(columns) * 2);
  if (fGrid == nullptr) {
    QueueError(kOutOfMemoryError);
    return;
  }
  fRows = rows, fColumns = columns;
}

void ATextureMapPlot::InvalidatePoints() {
  fJobs.Stop(fColour.get(), {fF.get(), fG.get()});
  FreeGrid();
  SizeGrid();
  fJobs.Submit(fColour.get(), {fF.get(), fG.get()});
}

void ATextureMapPlot::InvalConstant(int32_t variableId) {
  AnExpression::InvalConstants(fColour.get(), fF.get(), fG.get());
  if (UsesVariable(variableId, fF.get(), fG.get(), fColour.get())) ViewChanged();
}

void ATextureMapPlot::SetParameter(ViewAttribute attribute, double value) {
  if (attribute == kAttributeColor) fColour->Set(value);
}

int32_t ATextureMapPlot::Compute(int32_t slice) {
  DocumentRecord* document = fTransform.document;
  if (fGrid == nullptr || fRows < 1 || fColumns < 1 || fGridData == nullptr) {
    return fJobs.Finish(slice, kComputeNothingToDo, document);
  }
  fColour->Compute();
  const SourceMapping& m = fComputing;
  const double x0 = (m.rect.left - m.xOrigin) * m.xUnitsPerPixel, x1 = (m.rect.right - m.xOrigin) * m.xUnitsPerPixel;
  const double y0 = -(m.rect.top - m.yOrigin) * m.yUnitsPerPixel, y1 = -(m.rect.bottom - m.yOrigin) * m.yUnitsPerPixel;
  const double dx = fColumns > 1 ? (x1 - x0) / (fColumns - 1) : 0, dy = fRows > 1 ? (y1 - y0) / (fRows - 1) : 0;
  MGridVariables grid;
  AnExpression::SetupGrid(x0, y0, dx, dy, fColumns, fRows, fGridData.get(), &grid);
  for (int32_t j = 0; j < fRows; ++j) {
    for (int32_t i = 0; i < fColumns; ++i) {
      const double f = fF->EvaluateOnGrid(i, j, &grid), g = fG->EvaluateOnGrid(i, j, &grid);
      fEvaluations.fetch_add(1, std::memory_order_relaxed);
      if (fJobs.Cancelled()) return fJobs.Finish(slice, kComputeCancelled, document);
      StoreSourcePoint(f, g, fGrid.get() + 2 * (size_t(j) * fColumns + i));
    }
  }
  // The done flag, set under the jobs' mutex, publishes the grid and this.
  fSnapshot = m;
  return fJobs.Finish(slice, kComputeFinished, document);
}

void ATextureMapPlot::Draw() {
  fTrianglesDrawn = 0;
  if (fGrid == nullptr || ShowsNothing(fSourceList, fColour.get(), fSource)) return;
  if (IsDoneComputing() && !fSnapshot.SameMapping(CurrentSourceMapping())) {
    ViewChanged();
    const int64_t start = OurGetMicroseconds();
    while (!IsDoneComputing() && OurGetMicroseconds() - start < kRecomputeWaitMicroseconds) {
      OurSleep(kPollMicroseconds);
    }
  }
  if (!IsDoneComputing() || fGrid == nullptr) return;
  SourcePicture picture(fSource, fSourceList, fColour.get());
  if (picture.World() == nullptr) {
    QueueError(kOutOfMemoryError);
    return;
  }
  MRect bounds = fTransform.pixelRect;
  const int32_t width = bounds.right - bounds.left, height = bounds.bottom - bounds.top;
  OurPort* destination = OurNewGWorld(MRect{0, 0, static_cast<int16_t>(height), static_cast<int16_t>(width)});
  if (destination == nullptr) {
    QueueError(kOutOfMemoryError);
    return;
  }
  MipPyramid texture;
  if (texture.CreateTexture(picture.World(), picture.Rect())) {
    const TriangleTarget target{reinterpret_cast<uint32_t*>(destination->image.bits()),
                                destination->image.bytesPerLine() / 4, width, height};
    DrawCells(texture, target, MRect{0, 0, static_cast<int16_t>(height), static_cast<int16_t>(width)});
  }
  if (OurPort* port = CurrentPort()) {
    const QRect inPort = port->bounds.intersected(QRect(bounds.left, bounds.top, width, height));
    auto* pixels = reinterpret_cast<uint32_t*>(port->image.bits());
    const long pixelRow = port->image.bytesPerLine() / 4;
    for (int v = inPort.top(); v <= inPort.bottom(); ++v) {
      const auto* from = reinterpret_cast<const uint32_t*>(destination->image.constScanLine(v - bounds.top));
      for (int h = inPort.left(); h <= inPort.right(); ++h) {
        const uint32_t colour = from[h - bounds.left] & 0xFFFFFF;
        if (colour == 0xFFFFFF) continue;
        uint32_t* pixel = pixels + (v - port->bounds.top()) * pixelRow + (h - port->bounds.left());
        *pixel = OurComposeColors(colour, *pixel);
      }
    }
  }
  OurDisposeGWorld(destination);
}

void ATextureMapPlot::DrawCells(const MipPyramid& texture, const TriangleTarget& target, const MRect& bounds) {
  const A2DTransform& t = fTransform;
  const auto vertex = [&](int32_t i, int32_t j) {
    const float* pair = fGrid.get() + 2 * (size_t(j) * fColumns + i);
    VerTex2D out;
    out.x = static_cast<float>(pair[0] * t.xPixelsPerUnit + t.xOrigin - t.pixelRect.left);
    out.y = static_cast<float>(pair[1] * t.yPixelsPerUnit + t.yOrigin - t.pixelRect.top);
    out.u = static_cast<float>(double(i) / (fColumns - 1));
    out.v = static_cast<float>(double(fRows - 1 - j) / (fRows - 1));
    return out;
  };
  const auto triangle = [&](const VerTex2D& a, const VerTex2D& b, const VerTex2D& c) {
    const VerTex2D corners[3] = {a, b, c};
    VerTex2D out[8];
    const int n = ClipTexturedTriangle2D(corners, out, bounds);
    for (int k = 2; k < n; ++k) DrawTexturedTriangle2D(&out[0], &out[k - 1], &out[k], texture, target);
    ++fTrianglesDrawn;
  };
  if (fColumns < 2 || fRows < 2) return;
  for (int32_t j = 0; j + 1 < fRows; ++j) {
    for (int32_t i = 0; i + 1 < fColumns; ++i) {
      const int32_t ci[4] = {i, i + 1, i + 1, i}, cj[4] = {j, j, j + 1, j + 1};
      int valid = 0, missing = -1;
      for (int k = 0; k < 4; ++k) {
        if (IsValid(fGrid.get() + 2 * (size_t(cj[k]) * fColumns + ci[k]))) {
          ++valid;
        } else {
          missing = k;
        }
      }
      if (valid < 3) continue;
      VerTex2D c[4];
      for (int k = 0; k < 4; ++k) c[k] = vertex(ci[k], cj[k]);
      if (valid == 4) {
        triangle(c[0], c[1], c[2]);
        triangle(c[0], c[3], c[2]);
      } else {
        VerTex2D rest[3];
        for (int k = 0, n = 0; k < 4; ++k) {
          if (k != missing) rest[n++] = c[k];
        }
        triangle(rest[0], rest[1], rest[2]);
      }
    }
  }
}
