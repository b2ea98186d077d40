#include "CoreUtilities/MatrixOperations.h"

#include "tests/CoreUtilities/DataLines.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <sstream>
#include <string>
#include <vector>

namespace {

// One matrix of tests/data/matrix_reference.txt; complex values are stored
// as (re, im) pairs, which is also the layout of Complex.
struct ReferenceMatrix {
  std::string label;
  bool isComplex = false;
  int n = 0;
  double cond = 0;  // infinite for an exactly singular matrix
  std::vector<double> entries, det, inverse;
};

double ParseNumber(const std::string& token) {
  double value = 0;
  const auto [end, error] = std::from_chars(token.data(), token.data() + token.size(), value);
  EXPECT_TRUE(error == std::errc() && end == token.data() + token.size()) << token;
  return value;
}

std::vector<ReferenceMatrix> LoadReference() {
  std::vector<ReferenceMatrix> matrices;
  for (const std::string& line : DataLines("matrix_reference.txt")) {
    std::istringstream fields(line);
    ReferenceMatrix m;
    std::string kind, order, cond, token;
    fields >> m.label >> kind >> order >> cond;
    m.isComplex = kind == "C";
    m.n = std::stoi(order);
    m.cond = ParseNumber(cond);
    const size_t perValue = m.isComplex ? 2 : 1, count = perValue * m.n * m.n;
    std::vector<double> numbers;
    while (fields >> token) numbers.push_back(ParseNumber(token));
    const bool singular = std::isinf(m.cond);
    EXPECT_EQ(numbers.size(), singular ? count : 2 * count + perValue) << line;
    if (numbers.size() < count) continue;
    m.entries.assign(numbers.begin(), numbers.begin() + count);
    if (!singular && numbers.size() == 2 * count + perValue) {
      m.det.assign(numbers.begin() + count, numbers.begin() + count + perValue);
      m.inverse.assign(numbers.begin() + count + perValue, numbers.end());
    }
    matrices.push_back(std::move(m));
  }
  return matrices;
}

const std::vector<ReferenceMatrix>& Reference() {
  static const std::vector<ReferenceMatrix> matrices = LoadReference();
  return matrices;
}

// LU with partial pivoting is backward stable: the computed inverse and
// determinant are exact for a matrix within about n * eps * growth of the
// given one, so their relative errors stay below c * n * cond * eps. With
// the small growth of these orders c = 8 leaves room, while a transposed
// result, a lost sign or a wrong complex product errs by order 1.
double Tolerance(const ReferenceMatrix& m) { return 8.0 * m.n * m.cond * gDoubleEpsilon; }

double Modulus(const std::vector<double>& values, size_t i, bool isComplex) {
  return isComplex ? std::hypot(values[2 * i], values[2 * i + 1]) : std::fabs(values[i]);
}

// Largest elementwise difference relative to the largest element of want.
double NormwiseError(const std::vector<double>& got, const std::vector<double>& want, bool isComplex) {
  const size_t count = isComplex ? want.size() / 2 : want.size();
  std::vector<double> difference(want.size());
  for (size_t i = 0; i < want.size(); ++i) difference[i] = got[i] - want[i];
  double largestDifference = 0, largestWanted = 0;
  for (size_t i = 0; i < count; ++i) {
    largestDifference = std::max(largestDifference, Modulus(difference, i, isComplex));
    largestWanted = std::max(largestWanted, Modulus(want, i, isComplex));
  }
  return largestDifference / largestWanted;
}

bool Invert(const ReferenceMatrix& m, std::vector<double>& values) {
  values = m.entries;
  return m.isComplex ? OurInvertMatrix(m.n, reinterpret_cast<Complex*>(values.data()))
                     : OurInvertMatrix(m.n, values.data());
}

bool Determinant(const ReferenceMatrix& m, std::vector<double>& det) {
  std::vector<double> values = m.entries;
  det.assign(m.isComplex ? 2 : 1, -7.0);
  return m.isComplex ? OurMatrixDeterminant(m.n, reinterpret_cast<Complex*>(values.data()),
                                            reinterpret_cast<Complex*>(det.data()))
                     : OurMatrixDeterminant(m.n, values.data(), det.data());
}

TEST(MatrixOperations, InversesAndDeterminantsMatchReference) {
  int real = 0, complex = 0;
  for (const ReferenceMatrix& m : Reference()) {
    if (std::isinf(m.cond)) continue;
    (m.isComplex ? complex : real) += 1;
    std::vector<double> inverse, det;
    ASSERT_TRUE(Invert(m, inverse)) << m.label << " n=" << m.n;
    ASSERT_TRUE(Determinant(m, det)) << m.label << " n=" << m.n;
    const std::string where = m.label + (m.isComplex ? " complex" : " real") + " n=" + std::to_string(m.n) +
                              " cond=" + std::to_string(m.cond);
    EXPECT_LE(NormwiseError(inverse, m.inverse, m.isComplex), Tolerance(m)) << "inverse " << where;
    EXPECT_LE(NormwiseError(det, m.det, m.isComplex), Tolerance(m)) << "determinant " << where;
  }
  EXPECT_GT(real, 150);
  EXPECT_GT(complex, 150);
}

TEST(MatrixOperations, SingularMatricesHaveNoInverseAndDeterminantZero) {
  int singular = 0;
  for (const ReferenceMatrix& m : Reference()) {
    if (!std::isinf(m.cond)) continue;
    ++singular;
    std::vector<double> values, det;
    EXPECT_FALSE(Invert(m, values)) << m.label << " n=" << m.n;
    EXPECT_TRUE(Determinant(m, det)) << m.label << (m.isComplex ? " complex" : " real") << " n=" << m.n;
    for (double part : det) EXPECT_EQ(part, 0.0) << m.label << " n=" << m.n;
  }
  EXPECT_GT(singular, 50);
}

TEST(MatrixOperations, RefusesUnusableArgumentsWithoutTouchingThem) {
  double values[4] = {1, 2, 3, 4}, det = 5;
  Complex complexValues[4] = {{1, 1}, {2, 0}, {3, 0}, {4, 0}}, complexDet = {5, 6};
  // 46341 * 46341 passes INT_MAX; the array is far too small, so any read
  // or write would show under the address sanitizer.
  for (int n : {0, -1, INT_MIN, 46341, INT_MAX}) {
    EXPECT_FALSE(OurInvertMatrix(n, values)) << n;
    EXPECT_FALSE(OurInvertMatrix(n, complexValues)) << n;
    EXPECT_FALSE(OurMatrixDeterminant(n, values, &det)) << n;
    EXPECT_FALSE(OurMatrixDeterminant(n, complexValues, &complexDet)) << n;
  }
  EXPECT_FALSE(OurInvertMatrix(2, static_cast<double*>(nullptr)));
  EXPECT_FALSE(OurInvertMatrix(2, static_cast<Complex*>(nullptr)));
  EXPECT_FALSE(OurMatrixDeterminant(2, static_cast<double*>(nullptr), &det));
  EXPECT_FALSE(OurMatrixDeterminant(2, static_cast<Complex*>(nullptr), &complexDet));
  EXPECT_FALSE(OurMatrixDeterminant(2, values, static_cast<double*>(nullptr)));
  EXPECT_FALSE(OurMatrixDeterminant(2, complexValues, static_cast<Complex*>(nullptr)));
  EXPECT_EQ(det, 5.0);
  EXPECT_EQ(complexDet.re, 5.0);
  EXPECT_EQ(complexDet.im, 6.0);
  EXPECT_EQ(values[1], 2.0);
  EXPECT_EQ(complexValues[0].im, 1.0);
}

}  // namespace
