#include "CoreUtilities/drawing/OurMouse.h"

#include "CoreUtilities/drawing/OurRects.h"
#include "CoreUtilities/OurTime.h"
#include "platform/MouseSource.h"

#include <QApplication>
#include <QStyle>
#include <QStyleHints>

#include <algorithm>
#include <limits>

namespace {

void StorePoint(const QPoint& p, MPoint* where) {
  if (where != nullptr) *where = {SaturateToInt16(p.y()), SaturateToInt16(p.x())};
}

}  // namespace

bool OurButton() {
  MouseSource* source = CurrentMouseSource();
  return source != nullptr && source->IsButtonDown();
}

void OurFlushMouseEvents() {
  if (MouseSource* source = CurrentMouseSource()) source->FlushMouseEvents();
}

int32_t OurGetCaretTime() {
  const int periodMs = QGuiApplication::styleHints()->cursorFlashTime();
  if (periodMs <= 0) return std::numeric_limits<int32_t>::max();
  constexpr double kTicksPerMs = 1e6 / static_cast<double>(kNanosecondsPerTick);
  return std::max<int32_t>(1, static_cast<int32_t>(periodMs / 2 * kTicksPerMs + 0.5));
}

double TicksToWaitSeconds(long ticks) { return ticks < 0 ? -1.0 : static_cast<double>(ticks) / 60.0; }

bool OurWaitMouseUp(MPoint* where, long ticks) {
  MouseSource* source = CurrentMouseSource();
  if (source == nullptr) return false;
  QPoint p;
  const bool held = source->WaitMouseUp(&p, TicksToWaitSeconds(ticks));
  StorePoint(p, where);
  return held;
}

bool OurWaitMouseEvent(MPoint* where) {
  MouseSource* source = CurrentMouseSource();
  if (source == nullptr) return false;
  QPoint p;
  const bool held = source->WaitMouseEvent(&p);
  StorePoint(p, where);
  return held;
}

int OurGetScrollBarWidth() {
  if (auto* app = qobject_cast<QApplication*>(QCoreApplication::instance()))
    return app->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
  return 15;
}

int OurGetScrollBarHeight() { return 12; }
