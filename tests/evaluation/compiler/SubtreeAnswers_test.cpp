// The answers worked out for every subtree in one pass must be the ones the
// full walks give when asked about each subtree on its own, in every
// setting that reaches the stop of the walks: sums binding their index
// (the slider's letter among them), function names, table headings under
// statistics, subscripts, strings, in a document and without one.

#include "tests/evaluation/CompilerTestSupport.h"
#include "tests/evaluation/RandomFormulas.h"
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

// Every subtree of the prepared formula, asked both ways: top down, where
// a large tree has every subtree answered at its first question, and
// bottom up, where the short walks answer until one would walk too far.
// Returns the count of subtrees found constant, so that a run that never
// meets one is seen.
int ExpectSameAnswers(const std::string& text, DocumentRecord* document) {
  Tree tree = Prepared(text, document);
  if (!tree) return 0;
  std::vector<ExpressionRecord*> nodes;
  for (ExpressionRecord* n = tree.get(); n != nullptr; n = NextTopDownWithin(n, tree.get())) nodes.push_back(n);
  SubtreeAnswers topDown, bottomUp;
  topDown.Reset(tree.get(), document);
  bottomUp.Reset(tree.get(), document);
  int constant = 0;
  for (size_t i = 0; i < nodes.size(); ++i) {
    ExpressionRecord* n = nodes[i];
    ExpressionRecord* m = nodes[nodes.size() - 1 - i];
    const bool numeric = DIM_EvalsToNumAllowingParameters(n, document);
    constant += numeric;
    EXPECT_EQ(topDown.IsNumeric(n), numeric) << text << " at node kind " << n->opcode;
    EXPECT_EQ(topDown.ReferencesTableData(n), ExprReferencesTableData(n, document))
        << text << " at node kind " << n->opcode;
    EXPECT_EQ(bottomUp.IsNumeric(m), DIM_EvalsToNumAllowingParameters(m, document))
        << text << " at node kind " << m->opcode;
    EXPECT_EQ(bottomUp.ReferencesTableData(m), ExprReferencesTableData(m, document))
        << text << " at node kind " << m->opcode;
  }
  return constant;
}

std::string Nested(const std::string& inside, int depth) {
  std::string text;
  for (int i = 0; i < depth; ++i) text += i % 2 ? "sin(" : "(2 * ";
  return text + inside + std::string(size_t(depth), ')');
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
    for (const std::string& form : {text, Nested(text, 40)}) {
      constant += ExpectSameAnswers(form, document.get());
      constant += ExpectSameAnswers(form, nullptr);
    }
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
    if (i % 5 == 0) constant += ExpectSameAnswers(Nested(formula, 40), i % 2 ? document.get() : nullptr);
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
  Tree tree = Prepared(Nested("2 + 3", 60) + " + cos(4)");
  ASSERT_TRUE(tree);
  ExpressionRecord* inner = tree->operands[0];
  for (int i = 0; i < 30; ++i) inner = inner->operands[inner->operandCount - 1];
  ExpressionRecord* holder = inner->parent;
  inner->parent = nullptr;
  SubtreeAnswers answers;
  answers.Reset(tree.get(), nullptr);
  EXPECT_EQ(answers.IsNumeric(tree.get()), DIM_EvalsToNumAllowingParameters(tree.get(), nullptr));
  EXPECT_EQ(answers.IsNumeric(holder), DIM_EvalsToNumAllowingParameters(holder, nullptr));
  EXPECT_TRUE(answers.IsNumeric(tree->operands[0]));
  inner->parent = holder;
}
