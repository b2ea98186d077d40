// The grid level of every subtree, worked out from the leaves up, against
// the walks of each subtree it replaces: subscripts whose base or index is
// a coordinate, coordinates that belong to no level, sums, parameters and
// table data, in a document and without one.

#include "tests/evaluation/CompilerTestSupport.h"
#include "tests/evaluation/RandomFormulas.h"
#include "document/DocumentReading.h"
#include "document/DocumentRecord.h"
#include "evaluation/grid/GridHoistLevels.h"
#include "evaluation/compiler/VariableRestriction.h"
#include "expression/TreeComparison.h"
#include "expression/TreeWalking.h"

namespace {

bool UsesOnly(ExpressionRecord* node, DocumentRecord* document, int32_t id) {
  return HasOnly(node, document, id, kNoAllowedVariable, kNoAllowedVariable, kNoAllowedVariable) &&
         DIM_Contains(node, id);
}

int32_t WalkedLevel(ExpressionRecord* node, DocumentRecord* document) {
  if (UsesOnly(node, document, 'u') || UsesOnly(node, document, 'x')) return 0;
  if (UsesOnly(node, document, 'v') || UsesOnly(node, document, 'y')) return 1;
  if (UsesOnly(node, document, 'z')) return 2;
  return -1;
}

// The levels met, so that a run meeting none of them is seen.
std::array<int, 4> ExpectSameLevels(const std::string& text, DocumentRecord* document) {
  std::array<int, 4> met{};
  Tree tree = Prepared(text, document);
  if (!tree) return met;
  GridHoistLevels levels;
  levels.Build(tree.get(), document);
  for (ExpressionRecord* n = tree.get(); n != nullptr; n = NextTopDownWithin(n, tree.get())) {
    const int32_t walked = WalkedLevel(n, document);
    ++met[size_t(walked + 1)];
    EXPECT_EQ(levels.LevelOf(n), walked) << text << " at kind " << n->opcode;
  }
  return met;
}

std::unique_ptr<DocumentRecord> DocumentWithTable() {
  constexpr char text[] = "Zentrolabworksheet 4;\nExpr k = slider(0, 10, 20);\nTable\n\ta\t1\t2\t5\nEndOfTable;\n";
  return ReadDocumentText(text, int32_t(sizeof text - 1));
}

}  // namespace

TEST(GridHoistLevels, EverySubtreeAgreesWithTheWalks) {
  auto document = DocumentWithTable();
  ASSERT_TRUE(document);
  const std::vector<std::string> settings = {
      "sin(sin(sin(x * y))) + cos(cos(u + v)) + x_1 * sin(x) + a_x + sin(z * 2) + exp(y) * sin(x)",
      "sum(sin(x * j) + sin(y) + sin(x), j = 1, 3) + sin(sin(z)) * cos(w) + t + r * sin(x) + theta * phi",
      "sin(x + y + z) + x * y * z + sin(x) * sin(y) + sin(v) * sin(u) + k * x + sum(a) * y + a * z",
      "x_1 * y + sin(y_2) * u + x_y + y_x + z_1 + sin(u_v) * v + mean(a * x) + n * pi + sqrt(x, 3) + log(y, 2)",
  };
  std::array<int, 4> met{};
  for (const std::string& text : settings) {
    for (DocumentRecord* d : {document.get(), static_cast<DocumentRecord*>(nullptr)}) {
      const std::array<int, 4> m = ExpectSameLevels(text, d);
      for (size_t i = 0; i < met.size(); ++i) met[i] += m[i];
    }
  }
  for (size_t i = 0; i < met.size(); ++i) EXPECT_GT(met[i], 10) << "level " << int(i) - 1;
}

TEST(GridHoistLevels, RandomFormulasAgreeWithTheWalks) {
  auto document = DocumentWithTable();
  ASSERT_TRUE(document);
  FormulaMaker maker(131);
  std::array<int, 4> met{};
  for (int i = 0; i < 1500; ++i) {
    if (i % 50 == 0) maker.NewPool();
    const std::array<int, 4> m = ExpectSameLevels(maker.Make(5, ""), i % 2 ? document.get() : nullptr);
    for (size_t j = 0; j < met.size(); ++j) met[j] += m[j];
  }
  for (size_t i = 0; i < met.size(); ++i) EXPECT_GT(met[i], 500) << "level " << int(i) - 1;
}
