#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "document/DocumentRecord.h"
#include "evaluation/AnExpression.h"
#include "expression/ExpressionParser.h"
#include "expression/TreeRewriting.h"
#include "expression/VariableIds.h"
#include "shaders/ARBStrings.h"

// One colour of the committed corpus: kind rgb, hsv, raw or texture, three
// formulas and a mask, empty where the corpus has "-".
struct CorpusColour {
  std::string group, kind, formulas[3], mask;
  std::string Describe() const {
    return group + " " + kind + ": " + formulas[0] + " | " + formulas[1] + " | " + formulas[2] + " | mask " + mask;
  }
};

inline std::vector<CorpusColour> ReadFragmentCorpus() {
  std::ifstream in(ZL_TEST_DATA_DIR "/renderer/fragment_corpus.txt");
  std::vector<CorpusColour> corpus;
  for (std::string line; std::getline(in, line);) {
    std::istringstream fields(line);
    CorpusColour c;
    std::getline(fields, c.group, '\t');
    std::getline(fields, c.kind, '\t');
    for (std::string& f : c.formulas) std::getline(fields, f, '\t');
    std::getline(fields, c.mask, '\t');
    for (std::string* f : {&c.formulas[0], &c.formulas[1], &c.formulas[2], &c.mask})
      if (*f == "-") f->clear();
    corpus.push_back(c);
  }
  return corpus;
}

// The corpus's document: parameters a = 0.7, b = 1.3 and c = -0.4.
struct CorpusDocument {
  CorpusDocument() {
    const std::pair<char, double> values[] = {{'a', 0.7}, {'b', 1.3}, {'c', -0.4}};
    for (const auto& [id, value] : values) {
      auto parameter = std::make_unique<ParameterDefinition>();
      parameter->variableId = id;
      parameter->re.store(value);
      document.fParameterDefinitions.push_back(std::move(parameter));
    }
  }
  DocumentRecord document;
};

// A colour formula as the pane makes it: r is the distance from the origin.
inline std::unique_ptr<AnExpression> ColourFormula(const std::string& text, DocumentRecord* document) {
  ExpressionRecord* tree = CoreParseExpr(text.data(), static_cast<int32_t>(text.size()));
  EXPECT_NE(tree, nullptr) << text;
  if (tree) ReplaceAtoms(tree, kIdR, kIdRho);
  auto formula = std::make_unique<AnExpression>(tree, document);
  AnExpression::Compile(formula.get());
  return formula;
}

// A colour's formulas compiled for the processor, and its program text with
// the values of its uniforms.
struct CorpusProgram {
  CorpusProgram(const CorpusColour& c, DocumentRecord* document) {
    for (int i = 0; i < 3; ++i)
      if (!c.formulas[i].empty()) formulas[i] = ColourFormula(c.formulas[i], document);
    if (!c.mask.empty()) mask = ColourFormula(c.mask, document);
    std::vector<ExpressionRecord*> uniformTrees;
    text = c.kind == "texture" ? OurGetARBString(mask.get(), &uniformTrees, true, document)
                               : OurGetARBString(formulas[0].get(), formulas[1].get(), formulas[2].get(), mask.get(),
                                                 c.kind != "rgb", &uniformTrees, c.kind == "raw", document);
    for (ExpressionRecord* tree : uniformTrees) {
      AnExpression uniform(tree, document);
      AnExpression::Compile(&uniform);
      uniforms.push_back(uniform.Evaluate(0.0));
    }
  }
  std::unique_ptr<AnExpression> formulas[3], mask;
  std::string text;
  std::vector<double> uniforms;
};
