#pragma once

// A point or direction of 3-space.
struct AVector {
  double x = 0;
  double y = 0;
  double z = 0;

  // This vector turned as GenerateRotationMatrixFromAxisAndAngle(axis, angle)
  // turns it.
  AVector RotateAroundAxis(AVector axis, double angle) const;
};

inline AVector operator+(AVector a, AVector b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline AVector operator-(AVector a, AVector b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline AVector operator*(double s, AVector a) { return {s * a.x, s * a.y, s * a.z}; }
inline double Dot(AVector a, AVector b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline AVector Cross(AVector a, AVector b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
