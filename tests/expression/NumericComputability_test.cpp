#include "ParserTestSupport.h"

#include "document/DocumentFunctionList.h"
#include "document/DocumentReading.h"
#include "document/DocumentRecord.h"
#include "expression/NumericComputability.h"
#include "expression/SymbolTable.h"
#include "expression/TreeBuilding.h"
#include "expression/TreeShorthands.h"
#include "expression/TreeComputability.h"
#include "expression/TreeWalking.h"

#include <gtest/gtest.h>

#include <functional>
#include <tuple>

namespace {

// Column T has 4 rows, column U 2; M is a 2-by-3 matrix table. p is a point
// of complex constants, q a real point, k a math-pane slider; f is a
// function of the document; the window slider drives n.
constexpr char kComputabilityDocument[] =
    "Zentrolabworksheet 4;\n"
    "Table\n\tT\t1\t2\t3\t4\n\tU\t5\t6\nEndOfTable;\n"
    "Table\n\tM\t1\t4\n\t\t2\t5\n\t\t3\t9\nEndOfTable;\n"
    "Expr p = 1 - 2*i;\nExpr q = 3;\nExpr k = slider(2, 4, 10);\nExpr 'f' (a) = 2*a;\n";

class Computability : public testing::Test {
 protected:
  void SetUp() override {
    document = ReadDocumentText(kComputabilityDocument, int32_t(sizeof kComputabilityDocument - 1));
    ASSERT_TRUE(document);
    // As the expansion of definitions (not built yet) would: f in the
    // document's function list, its parameter a made a placeholder.
    AddDocumentFunction(Doc(), Definition("'f'(a) = 2*a", "a"));
  }
  DocumentRecord* Doc() { return document.get(); }

  // The first node of the tree, in pre-order, that the test picks.
  static ExpressionRecord* Find(ExpressionRecord* tree, const std::function<bool(ExpressionRecord*)>& pick) {
    for (ExpressionRecord* n = tree; n; n = NextTopDownWithin(n, tree))
      if (pick(n)) return n;
    return nullptr;
  }
  static ExpressionRecord* FindKind(ExpressionRecord* tree, OpCodeT kind) {
    return Find(tree, [kind](ExpressionRecord* n) { return n->opcode == kind; });
  }
  static ExpressionRecord* FindAtom(ExpressionRecord* tree, int32_t id) {
    return Find(tree, [id](ExpressionRecord* n) { return n->opcode == kOpAtom && n->payload.id == id; });
  }
  bool Can(ExpressionRecord* node, int32_t flags, ExpressionRecord* stop = nullptr) {
    EXPECT_TRUE(node);
    return node && CanComputeNumerically(node, Doc(), flags, stop);
  }

