#pragma once

#include <QPointF>

class QPainter;

// A vector drawing target: a painter on any device (image, picture, PDF)
// in formula-device coordinates. Its text position is also the pen of the
// line primitives; positions stay fractional.
struct MathGraphicsContext {
  QPainter* painter = nullptr;
  QPointF position;
};
