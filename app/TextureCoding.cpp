#include "app/TextureCoding.h"

#include "CoreUtilities/memory/MemoryBudget.h"
#include "app/Base64.h"
#include "app/PngEncoding.h"
#include "platform/OurPicture.h"

#include <png.h>

#include <atomic>
#include <cstring>
#include <new>
#include <string_view>
#include <vector>

namespace {

// libpng reports failures by longjmp: nothing with a destructor may live
// in the frames between setjmp and the library calls.
struct PngReadSource {
  const uint8_t* bytes;
  size_t count;
  size_t position;
};

void ReadFromMemory(png_structp png, png_bytep target, png_size_t length) {
  auto* source = static_cast<PngReadSource*>(png_get_io_ptr(png));
  if (length > source->count - source->position) png_error(png, "truncated");
  std::memcpy(target, source->bytes + source->position, length);
  source->position += length;
}

constexpr png_uint_32 kMostTextureSide = 16384;

std::atomic<int32_t> gUnreadablePictures{0};

// The library's own reports would reach standard error; a picture that
// cannot be read is counted instead, for the caller to report in its words.
[[noreturn]] void QuietError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void QuietWarning(png_structp, png_const_charp) {}

// Decodes into RGBA rows; false when the data is no PNG, or too large.
bool DecodePng(PngReadSource& source, png_uint_32& width, png_uint_32& height, std::vector<uint8_t>& rgba) {
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, QuietError, QuietWarning);
  if (!png) return false;
  png_infop info = png_create_info_struct(png);
  if (!info) {
    png_destroy_read_struct(&png, nullptr, nullptr);
    return false;
  }
  std::vector<png_bytep> rows;
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, &info, nullptr);
    return false;
  }
  png_set_read_fn(png, &source, ReadFromMemory);
  png_read_info(png, info);
  width = png_get_image_width(png, info);
  height = png_get_image_height(png, info);
  if (width == 0 || height == 0 || width > kMostTextureSide || height > kMostTextureSide) png_error(png, "size");
  png_set_expand(png);
  png_set_strip_16(png);
  png_set_gray_to_rgb(png);
  png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  rgba.resize(size_t(width) * height * 4);
  rows.resize(height);
  for (png_uint_32 y = 0; y < height; ++y) rows[y] = rgba.data() + size_t(y) * width * 4;
  png_read_image(png, rows.data());
  png_read_end(png, nullptr);
  png_destroy_read_struct(&png, &info, nullptr);
  return true;
}

// A null picture when the text holds none; frees the text.
OurPicture* DecodeTexture(char* base64, int32_t count) {
  std::optional<std::vector<uint8_t>> png;
  if (base64 && count > 0) png = DecodeBase64(std::string_view(base64, size_t(count)));
  OurDisposeMemory(base64);
  if (!png) return nullptr;
  PngReadSource source{png->data(), png->size(), 0};
  png_uint_32 width = 0, height = 0;
  std::vector<uint8_t> rgba;
  if (!DecodePng(source, width, height, rgba)) return nullptr;
  QImage image(int(width), int(height), QImage::Format_RGBA8888);
  if (image.isNull()) return nullptr;
  for (int y = 0; y < image.height(); ++y)
    std::memcpy(image.scanLine(y), rgba.data() + size_t(y) * width * 4, size_t(width) * 4);
  auto* picture = new (std::nothrow) OurPicture;
  if (!picture) return nullptr;
  picture->frame = QRect(0, 0, int(width), int(height));
  picture->image = image.convertToFormat(QImage::Format_ARGB32);
  return picture;
}

}  // namespace

int32_t UnreadablePictureCount() { return gUnreadablePictures.load(std::memory_order_relaxed); }

OurPicture* CoreDecodeTexture(char* base64, int32_t count) {
  OurPicture* picture = DecodeTexture(base64, count);
  if (picture == nullptr) gUnreadablePictures.fetch_add(1, std::memory_order_relaxed);
  return picture;
}

std::string EncodeTexture(const OurPicture* picture) {
  if (!picture || picture->image.isNull()) return {};
  std::vector<uint8_t> png;
  if (!EncodePng(picture->image, png)) return {};
  return EncodeBase64(png.data(), png.size());
}
