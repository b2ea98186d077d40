#include "graphs3d/grid/AGridSurface.h"
#include "graphs3d/drawing/LitModelDrawing.h"
#include "renderer/Submission.h"

namespace {

constexpr unsigned long kPictureFallback = 0x808080;

}  // namespace

bool AGridSurface::Draw() {
  if (fModel.GetMode() == VertexObject::kEmpty || !HasSpace()) return true;
  const auto type = fColourType;
  // Hidden draws nothing; whatever model it holds follows the renderer.
  if (type == AGraphColor::kHidden) {
    fModel.CopyBuffersIfContextChanged();
    return true;
  }
  const bool picture = type == AGraphColor::kPictureTexture;
  const bool pictureFailed = picture && !fColour->CheckAndUpdateTexture();
  if (type == AGraphColor::kSolid || pictureFailed)
    OurSubmitSolidColor(pictureFailed ? kPictureFallback : fColour->fSolidColor, fContext);
  else if (picture)
    OurBindTexture(fColour->fTexture, fContext);
  OurSubmitOpacity(float(fOpacity), fContext);
  if (fClipPlaneFlag) OurSubmitClipPlane(fClipPlane, fContext);
  if (!DrawLitModel(fModel, *fColour, fContext, Copies() == 2)) SetParameter(kAttributePlottingMode, 1.0);
  if (fClipPlaneFlag) OurDisableClipPlane(fContext);
  return true;
}
