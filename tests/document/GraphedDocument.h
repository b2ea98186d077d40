#pragma once

#include <utility>

#include "CoreUtilities/drawing/OurGWorld.h"
#include "document/DocumentGraphPane.h"
#include "document/DocumentParameters.h"
#include "document/DocumentIdle.h"
#include "graphpane/AGraphPane.h"
#include "graphpane/AGraphView.h"
#include "graphpane/GraphHooks.h"
#include "platform/OurPort.h"
#include "tests/document/ExpansionTestSupport.h"

inline constexpr MRect kGraphRect{0, 0, 200, 240};

// A document with its graph pane and a graph world, run by the idle as the
// window's timer would.
struct GraphedDocument {
  explicit GraphedDocument(const std::string& statements) : document(DocumentOf(statements)) {
    if (!document) return;
    document->fGraphPane = MakeDocumentGraphPane(document.get(), kGraphRect, nullptr);
    world = OurNewGWorld(kGraphRect);
    sWorld = world;
    InvalExprs(document.get());
  }
  ~GraphedDocument() {
    // Its views' draw contexts give back this document's world.
    sWorld = world;
    document.reset();
    OurDisposeGWorld(world);
  }
  bool RunUntilDone() {
    sWorld = world;
    DocumentRecord* d = document.get();
    const bool done = AwaitDocument(
        d,
        [d] {
          if (IsDocumentGraphDone(d)) return true;
          DocumentIdle(d);
          return IsDocumentGraphDone(d);
        },
        "the graphs");
    if (done) DrawDocumentGraph(d);
    return done;
  }
  int32_t Graphs() { return document->fGraphPane->Lookup().Count(); }
  const QImage& Picture() const { return world->image; }

  static inline OurPort* sWorld = nullptr;
  std::unique_ptr<DocumentRecord> document;
  OurPort* world = nullptr;
};

// The graph world of the document being run is the window's.
class GraphingTest : public ThreadsRunning {
 protected:
  void SetUp() override {
    gRendererHooks.GetOffscreenGWorld = [](DocumentRecord*) { return GraphedDocument::sWorld; };
  }
  void TearDown() override { gRendererHooks.GetOffscreenGWorld = nullptr; }
};

inline int DifferingPixels(const QImage& a, const QImage& b) {
  int differing = 0;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x) differing += a.pixel(x, y) != b.pixel(x, y);
  return differing;
}

// The window slider moved to a step by the user.
inline void MoveSlider(DocumentRecord* d, int32_t step) {
  d->fContents.sliderControlValue = step;
  UpdateSliderValue(d);
  d->fGraphPane->InvalConstant(d->fContents.sliderVariable);
}

// The first equation's graph of that type and its mirror in the second
// view, or nulls.
template <typename Graph, typename Mirror>
std::pair<Graph*, Mirror*> GraphAndMirror(GraphedDocument& g) {
  AListGenericSmall<GraphLookup>& rows = g.document->fGraphPane->Lookup();
  for (int32_t i = 0; i < rows.Count(); ++i) {
    const GraphLookup::Pair &main = rows[i].pairs[0], &mirror = rows[i].pairs[1];
    if (!main.view || !mirror.view) continue;
    auto* graph = dynamic_cast<Graph*>(main.view->GraphAt(main.index));
    auto* copy = dynamic_cast<Mirror*>(mirror.view->GraphAt(mirror.index));
    if (graph && copy) return {graph, copy};
  }
  return {nullptr, nullptr};
}
