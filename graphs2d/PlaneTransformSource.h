#pragma once

#include <cstdint>

#include "CoreUtilities/memory/AListGenericSmall.h"
#include "CoreUtilities/MRect.h"

class A2DGraphView;
class AGraphColor;
class AnExpression;
struct OurPort;

// The source point (f, g) of one pixel or grid point as stored: floats, a
// pair of +infinity where either value is undefined.
void StoreSourcePoint(double f, double g, float* pair);

// True when the plot has nothing to show: no graphs of the source view are
// named, the colour hides the background and the view shows no paper.
bool ShowsNothing(const AListGenericSmall<int32_t>* sources, const AGraphColor* colour, const A2DGraphView& view);

// True when f, g or the colour uses the variable.
bool UsesVariable(int32_t variableId, const AnExpression* f, const AnExpression* g, const AGraphColor* colour);

// The source view drawn, with its rectangle moved to the origin, into an
// offscreen world of that size; the view's rectangle, state and transform
// are restored on destruction. `World` is null when refused.
class SourcePicture {
 public:
  SourcePicture(A2DGraphView& view, const AListGenericSmall<int32_t>* sources, const AGraphColor* colour);
  ~SourcePicture();
  SourcePicture(const SourcePicture&) = delete;
  SourcePicture& operator=(const SourcePicture&) = delete;

  OurPort* World() const { return fWorld; }
  const MRect& Rect() const { return fRect; }

 private:
  A2DGraphView& fView;
  MRect fSaved;
  MRect fRect;
  OurPort* fWorld = nullptr;
};
