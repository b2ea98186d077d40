#pragma once

#include <cmath>
#include <string>

// The statements of a table of count points on a rising spiral, each
// labelled "point" and its number, and their 3-D plot with the labels:
// a document whose drawing takes long, for the export's timeout.
inline std::string LabelledPointsStatements(int count) {
  std::string p = "\tP", q = "\tQ", r = "\tR", labels = "\tS";
  for (int k = 0; k < count; ++k) {
    const double radius = 1 + double(k) / count;
    p += "\t" + std::to_string(std::cos(k * 0.01) * radius);
    q += "\t" + std::to_string(std::sin(k * 0.01) * radius);
    r += "\t" + std::to_string(-1.5 + 3.0 * k / count);
    labels += "\tpoint" + std::to_string(k);
  }
  return "Table\n" + p + "\n" + q + "\n" + r + "\n" + labels + "\nEndOfTable;\nExpr vector(P,Q,R),'label'=S;\n";
}
