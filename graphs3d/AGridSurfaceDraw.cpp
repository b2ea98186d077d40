#include "graphs3d/AGridSurface.h"
#include "renderer/Submission.h"

namespace {

constexpr unsigned long kPictureFallback = 0x808080;
constexpr unsigned long kRebuildingProgram = 0x333333;
constexpr unsigned long kWhite = 0xFFFFFF;

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
  if (!UsingShader()) {
    fModel.DrawCachedModel();
  } else if (!fColour->CheckAndUpdateFragmentProgram()) {
    OurSubmitSolidColor(kRebuildingProgram, fContext);
  } else if (!fColour->EnableShaders(fContext)) {
    SetParameter(kAttributePlottingMode, 1.0);
  } else {
    // Both faces: the program lights the front, then the back.
    if (Copies() == 2) OurSubmitSolidColor(kWhite, fContext);
    fModel.DrawCachedModel();
    OurFlipBackFacing(fContext);
    fModel.DrawCachedModel();
    OurDisableShaders(fContext);
  }
  if (fClipPlaneFlag) OurDisableClipPlane(fContext);
  return true;
}
