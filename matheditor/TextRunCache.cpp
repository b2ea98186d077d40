#include "matheditor/TextRunCache.h"

#include "platform/TextLayout.h"

#include <QPainter>
#include <QPointF>

#include <map>
#include <string>
#include <tuple>

namespace {

using Key = std::tuple<uint32_t, double, std::u16string>;

// Formulas use few distinct strings; past this the cache starts afresh
// rather than growing without bound.
constexpr size_t kMaxCachedRuns = 4096;

std::map<Key, QList<QGlyphRun>>& Cache() {
  static std::map<Key, QList<QGlyphRun>> cache;
  return cache;
}

}  // namespace

void DrawCachedText(QPainter& painter, std::u16string_view text, uint32_t faceId, double size,
                    const QPointF& baselineLeft) {
  auto& cache = Cache();
  Key key{faceId, size, std::u16string(text)};
  auto found = cache.find(key);
  if (found == cache.end()) {
    if (cache.size() >= kMaxCachedRuns) cache.clear();
    found = cache.emplace(std::move(key), TextLayout(text, faceId, size).ScaledGlyphRuns(0)).first;
  }
  for (const QGlyphRun& run : found->second) painter.drawGlyphRun(baselineLeft, run);
}
