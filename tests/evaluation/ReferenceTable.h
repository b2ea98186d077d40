#pragma once

#include <charconv>
#include <cmath>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

// Rows of a committed reference table, grouped by their leading tag; each
// row's remaining fields parsed as doubles ("inf", "-inf" included).
inline std::map<std::string, std::vector<std::vector<double>>> ReadReferenceTable(const std::string& fileName) {
  std::map<std::string, std::vector<std::vector<double>>> rows;
  std::ifstream in(std::string(ZL_TEST_DATA_DIR) + "/" + fileName);
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    std::string tag;
    std::string field;
    fields >> tag;
    std::vector<double> values;
    while (fields >> field) {
      double value = 0;
      std::from_chars(field.data(), field.data() + field.size(), value);
      values.push_back(value);
    }
    rows[tag].push_back(values);
  }
  return rows;
}

inline double RelativeError(double got, double want) {
  if (got == want) return 0;
  return std::fabs(got - want) / std::fabs(want);
}

// |got - want| in units of the last place of want (the smallest subnormal
// for a zero want); 0 when both are the same infinity.
inline double UlpError(double got, double want) {
  if (got == want) return 0;
  if (std::isinf(want) || std::isnan(got)) return INFINITY;
  return std::fabs(got - want) / (want == 0 ? 4.9406564584124654e-324 : std::fabs(std::nextafter(want, 0.0) - want));
}
