#include <cmath>

#include "tests/evaluation/CompilerTestSupport.h"
#include "document/DocumentReading.h"
#include "document/DocumentRecord.h"
#include "expression/TreeComparison.h"

namespace {

std::string Shape(const ExpressionRecord* n) {
  if (n->opcode == kOpNumber) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", n->payload.number->value);
    return text;
  }
  if (n->opcode == kOpAtom) return std::string(1, static_cast<char>(n->payload.id));
  std::string out = std::to_string(n->opcode) + "(";
  for (int32_t i = 0; i < n->operandCount; ++i) out += (i ? "," : "") + Shape(n->operands[i]);
  return out + ")";
}

std::string PreparedShape(const std::string& text, DocumentRecord* document = nullptr) {
  return Shape(Prepared(text, document).get());
}

// Column T holds 0.1 three times, U the numbers 1 to 4.
constexpr char kTables[] =
    "Zentrolabworksheet 4;\n"
    "Table\n\tT\t0.1\t0.1\t0.1\nEndOfTable;\n"
    "Table\n\tU\t1\t2\t3\t4\nEndOfTable;\n";

}  // namespace

TEST(StackMachineRewriting, LiteralsFoldAndWrappersGo) {
  EXPECT_EQ(PreparedShape("-3"), "-3");
  EXPECT_EQ(PreparedShape("-x"), "4118(x)");
  EXPECT_EQ(PreparedShape("[x + 1] * 2"), "4102(4104(x,1),2)");
}

TEST(StackMachineRewriting, ArgumentListsBecomeOperandsAndConditionsAConjunction) {
  EXPECT_EQ(PreparedShape("min(a, b, c)"), "4179(a,b,c)");
  EXPECT_EQ(PreparedShape("Mean(x, x > 1, x < 3)"), "4184(x,8091(4110(x,1),4108(x,3)))");
  EXPECT_EQ(PreparedShape("Mean(x, x > 1)"), "4184(x,4110(x,1))");
  EXPECT_EQ(PreparedShape("Interpolate(x, a < b < c)"), "4194(x,4158(4104(b,4118(a)),4104(c,4118(a))))");
}

TEST(StackMachineRewriting, BoundedLoopsPutTheirRangeFirst) {
  EXPECT_EQ(PreparedShape("sum(j ^ 2, j = 1, 3)"), "8086(4105(j,1),3,4159(j,2))");
  EXPECT_EQ(PreparedShape("product(j, j = 1, 3)"), "8089(4105(j,1),3,j)");
  EXPECT_EQ(PreparedShape("sum(a, b, c)"), "4152(a,b,c)");
}

TEST(StackMachineRewriting, MixedChainsSplitIntoConjunctions) {
  EXPECT_EQ(PreparedShape("a < leq(b, c)"), "8091(4109(b,c),4108(a,b))");
  EXPECT_EQ(PreparedShape("leq(a, b < c, d)"), "8091(8091(4108(b,c),4109(c,d)),4109(a,b))");
  EXPECT_EQ(PreparedShape("geq(a, b, c > d, e, f)"),
            "8091(8091(8091(8091(4110(c,d),4111(d,e)),4111(b,c)),4111(e,f)),4111(a,b))");
  EXPECT_EQ(PreparedShape("a < (b > c)"), "4108(a,4110(b,c))");
  EXPECT_EQ(PreparedShape("(x = 1) < 2"), "4108(4105(x,1),2)");
}

TEST(StackMachineRewriting, ChainsEvaluateAsTheirConjunctions) {
  for (double b : {0.5, 1.0, 1.5, 2.0, 2.5}) {
    Compiled c = CompileText("1 < leq(x, 2)");
    std::vector<double> slots(16, 0.0);
    slots[3] = b;
    EXPECT_EQ(c.machine->Run(slots.data(), nullptr), (1 < b && b <= 2) ? 1.0 : 0.0) << b;
  }
}

TEST(StackMachineRewriting, PiecewiseDefinitionsBecomeNumberedCaseTables) {
  Tree tree = Prepared("branch(if(1, x < 0), if(2, x > 0), 3) + branch(if(4, y < 0), 5)");
  EXPECT_EQ(Shape(tree.get()),
            "4104(4176(8093(4108(x,0),1),8093(4110(x,0),2),8093(1,3)),4176(8093(4108(y,0),4),8093(1,5)))");
  EXPECT_EQ(tree->operands[0]->payload.branchNumber, 0);
  EXPECT_EQ(tree->operands[1]->payload.branchNumber, 1);
}

TEST(StackMachineRewriting, StandardDeviationIsTheTwoPassForm) {
  auto document = ReadDocumentText(kTables, int32_t(sizeof kTables - 1));
  ASSERT_TRUE(document);
  Tree stdDev = Prepared("StdDev(T)", document.get());
  Tree twoPass = Prepared("sqrt(Mean((T - Mean(T)) ^ 2))", document.get());
  EXPECT_TRUE(MATH_Equal(stdDev.get(), twoPass.get())) << Shape(stdDev.get());
  // Equal data: the one-pass form would take the root of a negative number.
  Compiled equal = CompileText("StdDev(T)", false, document.get());
  std::vector<double> slots(32, 0.0);
  const double spread = equal.machine->Run(slots.data(), nullptr);
  EXPECT_TRUE(spread >= 0 && spread < 1e-15) << spread;
  // Rows are numbered from 1: U is 1, 2, 3, 4.
  Compiled all = CompileText("StdDev(U) + 0 * Mean(U)", false, document.get());
  EXPECT_DOUBLE_EQ(all.machine->Run(slots.data(), nullptr), std::sqrt(1.25));
  Compiled counted = CompileText("StdDev(U, U > 1)", false, document.get());
  EXPECT_DOUBLE_EQ(counted.machine->Run(slots.data(), nullptr), std::sqrt(2.0 / 3.0));  // of 2, 3, 4
}

TEST(StackMachineRewriting, IndexingATableColumnReadsItsRow) {
  auto document = ReadDocumentText(kTables, int32_t(sizeof kTables - 1));
  ASSERT_TRUE(document);
  EXPECT_EQ(PreparedShape("U_3", document.get()), "8088(3,U)");
  Compiled c = CompileText("U_3 + 10 * U_(x) + 100 * Sum(U)", false, document.get());
  std::vector<double> slots(32, 0.0);
  slots[3] = 2;
  EXPECT_EQ(c.machine->Run(slots.data(), nullptr), 3.0 + 10 * 2.0 + 100 * 10.0);
}
