// Typesets formula text into a PNG and/or a PDF:
//   zl_typeset 'sum(k^2, k = 0, 5) + sin(x)' [--size 24] [--wrap 300] [--png a.png] [--pdf a.pdf]
#include "tools/FormulaImages.h"

#include <QGuiApplication>

#include <charconv>
#include <cstdio>
#include <cstring>
#include <string_view>

namespace {

bool ReadFloat(const char* text, float& value) {
  const std::string_view s(text);
  const auto [end, error] = std::from_chars(s.data(), s.data() + s.size(), value);
  return error == std::errc() && end == s.data() + s.size() && value > 0;
}

int Usage() {
  std::fprintf(stderr, "usage: zl_typeset FORMULA [--size POINTS] [--wrap POINTS] [--png FILE] [--pdf FILE]\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage();
  float size = 24, wrap = kNoWrapWidth;
  const char* png = nullptr;
  const char* pdf = nullptr;
  for (int i = 2; i < argc; ++i) {
    if (i + 1 >= argc) return Usage();
    const char* value = argv[++i];
    if (!std::strcmp(argv[i - 1], "--size") && ReadFloat(value, size)) continue;
    if (!std::strcmp(argv[i - 1], "--wrap") && ReadFloat(value, wrap)) continue;
    if (!std::strcmp(argv[i - 1], "--png")) png = value;
    else if (!std::strcmp(argv[i - 1], "--pdf")) pdf = value;
    else return Usage();
  }
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication application(argc, argv);
  MERecord* record = TypesetFormulaText(argv[1], size, wrap);
  if (!record) {
    std::fprintf(stderr, "zl_typeset: cannot read the formula \"%s\"\n", argv[1]);
    return 1;
  }
  int status = 0;
  if (png && !FormulaImage(record, 4).save(QString::fromLocal8Bit(png), "PNG")) {
    std::fprintf(stderr, "zl_typeset: cannot write %s\n", png);
    status = 1;
  }
  if (pdf && !WriteFormulaPdf(record, 4, QString::fromLocal8Bit(pdf))) {
    std::fprintf(stderr, "zl_typeset: cannot write %s\n", pdf);
    status = 1;
  }
  MEDispose(record);
  return status;
}
