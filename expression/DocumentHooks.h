#pragma once

#include <cstdint>

#include "expression/ExpressionRecord.h"

class DocumentRecord;

// What the formula layers ask of a document about the names in a formula.
// The document fills the table at start-up (InstallDocumentHooks); until
// then every answer is that for a null document, which stands for an
// empty one.
struct DocumentNameHooks {
  int32_t (*sliderVariable)(DocumentRecord* document);
  int32_t (*functionIndex)(const ExpressionRecord* name, const DocumentRecord* document);
  int32_t (*functionArity)(int32_t index, const DocumentRecord* document);
  bool (*dependsOnComplexParameter)(ExpressionRecord* node, const DocumentRecord* document);
  int32_t (*tableDataSize)(const DocumentRecord* document, int32_t variableId);
  bool (*isTextColumn)(int32_t variableId, const DocumentRecord* document);
  bool (*isTableHeading)(int32_t variableId, const DocumentRecord* document);
  bool (*isMatrixTableHeading)(int32_t variableId, const DocumentRecord* document);
  bool (*isComplexParameter)(int32_t variableId, const DocumentRecord* document);
  double (*parameterListValue)(int32_t variableId, const DocumentRecord* document);
};

// Every entry must be filled. Answers the table it replaces, so a caller
// that stands in for the document for a while can put it back.
DocumentNameHooks InstallDocumentNameHooks(const DocumentNameHooks& hooks);

// The letter the window slider drives ('n' by default).
int32_t DocumentSliderVariable(DocumentRecord* document);
// The number of the document's first user-defined function with that
// name; -1 when none has it.
int32_t DocumentFunctionNumber(const ExpressionRecord* name, const DocumentRecord* document);
bool NamesDocumentFunction(const ExpressionRecord* name, const DocumentRecord* document);
// Its number of parameters; -1 for a number outside the list.
int32_t DocumentFunctionParameterCount(int32_t number, const DocumentRecord* document);
// True when an atom under the node names a point the document defines by
// complex constants off the real line (p = 1 - 2i).
bool UsesComplexParameter(ExpressionRecord* node, const DocumentRecord* document);
// True when the letter names a point the document defines by a complex
// constant off the real line.
bool IsComplexParameter(int32_t variableId, const DocumentRecord* document);
// The value of the letter in the document's shown-parameter list; NaN when
// the list does not hold it.
double GetValueFromParameterList(int32_t variableId, const DocumentRecord* document);
// Data rows of the table column whose heading has the id; 0 when none has.
int32_t TableColumnRows(const DocumentRecord* document, int32_t variableId);
// True when the id names a text column.
bool IsTextColumnId(int32_t variableId, const DocumentRecord* document);
