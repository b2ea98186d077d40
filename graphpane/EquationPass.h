#pragma once

#include <cstdint>
#include <initializer_list>
#include <memory>

#include "CoreUtilities/memory/AListGenericSmall.h"
#include "evaluation/ColorEquations.h"
#include "expression/ExpressionRecord.h"
#include "graphpane/CoordinateTransformation.h"
#include "graphpane/GraphEnums.h"
#include "graphpane/OwnedHandles.h"

class A2DGraph;
class A3DGraph;
class A4DGraph;
class AGraph;
class AGraphColor;
class AGraphPane;
class AGraphView;
class DocumentRecord;

// The graphs made from one equation: pair 0 the main graph, pair 1 its
// mirror in the second view of a coordinate-transform pair, pairs 2 and 3
// further graphs; pairs not in use are zero.
struct GraphLookup {
  struct Pair {
    AGraphView* view;
    int32_t index;
  };
  Pair pairs[4];
};

// One pass of adding a document's expanded equations to its pane: what the
// builders reach, and the rows, transform sources and coordinate flags the
// pass leaves for the pane to read until the next pass or erase.
//
// The pass reaches the views through its pane rather than pointers handed
// at Start: the pane owns both and outlives the pass's use of them, and
// Start itself chooses which of the pane's views are shown.
class EquationPass {
 public:
  EquationPass(AGraphPane& pane, DocumentRecord* document) : fPane(pane), fDocument(document) {}
  EquationPass(const EquationPass&) = delete;
  EquationPass& operator=(const EquationPass&) = delete;

  // Start empties the rows, sources and coordinate flags and chooses the
  // shown views. Add leaves e as it found it and returns the row made for
  // it, or -1 when it made no graph. Done shows in the coordinate display
  // the ranges the new graphs use.
  void Start(bool is3D, bool is4D, bool twoViews, bool secondIs3D, const CoordinateTransformation& transformation);
  int32_t Add(ExpressionRecord* e, bool is3D, bool is4D, const CoordinateTransformation& transformation, double colour,
              double grain, double opacity, double plottingMode, double xyType);
  void Done();
  // The pane erased the graphs the rows point at.
  void ForgetRows() { fGraphLookup.RemoveAllElements(); }

  // A colour equation (a, b, c) = (e1, e2, e3) becomes the colour's three
  // colour expressions; type 9 RGB or 10 HSV.
  void ConstructColorExprs(AGraphColor* colour, GraphColorType type, const ExpressionRecord* option);
  // Compiles the tree for the pane's document; Optional gives null for a
  // null tree.
  Compiled Required(Tree e);
  Compiled Optional(Tree e);

  // The graph goes to the view, which destroys it when its list can't
  // grow; the row is appended either way.
  void AddGraph(std::unique_ptr<A2DGraph> graph, int32_t k);
  void AddGraph(std::unique_ptr<A3DGraph> graph, int32_t k);
  void AddGraph(std::unique_ptr<A4DGraph> graph, int32_t k);
  // Into the second view, as pair 1 of the newest row.
  void AddGraph_TransformedCoordinates(std::unique_ptr<A2DGraph> graph);
  void AddGraph_TransformedCoordinates(std::unique_ptr<A3DGraph> graph);
  // The index the graph has in the view's list, or would have had: a graph
  // the view can't take is destroyed.
  int32_t AddGraphToView(std::unique_ptr<AGraph> graph, AGraphView* view);

  // Builders record further graphs of an equation in pairs 2 and 3.
  AListGenericSmall<GraphLookup>& Lookup() { return fGraphLookup; }
  const AListGenericSmall<GraphLookup>& Lookup() const { return fGraphLookup; }
  // Indexes in the first 2-D view's list of the graphs the second view's
  // whole-picture plot resamples.
  const AListGenericSmall<int32_t>& TransformSources() const { return fTransformIndexes; }
  // The first 2-D view's newest graph joins the transform sources; false
  // when the list could not grow.
  bool AppendTransformSource();

  void ShowFlags(std::initializer_list<CoordDisplayParam> params);
  // x, y and z of the first view (0) or x', y' and z' of the second.
  void ShowXYZ(int32_t which);
  const int32_t* CoordinateDisplayFlags() const { return fCoordDisplay; }

  AGraphView* View2D(int32_t k) const;
  AGraphView* View3D(int32_t k) const;
  AGraphView* View4D() const;
  AGraphView* CurrentView() const;
  AGraphView* SecondView() const;
  DocumentRecord* Document() const { return fDocument; }

 private:
  void AddToNewRow(std::unique_ptr<AGraph> graph, AGraphView* view);
  void AddTransformed(std::unique_ptr<AGraph> graph, AGraphView* view);
  // Every view samples the current view's parameter ranges.
  void ShareParameterRanges();

  AGraphPane& fPane;
  DocumentRecord* const fDocument;
  int32_t fCoordDisplay[kCoordDisplayParamCount] = {};
  AListGenericSmall<GraphLookup> fGraphLookup;
  AListGenericSmall<int32_t> fTransformIndexes;
};
