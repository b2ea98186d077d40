#pragma once

#include <string>

#include "algebra/AlgebraStartup.h"
#include "CoreUtilities/drawing/ScopedSavers.h"
#include "expression/VariableIds.h"
#include "graphs2d/AFunctionOf_XorY.h"
#include "tests/graphs2d/GraphTestSupport.h"
#include "tests/graphs2d/ViewTestSupport.h"

// A formula with its variable replaced by u, as the builders hand it over.
inline Compiled CurveExpression(const std::string& text, int32_t variable = kIdX) {
  Compiled e = MakeExpression(text);
  e->ReplaceAtoms(variable, kIdU);
  return e;
}

// The worker pool for the duration of a test, and the upward calls recorded.
class FunctionGraphTest : public testing::Test {
 protected:
  void SetUp() override {
    InstallAlgebra();
    StartComputeThreads();
  }
  void TearDown() override { StopComputeThreads(); }
  HookRecorder hooks;
};

// y = f(x) (or x = f(y)) in a default view of the given size, computed.
struct CurveInView {
  CurveInView(const std::string& text, int32_t mode, bool yOfX = true, int width = 400, int height = 300)
      : view(width, height),
        graph(AddedTo(view.view, std::make_unique<AFunctionOf_XorY>(CurveExpression(text, yOfX ? kIdX : kIdY), yOfX,
                                                                    SolidColour(), mode, view.view.GraphTransform()))) {
    WaitUntilDone(*graph);
  }
  const dPoint& At(int k) const { return graph->Records()[k]; }
  int Type(int k) const { return At(k).type.load(); }
  ViewOnPort view;
  AFunctionOf_XorY* graph;  // owned by the view
};
