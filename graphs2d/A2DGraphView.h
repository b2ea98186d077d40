#pragma once

// What the graph-view thread needs of a 2-D view; the 2-D view builds on it.
class A2DGraphView {
 public:
  A2DGraphView() = default;
  A2DGraphView(const A2DGraphView&) = delete;
  A2DGraphView& operator=(const A2DGraphView&) = delete;
  virtual ~A2DGraphView() = default;

  // On the graph-view thread: runs the evaluation the view has pending and
  // stores its result in the view, or drops it when
  // gCancelEvaluationForUIEvalThreads is set at its end.
  virtual void Threaded2DGraphViewEvaluation() = 0;
};
