#include "platform/TextWidthCache.h"

#include "platform/TextLayout.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>
#include <utility>

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

// A formula's layout asks for a few hundred short strings, most of them one
// character, over and over: each thread keeps the latest answers in a small
// table it reaches without a lock, a key string or an allocation.
constexpr int kRecentBits = 10;
constexpr size_t kRecentSlots = size_t{1} << kRecentBits;
constexpr size_t kRecentUnits = 12;

struct Recent {
  uint32_t faceId = 0;
  uint32_t length = 0;  // 0: slot unused
  std::array<char16_t, kRecentUnits> text{};
  double widthPerPoint = 0;
};

// The first of the two slots a text may sit in, the latest used first.
size_t RecentPair(std::u16string_view text, uint32_t faceId) {
  uint64_t h = 0xcbf29ce484222325ull ^ faceId;
  for (const char16_t u : text) h = (h ^ u) * 0x100000001b3ull;
  return static_cast<size_t>((h * 0x9e3779b97f4a7c15ull) >> (64 - kRecentBits)) & ~size_t{1};
}

thread_local std::array<Recent, kRecentSlots> tRecent;

bool Matches(const Recent& r, std::u16string_view text, uint32_t faceId) {
  return r.length == text.size() && r.faceId == faceId && std::equal(text.begin(), text.end(), r.text.begin());
}

std::optional<double> SharedWidthPerPoint(std::u16string_view text, uint32_t faceId) {
  std::u16string key = CacheKey(text, faceId);
  {
    std::lock_guard lock(gCacheMutex);
    if (auto found = gWidthPerPoint.find(key); found != gWidthPerPoint.end()) return found->second;
  }
  const TextLayout layout(text, faceId, 1.0);
  if (!layout.IsValid()) return std::nullopt;
  const double widthPerPoint = layout.Width();
  std::lock_guard lock(gCacheMutex);
  if (gWidthPerPoint.size() >= kMaxEntries) gWidthPerPoint.clear();
  gWidthPerPoint.emplace(std::move(key), widthPerPoint);
  return widthPerPoint;
}

}  // namespace

double CachedTextWidth(std::u16string_view text, uint32_t faceId, double size) {
  if (text.empty() || !(size > 0) || !std::isfinite(size)) return 0;
  Recent* recent = text.size() <= kRecentUnits ? &tRecent[RecentPair(text, faceId)] : nullptr;
  if (recent && Matches(recent[0], text, faceId)) return recent->widthPerPoint * size;
  if (recent && Matches(recent[1], text, faceId)) {
    std::swap(recent[0], recent[1]);
    return recent->widthPerPoint * size;
  }
  const std::optional<double> widthPerPoint = SharedWidthPerPoint(text, faceId);
  if (!widthPerPoint) return 0;
  if (recent) {
    recent[1] = recent[0];
    recent->faceId = faceId;
    recent->length = static_cast<uint32_t>(text.size());
    std::copy(text.begin(), text.end(), recent->text.begin());
    recent->widthPerPoint = *widthPerPoint;
  }
  return *widthPerPoint * size;
}
