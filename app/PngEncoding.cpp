#include "app/PngEncoding.h"

#include <png.h>

#include <QImage>

namespace {

void WriteToMemory(png_structp png, png_bytep bytes, png_size_t length) {
  auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
  out->insert(out->end(), bytes, bytes + length);
}

void FlushMemory(png_structp) {}

}  // namespace

// libpng reports failures by longjmp: the objects with destructors are made
// before setjmp.
bool EncodePng(const QImage& image, std::vector<uint8_t>& out, const PngStamp* stamp) {
  const QImage rgba = image.convertToFormat(QImage::Format_RGBA8888);
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (!png) return false;
  png_infop info = png_create_info_struct(png);
  if (!info) {
    png_destroy_write_struct(&png, nullptr);
    return false;
  }
  std::vector<png_bytep> rows(size_t(rgba.height()));
  for (int y = 0; y < rgba.height(); ++y) rows[size_t(y)] = const_cast<png_bytep>(rgba.constScanLine(y));
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_set_write_fn(png, &out, WriteToMemory, FlushMemory);
  png_set_IHDR(png, info, png_uint_32(rgba.width()), png_uint_32(rgba.height()), 8, PNG_COLOR_TYPE_RGB_ALPHA,
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_text software{};
  png_time made{};
  if (stamp && stamp->software) {
    software.compression = PNG_TEXT_COMPRESSION_NONE;
    software.key = const_cast<char*>("Software");
    software.text = const_cast<char*>(stamp->software);
    png_set_text(png, info, &software, 1);
    png_convert_from_time_t(&made, stamp->madeAt);
    png_set_tIME(png, info, &made);
  }
  png_write_info(png, info);
  png_write_image(png, rows.data());
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return true;
}

