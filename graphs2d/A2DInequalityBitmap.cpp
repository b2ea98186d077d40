#include "graphs2d/A2DInequalityBitmap.h"

#include <algorithm>
#include <atomic>
#include <bit>
#include <utility>

namespace {

constexpr int kPixelsPerWord = 16;

// The bit position of pixel i (0 to 15) of a word, two bits wide: pixel 0
// in the high bits of the word's first byte.
constexpr int Shift(int i) {
  const int byteInWord = i / 4;
  const int byteShift = std::endian::native == std::endian::little ? 8 * byteInWord : 24 - 8 * byteInWord;
  return byteShift + 6 - 2 * (i % 4);
}

// Pixels first to last (0 to 15) of a word.
uint32_t MaskOf(int first, int last) {
  uint32_t mask = 0;
  for (int i = first; i <= last; ++i) mask |= 3u << Shift(i);
  return mask;
}

uint32_t Load(const uint32_t& word) {
  return std::atomic_ref<uint32_t>(const_cast<uint32_t&>(word)).load(std::memory_order_relaxed);
}
void Store(uint32_t& word, uint32_t value) { std::atomic_ref<uint32_t>(word).store(value, std::memory_order_relaxed); }
void StoreMasked(uint32_t& word, uint32_t pattern, uint32_t mask) {
  Store(word, (Load(word) & ~mask) | (pattern & mask));
}

}  // namespace

bool InequalityBitmap::Allocate(const MRect& frame) {
  Free();
  const int32_t width = std::max(0, frame.right - frame.left), height = std::max(0, frame.bottom - frame.top);
  if (height < 1) return false;
  const long rowBytes = (width / kPixelsPerWord) * 4 + 4;
  fWords = NewCountedArray<uint32_t>(size_t(rowBytes / 4) * size_t(height), true);
  if (fWords == nullptr) return false;
  fRowBytes = rowBytes;
  fFrame = frame;
  fWidth = width;
  fHeight = height;
  return true;
}

void InequalityBitmap::Free() {
  fWords.reset();
  fRowBytes = 0;
  fWidth = fHeight = 0;
}

void InequalityBitmap::Swap(InequalityBitmap& other) {
  std::swap(fWords, other.fWords);
  std::swap(fRowBytes, other.fRowBytes);
  std::swap(fFrame, other.fFrame);
  std::swap(fWidth, other.fWidth);
  std::swap(fHeight, other.fHeight);
}

int InequalityBitmap::Get(int32_t h, int32_t v) const {
  const int32_t column = h - fFrame.left;
  const uint32_t word = Load(fWords[(v - fFrame.top) * (fRowBytes / 4) + column / kPixelsPerWord]);
  return static_cast<int>((word >> Shift(column % kPixelsPerWord)) & 3u);
}

void InequalityBitmap::Set(int32_t h, int32_t v, int value) {
  const int32_t column = h - fFrame.left;
  const int shift = Shift(column % kPixelsPerWord);
  StoreMasked(fWords[(v - fFrame.top) * (fRowBytes / 4) + column / kPixelsPerWord], uint32_t(value & 3) << shift,
              3u << shift);
}

void InequalityBitmap::Fill(const MRect& r, int value) {
  const int32_t left = std::max<int32_t>(r.left, fFrame.left) - fFrame.left;
  const int32_t right = std::min<int32_t>(r.right, fFrame.right) - fFrame.left;
  const int32_t top = std::max<int32_t>(r.top, fFrame.top), bottom = std::min<int32_t>(r.bottom, fFrame.bottom);
  if (left >= right || top >= bottom) return;
  const uint32_t pattern = uint32_t(value & 3) * 0x55555555u;
  const int32_t firstWord = left / kPixelsPerWord, lastWord = (right - 1) / kPixelsPerWord;
  for (int32_t v = top; v < bottom; ++v) {
    uint32_t* row = fWords.get() + (v - fFrame.top) * (fRowBytes / 4);
    for (int32_t w = firstWord; w <= lastWord; ++w) {
      const int first = w == firstWord ? left % kPixelsPerWord : 0;
      const int last = w == lastWord ? (right - 1) % kPixelsPerWord : kPixelsPerWord - 1;
      if (first == 0 && last == kPixelsPerWord - 1) {
        Store(row[w], pattern);
      } else {
        StoreMasked(row[w], pattern, MaskOf(first, last));
      }
    }
  }
}

void InequalityBitmap::Zero() {
  for (long i = 0; i < ByteCount() / 4; ++i) Store(fWords[i], 0);
}

void InequalityBitmap::CopyOut(void* destination) const {
  auto* out = static_cast<uint32_t*>(destination);
  for (long i = 0; i < ByteCount() / 4; ++i) out[i] = Load(fWords[i]);
}

void InequalityBitmap::CopyIn(const void* source) {
  const auto* in = static_cast<const uint32_t*>(source);
  for (long i = 0; i < ByteCount() / 4; ++i) Store(fWords[i], in[i]);
}

// Only the frame's pixels: scrolling may leave pixels in the spare bits.
bool InequalityBitmap::IsAllZero() const {
  if (fWidth < 1) return true;
  const int32_t lastWord = (fWidth - 1) / kPixelsPerWord;
  const uint32_t lastMask = MaskOf(0, (fWidth - 1) % kPixelsPerWord);
  for (int32_t v = 0; v < fHeight; ++v) {
    const uint32_t* row = fWords.get() + v * (fRowBytes / 4);
    for (int32_t w = 0; w <= lastWord; ++w) {
      if ((Load(row[w]) & (w == lastWord ? lastMask : ~0u)) != 0) return false;
    }
  }
  return true;
}
