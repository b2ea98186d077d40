#include "graphs2d/PlaneTransformSource.h"

#include <cmath>
#include <limits>

#include "CoreUtilities/drawing/OurGWorld.h"
#include "CoreUtilities/drawing/OurRects.h"
#include "CoreUtilities/drawing/ScopedSavers.h"
#include "evaluation/AnExpression.h"
#include "graphpane/AGraphColor.h"
#include "graphs2d/A2DGraphView.h"

void StoreSourcePoint(double f, double g, float* pair) {
  if (std::isnan(f) || std::isnan(g)) {
    pair[0] = pair[1] = std::numeric_limits<float>::infinity();
    return;
  }
  pair[0] = static_cast<float>(f);
  pair[1] = static_cast<float>(g);
}

bool ShowsNothing(const AListGenericSmall<int32_t>* sources, const AGraphColor* colour, const A2DGraphView& view) {
  return (sources == nullptr || sources->Count() == 0) && colour->fType == AGraphColor::kHidden &&
         !view.IsShowingGraphPaper();
}

bool UsesVariable(int32_t variableId, const AnExpression* f, const AnExpression* g, const AGraphColor* colour) {
  return f->Contains(variableId) || g->Contains(variableId) || colour->Contains(variableId);
}

SourcePicture::SourcePicture(A2DGraphView& view, const AListGenericSmall<int32_t>* sources, const AGraphColor* colour)
    : fView(view), fSaved(view.ViewRect()), fRect(view.ViewRect()) {
  OurOffsetRect(&fRect, -fSaved.left, -fSaved.top);
  fView.SetViewRect(fRect);
  fView.FinishSettingState();
  fView.Make2DTransform();
  fWorld = OurNewGWorld(fRect);
  if (fWorld == nullptr) return;
  APushPort push(fWorld);
  fView.Draw(sources, colour, true);
}

SourcePicture::~SourcePicture() {
  OurDisposeGWorld(fWorld);
  fView.SetViewRect(fSaved);
  fView.FinishSettingState();
  fView.Make2DTransform();
}
