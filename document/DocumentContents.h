#pragma once

#include "CoreUtilities/memory/AListGenericSmall.h"
#include "CoreUtilities/memory/MemoryBudget.h"
#include "CoreUtilities/text/OurTextEngine.h"
#include "expression/ExpressionRecord.h"

#include <cstdint>
#include <vector>

class Table;
struct MERecord;
struct OurPicture;

enum MBlockKind : int32_t {
  kEquationBlock = 0,
  kTextBlock = 1,
  kTableBlock = 2,
};

// One block of the math pane. The block list owns what the pointers hold.
struct MBlock {
  MBlockKind kind;
  double Color;
  double Grain;
  double Opacity;
  double PlottingMode;
  double XYType;
  int32_t mathPaneSlider;
  OurPicture* texture;
  MERecord* equation;  // the formula's math-edit record; null for other blocks
  OurText text;
  Table* table;
  // The lookup rows of the graphs made from the equation in the last pass;
  // null until it made one.
  AListGenericSmall<int32_t>* graphRows;
};

struct DocumentParameter {
  double value;
  int32_t name;  // the letter's code
};

struct GraphPicture {
  OurPicture* picture;
  double first;
  double second;
};

struct View2DSettings {
  double t[2], r[2], theta[2];
  double scale[2];
  double bottomLeft[2];
  int32_t integers[2];
};

struct View3DSettings {
  double view[9];
  double x[2], y[2], z[2];
  double depth;
  double t[2], u[2], v[2], r[2], theta[2], phi[2];
};

struct View4DSettings {
  double view[16];
  double t[2], u[2], v[2];
  double x[2], y[2], z[2], w[2];
};

// The graph pane's fields that documents carry; the pane itself comes
// with the graphs.
struct GraphPaneSettings {
  bool axes2D, axes2Dp, graphPaper2D, graphPaper2Dp, axes3D, axes3Dp;
  double spinAxis3D[3], spinSpeed3D;
  double spinAxis3Dp[3], spinSpeed3Dp;
  double axis1_4D[3], axis2_4D[3];
  double speed1_4D, speed2_4D, depth4D;
  bool show4Daxes, show4DxyPlane;
  View2DSettings view2D, view2Dp;
  View3DSettings view3D, view3Dp;
  View4DSettings view4D;
};

struct PageMargins {
  int32_t fields[4];  // fixed point, 16 fraction bits
};

// One entry of the table-heading list: the five words the compiler and the
// interpreters look columns up by.
struct TableHeading {
  int32_t variableId;
  int32_t blockIndex;
  int32_t columnIndex;
  int32_t dataRows;
  int32_t matrixFlag;  // non-zero on the first column of a table standing for a matrix
};

// The document's own names (its table headings), rebuilt on demand when
// marked stale.
struct DocumentNameList {
  std::vector<const UniChar*> names;  // the symbol table's strings, not owned
  bool stale = true;
};

// What a document holds and its text format sets.
struct DocumentContents {
  DocumentContents();
  DocumentContents(const DocumentContents&) = delete;
  DocumentContents& operator=(const DocumentContents&) = delete;
  ~DocumentContents();

  int16_t windowRect[4] = {};
  int32_t textEncoding = 0;  // 0 UTF-8, 1 Mac Roman
  int32_t paneDivider = 0;
  int16_t significantDigits = 8;  // as read; SignificantDigitsInUse clamps
  bool drawGraph = true;
  char fontName[256] = "Times";
  int16_t fontSize = 12;  // as read; FontSizeInUse clamps
  uint8_t backgroundType = 0;
  uint8_t backgroundColor[3] = {255, 255, 255};
  bool stackPanes = false;
  PageMargins* pageMargins = nullptr;
  double sliderMinimum = 0;
  double sliderMaximum = 1;
  int16_t sliderSteps = 100;
  bool animationRunning = false;
  uint8_t sliderVariable = 'n';
  int32_t sliderThrottle = 0;
  bool sliderOneDirection = false;
  int32_t sliderDirection = 1;
  int32_t sliderControlValue = 0;
  bool useAntialiasing = true;
  RelocatableBlock* printRecord = nullptr;
  AListGenericSmall<DocumentParameter> parameters;
  AListGenericSmall<MBlock> blocks;
  GraphPaneSettings pane = {};
  AListGenericSmall<GraphPicture> pictures2D;
  AListGenericSmall<GraphPicture> pictures2Dp;
  std::vector<TableHeading> tableHeadings;
  DocumentNameList names;
  bool readSucceeded = false;
};

// Frees what the block owns and clears its pointers.
void DisposeBlockContents(MBlock& block);

// The formula of an equation block; null when it has none.
ExpressionRecord* EquationTree(const MBlock& block);
// Puts the tree (taken over) into the block's math-edit record, making the
// record when the block has none; false, the tree freed, when memory is
// refused.
bool SetEquationTree(MBlock& block, ExpressionRecord* tree);

// Settings as they are used: a file may hold any value.
int32_t SignificantDigitsInUse(const DocumentContents& contents);  // 1 to 17
int32_t FontSizeInUse(const DocumentContents& contents);           // 1 to 255
