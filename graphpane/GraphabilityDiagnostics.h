#pragma once

#include <cstdint>

#include "expression/ExpressionRecord.h"

class DocumentRecord;

// Message ids of the reasons an equation makes no graph.
enum GraphabilityMessage : int32_t {
  kMsgCantGraphThisForm = 14,
  kMsgQuestionMarks = 15,
  kMsgParameterT = 16,
  kMsgParametersUV = 17,
  kMsgMultipleCoordinateSystems = 18,
  kMsgInequalityIn3D = 19,
  kMsgVectorIn3D = 20,
  kMsgConditionNotAppropriate = 21,
  kMsgNoEquation = 22,
  kMsgCantParseCondition = 23,
  kMsgCantGraphIn3D = 24,
  kMsgCantGraphIn4D = 25,
};

// The first reason that applies, for an equation ExprType gave 0 with the
// same flags. Leaves the tree as it found it; clears gShowPromptAsIP when
// it reports a prompt.
int32_t GetEqnSyntaxErr(ExpressionRecord* e, bool is3D, bool is4D, DocumentRecord* document);