  std::unique_ptr<DocumentRecord> document;
};

constexpr int32_t kAllFlags = 255;

struct Case {
  const char* text;
  bool expected;
};

void ExpectAll(const std::vector<Case>& cases, const std::function<bool(ExpressionRecord*)>& question) {
  for (const Case& c : cases) {
    Tree tree = Parse(c.text);
    ASSERT_TRUE(tree) << c.text;
    EXPECT_EQ(question(tree.get()), c.expected) << c.text;
  }
}

TEST_F(Computability, NumericKindsAndPromptsComeFirst) {
  Tree sum = Parse("x + ?");
  EXPECT_TRUE(Can(sum.get(), 0));  // its operands are asked separately
  EXPECT_FALSE(Can(FindKind(sum.get(), kOpPrompt), kAllFlags));
}

TEST_F(Computability, ConstantsAndTheImaginaryUnit) {
  Tree tree = Parse("e + pi + degree + i");
  for (int32_t id : {int32_t('e'), 1, 5, int32_t('i')}) EXPECT_TRUE(Can(FindAtom(tree.get(), id), 0)) << id;
  Tree sum = Parse("sum(i, i = 1, 3)");
  ExpressionRecord* index = FindAtom(sum.get(), 'i');
  EXPECT_FALSE(Can(index, 0));  // bound, not the imaginary unit
  EXPECT_TRUE(Can(index, kAllowSummationIndices));
  Tree dummy(Dummy(7));
  EXPECT_TRUE(Can(dummy.get(), 0));
}

TEST_F(Computability, DocumentCallsDecideBeforeAtomFlags) {
  Tree known = Parse("'f' (2)");
  Tree unknown = Parse("'g' (2)");
  EXPECT_TRUE(Can(known.get(), 0));
  EXPECT_TRUE(Can(FindAtom(known.get(), 'f'), 0));
  EXPECT_FALSE(Can(unknown.get(), kAllFlags));
  EXPECT_FALSE(Can(FindAtom(unknown.get(), 'g'), kAllowAllAtoms));
  // The head as stop is no call: the atom flag then accepts it.
  EXPECT_TRUE(Can(FindAtom(unknown.get(), 'g'), kAllowAllAtoms, FindAtom(unknown.get(), 'g')));
  // A subscripted head: the answer is the indexes node's.
  Tree subscripted(NewBinop(kOpFunction, Sub(Atomic('g'), Number(1)), Number(2)));
  EXPECT_FALSE(Can(FindAtom(subscripted.get(), 'g'), kAllowAllAtoms));
}

TEST_F(Computability, PartialOfAVariableNeedsItsFlag) {
  Tree tree(NewBinop(kOpFunction, NewUnop(kOpOpPartial, Atomic('x')), Atomic('y')));
  ExpressionRecord* partial = tree->operands[0];
  EXPECT_TRUE(Can(partial, kAllowPartialOfVariable));
  EXPECT_FALSE(Can(partial, kAllowListsComparisonsAndAtoms | kAllowConditions));
}

TEST_F(Computability, SummationsWithTheirFlag) {
  Tree tree = Parse("sum(j^2, j = 1, 3)");
  ExpressionRecord* equation = FindKind(tree.get(), kOpEquals);
  EXPECT_TRUE(Can(tree.get(), kAllowSummationIndices));
  EXPECT_TRUE(Can(equation, kAllowSummationIndices));
  EXPECT_TRUE(Can(FindAtom(tree.get(), 'j'), kAllowSummationIndices));
  EXPECT_FALSE(Can(tree.get(), 0));
  EXPECT_FALSE(Can(FindAtom(tree.get(), 'j'), 0));
  // A stop at the sum: the sum no longer binds its index.
  EXPECT_FALSE(Can(FindAtom(tree.get(), 'j'), kAllowSummationIndices, tree.get()));
}

// (j = 1, 3, j + 1) as the preparation for the stack machine lays it out.
ExpressionRecord* PreparedSum() {
  return NewTrinop(kOpPreparedSum, NewBinop(kOpEquals, Atomic('j'), Number(1)), Number(3),
                   NewBinop(kOpPlus, Atomic('j'), Number(1)));
}

TEST_F(Computability, PreparedSumsBindWithoutFlags) {
  Tree tree(PreparedSum());
  ExpressionRecord* term = tree->operands[2];
  ExpressionRecord* index = term->operands[0];
  EXPECT_TRUE(Can(tree.get(), 0));
  EXPECT_TRUE(Can(tree->operands[0], 0));
  EXPECT_TRUE(Can(index, 0));
  // Stop met on the way up: refused, even where the atom flag would accept.
  EXPECT_FALSE(Can(index, kAllowAllAtoms, term));
  EXPECT_FALSE(Can(index, kAllowAllAtoms, tree.get()));
  // x is a coordinate name: never bound, left to the later rules.
  Tree coordinate(NewTrinop(kOpPreparedSum, NewBinop(kOpEquals, Atomic('x'), Number(1)), Number(3), Atomic('x')));
  EXPECT_FALSE(Can(coordinate->operands[2], 0));
  EXPECT_TRUE(Can(coordinate->operands[2], kAllowAllAtoms));
}

TEST_F(Computability, ParametersDecideBeforeAtomFlags) {
  Tree tree = Parse("ldots + alpha + x + T + Mean(T) + a_2 + a_2.5");
  EXPECT_FALSE(Can(FindAtom(tree.get(), 6), kAllowParameters | kAllowAllAtoms));
  EXPECT_TRUE(Can(FindAtom(tree.get(), GetVariableIDFromString("alpha")), kAllowParameters));
  EXPECT_FALSE(Can(FindAtom(tree.get(), 'x'), kAllowParameters));
  EXPECT_FALSE(Can(FindAtom(tree.get(), 'T'), kAllowParameters));  // a whole column
  EXPECT_TRUE(Can(FindAtom(tree.get(), 'T'), kAllowParameters | kAllowAllAtoms));
  ExpressionRecord* mean = FindKind(tree.get(), kOpDataMean);
  EXPECT_TRUE(Can(FindAtom(mean, 'T'), kAllowParameters));
  ExpressionRecord* whole = FindKind(tree.get(), kOpIndexes);
  EXPECT_TRUE(Can(whole, kAllowParameters));
  ExpressionRecord* fraction = NextOperand(whole);
  ASSERT_EQ(fraction->opcode, kOpIndexes);
  EXPECT_FALSE(Can(fraction, kAllowParameters));  // 2.5 is no row
  Tree column = Parse("U_2.5");                   // a column of the table, indexed later
  EXPECT_TRUE(Can(column.get(), 0));
  Tree compared = Parse("U = \"six\"");
  EXPECT_TRUE(Can(FindKind(compared.get(), kOpString), kAllowParameters));
  EXPECT_FALSE(Can(FindKind(compared.get(), kOpString), 0));
}

TEST_F(Computability, ListsComparisonsAndConditions) {
  const std::vector<std::tuple<const char*, int32_t, bool>> cases = {{"1, 2", kAllowListsComparisonsAndAtoms, true},
                                                                     {"1, 2", kAllowConditions, false},
                                                                     {"1 < 2", kAllowConditions, true},
                                                                     {"1 < 2", kAllowConditionsToo, true},
                                                                     {"1 < 2", kAllowAllAtoms, false},
                                                                     {"x", kAllowAllAtoms, true},
                                                                     {"x", kAllowAllAtomsToo, true},
                                                                     {"x", kAllowConditions, false}};
  for (const auto& [text, flags, expected] : cases)
    EXPECT_EQ(Can(Parse(text).get(), flags), expected) << text << " " << flags;
}

TEST_F(Computability, ConditionsInsideWhatConsumesThem) {
  Tree condition(NewBinop(kOpIf, Number(1), NewBinop(kOpLess, Atomic('x'), Number(2))));
  EXPECT_TRUE(Can(condition->operands[1], 0));
  Tree wrongSide(NewBinop(kOpIf, NewBinop(kOpLess, Atomic('x'), Number(2)), Number(1)));
  EXPECT_FALSE(Can(wrongSide->operands[0], 0));
  Tree restricted = Parse("Sum(T, T > 2)");
  EXPECT_TRUE(Can(FindKind(restricted.get(), kOpGreater), 0));
  Tree bare = Parse("T > 2");
  EXPECT_FALSE(Can(bare.get(), 0));
}

TEST_F(Computability, ListsByWhatTakesThem) {
  ExpectAll({{"clamp(x, 0, 1)", true},
             {"clamp(x, 0)", false},
             {"mod(7, 3)", true},
             {"max(1, 2, 3, 4)", true},
             {"min((1, 2))", true}},
            [this](ExpressionRecord* t) { return Can(FindKind(t, kOpComma), 0); });
  ExpectAll({{"clamp(x, 0, 1)", true},
             {"clamp(x, 0)", false},
             {"mod(7, 3)", true},
             {"Interpolate(T, 0.5)", true},
             {"Interpolate(M, 0.5, 0.5)", true},
             {"Interpolate(T, 0.5, 0.5)", false},
             {"T_2", true},
             {"a_2", false}},
            [this](ExpressionRecord* t) { return Can(t, 0); });
}

TEST_F(Computability, StatisticsAndTableReferences) {
  Tree min = Parse("min(T)");
  EXPECT_TRUE(IsDataMinMax(min.get(), Doc()));
  EXPECT_TRUE(ExprReferencesTableData(min->operands[0], Doc()));
  EXPECT_FALSE(ExprReferencesTableData(min.get(), Doc()));
  EXPECT_TRUE(ParentIsScalarStatisticalOperation(min->operands[0], nullptr, Doc()));
  EXPECT_FALSE(ParentIsScalarStatisticalOperation(min->operands[0], min->operands[0], Doc()));
  Tree plainMin = Parse("min(a)");
  EXPECT_FALSE(IsDataMinMax(plainMin.get(), Doc()));
  Tree sum = Parse("T + 1");
  EXPECT_TRUE(ExprReferencesTableData(sum.get(), Doc()));
  EXPECT_FALSE(ExprReferencesTableData(sum.get(), nullptr));
}

TEST_F(Computability, EvalsToNum) {
  ExpectAll({{"2 + 3", true},
             {"x + 1", false},
             {"pi * degree", true},
             {"?", false},
             {"sin(2)^2 + e", true},
             {"sum(j, j = 1, 3)", false},
             {"alpha + 1", false},
             {"'f' (3)", true},
             {"'g' (3)", false},
             {"1 < 2", false},
             {"clamp(2, 0, 1)", true},
             {"Mean(T) + 1", false},
             {"i*i", true}},
            [this](ExpressionRecord* t) { return DIM_EvalsToNum(t, Doc()); });
  EXPECT_FALSE(DIM_EvalsToNum(nullptr, Doc()));
}

TEST_F(Computability, EvalsToNumAllowingParameters) {
  ExpectAll({{"alpha + 1", true},
             {"x + 1", false},
             {"p * q + 1", true},
             {"ldots", false},
             {"1 < a", true},
             {"T + 1", false},
             {"Mean(T) / a", true},
             {"U_1 + 2", true},
             {"sum(j, j = 1, 3)", false},
             {"theta", false},
             {"n + 1", true},
             {"alpha", true}},
            [this](ExpressionRecord* t) { return DIM_EvalsToNumAllowingParameters(t, Doc()); });
}

TEST_F(Computability, EvalsToNumWithoutExpansion) {
  ExpectAll({{"sum(j, j = 1, 3)", true},
             {"interval(1, 2) + 1", true},
             {"n + 1", true},
             {"color", false},
             {"label + 1", false},
             {"alpha * 2", true},
             {"x", false},
             {"1 < a", true},
             {"product(j, j = 1, a)", true},
             {"t + 1", false},
             {"?", false}},
            [this](ExpressionRecord* t) { return DIM_EvalsToNumWithoutExpansion(t, Doc()); });
}

TEST_F(Computability, EvalsToNumForFloatReplace) {
  Tree whole = Parse("sum(j^2 + 1, j = 1, 3)");
  ExpressionRecord* term = whole->operands[0];
  // The term's j is bound by the sum around it, unless the sum lies at or
  // above the enclosing tree.
  EXPECT_TRUE(DIM_EvalsToNumForFloatReplace(term, nullptr, Doc()));
  EXPECT_FALSE(DIM_EvalsToNumForFloatReplace(term, term, Doc()));
  EXPECT_FALSE(DIM_EvalsToNumForFloatReplace(term, whole.get(), Doc()));
  ExpectAll({{"2 + 3", true},
             {"interval(1, 2)", true},
             {"alpha", false},
             {"x^2", false},
             {"sum(j, j = 1, 3)", true},
             {"cos(pi)", true},
             {"1, 2", false},
             {"?", false},
             {"'f' (1)", true},
             {"3!", true}},
            [this](ExpressionRecord* t) { return DIM_EvalsToNumForFloatReplace(t, nullptr, Doc()); });
}

TEST_F(Computability, ComplexArithmeticIsAskedOfTheWholeTree) {
  ExpectAll({{"1 + i", true},
             {"sum(i, i = 1, 3)", false},
             {"sum(i, i = 1, 3) + i", true},
             {"arg(2)", true},
             {"Re(2)", true},
             {"overline(2)", true},
             {"2 + 3", false},
             {"p", true},
             {"p + 1", true},
             {"1 + p", true},
             {"q + 1", false},
             {"k + 1", false},
             {"sin(p) * 2", true}},
            [this](ExpressionRecord* t) { return DIM_Complex(t, Doc()); });
  Tree tree = Parse("p + 1");
  EXPECT_FALSE(DIM_Complex(tree.get(), nullptr));
}

TEST_F(Computability, TableDataSize) {
  ExpectAll({{"2 + x", false},
             {"T", true},
             {"U + 1", true},
             {"T + U", true},
             {"Mean(U) * T", true},
             {"M", true},
             {"alpha", false},
             {"sin(U)", true},
             {"p", false},
             {"?", false}},
            [this](ExpressionRecord* t) { return GetTableDataSize(t, Doc()) > 0; });
  const std::vector<std::pair<const char*, int32_t>> sizes = {{"T", 4}, {"U + 1", 2}, {"U * T", 4}, {"M", 2}, {"x", 0}};
  for (const auto& [text, rows] : sizes) {
    Tree tree = Parse(text);
    EXPECT_EQ(GetTableDataSize(tree.get(), Doc()), rows) << text;
  }
  Tree tree = Parse("T");
  EXPECT_EQ(GetTableDataSize(tree.get(), nullptr), 0);
}

}  // namespace
