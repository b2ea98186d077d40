// Classifies typed equations as the graph pane would: the graph kind with
// and without the items after the comma, why a kind-0 equation makes no
// graph, and the flags the expansion reads.
#include "tools/DocumentFile.h"
#include "app/AppHooks.h"
#include "CoreUtilities/text/MessageTable.h"
#include "document/DocumentHooks.h"
#include "document/DocumentParameters.h"
#include "expression/ExpressionParser.h"
#include "expression/TreeDisposal.h"
#include "graphpane/EquationClassification.h"
#include "graphpane/GraphKindQueries.h"
#include "graphpane/GraphabilityDiagnostics.h"

#include <charconv>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

int Usage() {
  std::fprintf(stderr, "usage: zl_classify [--view 2d|3d|4d] [--xytype n] [--document file.zlf] TEXT...\n");
  return 2;
}

std::string Utf8(const UniChar* text) {
  std::string out;
  for (; text && *text; ++text) {
    const char16_t c = *text;
    if (c < 0x80) {
      out += char(c);
    } else if (c < 0x800) {
      out += char(0xC0 | (c >> 6));
      out += char(0x80 | (c & 0x3F));
    } else {
      out += char(0xE0 | (c >> 12));
      out += char(0x80 | ((c >> 6) & 0x3F));
      out += char(0x80 | (c & 0x3F));
    }
  }
  return out;
}

bool ReadDouble(const char* text, double* value) {
  const char* end = text + std::strlen(text);
  const auto [stop, error] = std::from_chars(text, end, *value);
  return error == std::errc() && stop == end;
}

void Classify(const char* text, bool is3D, bool is4D, double xyType, DocumentRecord* document) {
  ExpressionRecord* tree = ParseExprFromString(text);
  std::printf("%s\n", text);
  if (tree == nullptr) {
    std::printf("  not read\n");
    return;
  }
  const int32_t kind = ExprType(tree, is3D, is4D, document);
  std::printf("  ExprType %d, ignoring modifiers %d\n", kind, ExprTypeIgnoringModifiers(tree, is3D, is4D, document));
  if (kind == 0) {
    const int32_t message = GetEqnSyntaxErr(tree, is3D, is4D, document);
    std::printf("  message %d \"%s\"\n", message, Utf8(OurGetLocalizedString(message)).c_str());
  }
  const ExprTypeInfo info = GetExprTypeInfo(tree, xyType, document);
  std::printf("  3-D %d, 4-D %d, graphable %d, primed %d, labelled %d\n", info.threeD, info.fourD, info.graphable,
              info.primed, info.labelled);
  DisposExpr(tree);
}

}  // namespace

int main(int argc, char** argv) {
  InstallDocumentHooks();
  InstallAppHooks();
  bool is3D = false, is4D = false;
  double xyType = 1;
  std::unique_ptr<DocumentRecord> document;
  int i = 1;
  for (; i + 1 < argc && std::strncmp(argv[i], "--", 2) == 0; i += 2) {
    const std::string option = argv[i], value = argv[i + 1];
    if (option == "--view" && (value == "2d" || value == "3d" || value == "4d")) {
      is3D = value == "3d";
      is4D = value == "4d";
    } else if (option == "--xytype") {
      if (!ReadDouble(argv[i + 1], &xyType)) return Usage();
    } else if (option == "--document") {
      document = ReadDocumentFile(argv[i + 1]);
      if (!document) return 1;
      RebuildParameterDefinitions(document.get());
    } else {
      return Usage();
    }
  }
  if (i >= argc) return Usage();
  for (; i < argc; ++i) Classify(argv[i], is3D, is4D, xyType, document.get());
  return 0;
}
