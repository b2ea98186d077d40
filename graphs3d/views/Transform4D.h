#pragma once

#include "evaluation/AnExpression.h"
#include "renderer/AVector.h"
#include "renderer/RotationMath.h"

// The 4-D view's projection: a 4-D point goes orthographically to a 3-D
// point (rows 0 to 2 of R) and a colour value, its depth along row 3
// scaled so that the view's model sphere runs from 0 (near) to 1 (far).
struct MTransform4D {
  // The eye point.
  double centre[4] = {0, 0, 0, 50};
  Matrix4 rows = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, -1};
  // x, y, z, w, low and high: what graphs normalise their points by.
  double ranges[4][2] = {{-2, 2}, {-2, 2}, {-2, 2}, {-2, 2}};
  double a = 1;
  double b = 0;
};

// A perspective projection of 3-space onto the window, for the axis indicator.
struct MTransform3D {
  double centre[3];
  double rows[3][3];
};

inline constexpr double kEyeDistance4D = 50;

void ToSpace(const MTransform4D& t, const A4Vector& p, AVector* out, double* colour);
void ToWindow(const MTransform3D& t, const AVector& v, double* x, double* y);

// The transform of orientation q (the eye on q's fourth column), the
// ranges x, y, z, w and the radius of what is drawn.
void Setup4DTransform(MTransform4D& t, const Matrix4& q, const double (&ranges)[4][2], double modelRadius);

// The identity but for the plane of coordinates i < j, turned by angle.
void PlaneRotation(int i, int j, double angle, Matrix4& out);
// The plane of a spin (32..37) or turn (96..101) code, xy, xz, xw, yz, yw,
// zw in that order; false for other codes.
bool PlaneOfCode(int code, int* i, int* j);
