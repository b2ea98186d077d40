#include <cstring>
#include <random>
#include <vector>

#include "CoreUtilities/threads/ProcessorCount.h"
#include "graphs2d/AParametricCurve.h"
#include "tests/CoreUtilities/ThreadTestSupport.h"
#include "tests/graphs2d/FunctionGraphTestSupport.h"

namespace {

using FunctionGraphThreadsTest = FunctionGraphTest;

// The records as bytes, so that NaNs compare too.
std::vector<double> Snapshot(const AFunctionOf_XorY& graph) {
  std::vector<double> values;
  for (int k = 0; k < graph.ColumnCount(); ++k) {
    const dPoint& p = graph.Records()[k];
    values.insert(values.end(), {p.centre, p.lo, p.hi, p.right, static_cast<double>(p.type.load())});
  }
  return values;
}

TEST_F(FunctionGraphThreadsTest, OneTwoAndEightWorkersGiveIdenticalRecords) {
  Watchdog watchdog("worker counts");
  for (const char* text : {"sin(1/x)", "tan(x) + sqrt(x + 2)", "x^3 - x"}) {
    for (int mode : {0, 1, 2}) {
      std::vector<double> reference;
      for (int workers : {1, 2, 8}) {
        DebugSetNumberComputeThreads(workers);
        CurveInView c(text, mode);
        const std::vector<double> records = Snapshot(*c.graph);
        if (reference.empty()) {
          reference = records;
        } else {
          ASSERT_EQ(records.size(), reference.size());
          EXPECT_EQ(std::memcmp(records.data(), reference.data(), records.size() * sizeof(double)), 0)
              << text << " mode " << mode << " workers " << workers;
        }
      }
    }
  }
  DebugSetNumberComputeThreads(0);
}

TEST_F(FunctionGraphThreadsTest, PanResizeAndModeStormsWhileDrawingAndPicking) {
  Watchdog watchdog("function graph storm");
  DebugSetNumProcessors(4);
  ViewOnPort v(300, 200);
  auto* f = AddedTo(v.view, std::make_unique<AFunctionOf_XorY>(CurveExpression("sin(1/x) + x"), true, SolidColour(),
                                                               kPlotIntervalPixelTests, v.view.GraphTransform()));
  auto* g = AddedTo(v.view, std::make_unique<AFunctionOf_XorY>(CurveExpression("sqrt(y)", kIdY), false, SolidColour(),
                                                               kPlotSampling, v.view.GraphTransform()));
  auto* p = AddedTo(v.view, std::make_unique<AParametricCurve>(
                                CurveExpression("cos(3*t)", 't'), CurveExpression("sin(t)", 't'), SolidColour(), 1,
                                kSelectParametric, v.view.GraphTransform(), v.view.Record().ranges[kCoordTheta][0],
                                v.view.Record().ranges[kCoordTheta][1]));
  std::mt19937 random(27);
  for (int round = 0; round < 200; ++round) {
    switch (random() % 5) {
      case 0: v.view.Pan(static_cast<int>(random() % 41) - 20, static_cast<int>(random() % 41) - 20); break;
      case 1:
        v.view.SetViewRect(
            MRect{0, 0, static_cast<int16_t>(150 + random() % 100), static_cast<int16_t>(250 + random() % 100)});
        v.view.Resize();
        break;
      case 2:
        f->SetParameter(kAttributePlottingMode, random() % 3);
        g->SetParameter(kAttributePlottingMode, random() % 3);
        break;
      case 3: {
        // What the interface and graph-view threads do while the jobs run.
        APushPort push(v.port.get());
        f->Draw(), g->Draw(), p->Draw();
        (void)f->GetSelection(0.3, 0.3);
        (void)g->IsPointOverCurve(0.5, 0.25);
        (void)f->GraphVisibility();
        break;
      }
      default:
        WaitUntilDone(*f);
        WaitUntilDone(*g);
        break;
    }
  }
  WaitUntilDone(*f);
  WaitUntilDone(*g);
  WaitUntilDone(*p);
  for (int k = 0; k < f->ColumnCount(); ++k) ASSERT_NE(f->Records()[k].type.load(), kColumnPending);
  DebugSetNumProcessors(0);
}

}  // namespace
