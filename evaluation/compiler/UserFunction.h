#pragma once

#include <cstdint>
#include <memory>

#include "expression/ExpressionRecord.h"

class AStackMachine;
class DocumentRecord;

// One user-defined function of a document, such as f(a, b) = a^2 + b. The
// definition is an equation whose left side applies the name to one
// placeholder or to a comma list of placeholders (each holding a parameter
// id); the right side names the parameters by the same placeholders.
class AFunction {
 public:
  // Takes over the definition.
  AFunction(ExpressionRecord* definition, DocumentRecord* document);
  ~AFunction();
  AFunction(const AFunction&) = delete;
  AFunction& operator=(const AFunction&) = delete;

  // True when e equals the function's name.
  bool Matches(const ExpressionRecord* e) const;
  // The number of parameters; -1 for a definition of the wrong shape.
  int32_t ParameterCount() const;
  // Builds the program once. A definition whose right side names a
  // coordinate, cannot be computed, or names a placeholder that is no
  // parameter stays without a program, and every call of it yields NaN.
  void Compile();
  // Null until Compile succeeds.
  AStackMachine* Program() const { return fProgram.get(); }

  ExpressionRecord* fDefinition;
  DocumentRecord* fDocument;
  std::unique_ptr<AStackMachine> fProgram;
};
