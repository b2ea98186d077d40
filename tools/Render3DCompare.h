#pragma once

#include <QImage>

#include <cstdint>

// How two renderings of one scene differ. A pixel is covered when it is not
// the background colour; the silhouette band is every pixel within 2 of a
// pixel whose coverage differs from a neighbour's, in either picture.
struct Scene3DComparison {
  int64_t covered = 0;               // in either picture
  int64_t coverageMismatch = 0;      // covered in one only, outside the band
  int64_t interior = 0;              // covered in both, 2 pixels from any edge
  double meanChannelDifference = 0;  // over interior channels, 0 to 255
  int percentile99 = 0;              // of the interior channel differences
  int maximum = 0;
  double MismatchShare() const { return covered ? double(coverageMismatch) / double(covered) : 0; }
};

Scene3DComparison CompareScene3D(const QImage& a, const QImage& b, uint32_t background);
