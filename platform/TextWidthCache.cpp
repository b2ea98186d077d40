#include "platform/TextWidthCache.h"

#include "platform/TextLayout.h"

#include <cmath>
#include <mutex>
#include <string>
#include <unordered_map>

namespace {

// Enough for every string of a large document; beyond it the cache starts
// over rather than growing without end.
constexpr size_t kMaxEntries = 65536;

std::mutex gCacheMutex;
std::unordered_map<std::u16string, double> gWidthPerPoint;

std::u16string CacheKey(std::u16string_view text, uint32_t faceId) {
  std::u16string key;
  key.reserve(text.size() + 2);
  key.push_back(static_cast<char16_t>(faceId >> 16));
  key.push_back(static_cast<char16_t>(faceId & 0xFFFF));
  key.append(text);
  return key;
}

}  // namespace

double CachedTextWidth(std::u16string_view text, uint32_t faceId, double size) {
  if (text.empty() || !(size > 0) || !std::isfinite(size)) return 0;
  std::u16string key = CacheKey(text, faceId);
  {
    std::lock_guard lock(gCacheMutex);
    if (auto found = gWidthPerPoint.find(key); found != gWidthPerPoint.end()) return found->second * size;
  }
  const TextLayout layout(text, faceId, 1.0);
  if (!layout.IsValid()) return 0;
  const double widthPerPoint = layout.Width();
  std::lock_guard lock(gCacheMutex);
  if (gWidthPerPoint.size() >= kMaxEntries) gWidthPerPoint.clear();
  gWidthPerPoint.emplace(std::move(key), widthPerPoint);
  return widthPerPoint * size;
}
