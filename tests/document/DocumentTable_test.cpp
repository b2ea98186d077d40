#include "document/DocumentTable.h"

#include "CoreUtilities/threads/ComputationDeadline.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// A cell's width here is its length; data row r holds r characters.
double CellLength(const std::u16string& text) { return double(text.size()); }

// Past the drawing's deadline a long column is measured in part, the
// deadline looked at every 4,096 cells, and the part is not kept: once the
// deadline is gone the column is measured whole.
TEST(DocumentTable, AColumnPastTheDrawingDeadlineIsMeasuredInPartAndNotKept) {
  constexpr int kRows = 10000;
  TableColumn column;
  column.AppendCell(u"heading");
  for (int row = 1; row <= kRows; ++row) column.AppendCell(std::u16string(size_t(row), u'w'));
  SetDrawingDeadline(-1);
  EXPECT_EQ(column.WidestDataCell("font", CellLength), 4095);
  ClearComputationDeadline();
  EXPECT_EQ(column.WidestDataCell("font", CellLength), kRows);
}

}  // namespace
