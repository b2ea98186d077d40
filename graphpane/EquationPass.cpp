#include "graphpane/EquationPass.h"

#include <utility>

#include "graphpane/A2DGraph.h"
#include "graphpane/A3DGraph.h"
#include "graphpane/A4DGraph.h"
#include "graphpane/AGraphPane.h"
#include "graphpane/AGraphView.h"

AGraphView* EquationPass::View2D(int32_t k) const { return fPane.View2D(k); }
AGraphView* EquationPass::View3D(int32_t k) const { return fPane.View3D(k); }
AGraphView* EquationPass::View4D() const { return fPane.View4D(); }
AGraphView* EquationPass::CurrentView() const { return fPane.CurrentView(); }
AGraphView* EquationPass::SecondView() const { return fPane.SecondView(); }

// A graph the view can't take is destroyed, so that its jobs stop with it;
// the index it would have had reads as a done graph with nothing to say.
int32_t EquationPass::AddGraphToView(std::unique_ptr<AGraph> graph, AGraphView* view) {
  const int32_t index = view->GraphCount();
  view->AddGraph(std::move(graph));
  return index;
}

void EquationPass::AddToNewRow(std::unique_ptr<AGraph> graph, AGraphView* view) {
  GraphLookup row{};
  row.pairs[0] = {view, AddGraphToView(std::move(graph), view)};
  fGraphLookup.Add(row);
}

void EquationPass::AddGraph(std::unique_ptr<A2DGraph> graph, int32_t k) {
  AddToNewRow(std::move(graph), View2D(k == 1 ? 1 : 0));
}
void EquationPass::AddGraph(std::unique_ptr<A3DGraph> graph, int32_t k) {
  AddToNewRow(std::move(graph), View3D(k == 1 ? 1 : 0));
}
void EquationPass::AddGraph(std::unique_ptr<A4DGraph> graph, int32_t /*k*/) { AddToNewRow(std::move(graph), View4D()); }

void EquationPass::AddTransformed(std::unique_ptr<AGraph> graph, AGraphView* view) {
  const int32_t count = view->GraphCount();
  const int32_t index = AddGraphToView(std::move(graph), view);
  GraphLookup* last = fGraphLookup.At(fGraphLookup.Count() - 1);
  if (last != nullptr && view->GraphCount() > count) last->pairs[1] = {view, index};
}

void EquationPass::AddGraph_TransformedCoordinates(std::unique_ptr<A2DGraph> graph) {
  AddTransformed(std::move(graph), View2D(1));
}
void EquationPass::AddGraph_TransformedCoordinates(std::unique_ptr<A3DGraph> graph) {
  AddTransformed(std::move(graph), View3D(1));
}

bool EquationPass::AppendTransformSource() { return fTransformIndexes.Add(View2D(0)->GraphCount() - 1) == 0; }

void EquationPass::ShowFlags(std::initializer_list<CoordDisplayParam> params) {
  for (CoordDisplayParam p : params) fCoordDisplay[p] = 1;
}

void EquationPass::ShowXYZ(int32_t which) {
  const int32_t first = which == 0 ? kCoordX : kCoordXPrime;
  for (int32_t p = first; p < first + 3; ++p) fCoordDisplay[p] = 1;
}
