#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <utility>

#include "CoreUtilities/text/NumberText.h"
#include "document/DocumentParameters.h"
#include "document/DocumentRendererHooks.h"
#include "document/MathPaneResults.h"
#include "document/ParameterList.h"
#include "document/SliderAnimation.h"
#include "document/DocumentTable.h"
#include "document/TableHeadings.h"
#include "document/TransformationEquations.h"
#include "expression/DocumentHooks.h"
#include "expression/TreeRewriting.h"
#include "expression/VariableIds.h"
#include "renderer/RendererHooks.h"
#include "tests/document/ExpansionTestSupport.h"
#include "tests/expression/CountedMemory.h"

namespace {

class DocumentExpansion : public ThreadsRunning {};

std::unique_ptr<DocumentRecord> Expanded(const std::string& statements) {
  auto document = DocumentOf(statements);
  EXPECT_TRUE(document);
  if (!document) return nullptr;
  InvalExprs(document.get());
  EXPECT_TRUE(AwaitExpansion(document.get()));
  return document;
}

TEST_F(DocumentExpansion, DefinitionsAndFunctionsAreAppliedUntilNothingChanges) {
  auto d = Expanded(
      "Expr 'f'(x) = x^2;\nExpr g = 3 + a;\nExpr a = 1;\nExpr y = 'f'(g + 1);\nExpr y = 'f'(x + 1);\nExpr y = g + "
      "1;\n");
  ASSERT_TRUE(d);
  // f(3 + 1 + 1) = 25: g needs a second pass for a.
  EXPECT_EQ(ExpandedText(d.get(), 3), Reparsed("y = 25"));
  EXPECT_EQ(ExpandedText(d.get(), 4), Reparsed("y = (x + 1)^2"));
  EXPECT_EQ(ExpandedText(d.get(), 5), Reparsed("y = 5"));
  EXPECT_TRUE(d->fModified);
}

TEST_F(DocumentExpansion, FormulaColumnsAreFilledRowByRowWithTheDefinitionsApplied) {
  auto d = Expanded("SignificantDigits 4;\nExpr c = 1/3;\nTable\n\tx\t1\t2\t\t4\n\ty = 2*x + c\t99\nEndOfTable;\n");
  ASSERT_TRUE(d);
  const TableColumn& y = d->fContents.blocks[1].table->columns[1];
  ASSERT_EQ(y.DataRows(), 4);
  EXPECT_EQ(y.Cell(1), u"2.333");
  EXPECT_EQ(y.Cell(2), u"4.333");
  EXPECT_EQ(y.Cell(3), u"");  // x has no value there
  EXPECT_EQ(y.Cell(4), u"8.333");
  EXPECT_EQ(GetTableData('y', 4, d.get()), 8.333);
  EXPECT_EQ(TableDataSizeForId(d.get(), 'y'), 4);
}

TEST_F(DocumentExpansion, DefinitionsThatReachThemselvesStopAndStayAsWritten) {
  auto d = Expanded(
      "Expr a = a + 1;\nExpr y = a;\nExpr 'f'(x) = 'f'(x) + 1;\nExpr y = 'f'(x);\n"
      "Expr 'g'(x) = 'h'(x);\nExpr 'h'(x) = 'g'(x) * 2;\nExpr y = 'g'(2);\n");
  ASSERT_TRUE(d);
  EXPECT_EQ(ExpandedText(d.get(), 1), Reparsed("y = a"));
  EXPECT_EQ(ExpandedText(d.get(), 3), Reparsed("y = 'f'(x)"));
  EXPECT_EQ(ExpandedText(d.get(), 6), Reparsed("y = 'g'(2)"));
  // None of them becomes a function the programs would call for ever.
  EXPECT_EQ(DocumentFunctionCount(d.get()), 0);
}

TEST_F(DocumentExpansion, AnEditStartsAgainAndForgetsTheOldExpansion) {
  auto d = Expanded("Expr b = 2;\nExpr y = b*x;\n");
  ASSERT_TRUE(d);
  EXPECT_EQ(ExpandedText(d.get(), 1), Reparsed("y = 2*x"));
  ASSERT_TRUE(SetEquationTree(d->fContents.blocks[0], Parse("b = 5").release()));
  InvalExprs(d.get());
  EXPECT_FALSE(d->fExpansion.expansionDone.load());
  ASSERT_TRUE(AwaitExpansion(d.get()));
  EXPECT_EQ(ExpandedText(d.get(), 1), Reparsed("y = 5*x"));
}

// The renderer learns from each expansion whether any equation is drawn
// translucent.
TEST_F(DocumentExpansion, TranslucentFlagFollowsTheEquationsOpacity) {
  InstallDocumentRendererHooks();
  auto d = Expanded("Expr z = x*y;\nOpacity 0.5;\nExpr z = 2;\n");
  ASSERT_TRUE(d);
  EXPECT_TRUE(RenderHooks::IsTranslucent(d.get()));
  EXPECT_FALSE(RenderHooks::HasDataPlotSymbolsOrLabels(d.get()));
  d->fContents.blocks[1].Opacity = 1;
  InvalExprs(d.get());
  ASSERT_TRUE(AwaitExpansion(d.get()));
  EXPECT_FALSE(RenderHooks::IsTranslucent(d.get()));
  d->fContents.blocks[0].Opacity = 0;
  InvalExprs(d.get());
  ASSERT_TRUE(AwaitExpansion(d.get()));
  EXPECT_TRUE(RenderHooks::IsTranslucent(d.get()));
  EXPECT_FALSE(RenderHooks::IsTranslucent(nullptr));
}

struct ResultCase {
  int digits;
  std::string formula, expected;
};

std::vector<ResultCase> ResultCases() {
  std::ifstream file(std::string(ZL_TEST_DATA_DIR) + "/math_pane_results.txt");
  std::vector<ResultCase> cases;
  std::string line;
  while (std::getline(file, line)) {
    std::istringstream fields(line);
    ResultCase c;
    std::string digits;
    std::getline(fields, digits, '\t');
    std::getline(fields, c.formula, '\t');
    std::getline(fields, c.expected);
    c.digits = std::stoi(digits);
    cases.push_back(c);
  }
  return cases;
}

std::string Narrow(const std::u16string& text) { return std::string(text.begin(), text.end()); }

TEST_F(DocumentExpansion, ResultStringsAtTheDocumentsDigits) {
  const auto cases = ResultCases();
  ASSERT_GT(cases.size(), 20u);
  for (const ResultCase& c : cases) {
    auto d = Expanded("SignificantDigits " + std::to_string(c.digits) + ";\nExpr " + c.formula + ";\n");
    ASSERT_TRUE(d && AwaitResults(d.get()));
    EXPECT_EQ(Narrow(MathPaneResultForBlock(d.get(), 0)), c.expected) << c.formula << " at " << c.digits;
  }
}

TEST_F(DocumentExpansion, ResultStringsForDefinitionsWordsAndNothingElseAtTheDocumentsDigits) {
  auto d = Expanded(
      "SignificantDigits 3;\nExpr q = 2/3;\nExpr 1/0;\nExpr 0/0;\nExpr y = x^2;\nExpr p = 1 + 2*i;\nExpr x + 1;\n");
  ASSERT_TRUE(d);
  gSignificantFigures = 15;  // another formula being edited
  ASSERT_TRUE(AwaitResults(d.get()));
  gSignificantFigures = 8;
  EXPECT_EQ(Narrow(MathPaneResultForBlock(d.get(), 0)), "0.667");
  EXPECT_EQ(Narrow(MathPaneResultForBlock(d.get(), 1)), "infinity");
  EXPECT_EQ(Narrow(MathPaneResultForBlock(d.get(), 2)), "not a number");
  for (int block : {3, 4, 5}) EXPECT_EQ(MathPaneResultForBlock(d.get(), block), u"") << block;
}

TEST_F(DocumentExpansion, ParameterListTakesFreeLettersOnlyAndAtMostAHundred) {
  auto d = DocumentOf("Expr c = 2;\nExpr 'f'(x) = x;\nExpr p = 1 + i;\n");
  ASSERT_TRUE(d);
  RebuildParameterDefinitions(d.get());
  Tree tree = Parse("y = a*x + b + c + n + 'f'(x) + p + a + sum(j, j = 1, 3)");
  AddToParameterList(tree.get(), d.get());
  std::string names;
  for (const DocumentParameter& p : d->fContents.parameters) names += static_cast<char>(p.name);
  EXPECT_EQ(names, "ab");
  EXPECT_EQ(GetValueFromParameterList('a', d.get()), 1);
  EXPECT_TRUE(std::isnan(GetValueFromParameterList('x', d.get())));
  EXPECT_TRUE(IsComplexParameter('p', d.get()));
  std::string many = "y = 0";
  for (int k = 0; k < 120; ++k) many += " + q" + std::string(1, char('a' + k / 26)) + char('a' + k % 26);
  Tree letters = Parse(many);
  for (int round = 0; round < 2; ++round) AddToParameterList(letters.get(), d.get());
  EXPECT_EQ(d->fContents.parameters.Count(), kMostShownParameters);
}

TEST_F(DocumentExpansion, SliderEquationStepsAreKeptToOneToTwoHundred) {
  auto d = DocumentOf("Expr k = slider(0, 10, 1000);\nExpr m = slider(0, 1, 0);\n");
  ASSERT_TRUE(d);
  d->fContents.blocks[0].mathPaneSlider = 100;
  d->fContents.blocks[1].mathPaneSlider = 1;
  RebuildParameterDefinitions(d.get());
  EXPECT_EQ(LookUpParameter('k', 0, d.get()).re, 5);  // 100 of 200 steps
  EXPECT_EQ(LookUpParameter('m', 0, d.get()).re, 1);  // 1 of 1 step
}

TEST_F(DocumentExpansion, AnimationWalksTheStepsTurnsAndLoops) {
  auto d = DocumentOf("Slider 0 1;\nSliderSteps 2;\n");
  ASSERT_TRUE(d);
  DocumentContents& c = d->fContents;
  const auto walk = [&](int n) {
    std::string values;
    for (int i = 0; i < n; ++i) {
      StepGraphingAnimation(d.get());
      values += std::to_string(c.sliderControlValue);
    }
    return values;
  };
  EXPECT_EQ(walk(6), "121012");
  EXPECT_EQ(DocumentSliderValue(d.get()), 1.0);
  LoopGraphingAnimation(d.get());
  EXPECT_NE(GetGraphingAnimationState(d.get()), 0);
  c.sliderControlValue = 0;
  EXPECT_EQ(walk(6), "120120");
  c.sliderDirection = -1;
  EXPECT_EQ(walk(4), "2102");
  InvalExprs(d.get());
  EXPECT_EQ(GetGraphingAnimationState(d.get()), 0);
}

}  // namespace

