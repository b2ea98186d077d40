#include <cmath>

#include "tests/evaluation/CompilerTestSupport.h"
#include "tests/evaluation/MachineTestSupport.h"
#include "document/DocumentFunctionList.h"
#include "document/DocumentReading.h"
#include "document/DocumentRecord.h"
#include "evaluation/DocumentQueries.h"
#include "evaluation/compiler/UserFunction.h"
#include "expression/SymbolTable.h"
#include "expression/TreeWalking.h"

namespace {

class DocumentFunctions : public testing::Test {
 protected:
  void TearDown() override {
    if (fDocument) ClearDocumentFunctions(fDocument.get());
  }

  // A document whose equations define the functions, with its function
  // list built from them.
  void Define(const std::vector<std::pair<std::string, std::string>>& definitions) {
    std::string text = "Zentrolabworksheet 4;\n";
    for (const auto& [definition, parameters] : definitions) text += "Expr " + definition + ";\n";
    fDocument = ReadDocumentText(text.data(), static_cast<int32_t>(text.size()));
    ASSERT_TRUE(fDocument);
    for (const auto& [definition, parameters] : definitions)
      AddDocumentFunction(fDocument.get(), Definition(definition, parameters));
    CompileDocumentFunctionList(fDocument.get());
  }

  // False when the document does not yet hand the interpreter its
  // compiled functions.
  bool CallsReachTheFunctions() {
    return GetMachineFromDocumentFunction(0, fDocument.get()) == CompiledDocumentFunction(0, fDocument.get());
  }

  double Value(const std::string& text, double x = 0) {
    return RunWith<double>(*CompileText(text, false, fDocument.get()).machine, {0, 0, 0, x});
  }

  std::unique_ptr<DocumentRecord> fDocument;
};

}  // namespace

TEST(UserFunction, ParametersBecomeArgumentSlots) {
  AFunction f(Definition("'f'(a, b) = a ^ 2 + b", "ab"), nullptr);
  f.Compile();
  ASSERT_NE(f.Program(), nullptr);
  EXPECT_EQ(Listing(*f.Program()), "pcPushVar\npcSquare\npcPushVar 1\npcAdd\n");
  EXPECT_EQ(f.Program()->fArgumentCount, 2);
  EXPECT_EQ(RunWith<double>(*f.Program(), {3, 4}), 13.0);

  AFunction g(Definition("'g'(a) = 2 * a", "a"), nullptr);
  g.Compile();
  ASSERT_NE(g.Program(), nullptr);
  EXPECT_EQ(Listing(*g.Program()), "pcPushNumber 2\npcPushVar\npcMul\n");
  EXPECT_EQ(g.Program()->fArgumentCount, 0);
}

TEST(UserFunction, ParameterIdsThatEqualEarlierPositionsDoNotCollide) {
  // p has id 1 and q id 0: renaming p to 0 first must not make it q.
  AFunction f(Definition("'f'(p, q) = p - 2 * q", "pq", {1, 0}), nullptr);
  f.Compile();
  ASSERT_NE(f.Program(), nullptr);
  EXPECT_EQ(RunWith<double>(*f.Program(), {5, 1}), 3.0);
}

TEST(UserFunction, RefusedDefinitionsStayWithoutProgram) {
  AFunction h(Definition("'h'(a) = a + x", "a"), nullptr);
  h.Compile();
  h.Compile();
  EXPECT_EQ(h.Program(), nullptr);
  // A placeholder that is no parameter would read a slot nobody sets.
  ExpressionRecord* stray = Definition("'s'(a) = a + b", "ab");
  stray->operands[0]->operands[1]->payload.id = 7;  // a's own id differs from b's
  AFunction s(stray, nullptr);
  s.Compile();
  EXPECT_EQ(s.Program(), nullptr);
  AFunction repeated(Definition("'r'(a, b) = a + b", "ab", {5, 5}), nullptr);
  repeated.Compile();
  EXPECT_EQ(repeated.Program(), nullptr);
}

TEST(UserFunction, MatchesTheNameOnly) {
  AFunction f(Definition("'f'(a, b) = a + b", "ab"), nullptr);
  ExpressionRecord* left = f.fDefinition->operands[0];
  EXPECT_TRUE(f.Matches(left->operands[0]));
  EXPECT_FALSE(f.Matches(left));
  Tree other = ParseTree("'g'");
  EXPECT_FALSE(f.Matches(other.get()));
}

