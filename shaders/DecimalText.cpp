#include "shaders/DecimalText.h"

#include <charconv>

void AppendDecimal(std::string& text, int32_t value) {
  char digits[16];
  const auto written = std::to_chars(digits, digits + sizeof digits, value);
  text.append(digits, written.ptr);
}

void AppendFixedDecimal(std::string& text, double value, int width, int precision) {
  // The largest double has 309 digits before the point.
  char digits[360 + 128];
  char* const number = digits + 1;
  const auto written = std::to_chars(number, digits + sizeof digits, value, std::chars_format::fixed, precision);
  char* first = number;
  if (*number != '-') *--first = ' ';
  const size_t length = size_t(written.ptr - first);
  if (length < size_t(width)) text.append(size_t(width) - length, ' ');
  text.append(first, length);
}
