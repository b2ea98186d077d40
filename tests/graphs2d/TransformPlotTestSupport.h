#pragma once

#include <QImage>

#include <cmath>
#include <memory>

#include "CoreUtilities/threads/ProcessorCount.h"
#include "tests/graphs2d/InequalityTestSupport.h"
#include "tests/graphs2d/ViewTestSupport.h"

// A first view holding a filled disc and a filled half-plane made from
// text, over its graph paper and axes, and the list naming both graphs.
struct SourceScene {
  SourceScene(int width, int height) : source(width, height) {
    source.view.Record().graphPaperShown = 1;
    source.view.AddGraph(MakeInequality("x^2 + y^2 < 2", "0", 2, false, source.view.GraphTransform()));
    source.view.AddGraph(MakeInequality("y < x/3 - 1", "0", 2, false, source.view.GraphTransform()));
    for (int i = 0; i < source.view.GraphCount(); ++i) list.Add(i);
    WaitUntil("the source view done computing", [&] { return source.view.AreAllGraphsDoneComputing(); });
    source.Draw();  // makes the view's transform
  }
  // The picture a plot resamples: the view drawn with the plot's colour.
  QImage Picture(const AGraphColor& colour) {
    APushPort push(source.port.get());
    source.view.Draw(&list, &colour, true);
    return source.port->image.copy();
  }
  ViewOnPort source;
  AListGenericSmall<int32_t> list;
};

inline Colour HiddenColour() {
  auto colour = std::make_unique<AGraphColor>();
  colour->fType = AGraphColor::kHidden;
  return colour;
}

inline Colour PaperColour() { return std::make_unique<AGraphColor>(); }

// Peak signal-to-noise ratio of two same-sized pictures in dB over the
// red, green and blue bytes.
inline double Psnr(const QImage& a, const QImage& b) {
  double sum = 0;
  int64_t n = 0;
  for (int y = 0; y < a.height(); ++y) {
    for (int x = 0; x < a.width(); ++x) {
      const uint32_t p = RgbAt(a, x, y), q = RgbAt(b, x, y);
      for (int shift : {0, 8, 16}) {
        const double d = double((p >> shift) & 0xFF) - double((q >> shift) & 0xFF);
        sum += d * d;
        ++n;
      }
    }
  }
  return sum == 0 ? INFINITY : 10 * std::log10(255.0 * 255.0 / (sum / n));
}

// A white port of the size, current while the object lives.
struct WhiteTarget {
  WhiteTarget(int width, int height) : port(NewOffscreenPort(QRect(0, 0, width, height))), push(port.get()) {}
  PortPtr port;
  APushPort push;
};

template <typename Plot>
QImage DrawnOnWhite(Plot& plot, int width, int height) {
  WhiteTarget target(width, height);
  plot.Draw();
  return target.port->image.copy();
}
