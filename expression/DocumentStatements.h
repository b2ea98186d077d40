#pragma once

#include "CoreUtilities/memory/MemoryBudget.h"
#include "CoreUtilities/text/OurTextEngine.h"
#include "expression/ExpressionRecord.h"

#include <cstdint>
#include <initializer_list>

class DocumentRecord;
class Table;

// The document text format's statements, applied to the document being
// read as the grammar recognises them. The document fills the handlers at
// start-up (InstallDocumentStatementHooks); until then a read applies
// nothing and fails. Nothing is applied before an accepted header
// statement, and a header is accepted only inside a document read.
// Statements that carry an object (tree, text, table, print record,
// picture) take it over, freeing it when it is not applied.

// The target of the next document read (the window under construction's).
void SetDocumentUnderConstruction(DocumentRecord* document);
DocumentRecord* GetDocumentUnderConstruction();
// A new text block in the document's font; never null.
OurText ConstructTextBlock(DocumentRecord* document, bool useFirstTextBlockFont);

// The tables the lexer builds for the document's table statements: a new
// empty one (null when memory runs out or no document is installed), its
// disposal (null is ignored) and a cell appended to its last column.
Table* CreateDocumentTable(DocumentRecord* document);
void DisposeDocumentTable(Table* table);
void AddDocumentTableCell(Table* table, const char* text, int32_t length, bool startNewColumn);

// Brackets one read by CoreParseDoc; the end clears the staging state
// whatever happened.
void BeginDocumentRead();
void EndDocumentRead();

enum class DocumentSetting : int32_t {
  kWindow,
  kPaneDivider,
  kSignificantDigits,
  kAxes2D,
  kAxes2Dp,
  kGraphPaper2D,
  kGraphPaper2Dp,
  kAxes3D,
  kAxes3Dp,
  kHideAxes,
  kDrawGraph,
  kFontSizes,
  kBackgroundType,
  kBackgroundColor,
  kStackPanes,
  kPageMargins,
  kSlider,
  kSliderSteps,
  kSliderControlValue,
  kSliderMoving,
  kSliderThrottle,
  kSliderOneDirection,
  kSliderDirection,
  kUseAntialiasing,
  kRangeT,
  kRangeU,
  kRangeV,
  kRangeR,
  kRangeTheta,
  kRangePhi,
  kT2D,
  kR2D,
  kTheta2D,
  kScale2D,
  kBottomLeft2D,
  kScale2Dp,
  kBottomLeft2Dp,
  kT3D,
  kU3D,
  kV3D,
  kR3D,
  kTheta3D,
  kPhi3D,
  kX3D,
  kY3D,
  kZ3D,
  kX3Dp,
  kY3Dp,
  kZ3Dp,
  kDepth3D,
  kDepth3Dp,
  kView3D,
  kView3Dp,
  kRotation3D,
  kRotation3Dp,
  kAxis3D,
  kAxis3Dp,
  kSpeed3D,
  kSpeed3Dp,
  kView4D,
  kRotation4D,
  kAxis14D,
  kAxis24D,
  kSpeed14D,
  kSpeed24D,
  kDepth4D,
  kT4D,
  kU4D,
  kV4D,
  kX4D,
  kY4D,
  kZ4D,
  kW4D,
  kShowAxes4D,
  kShowXyPlane4D,
  kColor,
  kGrain,
  kOpacity,
  kPlottingMode,
  kXyType,
  kMathPaneSlider,
  kTableFontSize,
  kTableDisplayRows,
};

void ReadDocumentHeader(double version);
void ApplyDocumentTextEncoding(bool utf8);
void ApplyDocumentFontName(const char* name);
void ApplyDocumentSliderVariable(int32_t letter);
void ApplyDocumentNumbers(DocumentSetting setting, std::initializer_list<double> values);
void AppendDocumentEquation(ExpressionRecord* tree);
void AppendDocumentParameter(int32_t letter, double value);
void AppendDocumentTextBlock(OurText text);
void AppendDocumentTableBlock(Table* table);
void ApplyDocumentPrintRecord(RelocatableBlock* record);
// The next equation's texture (Base64 bytes from OurAllocateMemory).
void ApplyDocumentTexture(char* bytes, int32_t count);
// A picture of the 2-D view, or of the second 2-D view.
void AppendDocumentPicture(char* bytes, int32_t count, bool secondView, double first, double second);
// The end of the statements: false when no header was accepted (the read
// fails); otherwise the staged view settings go to the pane and the read
// is marked successful.
bool FinishDocumentRead();

// The version number of the document being read.
extern double gFileVersionNumber;

// The document's side of every statement above but the document under
// construction, which the parser keeps itself.
struct DocumentStatementHooks {
  OurText (*constructTextBlock)(DocumentRecord* document, bool useFirstTextBlockFont);
  Table* (*createTable)(DocumentRecord* document);
  void (*disposeTable)(Table* table);
  void (*addTableCell)(Table* table, const char* text, int32_t length, bool startNewColumn);
  void (*beginRead)();
  void (*endRead)();
  void (*readHeader)(double version);
  void (*applyTextEncoding)(bool utf8);
  void (*applyFontName)(const char* name);
  void (*applySliderVariable)(int32_t letter);
  void (*applyNumbers)(DocumentSetting setting, std::initializer_list<double> values);
  void (*appendEquation)(ExpressionRecord* tree);
  void (*appendParameter)(int32_t letter, double value);
  void (*appendTextBlock)(OurText text);
  void (*appendTableBlock)(Table* table);
  void (*applyPrintRecord)(RelocatableBlock* record);
  void (*applyTexture)(char* bytes, int32_t count);
  void (*appendPicture)(char* bytes, int32_t count, bool secondView, double first, double second);
  bool (*finishRead)();
};

// Every entry must be filled.
void InstallDocumentStatementHooks(const DocumentStatementHooks& hooks);
const DocumentStatementHooks& CurrentDocumentStatementHooks();
