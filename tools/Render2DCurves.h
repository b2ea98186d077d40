#pragma once

#include <string>
#include <vector>

class A2DGraphView;

// Curves given on the command line: -f "y=..." or "x=..." (a function of x
// or y), -p "x(t); y(t)" (a parametric curve over the view's t range), -m
// 0|1|2 (the plotting mode of the functions that follow).
struct CurveArguments {
  struct Curve {
    std::string text;
    bool parametric;
    int mode;
  };
  std::vector<Curve> curves;
};

// The worker pool while the curves compute; made before the view, so
// that the view's graphs stop their jobs before the pool goes.
class CurveWorkers {
 public:
  CurveWorkers();
  ~CurveWorkers();
  CurveWorkers(const CurveWorkers&) = delete;
  CurveWorkers& operator=(const CurveWorkers&) = delete;
};

// Takes the curve options out of argv; false with a message on bad use.
bool ExtractCurveArguments(int* argc, char** argv, CurveArguments* out);
// Builds the curves in the view and waits until they are computed; false
// with a message when a formula can't be read.
bool AddCurves(const CurveArguments& arguments, A2DGraphView* view);
