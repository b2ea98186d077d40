#pragma once

#include "CoreUtilities/ComputeTarget.h"

// A graph as the job queue runs it; the graph pane's classes build on it.
class AGraph : public AComputeTarget {};
