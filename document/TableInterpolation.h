#pragma once

#include "evaluation/interval/Interval.h"

#include <cstdint>

class DocumentRecord;

// Table functions, the rule behind every GetInterpolation form.
//
// One argument s is a fractional position along the column's data rows:
// 0 is the first row and 1 the last (the parser turns "a < b < c" into
// (b - a) / (c - a)); between two neighbouring rows the value is linear.
// Outside [0, 1], for an unknown id or an empty column the result is NaN;
// a one-row column gives its value for any s in [0, 1].
//
// Two arguments need a column that stands for a matrix (its table's
// first column, the only one with a heading): x is the position across
// the columns and y the position down the data rows, each from 0 to 1, and
// the value is bilinear between the four neighbouring cells. Any other
// column gives NaN.
//
// The interval forms give the hull of these piecewise linear (bilinear)
// values over the argument interval (box): the extremes lie at the ends and
// at the rows (columns) inside. NaN anywhere in it gives the NaN interval.
double GetInterpolatedTableData(int32_t columnId, double s, const DocumentRecord* document);
double GetInterpolatedTableData(int32_t columnId, double x, double y, const DocumentRecord* document);
Interval GetInterpolatedTableData(int32_t columnId, const Interval& s, const DocumentRecord* document);
Interval GetInterpolatedTableData(int32_t columnId, const Interval& x, const Interval& y,
                                  const DocumentRecord* document);
