#include "app/ExportOptions.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <string_view>

namespace {

bool ParseInt(std::string_view text, int* value) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), *value);
  return error == std::errc() && end == text.data() + text.size();
}

bool ParseSize(std::string_view text, int* width, int* height) {
  const size_t x = text.find('x');
  return x != std::string_view::npos && ParseInt(text.substr(0, x), width) && ParseInt(text.substr(x + 1), height) &&
         *width > 0 && *height > 0;
}

bool ParseSeconds(std::string_view text, double* seconds) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), *seconds);
  return error == std::errc() && end == text.data() + text.size() && std::isfinite(*seconds) && *seconds >= 0;
}

}  // namespace

std::optional<ExportOptions> ParseExportOptions(int argc, char** argv, int first, std::string* error) {
  ExportOptions options;
  bool formatGiven = false;
  for (int i = first; i < argc; ++i) {
    const std::string_view argument = argv[i];
    const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
    if (argument == "--png" || argument == "--pdf") {
      if (!value || formatGiven) {
        *error = formatGiven ? "give one of --png and --pdf" : std::string(argument) + " needs a file";
        return std::nullopt;
      }
      formatGiven = true;
      options.pdf = argument == "--pdf";
      options.output = argv[++i];
    } else if (argument == "--size") {
      if (!value || !ParseSize(value, &options.width, &options.height)) {
        *error = "--size needs WIDTHxHEIGHT, two whole numbers above 0";
        return std::nullopt;
      }
      ++i;
    } else if (argument == "--timeout") {
      if (!value || !ParseSeconds(value, &options.timeoutSeconds)) {
        *error = "--timeout needs a number of seconds";
        return std::nullopt;
      }
      ++i;
    } else if (options.document.empty() && !argument.starts_with("--")) {
      options.document = argv[i];
    } else {
      *error = "unknown argument " + std::string(argument);
      return std::nullopt;
    }
  }
  if (options.document.empty() || !formatGiven) {
    *error = "usage: zl --export FILE.zlf --png|--pdf OUT [--size WxH] [--timeout S]";
    return std::nullopt;
  }
  return options;
}
