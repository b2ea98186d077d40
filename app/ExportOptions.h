#pragma once

#include <optional>
#include <string>

// `--export FILE.zlf --png|--pdf OUT [--size WxH] [--timeout S]`.
struct ExportOptions {
  std::string document;
  std::string output;
  bool pdf = false;
  int width = 0;  // 0: the document's window size
  int height = 0;
  double timeoutSeconds = 60;
};

// The options after "--export" (argv[first] onwards); nullopt, the reason
// in *error, when they are not as above.
std::optional<ExportOptions> ParseExportOptions(int argc, char** argv, int first, std::string* error);
