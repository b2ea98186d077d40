#include <cmath>
#include <memory>
#include <string>

#include "AnExpressionTestSupport.h"
#include "document/DocumentReading.h"
#include "document/DocumentRecord.h"
#include "evaluation/ExpressionQueries.h"
#include "evaluation/StackMachine.h"

namespace {

std::string Coefficients(bool found, const A4Vector& v) {
  if (!found) return "no";
  char out[96];
  std::snprintf(out, sizeof out, "%g %g %g %g", v.a + 0.0, v.b + 0.0, v.c + 0.0, v.d + 0.0);
  return out;
}

// The linear form of a formula as IsLinear sees it after the rewriting
// for the stack machine; "no" when it is not linear.
std::string Linear(const std::string& text) {
  A4Vector v{};
  const bool found = IsLinear(MakeExpression(text)->Tree(), nullptr, &v);
  return Coefficients(found, v);
}

std::string Plane(const std::string& text) {
  A4Vector v{};
  const bool found = MakeExpression(text)->DoesExprDefinePlane(&v);
  return Coefficients(found, v);
}

std::u16string Text(const UniChar* text) { return text == nullptr ? u"<null>" : std::u16string(text); }

}  // namespace

TEST(ExpressionQueries, LinearFormsOfSumsProductsAndQuotients) {
  EXPECT_EQ(Linear("2 * x + 3 * y - z + 4"), "2 3 -1 4");
  EXPECT_EQ(Linear("(x + y) / 2"), "0.5 0.5 0 0");
  EXPECT_EQ(Linear("2 * 3 * x"), "6 0 0 0");
  EXPECT_EQ(Linear("x * 2"), "2 0 0 0");
  EXPECT_EQ(Linear("-(x - sqrt(4) * z)"), "-1 0 2 0");
  EXPECT_EQ(Linear("x / (1 - 1)"), "no");
  EXPECT_EQ(Linear("x * y"), "no");
  EXPECT_EQ(Linear("x / y"), "no");
  EXPECT_EQ(Linear("u + x"), "no");
  EXPECT_EQ(Linear("sin(x)"), "no");
}

TEST(ExpressionQueries, InequalitiesBetweenLinearSidesDefinePlanes) {
  EXPECT_EQ(Plane("z < x + 1"), "1 0 -1 1");
  EXPECT_EQ(Plane("x > 0"), "1 0 0 0");
  EXPECT_EQ(Plane("geq(2 * y, x - 3)"), "-1 2 0 3");
  EXPECT_EQ(Plane("leq(2 * y, x - 3)"), "1 -2 0 -3");
  EXPECT_EQ(Plane("x = 1"), "no");
  EXPECT_EQ(Plane("x ^ 2 < 1"), "no");
  EXPECT_EQ(Plane("x < y < z"), "no");
}

TEST(ExpressionQueries, AnalyticDerivativesAndOperatorSearch) {
  EXPECT_FALSE(MakeExpression("min(x, 1)")->HasAnalyticDerivative());
  EXPECT_FALSE(MakeExpression("'f'(x) + 1")->HasAnalyticDerivative());
  EXPECT_FALSE(MakeExpression("product(x + j, j = 1, 3)")->HasAnalyticDerivative());
  EXPECT_TRUE(MakeExpression("sin(x) * sum(x ^ j, j = 1, 3)")->HasAnalyticDerivative());
  auto e = MakeExpression("sin(x) + y");
  EXPECT_TRUE(ContainsOpcode(e->Tree(), kOpSin));
  EXPECT_FALSE(ContainsOpcode(e->Tree(), kOpCos));
  EXPECT_EQ(e->CreateDerivativeExpr('x'), nullptr);
}

TEST(ExpressionQueries, ContainsReducesLargeIdsAndReplaceAtomsRenames) {
  auto e = MakeExpression("x + y");
  EXPECT_TRUE(e->Contains(65536 + 'x'));
  EXPECT_FALSE(e->Contains('z'));
  e->ReplaceAtoms('x', 'z');
  EXPECT_TRUE(e->Contains('z'));
  EXPECT_FALSE(e->Contains('x'));
  std::unique_ptr<AnExpression> copy(e->CreateCopy());
  EXPECT_EQ(copy->PointMachine(), nullptr);
  AnExpression::Compile(copy.get());
  EXPECT_DOUBLE_EQ(copy->Evaluate(0, 0, 0, 2, 5, 0), 7.0);
}

TEST(ExpressionQueries, StringsComeFromStringFormulasAndTextColumns) {
  constexpr char text[] =
      "Zentrolabworksheet 4;\nTable\n\tS\tapple\tpear\nEndOfTable;\nTable\n\tU\t1\t2\nEndOfTable;\n";
  auto document = ReadDocumentText(text, int32_t(sizeof text - 1));
  ASSERT_TRUE(document);
  // Rows count from 1, as the built-in row variable does.
  EXPECT_EQ(Text(MakeExpression("S", document.get())->EvaluateAsString(1)), u"apple");
  EXPECT_EQ(Text(MakeExpression("S", document.get())->EvaluateAsString(2)), u"pear");
  EXPECT_EQ(Text(MakeExpression("S", document.get())->EvaluateAsString(5)), u"<null>");
  EXPECT_EQ(Text(MakeExpression("\"hello\"")->EvaluateAsString(0)), u"hello");
  EXPECT_EQ(Text(MakeExpression("12")->EvaluateAsString(0)), u"<null>");
  EXPECT_EQ(Text(MakeExpression("x")->EvaluateAsString(0)), u"<null>");
}

TEST(ExpressionQueries, VertexListsSplitIntoCompiledComponents) {
  auto list = MakeExpression("matrix(4, 1, 1, 2, 3, u + 4), matrix(1, 5, 5, 6, 7, 8 * i, 9)");
  AnExpression** components = nullptr;
  int32_t count = 0;
  list->ExtractVertexListVectorComponents(&components, &count);
  ASSERT_EQ(count, 2);
  ASSERT_NE(components, nullptr);
  EXPECT_DOUBLE_EQ(components[3]->Evaluate(1.0), 5.0);
  // The second vertex's components share the complex type of its fourth.
  EXPECT_EQ(components[4]->PointMachine()->fComplex, 1);
  EXPECT_EQ(components[0]->PointMachine()->fComplex, 0);
  EXPECT_DOUBLE_EQ(components[6]->Evaluate(0.0), 7.0);
  EXPECT_TRUE(std::isnan(components[7]->Evaluate(0.0)));
  for (int32_t i = 0; i < 4 * count; ++i) delete components[i];
  delete[] components;

  auto shortVector = MakeExpression("matrix(4, 1, 1, 2, 3, 4), matrix(3, 1, 1, 2, 3)");
  shortVector->ExtractVertexListVectorComponents(&components, &count);
  EXPECT_EQ(count, 0);
  EXPECT_EQ(components, nullptr);
}
