#pragma once

#include <QRect>

#include <array>

class QPainter;

// The 4-D view's axis indicator: the window points the view last gave for
// the origin and the ends of the x, y, z and w axes, drawn as four
// labelled lines from one centre in the lower-left corner of the graph
// pane, so that the user sees where the four axes point however the
// graphs lie.
class AxisIndicator {
 public:
  // o, X, Y, Z, W as x, y pairs, in the units of the view's indicator
  // camera (an axis seen side-on is about one unit long), y downward.
  using Points = std::array<double, 10>;

  void Keep(const double* points);
  bool IsKept() const { return fKept; }
  const Points& KeptPoints() const { return fPoints; }

  // The corner box it is drawn in; empty when the pane is too small to
  // hold it.
  static QRect Box(const QRect& pane);
  // One unit of the points, in pixels.
  static constexpr double kPixelsPerUnit = 24;
  // The colour of each axis's line, x to w (0xRRGGBB).
  static constexpr std::array<unsigned, 4> kAxisColours = {0xC02020, 0x208020, 0x2040D0, 0x9020B0};

  // Nothing until points were kept; an axis with an unusable end is left
  // out.
  void Draw(QPainter& painter, const QRect& pane) const;

 private:
  Points fPoints{};
  bool fKept = false;
};
