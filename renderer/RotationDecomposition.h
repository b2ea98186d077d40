#pragma once

#include "renderer/AVector.h"

// Rotations of the 3-D and 4-D views as axes and angles. Matrices are row
// by row and act on column vectors; the 3 x 3 rotation about a unit axis a
// by angle t is the transpose of the textbook right-handed one (it turns
// vectors by -t), and the 4 x 4 rotation of a double quaternion maps v to
// p v q with p = (cos(t1 / 2), sin(t1 / 2) a1), q = (cos(t2 / 2), sin(t2 / 2) a2),
// 4-vectors read as quaternions (x, y, z, w) = x + y i + z j + w k.

// True when the matrix is a rotation to within what six printed digits
// keep: finite, orthonormal rows, determinant near +1. Size 3 or 4.
bool IsRotationMatrix(const double* matrix, int size);

// The axis and angle acos((trace - 1) / 2) of a 3 x 3 rotation; the
// identity gives the axis (0, 0, -1) and angle 0. A half turn takes its
// axis from the symmetric part, so the axis is always finite and of unit
// length.
void GenerateAxisAndAnglefromRotationMatrix(double axis[3], double* angle, const double matrix[9]);

void GenerateAxisAndAnglefromRotationMatrix(AVector* axis, double* angle, const double matrix[9]);

// The double quaternion of a 4 x 4 rotation, signs chosen so that p's
// scalar part is not negative (angle 1 in [0, pi], angle 2 in [0, 2 pi]).
// A factor without a rotation, and any matrix with a non-finite element,
// gets the axis (0, 0, 0) and angle 0, so the result is always finite; for
// a rotation it reproduces the matrix.
void GenerateDoubleQuaternionfromRotation(double axis1[3], double* angle1, double axis2[3], double* angle2,
                                          const double matrix[16]);
void GenerateDoubleQuaternionfromRotation(AVector* axis1, double* angle1, AVector* axis2, double* angle2,
                                          const double matrix[16]);
