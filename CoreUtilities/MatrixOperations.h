#pragma once

#include "CoreUtilities/Complex.h"

// Square matrices of order n are n * n values in one array, row after row.
// Every operation overwrites the array: on failure it holds the partial
// LU factors, which callers discard. Orders below 1, null arrays and
// orders whose n * n does not fit an int are refused with false.

// Inverts m in place; false when the matrix is singular.
bool OurInvertMatrix(int n, double* m);
bool OurInvertMatrix(int n, Complex* m);

// The determinant into *det; a singular matrix gives 0 and true. False,
// with *det untouched, only for refused arguments or lack of memory.
bool OurMatrixDeterminant(int n, double* m, double* det);
bool OurMatrixDeterminant(int n, Complex* m, Complex* det);
