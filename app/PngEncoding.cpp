#include "app/PngEncoding.h"

#include <png.h>

#include <QImage>

#include <cstring>

#include "CoreUtilities/threads/ComputationDeadline.h"

namespace {

void WriteToMemory(png_structp png, png_bytep bytes, png_size_t length) {
  auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
  out->insert(out->end(), bytes, bytes + length);
}

void FlushMemory(png_structp) {}

// One row as RGBA bytes: the picture is converted a row at a time, never
// held twice whole.
void RowAsRgba(const QImage& image, int y, std::vector<uint8_t>& row) {
  const QImage line = image.copy(0, y, image.width(), 1).convertToFormat(QImage::Format_RGBA8888);
  std::memcpy(row.data(), line.constScanLine(0), row.size());
}

// False when the deadline clock reached giveUpAt, read every few rows.
bool WriteRows(png_structp png, const QImage& image, std::vector<uint8_t>& row, int64_t giveUpAt) {
  constexpr int kRowsBetweenClockReads = 16;
  for (int y = 0; y < image.height(); ++y) {
    if (y % kRowsBetweenClockReads == 0 && DeadlineReached(giveUpAt)) return false;
    RowAsRgba(image, y, row);
    png_write_row(png, row.data());
  }
  return true;
}

// libpng reports failures by longjmp: the objects with destructors are made
// by the caller.
bool EncodeWithBuffer(const QImage& image, std::vector<uint8_t>& row, std::vector<uint8_t>& out, const PngStamp* stamp,
                      int64_t giveUpAt) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (!png) return false;
  png_infop info = png_create_info_struct(png);
  if (!info) {
    png_destroy_write_struct(&png, nullptr);
    return false;
  }
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_set_write_fn(png, &out, WriteToMemory, FlushMemory);
  png_set_IHDR(png, info, png_uint_32(image.width()), png_uint_32(image.height()), 8, PNG_COLOR_TYPE_RGB_ALPHA,
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_text software{};
  if (stamp && stamp->software) {
    software.compression = PNG_TEXT_COMPRESSION_NONE;
    software.key = const_cast<char*>("Software");
    software.text = const_cast<char*>(stamp->software);
    png_set_text(png, info, &software, 1);
  }
  png_write_info(png, info);
  const bool written = WriteRows(png, image, row, giveUpAt);
  if (written) png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return written;
}

}  // namespace

bool EncodePng(const QImage& image, std::vector<uint8_t>& out, const PngStamp* stamp, int64_t giveUpAt) {
  std::vector<uint8_t> row(size_t(image.width()) * 4);
  return EncodeWithBuffer(image, row, out, stamp, giveUpAt);
}
