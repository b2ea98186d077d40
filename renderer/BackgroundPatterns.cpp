#include "renderer/BackgroundPatterns.h"

#include <QBrush>
#include <QImage>
#include <QPainter>
#include <QPolygon>
#include <algorithm>

#include "CoreUtilities/drawing/OurGWorld.h"
#include "platform/OurPort.h"

namespace {

Pattern gFloorPattern;
Pattern gRightWallPattern;
Pattern gLeftWallPattern;

const char* PatternPath(int resourceId) {
  switch (resourceId) {
    case kFloorPatternId: return ":/renderer/patterns/floor.png";
    case kRightWallPatternId: return ":/renderer/patterns/right_wall.png";
    case kLeftWallPatternId: return ":/renderer/patterns/left_wall.png";
    default: return nullptr;
  }
}

void LoadIfMissing(Pattern& pattern, int resourceId) {
  if (pattern == nullptr) pattern = OurGetPattern(resourceId);
}

void Fill(QPainter& painter, const QImage* pattern, std::initializer_list<QPoint> corners) {
  painter.setBrush(QBrush(*pattern));
  painter.drawPolygon(QPolygon(QList<QPoint>(corners)));
}

}  // namespace

static void RegisterPatterns() { Q_INIT_RESOURCE(patterns); }

Pattern OurGetPattern(int resourceId) {
  static const bool registered = (RegisterPatterns(), true);
  (void)registered;
  const char* path = PatternPath(resourceId);
  if (path == nullptr) return nullptr;
  QImage image(path);
  if (image.isNull()) return nullptr;
  return Pattern(new QImage(image.convertToFormat(QImage::Format_RGB32)));
}

void OurDisposePattern(QImage* pattern) { delete pattern; }

void DrawPatternBackground(OurPort* world, int32_t backgroundType) {
  LoadIfMissing(gFloorPattern, kFloorPatternId);
  LoadIfMissing(gRightWallPattern, kRightWallPatternId);
  LoadIfMissing(gLeftWallPattern, kLeftWallPatternId);
  const MRect r = GetPortRect(world);
  QPainter painter(&world->image);
  painter.translate(-world->bounds.left(), -world->bounds.top());
  painter.setPen(Qt::NoPen);
  if (!gFloorPattern || !gRightWallPattern || !gLeftWallPattern) {
    painter.fillRect(world->bounds, Qt::white);
    return;
  }
  if (backgroundType == 2) {
    painter.fillRect(world->bounds, QBrush(*gFloorPattern));
    return;
  }
  const int s = std::max(r.right - r.left, r.bottom - r.top);
  const int cx = (r.left + r.right) / 2;
  const int a = r.top + 16;
  Fill(painter, gFloorPattern.get(), {{cx, a}, {cx - 2 * s, a + s}, {cx + 2 * s, a + s}});
  Fill(painter, gLeftWallPattern.get(), {{cx, a}, {cx - 2 * s, a + s}, {cx - 2 * s, a - s}, {cx, a - s}});
  Fill(painter, gRightWallPattern.get(), {{cx, a}, {cx + 2 * s, a + s}, {cx + 2 * s, a - s}, {cx, a - s}});
}

const QImage* LoadedPattern(int resourceId) {
  Pattern& pattern = resourceId == kFloorPatternId       ? gFloorPattern
                     : resourceId == kRightWallPatternId ? gRightWallPattern
                                                         : gLeftWallPattern;
  if (PatternPath(resourceId)) LoadIfMissing(pattern, resourceId);
  return PatternPath(resourceId) ? pattern.get() : nullptr;
}

void ReleaseBackgroundPatterns() {
  for (Pattern* pattern : {&gFloorPattern, &gRightWallPattern, &gLeftWallPattern}) pattern->reset();
}
