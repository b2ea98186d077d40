#pragma once

#include "CoreUtilities/text/UniChar.h"
#include "expression/ExpressionRecord.h"
#include "expression/OwnedTree.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class DocumentRecord;
struct MBlock;

enum TableDataType : int32_t {
  kNumericTableData = 1,
  kTextTableData = 2,
};

// One column of a data table: its heading (the first cell) and its data
// cells below it. Every cell keeps its place, an empty one included.
class TableColumn {
 public:
  void AppendCell(std::u16string text);
  void Reserve(int32_t cells);
  // Replaces the cell at the index (0 the heading), appending empty cells
  // up to it first.
  void SetCell(int32_t index, std::u16string text);
  int32_t CellCount() const { return static_cast<int32_t>(fCells.size()); }
  const std::u16string& Cell(int32_t index) const { return fCells[size_t(index)]; }
  const std::u16string& HeadingText() const;

  int32_t DataRows() const { return fCells.empty() ? 0 : CellCount() - 1; }
  // Text when some data cell holds something that is not a number.
  TableDataType GetDataType() const;
  // Data rows count from 0; null (or NaN) outside them.
  const UniChar* GetTableStringPtr(int32_t row) const;
  double NumberAt(int32_t row) const;

  // The heading's formula, parsed from its text after a read; null when
  // the text is not one expression. The id is the heading's name (an atom,
  // or the left side of a formula column's equation), 0 when it has none.
  const ExpressionRecord* HeadingFormula() const { return fHeading.get(); }
  int32_t HeadingId() const { return fHeadingId; }
  void ParseHeading();

  // The widest of the data cells' widths, each cell measured once by width
  // for the font the key names; kept until a cell or the font changes.
  // Past the drawing's deadline (ComputationDeadline.h) the widest of the
  // cells measured by then, not kept.
  double WidestDataCell(const std::string& fontKey, const std::function<double(const std::u16string&)>& width) const;

 private:
  std::vector<std::u16string> fCells;
  std::vector<double> fNumbers;  // each data cell's value, NaN for text
  Tree fHeading;
  int32_t fHeadingId = 0;
  mutable std::string fWidestFont;  // empty: not measured since the last change
  mutable double fWidest = 0;
};

// A data table block's table.
class Table {
 public:
  std::vector<TableColumn> columns;
  int32_t fontSize = 12;
  int32_t rowHeight = 20;
  int32_t displayRows = 0;    // 0: all
  int32_t firstShownRow = 0;  // where the window scrolled it; from 0

  // A table stands for a matrix when its first column has a heading and
  // every later column's heading is empty: the name covers the whole grid.
  bool StandsForMatrix() const;
  // The longest column's data rows; those shown (all when displayRows is
  // 0); the largest first shown row, where the last row comes into view.
  int32_t DataRows() const;
  int32_t ShownRows() const;
  int32_t LastFirstShownRow() const;
};

// A new empty table for the document; null when memory runs out.
Table* CreateTable(DocumentRecord* document);
void DisposeTable(Table* table);  // null is ignored
// Appends a cell (UTF-8 text) to the last column, first starting a new
// column when asked or when there is none. Bytes that are not UTF-8 read
// as U+FFFD, as in a text block; the rest of the cell is kept.
void AddTableCell(Table* table, const char* text, int32_t length, bool startNewColumn);

// The block settings a table block gets.
void SetTableDefaults(MBlock& block);
// Font size clamped to 1 to 255 points; the row height follows it.
void SetTableFontSize(MBlock& block, int32_t size);
void SetTableDisplayRows(MBlock& block, int32_t rows);  // 0: all; negative counts as 0

// UTF-16 text as UTF-8; unpaired surrogates are dropped.
std::string TableTextToUTF8(const std::u16string& text);
