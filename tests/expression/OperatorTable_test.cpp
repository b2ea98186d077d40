#include "CoreUtilities/text/InternedStrings.h"
#include "expression/OperatorTable.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::vector<std::vector<std::string>> ReadCsv(const std::string& fileName) {
  std::ifstream in(std::string(ZL_TEST_DATA_DIR) + "/" + fileName);
  std::vector<std::vector<std::string>> rows;
  std::string line;
  std::getline(in, line);  // heading
  while (std::getline(in, line)) {
    std::vector<std::string> fields;
    std::stringstream stream(line);
    std::string field;
    while (std::getline(stream, field, ',')) fields.push_back(field);
    if (line.back() == ',') fields.emplace_back();
    rows.push_back(fields);
  }
  return rows;
}

const std::map<std::string, Typesetter> kHandlerNames = {
    {"num_", Typesetter::kNum},           {"prompt_", Typesetter::kPrompt},
    {"atomic_", Typesetter::kAtomic},     {"string_", Typesetter::kString},
    {"indexes_", Typesetter::kIndexes},   {"matrix_", Typesetter::kMatrix},
    {"sin_", Typesetter::kSin},           {"integral2_", Typesetter::kIntegral2},
    {"extended_", Typesetter::kExtended}, {"prefix_", Typesetter::kPrefix},
    {"infix_", Typesetter::kInfix},       {"parens_", Typesetter::kParens},
    {"branch_", Typesetter::kBranch},     {"sqrt_", Typesetter::kSqrt},
    {"tothe_", Typesetter::kTothe},       {"tentothe_", Typesetter::kTentothe},
    {"div_", Typesetter::kDiv},           {"log_", Typesetter::kLog},
    {"fxn_", Typesetter::kFxn},           {"besselj_", Typesetter::kBesselj},
    {"del_", Typesetter::kDel},           {"lap_", Typesetter::kLap},
    {"negate_", Typesetter::kNegate},     {"fact_", Typesetter::kFact},
    {"dagger_", Typesetter::kDagger},     {"set_", Typesetter::kSet},
    {"floor_", Typesetter::kFloor},       {"ceiling_", Typesetter::kCeiling},
    {"abs_", Typesetter::kAbs},           {"overbar_", Typesetter::kOverbar},
    {"subst_", Typesetter::kSubst},       {"derivs_", Typesetter::kDerivs},
    {"inner_", Typesetter::kInner},       {"hat_", Typesetter::kHat},
};

TEST(OperatorTable, EveryRowMatchesTheHandTypedTable) {
  const auto rows = ReadCsv("operator_table.csv");
  ASSERT_EQ(rows.size(), 104u);
  for (size_t i = 0; i < rows.size(); ++i) {
    const std::vector<std::string>& row = rows[i];
    ASSERT_EQ(row.size(), 7u) << "csv row " << i;
    const OpCodeT kind = std::stoi(row[0]);
    SCOPED_TRACE(kind);
    ASSERT_EQ(kind, kFirstOperatorKind + static_cast<OpCodeT>(i));
    const OperatorInfo& info = gOpInfo[kind - kFirstOperatorKind];
    EXPECT_EQ(info.opcode, kind);
    EXPECT_EQ(info.name, OurInternCString(row[1].c_str()));  // interned: same pointer
    EXPECT_EQ(info.handler, kHandlerNames.at(row[2]));
    EXPECT_EQ(info.arity, std::stoi(row[3]));
    EXPECT_EQ(info.syntacticKind, std::stoi(row[4]));
    const uint32_t character = row[5] == "-" ? 0 : static_cast<uint32_t>(std::stoul(row[5].substr(2), nullptr, 16));
    EXPECT_EQ(info.displayCharacter, character);
    EXPECT_EQ(info.numeric, std::stoi(row[6]));
    EXPECT_EQ(FindOperatorInfo(kind), &info);
    EXPECT_EQ(IsFxn(kind), row[2] == "sin_");
  }
}

TEST(OperatorTable, KindsOutsideTheTable) {
  for (OpCodeT kind : {4095, 4200, kOpPartialPair, kOpDummy, kOpSwappedCondition}) {
    EXPECT_EQ(FindOperatorInfo(kind), nullptr);
    EXPECT_FALSE(IsFxn(kind));
  }
  std::vector<OpCodeT> booleans;
  for (OpCodeT kind = 4000; kind < 8200; ++kind)
    if (IsInequalityOrBooleanOp(kind)) booleans.push_back(kind);
  EXPECT_EQ(booleans, (std::vector<OpCodeT>{4107, 4108, 4109, 4110, 4111, 4195, 4196, 4197, 8091, 8092}));
}

int gMeasured = 0;
void CountingHandler(ExpressionRecord*, int32_t, MathGraphicsContext*) { ++gMeasured; }

TEST(OperatorTable, HandlerSlotsHaveADefaultUntilFilled) {
  gMeasured = 0;
  ExpressionRecord node{};
  GetTypesetHandler(gOpInfo[kOpSin - kFirstOperatorKind].handler)(&node, 0, nullptr);  // harmless
  SetTypesetHandler(Typesetter::kSin, CountingHandler);
  GetTypesetHandler(gOpInfo[kOpDet - kFirstOperatorKind].handler)(&node, 0, nullptr);
  GetTypesetHandler(gOpInfo[kOpLog - kFirstOperatorKind].handler)(&node, 0, nullptr);
  EXPECT_EQ(gMeasured, 1);
  SetTypesetHandler(Typesetter::kSin, nullptr);
  GetTypesetHandler(Typesetter::kSin)(&node, 0, nullptr);
  EXPECT_EQ(gMeasured, 1);
}

}  // namespace
