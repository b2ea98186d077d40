#pragma once

#include <cstdint>

#include "CoreUtilities/MRect.h"
#include "evaluation/AnExpression.h"
#include "renderer/AVector.h"

// Rotations of the 3-D and 4-D views. Matrices are row-major (element
// (r, c) at 3r + c or 4r + c) and act on column vectors: M v. The 3 x 3
// rotation about a unit axis by angle a is the transpose of the textbook
// right-handed one, so Rotate turns a vector by -a; every producer and
// consumer here shares that form. 4-vectors read as quaternions
// (a, b, c, d) = a + b i + c j + d k.

using Matrix3 = double[9];
using Matrix4 = double[16];

// Which three coordinates a 4-D drag turns.
enum MouseAction4D : int32_t { kRotate4DXYZ = 1, kRotate4DYZW = 2 };

void SetIdentityMatrix(Matrix3& m);
void SetIdentityMatrix(Matrix4& m);
void CopyMatrix(const Matrix3& source, Matrix3& destination);
void CopyMatrix(const Matrix4& source, Matrix4& destination);
// Every pair of elements within 8 x 2^-52.
bool EqualMatrix(const Matrix3& a, const Matrix3& b);
bool EqualMatrix(const Matrix4& a, const Matrix4& b);

// c = a b; c may be a or b.
void MultiplyMatrix(const double* a, const double* b, double* c);
void Multiply(const double* a, const double* b, double* c);

AVector Rotate(const double* m, AVector v);
AVector InverseRotate(const double* m, AVector v);

// The x with x . d = det[d; a; b; c] for every d.
A4Vector Cross4(A4Vector a, A4Vector b, A4Vector c);

// A zero or non-finite axis gives the identity; any other is normalised.
void GenerateRotationMatrixFromAxisAndAngle(double* m, AVector axis, double angle);

// The mouse point on the unit sphere of the given screen circle: x right,
// y up, z toward the viewer; off the circle z is 0. A radius below 1 gives
// the centre's point (0, 0, 1).
void PointOnUnitSphere(MPoint p, MPoint centre, long radius, AVector* out);

// The rotation of one drag step from previous to now, with its axis in the
// view frame (first axis toward the viewer, second right, third up).
void VirtualSphere(MPoint now, MPoint previous, MPoint centre, long radius, Matrix3& out);
// The same spread over four coordinates; other actions leave out untouched.
void VirtualSphere(MPoint now, MPoint previous, MPoint centre, long radius, Matrix4& out, MouseAction4D action);

void GetDefaultView(Matrix3& m);

// m := r m r^T, then made orthonormal again with determinant +1.
void RotationMatrixToBodyCoordinates(const Matrix3& r, Matrix3& m);
void RotationMatrixToBodyCoordinates(const Matrix4& r, Matrix4& m);
// Rows made orthonormal again (row 1 kept in direction), determinant +1:
// what keeps a product of many rotations a rotation.
void OrthonormaliseRotation(Matrix3& m);
void OrthonormaliseRotation(Matrix4& m);

// The 4-D rotation v -> p v q of two axis-angle rotations.
void GenerateMatrixfromDoubleQuaternion(Matrix4& m, AVector axis1, double angle1, AVector axis2, double angle2);
