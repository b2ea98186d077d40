#pragma once

#include "platform/OurPort.h"

#include <QPoint>
#include <QRect>

// Pen drawing on a port, in its local coordinates, through its clip region,
// with its pen mode and pattern. The grey pattern is a checkerboard aligned
// to the port's top-left pixel; XOR inverts the low 24 bits.

// A line from the pen position to `to`: the path has one pixel per step of
// the longer axis (h when |dh| >= |dv|), both ends included, the other
// coordinate rounded half up from the exact line; the w x h pen hangs below
// and to the right of every path pixel, and the pen then rests at `to`.
void PortLineTo(OurPort& port, QPoint to);
void PortPaintRect(OurPort& port, const QRect& rect);  // pen pattern, mode and colours
void PortFrameRect(OurPort& port, const QRect& rect);  // a border of the pen's size, inside
void PortEraseRect(OurPort& port, const QRect& rect);  // the back colour
void PortInvertRect(OurPort& port, const QRect& rect);
