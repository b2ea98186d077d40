#pragma once

#include <cstdint>
#include <memory>

#include "CoreUtilities/MRect.h"

// The pixels of a polyline over the view, gathered first and then composed
// onto the current port once each (the colour shaded by what lies below),
// as every 2-D curve is: a pixel that two segments share, or that the curve
// passes twice, is not darkened by the curve itself.
class CurveStroke {
 public:
  explicit CurveStroke(const MRect& frame);
  // False when there was no memory for the map (message 36 queued).
  bool IsValid() const { return fBits != nullptr; }
  // Both end pixels; pixels outside the frame are left out.
  void Line(MPoint from, MPoint to);
  void Compose(uint32_t colour) const;

 private:
  void Mark(int h, int v);

  struct Free {
    void operator()(uint8_t* bits) const;
  };

  MRect fFrame;
  long fRowBytes;
  std::unique_ptr<uint8_t, Free> fBits;
};
