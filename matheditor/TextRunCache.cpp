#include "matheditor/TextRunCache.h"

#include "platform/TextLayout.h"

#include <QPointF>

#include <map>
#include <memory>
#include <string>
#include <tuple>

namespace {

using Key = std::tuple<uint32_t, double, std::u16string>;

// Formulas use few distinct strings; past this the cache starts afresh
// rather than growing without bound.
constexpr size_t kMaxCachedRuns = 4096;

std::map<Key, std::unique_ptr<TextLayout>>& Cache() {
  static std::map<Key, std::unique_ptr<TextLayout>> cache;
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
    auto layout = std::make_unique<TextLayout>(text, faceId, size);
    found = cache.emplace(std::move(key), std::move(layout)).first;
  }
  if (found->second->IsValid()) found->second->DrawLine(painter, 0, baselineLeft);
}
