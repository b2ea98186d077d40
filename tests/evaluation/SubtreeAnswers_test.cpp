// The answers worked out for every subtree in one pass must be the ones the
// full walks give when asked about each subtree on its own, in every
// setting that reaches the stop of the walks: sums binding their index
// (the slider's letter among them), function names, table headings under
// statistics, subscripts, strings, in a document and without one.

#include "CompilerTestSupport.h"
#include "RandomFormulas.h"
#include "document/DocumentFunctionList.h"
#include "document/DocumentReading.h"
#include "document/DocumentRecord.h"
#include "expression/NumericComputability.h"
#include "expression/SubtreeAnswers.h"
#include "expression/TreeComputability.h"
#include "expression/TreeWalking.h"

namespace {

std::unique_ptr<DocumentRecord> DocumentWithEverything() {
  constexpr char text[] =
      "Zentrolabworksheet 4;\nExpr k = slider(0, 10, 20);\n"
      "Table\n\ta\t1\t2\t5\nEndOfTable;\nTable\n\tb\t3\t4\t6\nEndOfTable;\n"
      "Table\n\tS\tapple\tpear\nEndOfTable;\n";
  auto document = ReadDocumentText(text, int32_t(sizeof text - 1));
  if (document) {
    AddDocumentFunction(document.get(), Definition("'f'(x) = x ^ 2", "x"));
    CompileDocumentFunctionList(document.get());
  }
  return document;
}

// Every subtree of the prepared formula, asked both ways; the count of
// subtrees found constant, so that a run that never meets one is seen.
int ExpectSameAnswers(const std::string& text, DocumentRecord* document) {
  Tree tree = Prepared(text, document);
  if (!tree) return 0;
  SubtreeAnswers answers;
  answers.Build(tree.get(), document);
  int constant = 0;
  for (ExpressionRecord* n = tree.get(); n != nullptr; n = NextTopDownWithin(n, tree.get())) {
    const bool numeric = DIM_EvalsToNumAllowingParameters(n, document);
    constant += numeric;
    EXPECT_EQ(answers.IsNumeric(n), numeric) << text << " at node kind " << n->opcode;
    EXPECT_EQ(answers.ReferencesTableData(n), ExprReferencesTableData(n, document))
        << text << " at node kind " << n->opcode;
  }
  return constant;
}

const std::vector<std::string> kSettings = {
    "sum(sin(j * 2) + j, j = 1, 3) + sum(k * j, k = 1, j)",
    "sum(sum(j * k + e ^ 2, j = 1, k), k = 1, 3) + sum(k, j = 1, 2)",
    "sum(product(i + 2, i = 1, j), j = 1, 2) + i",
    "sum(k + pi, k = 1, 4) + k * 2",
    "'f'(2) + 'f'(x) + sin('f'(3 + pi)) + 'g'(2) + f",
    "sum('f'(j) + 1, j = 1, 3)",
    "mean(a) + sum(a * 2) + max(a) + min(a, a > 1) + count(b) + a_1 + b_2 * 3",
    "sum(mean(a * j) + a * j, j = 1, 3) + sin(sin(mean(b) + 2))",
    "interpolate(a, b, 2) + interpolate(a, b, x) + a + 2 * b",
    "S = \"pear\" + (2 < 3) + if(2, 1 > 0)",
    "sin(sin(sin(sin(a_1 + 2)))) + cos(cos(cos(j)))",
    "sum(sin(sin(sin(j + a_1))), j = 1, 3) + sum(sin(sin(a + j)), j = 1, 2)",
};

}  // namespace

TEST(SubtreeAnswers, EverySettingAgreesWithTheFullWalks) {
  auto document = DocumentWithEverything();
  ASSERT_TRUE(document);
  int constant = 0;
  for (const std::string& text : kSettings) {
    constant += ExpectSameAnswers(text, document.get());
    constant += ExpectSameAnswers(text, nullptr);
  }
  EXPECT_GT(constant, 100);
  ClearDocumentFunctions(document.get());
}

TEST(SubtreeAnswers, RandomFormulasAgreeWithTheFullWalks) {
  auto document = DocumentWithEverything();
  ASSERT_TRUE(document);
  FormulaMaker maker(71);
  int constant = 0;
  for (int i = 0; i < 1500; ++i) {
    if (i % 50 == 0) maker.NewPool();
    const std::string formula = maker.Make(5, "");
    constant += ExpectSameAnswers(formula, i % 2 ? document.get() : nullptr);
    if (i % 3 == 0) {
      constant += ExpectSameAnswers("mean(a * " + formula + ") + 'f'(" + formula + ")", document.get());
      constant += ExpectSameAnswers("sum(" + formula + " + a_1, k = 1, 3)", document.get());
    }
  }
  EXPECT_GT(constant, 1000);
  ClearDocumentFunctions(document.get());
}

// A tree whose parent links disagree with its operands ends the walk from
// the leaves early: the full walks answer then.
TEST(SubtreeAnswers, ADamagedTreeIsLeftToTheFullWalks) {
  Tree tree = Prepared("sin(2 + 3) + cos(4)");
  ASSERT_TRUE(tree);
  ExpressionRecord* sine = tree->operands[0];
  ExpressionRecord* holder = sine->parent;
  sine->parent = nullptr;
  SubtreeAnswers answers;
  answers.Build(tree.get(), nullptr);
  sine->parent = holder;
  EXPECT_TRUE(answers.IsNumeric(tree.get()));
  EXPECT_TRUE(answers.IsNumeric(sine));
}
