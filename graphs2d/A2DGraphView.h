#pragma once

#include "CoreUtilities/ViewEvaluator.h"

// A 2-D view as the graph-view thread runs it; the 2-D view builds on it.
class A2DGraphView : public AViewEvaluator {};
