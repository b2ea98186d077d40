#include "CoreUtilities/MatrixOperations.h"

#include <climits>
#include <complex>
#include <new>
#include <vector>

// LAPACK with 32-bit integers. Fortran's double complex is two doubles,
// real part first, which is exactly our Complex.
static_assert(sizeof(Complex) == 2 * sizeof(double));

extern "C" {
void dgetrf_(const int* m, const int* n, double* a, const int* lda, int* ipiv, int* info);
void dgetri_(const int* n, double* a, const int* lda, const int* ipiv, double* work, const int* lwork, int* info);
void zgetrf_(const int* m, const int* n, Complex* a, const int* lda, int* ipiv, int* info);
void zgetri_(const int* n, Complex* a, const int* lda, const int* ipiv, Complex* work, const int* lwork, int* info);
}

// LAPACK reads our rows as its columns, so it works on the transpose.
// Inverting the transpose leaves the transpose of the inverse, which read
// back row after row is the inverse itself; the determinant of the
// transpose is the same number.

namespace {

// Refused orders never reach LAPACK: its argument checks stop the process.
// The work array of dgetri_ holds n * n values, counted in an int.
bool IsUsableOrder(int n, const void* m) { return m != nullptr && n > 0 && static_cast<long long>(n) * n <= INT_MAX; }

// 0 on success, > 0 when U has an exact zero on its diagonal.
int Factorise(int n, double* m, int* pivots) {
  int info = 0;
  dgetrf_(&n, &n, m, &n, pivots, &info);
  return info;
}

int Factorise(int n, Complex* m, int* pivots) {
  int info = 0;
  zgetrf_(&n, &n, m, &n, pivots, &info);
  return info;
}

int InvertFactors(int n, double* m, const int* pivots, std::vector<double>& work) {
  const int workSize = n * n;
  int info = 0;
  dgetri_(&n, m, &n, pivots, work.data(), &workSize, &info);
  return info;
}

int InvertFactors(int n, Complex* m, const int* pivots, std::vector<Complex>& work) {
  const int workSize = n * n;
  int info = 0;
  zgetri_(&n, m, &n, pivots, work.data(), &workSize, &info);
  return info;
}

double Multiply(double a, double b) { return a * b; }

Complex Multiply(Complex a, Complex b) {
  const std::complex<double> product = std::complex<double>(a.re, a.im) * std::complex<double>(b.re, b.im);
  return {product.real(), product.imag()};
}

double Negate(double a) { return -a; }
Complex Negate(Complex a) { return {-a.re, -a.im}; }

template <typename Value>
constexpr Value kOne = 1.0;
template <>
constexpr Complex kOne<Complex> = {1.0, 0.0};

template <typename Value>
bool InvertInPlace(int n, Value* m) {
  if (!IsUsableOrder(n, m)) return false;
  try {
    std::vector<int> pivots(static_cast<size_t>(n));
    std::vector<Value> work(static_cast<size_t>(n) * static_cast<size_t>(n));
    if (Factorise(n, m, pivots.data()) != 0) return false;
    return InvertFactors(n, m, pivots.data(), work) == 0;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

template <typename Value>
bool DeterminantInPlace(int n, Value* m, Value* det) {
  if (!IsUsableOrder(n, m) || det == nullptr) return false;
  try {
    std::vector<int> pivots(static_cast<size_t>(n));
    const int info = Factorise(n, m, pivots.data());
    if (info > 0) {
      *det = Value{};
      return true;
    }
    if (info < 0) return false;
    Value product = kOne<Value>;
    for (int i = 0; i < n; ++i) {
      product = Multiply(product, m[static_cast<size_t>(i) * n + i]);
      // LAPACK numbers rows from 1; every row that swapped flips the sign.
      if (pivots[static_cast<size_t>(i)] != i + 1) product = Negate(product);
    }
    *det = product;
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

}  // namespace

bool OurInvertMatrix(int n, double* m) { return InvertInPlace(n, m); }
bool OurInvertMatrix(int n, Complex* m) { return InvertInPlace(n, m); }

bool OurMatrixDeterminant(int n, double* m, double* det) { return DeterminantInPlace(n, m, det); }
bool OurMatrixDeterminant(int n, Complex* m, Complex* det) { return DeterminantInPlace(n, m, det); }
