#pragma once

// What the graph-view thread needs of a view; the 2-D view implements it.
class AViewEvaluator {
 public:
  AViewEvaluator() = default;
  AViewEvaluator(const AViewEvaluator&) = delete;
  AViewEvaluator& operator=(const AViewEvaluator&) = delete;
  virtual ~AViewEvaluator() = default;

  // On the graph-view thread: runs the evaluation the view has pending and
  // stores its result in the view, or drops it when
  // gCancelEvaluationForUIEvalThreads is set at its end.
  virtual void Threaded2DGraphViewEvaluation() = 0;
};
