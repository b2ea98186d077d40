#include "document/TableInterpolation.h"

#include "CoreUtilities/MathConstants.h"
#include "document/DocumentTable.h"
#include "document/TableHeadings.h"
#include "platform/CheckedConvert.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// Where a fraction falls between the nodes 0 .. count - 1: the lower node
// and the weight of the upper one.
struct Place {
  int32_t node;
  double weight;
};

bool Locate(double fraction, int32_t count, Place& place) {
  if (!(fraction >= 0 && fraction <= 1) || count <= 0) return false;
  if (count == 1) {
    place = {0, 0};
    return true;
  }
  const double position = fraction * (count - 1);
  const int32_t node = std::min(DoubleToInt32(position), count - 2);
  place = {node, position - node};
  return true;
}

double Mix(double a, double b, double weight) { return weight == 0 ? a : weight == 1 ? b : a + (b - a) * weight; }

// The positions, as fractions, of the interval's ends and of every node
// strictly inside it; false when it leaves [0, 1].
bool Breakpoints(const Interval& range, int32_t count, std::vector<double>& fractions) {
  if (!(range.lower >= 0 && range.upper <= 1 && range.lower <= range.upper) || count <= 0) return false;
  fractions = {range.lower, range.upper};
  if (count == 1) return true;
  for (int32_t node = 1; node < count - 1; ++node) {
    const double fraction = static_cast<double>(node) / (count - 1);
    if (fraction > range.lower && fraction < range.upper) fractions.push_back(fraction);
  }
  return true;
}

struct MatrixView {
  const Table* table = nullptr;
  int32_t rows = 0;
  int32_t columns = 0;
  double At(int32_t row, int32_t column) const { return table->columns[size_t(column)].NumberAt(row); }
};

bool FindMatrix(int32_t columnId, const DocumentRecord* document, MatrixView& matrix) {
  const TableHeading* heading = FindTableHeading(document, columnId);
  if (!heading || heading->matrixFlag == 0) return false;
  matrix.table = FindHeadingTable(document, *heading);
  if (!matrix.table) return false;
  matrix.columns = static_cast<int32_t>(matrix.table->columns.size());
  matrix.rows = matrix.table->columns.front().DataRows();
  return matrix.rows > 0;
}

double Bilinear(const MatrixView& matrix, double x, double y) {
  Place across{}, down{};
  if (!Locate(x, matrix.columns, across) || !Locate(y, matrix.rows, down)) return gNaN;
  const int32_t nextColumn = std::min(across.node + 1, matrix.columns - 1);
  const int32_t nextRow = std::min(down.node + 1, matrix.rows - 1);
  const double top = Mix(matrix.At(down.node, across.node), matrix.At(down.node, nextColumn), across.weight);
  const double bottom = Mix(matrix.At(nextRow, across.node), matrix.At(nextRow, nextColumn), across.weight);
  return Mix(top, bottom, down.weight);
}

Interval Hull(const std::vector<double>& values) {
  Interval hull{gInf, -gInf};
  for (double value : values) {
    if (std::isnan(value)) return gNaNInterval;
    hull.lower = std::min(hull.lower, value);
    hull.upper = std::max(hull.upper, value);
  }
  return hull;
}

}  // namespace

double GetInterpolatedTableData(int32_t columnId, double s, const DocumentRecord* document) {
  const TableHeading* heading = FindTableHeading(document, columnId);
  const TableColumn* column = heading ? FindTableColumn(document, *heading) : nullptr;
  Place place{};
  if (!column || !Locate(s, column->DataRows(), place)) return gNaN;
  if (place.weight == 0) return column->NumberAt(place.node);
  return Mix(column->NumberAt(place.node), column->NumberAt(place.node + 1), place.weight);
}

double GetInterpolatedTableData(int32_t columnId, double x, double y, const DocumentRecord* document) {
  MatrixView matrix;
  if (!FindMatrix(columnId, document, matrix)) return gNaN;
  return Bilinear(matrix, x, y);
}

Interval GetInterpolatedTableData(int32_t columnId, const Interval& s, const DocumentRecord* document) {
  const TableHeading* heading = FindTableHeading(document, columnId);
  const TableColumn* column = heading ? FindTableColumn(document, *heading) : nullptr;
  std::vector<double> fractions;
  if (!column || !Breakpoints(s, column->DataRows(), fractions)) return gNaNInterval;
  std::vector<double> values;
  for (double fraction : fractions) values.push_back(GetInterpolatedTableData(columnId, fraction, document));
  return Hull(values);
}

Interval GetInterpolatedTableData(int32_t columnId, const Interval& x, const Interval& y,
                                  const DocumentRecord* document) {
  MatrixView matrix;
  std::vector<double> across, down;
  if (!FindMatrix(columnId, document, matrix) || !Breakpoints(x, matrix.columns, across) ||
      !Breakpoints(y, matrix.rows, down))
    return gNaNInterval;
  std::vector<double> values;
  for (double column : across)
    for (double row : down) values.push_back(Bilinear(matrix, column, row));
  return Hull(values);
}
