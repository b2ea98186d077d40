// What the compiler asks about the loops around a node, kept up to date
// step by step, against the walks to the root that answered it before:
// at every node of every subtree, started anywhere in the tree (a hoisted
// subtree compiles apart from its tree).

#include "tests/evaluation/CompilerTestSupport.h"
#include "tests/evaluation/RandomFormulas.h"
#include "document/DocumentReading.h"
#include "document/DocumentRecord.h"
#include "evaluation/compiler/LoopContext.h"
#include "evaluation/compiler/StackMachineRewriting.h"
#include "expression/NumericComputability.h"
#include "expression/TreeComparison.h"
#include "expression/TreeWalking.h"

namespace {

bool IsLoop(const ExpressionRecord* node) {
  return node->opcode == kOpPreparedSum || node->opcode == kOpPreparedProduct;
}

bool WalkedInLoop(const ExpressionRecord* node, DocumentRecord* document) {
  for (const ExpressionRecord* a = node->parent; a != nullptr; a = a->parent) {
    if (IsLoop(a) || IsScalarDataOpcode(a->opcode) || IsDataMinMax(const_cast<ExpressionRecord*>(a), document))
      return true;
  }
  return false;
}

bool Reads(const ExpressionRecord* node, const ExpressionRecord* index) {
  if (index->opcode == kOpAtom) return DIM_Contains(node, index->payload.id);
  auto* root = const_cast<ExpressionRecord*>(node);
  for (ExpressionRecord* n = root; n != nullptr; n = NextTopDownWithin(n, root)) {
    if (MATH_Equal(n, index)) return true;
  }
  return false;
}

bool WalkedReadsNoIndex(const ExpressionRecord* node) {
  for (const ExpressionRecord* a = node->parent; a != nullptr; a = a->parent) {
    if (HasLoopRange(a) && Reads(node, LoopRangeIndex(a))) return false;
  }
  return true;
}

bool WalkedNamesBodyIndex(const ExpressionRecord* node) {
  const ExpressionRecord* child = node;
  for (const ExpressionRecord* a = node->parent; a != nullptr; child = a, a = a->parent) {
    if (HasLoopRange(a) && a->operands[2] == child && MATH_Equal(LoopRangeIndex(a), node)) return true;
  }
  return false;
}

struct Checker {
  DocumentRecord* document;
  const std::string& text;
  LoopContext loops;
  int inLoop = 0;
  int readsIndex = 0;
  int namesIndex = 0;

  void Check(const ExpressionRecord* node) {
    const bool walkedInLoop = WalkedInLoop(node, document);
    const bool walkedNoIndex = WalkedReadsNoIndex(node);
    const bool walkedNames = WalkedNamesBodyIndex(node);
    inLoop += walkedInLoop;
    readsIndex += !walkedNoIndex;
    namesIndex += walkedNames;
    EXPECT_EQ(loops.InLoop(), walkedInLoop) << text << " at kind " << node->opcode;
    EXPECT_EQ(loops.ReadsNoIndex(node), walkedNoIndex) << text << " at kind " << node->opcode;
    EXPECT_EQ(loops.NamesBodyIndex(node), walkedNames) << text << " at kind " << node->opcode;
  }

  // Down into the first operand, across to the others, up at the end: the
  // compiler's steps, with a check at every node.
  void Visit(const ExpressionRecord* node) {
    Check(node);
    for (int32_t i = 0; i < node->operandCount; ++i) {
      if (i == 0) {
        loops.Down(node, 0);
      } else {
        loops.Across(node, i);
      }
      Visit(node->operands[i]);
    }
    if (node->operandCount > 0) loops.Up(node);
  }

  void FromEveryNode(ExpressionRecord* root) {
    for (ExpressionRecord* n = root; n != nullptr; n = NextTopDownWithin(n, root)) {
      loops.Start(n, document);
      Visit(n);
    }
  }
};

std::unique_ptr<DocumentRecord> DocumentWithTables() {
  constexpr char text[] =
      "Zentrolabworksheet 4;\nExpr k = slider(0, 10, 20);\n"
      "Table\n\ta\t1\t2\t5\nEndOfTable;\nTable\n\tb\t3\t4\t6\nEndOfTable;\n";
  return ReadDocumentText(text, int32_t(sizeof text - 1));
}

const std::vector<std::string> kLoopSettings = {
    // Sums inside loops inside sums, each reading some of the indices.
    "sum(product(sum(i * j + k, i = 1, j) + j, j = 1, k) + sin(k), k = 1, 3)",
    // An index read where it is not yet bound: its start and bound.
    "sum(j + sum(j * i, i = j, j + 2), j = j, 3) + j",
    "sum(j * 2, j = 1, j + 2) + sum(sum(i + j, i = i, i * j), j = 1, sin(j))",
    // The same index side by side, and one shadowing another's letter.
    "sum(j, j = 1, 2) + sum(j ^ 2, j = 1, 3) + sum(sum(j, j = 1, 2), j = 1, 3)",
    // Subscripted indices.
    "sum(k_1 + sum(k_1 * k_2, k_2 = 1, 2), k_1 = 1, 3) + k_1",
    // Nests around loops and inside them.
    "sin(sin(sin(sum(cos(cos(cos(j + x))) + cos(cos(x)), j = 1, 3))))",
    "sum(sin(sin(sin(product(sin(sin(j * i)), i = 1, 2)))), j = 1, 4)",
    // Statistics and minima over table data are loops over rows.
    "mean(a * sum(j * b, j = 1, 2)) + max(a + x) + min(a, a > 1) + sum(mean(b * j), j = 1, 2)",
    "max(x, y) + min(2, 3) + count(a) + sum(sin(sin(a)))",
};

}  // namespace

TEST(LoopContext, LoopsInsideLoopsShadowingAndNestsAgreeWithTheWalks) {
  auto document = DocumentWithTables();
  ASSERT_TRUE(document);
  int inLoop = 0, readsIndex = 0, namesIndex = 0;
  for (const std::string& text : kLoopSettings) {
    for (DocumentRecord* d : {document.get(), static_cast<DocumentRecord*>(nullptr)}) {
      Tree tree = Prepared(text, d);
      ASSERT_TRUE(tree) << text;
      Checker checker{d, text, {}};
      checker.FromEveryNode(tree.get());
      inLoop += checker.inLoop;
      readsIndex += checker.readsIndex;
      namesIndex += checker.namesIndex;
    }
  }
  // Each answer is met both ways, so none passes by being constant.
  EXPECT_GT(inLoop, 100);
  EXPECT_GT(readsIndex, 100);
  EXPECT_GT(namesIndex, 50);
}

TEST(LoopContext, RandomFormulasWithLoopsAgreeWithTheWalks) {
  auto document = DocumentWithTables();
  ASSERT_TRUE(document);
  FormulaMaker maker(97);
  int namesIndex = 0;
  for (int i = 0; i < 600; ++i) {
    if (i % 40 == 0) maker.NewPool();
    const std::string text = "sum(" + maker.Make(4, "j") + ", j = 1, 3) + " + maker.Make(4, "");
    DocumentRecord* d = i % 2 ? document.get() : nullptr;
    Tree tree = Prepared(text, d);
    if (!tree) continue;
    Checker checker{d, text, {}};
    checker.FromEveryNode(tree.get());
    namesIndex += checker.namesIndex;
  }
  EXPECT_GT(namesIndex, 500);
}
