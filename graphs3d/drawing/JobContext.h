#pragma once

#include "renderer/DrawContext.h"
#include "renderer/Submission.h"

class DocumentRecord;

// What a graph's job needs of its view's draw context, copied on the
// interface thread before the jobs are submitted: the context may be
// disposed and remade while they run.
struct JobContext {
  DocumentRecord* document = nullptr;
  ModelSpace space;
};

inline JobContext JobContextOf(const MDrawContext* ctx) { return {ctx->document, ModelSpaceOf(ctx)}; }
