#include "graphs3d/drawing/LitModelDrawing.h"

#include "graphpane/AGraphColor.h"
#include "renderer/Submission.h"
#include "renderer/VertexObject.h"

namespace {

constexpr unsigned long kRebuildingProgram = 0x333333;
constexpr unsigned long kWhite = 0xFFFFFF;

}  // namespace

bool DrawLitModel(VertexObject& model, AGraphColor& colour, MDrawContext* ctx, bool whiteUnderProgram) {
  if (colour.fFragmentProgram == nullptr) {
    model.DrawCachedModel();
    return true;
  }
  if (!colour.CheckAndUpdateFragmentProgram()) {
    OurSubmitSolidColor(kRebuildingProgram, ctx);
    return true;
  }
  if (!colour.EnableShaders(ctx)) return false;
  if (whiteUnderProgram) OurSubmitSolidColor(kWhite, ctx);
  model.DrawCachedModel();
  OurFlipBackFacing(ctx);
  model.DrawCachedModel();
  OurDisableShaders(ctx);
  return true;
}
