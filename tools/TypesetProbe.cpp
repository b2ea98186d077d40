// Typesets formula text into a PNG and/or a PDF:
//   zl_typeset 'sum(k^2, k = 0, 5) + sin(x)' [--size 24] [--wrap 300] [--png a.png] [--pdf a.pdf]
// or every line "name<TAB>formula" of a gallery list into DIR/name.png and
// DIR/name.pdf at 24 pt:
//   zl_typeset --gallery LIST DIR
#include "tools/FormulaImages.h"
#include "tools/SafeWriting.h"

#include <QGuiApplication>

#include <charconv>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <string_view>

namespace {

bool ReadFloat(const char* text, float& value) {
  const std::string_view s(text);
  const auto [end, error] = std::from_chars(s.data(), s.data() + s.size(), value);
  return error == std::errc() && end == s.data() + s.size() && value > 0;
}

int Usage() {
  std::fprintf(stderr,
               "usage: zl_typeset FORMULA [--size POINTS] [--wrap POINTS] [--png FILE] [--pdf FILE]\n"
               "       zl_typeset --gallery LIST DIR\n");
  return 2;
}

// Writes what was asked; 0 when all of it was written.
int Write(const char* formula, float size, float wrap, const QString& png, const QString& pdf) {
  MERecord* record = TypesetFormulaText(formula, size, wrap);
  if (!record) {
    std::fprintf(stderr, "zl_typeset: cannot read the formula \"%s\"\n", formula);
    return 1;
  }
  int status = 0;
  if (!png.isEmpty() && !SaveImageSafely(FormulaImage(record, 4), png.toStdString(), "PNG")) {
    std::fprintf(stderr, "zl_typeset: cannot write %s\n", qPrintable(png));
    status = 1;
  }
  if (!pdf.isEmpty() && !WriteFormulaPdf(record, 4, pdf)) {
    std::fprintf(stderr, "zl_typeset: cannot write %s\n", qPrintable(pdf));
    status = 1;
  }
  MEDispose(record);
  return status;
}

int Gallery(const char* list, const QString& directory) {
  std::ifstream in(list);
  if (!in) {
    std::fprintf(stderr, "zl_typeset: cannot read %s\n", list);
    return 1;
  }
  int status = 0;
  std::string line;
  while (std::getline(in, line)) {
    const size_t tab = line.find('\t');
    if (tab == std::string::npos) continue;
    const QString name = directory + "/" + QString::fromStdString(line.substr(0, tab));
    status |= Write(line.c_str() + tab + 1, 24, kNoWrapWidth, name + ".png", name + ".pdf");
  }
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage();
  const bool gallery = !std::strcmp(argv[1], "--gallery");
  if (gallery && argc != 4) return Usage();
  float size = 24, wrap = kNoWrapWidth;
  const char* png = nullptr;
  const char* pdf = nullptr;
  for (int i = gallery ? argc : 2; i < argc; ++i) {
    if (i + 1 >= argc) return Usage();
    const char* value = argv[++i];
    if (!std::strcmp(argv[i - 1], "--size") && ReadFloat(value, size)) continue;
    if (!std::strcmp(argv[i - 1], "--wrap") && ReadFloat(value, wrap)) continue;
    if (!std::strcmp(argv[i - 1], "--png"))
      png = value;
    else if (!std::strcmp(argv[i - 1], "--pdf"))
      pdf = value;
    else
      return Usage();
  }
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication application(argc, argv);
  if (gallery) return Gallery(argv[2], QString::fromLocal8Bit(argv[3]));
  return Write(argv[1], size, wrap, png ? QString::fromLocal8Bit(png) : QString(),
               pdf ? QString::fromLocal8Bit(pdf) : QString());
}
