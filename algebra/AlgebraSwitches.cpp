#include "algebra/AlgebraSwitches.h"

thread_local int32_t gMathExpandingDefinitions = 0;
thread_local int32_t gMathGroupTermsInSum = 1;
thread_local int32_t gMathOrderTerms = 1;
thread_local int32_t gSimplifyPowers = 1;
thread_local int32_t Math_Multiply_Out = 0;
thread_local int32_t gMathMoveLR = 1;
thread_local int32_t Order_By_Increasing = 1;
thread_local int32_t gPlaceChainRuleFactors = 1;
