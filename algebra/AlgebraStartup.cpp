#include "algebra/AlgebraStartup.h"

#include "algebra/Differentiation.h"
#include "evaluation/DerivativeHooks.h"

void InstallAlgebra() { InstallDerivativeHooks({MATH_DifferentiateExprWithoutSimplifying}); }
