#pragma once

#include "CoreUtilities/text/UniChar.h"
#include "expression/OperatorKinds.h"

#include <cstdint>

// The editor's layout record of a node, made zeroed on demand. The two
// offsets, the composed flag and the overflow flag are the layout's own.
struct EditData {
  float bottomOffset;
  float leftOffset;
  float bottom;
  float left;
  float ascent;   // above the baseline
  float descent;  // below the baseline
  float width;
  uint8_t composed;
  uint8_t sizeLevel;  // 0 to 5, into the record's size table
  uint8_t overflow;
  uint8_t styleFlags;
};

inline constexpr int kNumberTextLength = 25;

// A number's value and the text the editor shows and types for it.
struct NumberBlock {
  double value;
  UniChar text[kNumberTextLength];
};

struct MatrixShape {
  uint16_t rows;
  uint16_t columns;
};

// Which member is meaningful depends on the node's kind: a number's block,
// an atom's or placeholder's id, a matrix's or indexes node's shape, a
// branch node's number. Other kinds leave it zero.
union ExpressionPayload {
  NumberBlock* number;
  int32_t id;
  MatrixShape shape;
  int32_t branchNumber;
};

// A formula-tree node; always made zeroed from the node pools. Every
// operand's parent points back at the node that holds it.
struct ExpressionRecord {
  union {
    ExpressionRecord** operands;  // null when the count is 0
    UniChar* text;                // a string leaf's own text (array new)
  };
  ExpressionRecord* parent;
  EditData* editData;
  ExpressionPayload payload;
  uint16_t operandCount;
  OpCodeT opcode;

  // When the edit-data pool gives nothing, the node stays without it and
  // out of memory is reported (message 36, gMathError set).
  void AllocateEditDataIfNecessary();
};