namespace {

// The text with a, b and c read as x', y' and z'.
Tree Primed(const std::string& text) {
  Tree tree = Parse(text);
  ReplaceAtoms(tree.get(), 'a', kIdXPrime);
  ReplaceAtoms(tree.get(), 'b', kIdYPrime);
  ReplaceAtoms(tree.get(), 'c', kIdZPrime);
  return tree;
}

TEST(TransformationEquations, TheFormsAndTheirKinds) {
  const std::pair<std::string, int32_t> cases[] = {
      {"matrix(2,1,x,y) = matrix(2,1,a+b,a*b)", CoordinateTransformation::kPlaneFromTransformed},
      {"matrix(2,1,a,b) = matrix(2,1,x^2-y^2,2*x*y)", CoordinateTransformation::kPlaneFromSource},
      {"matrix(3,1,a,b,c) = matrix(3,1,x,y,z+x)", CoordinateTransformation::kSpace},
      {"z = c^2", CoordinateTransformation::kPlaneFromTransformed},
      {"z = a^2", CoordinateTransformation::kNone},
      {"c = exp(z)", CoordinateTransformation::kPlaneFromSource},
      {"matrix(2,1,x,y) = matrix(2,1,a+x,b)", CoordinateTransformation::kNone},
      {"matrix(2,1,y,x) = matrix(2,1,a,b)", CoordinateTransformation::kNone},
      {"y = x^2", CoordinateTransformation::kNone},
      // Points and columns of table data map nothing.
      {"matrix(2,1,x,y) = matrix(2,1,1,2)", CoordinateTransformation::kNone},
      {"matrix(2,1,a,b) = matrix(2,1,1,2)", CoordinateTransformation::kNone},
      {"matrix(3,1,a,b,c) = matrix(3,1,1,2,3)", CoordinateTransformation::kNone},
      {"z = 2 + 3*i", CoordinateTransformation::kNone},
      {"c = 2", CoordinateTransformation::kNone},
  };
  for (const auto& [text, kind] : cases) {
    Tree e = Primed(text);
    const CoordinateTransformation ct = TransformationOf(e.get());
    EXPECT_EQ(ct.kind, kind) << text;
    if (kind == CoordinateTransformation::kNone) continue;
    const ExpressionRecord* right = e->operands[1];
    EXPECT_EQ(ct.formulas[0], right->opcode == kOpMatrix ? right->operands[0] : right) << text;
  }
}

// A 3-D data plot with symbols or labels asks for the renderer that draws
// them; the flag follows the equations, a 2-D plot's labels do not count.
TEST_F(DocumentExpansion, SymbolsOrLabelsOfASpaceDataPlotAreMarked) {
  InstallDocumentRendererHooks();
  const std::string table = "Table\n\tP\t1\t2\n\tQ\t3\t4\n\tS\ta\tb\nEndOfTable;\n";
  auto d = Expanded(table + "Expr vector(P,Q,P),'label'=S;\n");
  ASSERT_TRUE(d);
  EXPECT_TRUE(RenderHooks::HasDataPlotSymbolsOrLabels(d.get()));
  const std::pair<const char*, bool> cases[] = {
      {"vector(P,Q,P),'symbol'=\"x\"", true}, {"vector(P,Q,P)", false}, {"vector(P,Q),'label'=S", false}};
  for (const auto& [expr, marked] : cases) {
    auto other = Expanded(table + "Expr " + expr + ";\n");
    ASSERT_TRUE(other);
    EXPECT_EQ(RenderHooks::HasDataPlotSymbolsOrLabels(other.get()), marked) << expr;
  }
}

// Each expansion frees the last one's trees as it replaces them: fifty more
// expansions take no more counted memory than the second had, give or take
// the few hundred bytes an expansion thread still ending may hold. Trees
// kept by each would take chunk after chunk.
TEST_F(DocumentExpansion, ExpansionsOneAfterAnotherKeepNothingOfTheLast) {
  auto d = Expanded(
      "Expr 'f'(x) = x^2 + 1;\nExpr a = 3;\nExpr y = 'f'(a*x) + a;\nExpr 'f'(2) + 3;\n"
      "Table\n\tx\t1\t2\n\ty = 'f'(x) + a\t0\nEndOfTable;\n");
  ASSERT_TRUE(d && AwaitResults(d.get()));
  const auto again = [&d] {
    InvalExprs(d.get());
    return AwaitExpansion(d.get()) && AwaitResults(d.get());
  };
  // The threads of the expansion and the results keep freed node blocks in
  // their side's store for the next ones: a bounded store (about 20 KB here,
  // up and down from round to round; none under the sanitizers). A leak
  // grows with every round.
  for (int round = 0; round < 10; ++round) ASSERT_TRUE(again());
  const int64_t settled = CountedMemory();
  for (int round = 0; round < 50; ++round) ASSERT_TRUE(again());
  constexpr int64_t kKeptBlocksAndAThreadStillEnding = 36 * 1024;
  // Each compute thread sets up its own state once, whenever it first gets
  // work: 29 KB more on eight processors than on four.
  const int64_t kOnceAThread = 4096 * (int64_t(std::thread::hardware_concurrency()) + 4);
  EXPECT_LE(CountedMemory(), settled + kKeptBlocksAndAThreadStillEnding + kOnceAThread);
  EXPECT_EQ(ExpandedText(d.get(), 2), Reparsed("y = (3*x)^2 + 1 + 3"));
}

}  // namespace
