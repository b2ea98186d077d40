// The parser's document statements on their own layer: before the document
// installs its handlers a read applies nothing, fails and frees what it
// carried; once installed, every statement reaches its handler in order.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "expression/DocumentStatements.h"
#include "expression/ExpressionParser.h"
#include "expression/TreeDisposal.h"

namespace {

constexpr char kDocument[] =
    "Zentrolabworksheet 4;\n"
    "FontName \"Times\";\n"
    "Text \"<font=Times><size=14>Plain\";\n"
    "Expr y = x^2 - 1;\n"
    "Picture "
    "\"iVBORw0KGgoAAAANSUhEUgAAAAMAAAACCAIAAAASFvFNAAAAFUlEQVR4nGP4z8DAAMH//4PohoYGAEfPB3vT+rJCAAAAAElFTkSuQmCC\";\n"
    "Color 2;\n"
    "Table\n\tx\t0\t1\nEndOfTable;\n";

void ReadDocument() { CoreParseDoc(kDocument, static_cast<int32_t>(sizeof kDocument - 1)); }

std::vector<std::string> gCalls;

DocumentStatementHooks RecordingHooks() {
  DocumentStatementHooks hooks = CurrentDocumentStatementHooks();
  hooks.beginRead = [] { gCalls.push_back("begin"); };
  hooks.endRead = [] { gCalls.push_back("end"); };
  hooks.readHeader = [](double version) { gCalls.push_back("header " + std::to_string(int(version))); };
  hooks.applyFontName = [](const char* name) { gCalls.push_back(std::string("font ") + name); };
  hooks.applyNumbers = [](DocumentSetting setting, std::initializer_list<double> values) {
    if (setting == DocumentSetting::kColor) gCalls.push_back("color " + std::to_string(int(*values.begin())));
  };
  hooks.appendEquation = [](ExpressionRecord* tree) {
    gCalls.push_back("equation");
    DisposExpr(tree);
  };
  hooks.finishRead = [] {
    gCalls.push_back("finish");
    return true;
  };
  return hooks;
}

}  // namespace

TEST(DocumentStatements, WithoutTheDocumentAReadFailsAndFreesWhatItCarried) {
  ReadDocument();  // the leak check at exit sees the text block and picture freed
  EXPECT_FALSE(FinishDocumentRead());
}

TEST(DocumentStatements, InstalledHandlersGetEveryStatementInOrder) {
  const DocumentStatementHooks saved = CurrentDocumentStatementHooks();
  InstallDocumentStatementHooks(RecordingHooks());
  gCalls.clear();
  ReadDocument();
  InstallDocumentStatementHooks(saved);
  const std::vector<std::string> expected = {"begin", "header 4", "font Times", "equation", "color 2", "finish", "end"};
  EXPECT_EQ(gCalls, expected);
}