TEST(UserFunction, NestedSumsInsideAFunction) {
  AFunction f(Definition("'f'(a) = sum(sum(i * j * a, j = 1, i), i = 1, 3)", "a"), nullptr);
  f.Compile();
  ASSERT_NE(f.Program(), nullptr);
  // sum over i of i * i(i+1)/2, times a: 1 + 6 + 18 = 25.
  EXPECT_EQ(RunWith<double>(*f.Program(), {2}), 50.0);
}

TEST_F(DocumentFunctions, CallsWithTheWrongNumberOfArgumentsAreUndefined) {
  Define({{"'f'(a, b) = a - b", "ab"}});
  EXPECT_EQ(DocumentFunctionArity(0, fDocument.get()), 2);
  EXPECT_EQ(DocumentFunctionArity(1, fDocument.get()), -1);
  for (const char* text : {"'f'(x)", "'f'(x, x, x)"}) {
    Compiled c = CompileText(text, false, fDocument.get());
    EXPECT_EQ(c.machine->Code()[c.machine->Count() - 2].opcode, pcUndefined) << text;
  }
  Compiled right = CompileText("'f'(x, 1)", false, fDocument.get());
  const PCodeOp& call = right.machine->Code()[right.machine->Count() - 2];
  EXPECT_EQ(call.opcode, pcCallFunction);
  EXPECT_EQ(call.ids.a, 2);
  EXPECT_EQ(call.ids.b, 0);
}

TEST_F(DocumentFunctions, ArgumentListsAreNeverSharedAsOneValue) {
  Define({{"'f'(a, b) = a - b", "ab"}, {"'g'(a, b) = a * b", "ab"}});
  BeginCSE();
  Compiled first{Prepared("'f'(x, y)")}, second{Prepared("'g'(x, y)")};
  CompileExpression(first.machine.get(), first.tree.get(), nullptr, false, false, fDocument.get());
  CompileExpression(second.machine.get(), second.tree.get(), nullptr, false, false, fDocument.get());
  EndCSE();
  EXPECT_EQ(Listing(*second.machine), "pcPushVar 3\npcPushVar 4\npcCallFunction 2 1\n");
}

TEST_F(DocumentFunctions, FunctionsOfOneToTwelveArguments) {
  const std::string names = "abcdfghjklmo";
  std::vector<std::pair<std::string, std::string>> definitions;
  for (size_t n = 1; n <= 12; ++n) {
    std::string parameters = names.substr(0, n), list, body = "0";
    for (size_t k = 0; k < n; ++k) {
      list += (k ? ", " : "") + std::string(1, parameters[k]);
      body += " + " + std::to_string(k + 1) + " * " + parameters[k];
    }
    definitions.emplace_back("'F" + std::to_string(n) + "'(" + list + ") = " + body, parameters);
  }
  Define(definitions);
  for (int32_t n = 1; n <= 12; ++n) {
    const AStackMachine* program = CompiledDocumentFunction(n - 1, fDocument.get());
    ASSERT_NE(program, nullptr) << n;
    std::vector<double> arguments;
    double expected = 0;
    for (int32_t k = 1; k <= n; ++k) {
      arguments.push_back(k * 0.5);
      expected += k * (k * 0.5);
    }
    EXPECT_EQ(RunWith<double>(*program, arguments), expected) << n;
  }
  if (!CallsReachTheFunctions()) GTEST_SKIP() << "the document does not yet hand out its compiled functions";
  EXPECT_EQ(Value("'F3'(1, 2, x)", 4), 1 + 4 + 12);
  EXPECT_EQ(Value("'F12'(1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, x)", 2), 66 + 12 * 2);
}

TEST_F(DocumentFunctions, FunctionsCallFunctions) {
  Define({{"'sq'(a) = a * a", "a"}, {"'tw'(a, b) = 'sq'(a) + 'sq'(b) + sum('sq'(j), j = 1, a)", "ab"}});
  ASSERT_NE(CompiledDocumentFunction(1, fDocument.get()), nullptr);
  if (!CallsReachTheFunctions()) GTEST_SKIP() << "the document does not yet hand out its compiled functions";
  EXPECT_EQ(Value("'tw'(x, 2) + 'sq'(3)", 3), 9 + 4 + 14 + 9);
}
