#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "evaluation/compiler/ExpressionCompiler.h"
#include "evaluation/StackMachine.h"
#include "evaluation/compiler/StackMachineRewriting.h"
#include "evaluation/compiler/SubexpressionSharing.h"
#include "tests/expression/ParserTestSupport.h"
#include "tools/ProgramText.h"

inline Tree ParseTree(const std::string& text) {
  Tree tree = Parse(text);
  EXPECT_NE(tree, nullptr) << text;
  return tree;
}

inline Tree Prepared(const std::string& text, DocumentRecord* document = nullptr) {
  Tree tree = ParseTree(text);
  MungeExprForStackMachine(tree.get(), document);
  return tree;
}

// A compiled formula with the tree its program was compiled from.
struct Compiled {
  Tree tree;
  std::unique_ptr<AStackMachine> machine = std::make_unique<AStackMachine>();
};

inline Compiled CompileText(const std::string& text, bool guarded = false, DocumentRecord* document = nullptr,
                            AConstantsCache* cache = nullptr) {
  Compiled compiled{Prepared(text, document)};
  CompileExpression(compiled.machine.get(), compiled.tree.get(), cache, guarded, false, document);
  return compiled;
}

// The program as one line per instruction, pcEnd left out.
inline std::string Listing(const AStackMachine& machine) {
  std::string text = DisassembleProgram(machine);
  const std::string end = "pcEnd\n";
  if (text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0)
    text.resize(text.size() - end.size());
  return text;
}

// How many of the program's instructions are `opcode`.
inline int OpcodeCount(const AStackMachine& machine, int32_t opcode) {
  int count = 0;
  for (int32_t i = 0; i < machine.Count(); ++i) count += machine.Code()[i].opcode == opcode;
  return count;
}

// Formulas compiled together in one sharing scope.
struct Scope {
  std::vector<Compiled> formulas;
  int32_t slots = 0;
};

inline Scope CompileScope(const std::vector<std::string>& texts, DocumentRecord* document = nullptr) {
  Scope scope;
  BeginCSE();
  for (const std::string& text : texts) {
    scope.formulas.push_back(Compiled{Prepared(text, document)});
    Compiled& c = scope.formulas.back();
    CompileExpression(c.machine.get(), c.tree.get(), nullptr, false, false, document);
  }
  scope.slots = EndCSE();
  return scope;
}
