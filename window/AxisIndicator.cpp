#include "window/AxisIndicator.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

#include "CoreUtilities/drawing/RoundRectDrawing.h"

namespace {

constexpr int kSide = 76;
constexpr int kMargin = 8;
// The longest line, leaving room for the labels past the ends.
constexpr double kRoom = kSide / 2.0 - 13;
constexpr double kLabelGap = 7;
constexpr float kCorner = 6;
constexpr unsigned kBorderColour = 0xB0B0B0;
constexpr unsigned kLabelColour = 0x404040;
constexpr int kLabelPixels = 11;
constexpr const char* kLabels[4] = {"x", "y", "z", "w"};
// Where the label of an axis seen end-on goes, each axis its own way.
const QPointF kEndOnLabels[4] = {
    {M_SQRT1_2, -M_SQRT1_2}, {-M_SQRT1_2, -M_SQRT1_2}, {-M_SQRT1_2, M_SQRT1_2}, {M_SQRT1_2, M_SQRT1_2}};

bool IsUsable(QPointF p) { return std::isfinite(p.x()) && std::isfinite(p.y()); }

double Length(QPointF p) { return std::hypot(p.x(), p.y()); }

}  // namespace

void AxisIndicator::Keep(const double* points) {
  std::copy_n(points, fPoints.size(), fPoints.begin());
  fKept = true;
}

QRect AxisIndicator::Box(const QRect& pane) {
  if (pane.width() < kSide + 2 * kMargin || pane.height() < kSide + 2 * kMargin) return {};
  return {pane.left() + kMargin, pane.bottom() + 1 - kMargin - kSide, kSide, kSide};
}

void AxisIndicator::Draw(QPainter& painter, const QRect& pane) const {
  const QRect box = Box(pane);
  if (!fKept || box.isEmpty()) return;
  const QPointF origin(fPoints[0], fPoints[1]);
  if (!IsUsable(origin)) return;
  QPointF arms[4];
  bool usable[4];
  double longest = 0;
  for (int k = 0; k < 4; ++k) {
    arms[k] = QPointF(fPoints[2 + 2 * k], fPoints[3 + 2 * k]) - origin;
    usable[k] = IsUsable(arms[k]);
    if (usable[k]) longest = std::max(longest, Length(arms[k]));
  }
  // Arms past the room (an origin off the centre of the ranges) shrink together.
  const double scale = longest * kPixelsPerUnit > kRoom ? kRoom / longest : kPixelsPerUnit;
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, true);
  DrawAntiAliasedRoundRectInContext(painter, float(box.left()), float(box.top()), float(box.right() + 1),
                                    float(box.bottom() + 1), kCorner, nullptr);
  painter.setPen(QColor::fromRgb(kBorderColour));
  painter.drawRoundedRect(QRectF(box).adjusted(0.5, 0.5, -0.5, -0.5), kCorner, kCorner);
  QFont font = painter.font();
  font.setPixelSize(kLabelPixels);
  painter.setFont(font);
  const QPointF centre = QRectF(box).center();
  for (int k = 0; k < 4; ++k) {
    if (!usable[k]) continue;
    const QPointF end = centre + arms[k] * scale;
    painter.setPen(QPen(QColor::fromRgb(kAxisColours[k]), 2));
    painter.drawLine(centre, end);
    painter.setPen(QColor::fromRgb(kLabelColour));
    const double length = Length(end - centre);
    const QPointF direction = length > 1 ? (end - centre) / length : kEndOnLabels[k];
    const QPointF at = end + direction * kLabelGap;
    painter.drawText(QRectF(at.x() - 6, at.y() - 7, 12, 14), Qt::AlignCenter, QString::fromLatin1(kLabels[k]));
  }
  painter.restore();
}
