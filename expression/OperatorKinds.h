#pragma once

#include <cstdint>

// The kind of a formula node. The public kinds 4096 to 4199 each have a row
// of the operator table; the internal kinds from 8081 have none.
using OpCodeT = int32_t;

inline constexpr OpCodeT kFirstOperatorKind = 4096;
inline constexpr OpCodeT kLastOperatorKind = 4199;
inline constexpr int32_t gNumTemplates = kLastOperatorKind - kFirstOperatorKind + 1;

inline constexpr OpCodeT kOpNumber = 4096;
inline constexpr OpCodeT kOpPrompt = 4097;
inline constexpr OpCodeT kOpAtom = 4098;
inline constexpr OpCodeT kOpString = 4099;
inline constexpr OpCodeT kOpIndexes = 4100;
inline constexpr OpCodeT kOpMatrix = 4101;
inline constexpr OpCodeT kOpTimes = 4102;
inline constexpr OpCodeT kOpFunction = 4103;
inline constexpr OpCodeT kOpPlus = 4104;
inline constexpr OpCodeT kOpEquals = 4105;
inline constexpr OpCodeT kOpComma = 4106;
inline constexpr OpCodeT kOpNotEqual = 4107;
inline constexpr OpCodeT kOpLess = 4108;
inline constexpr OpCodeT kOpLeq = 4109;
inline constexpr OpCodeT kOpGreater = 4110;
inline constexpr OpCodeT kOpGeq = 4111;
inline constexpr OpCodeT kOpIn = 4112;
inline constexpr OpCodeT kOpSubstitution = 4113;
inline constexpr OpCodeT kOpFact = 4114;
inline constexpr OpCodeT kOpSuperscriptT = 4115;
inline constexpr OpCodeT kOpPlusOrMinus = 4116;
inline constexpr OpCodeT kOpMinusOrPlus = 4117;
inline constexpr OpCodeT kOpMinus = 4118;
inline constexpr OpCodeT kOpSin = 4119;
inline constexpr OpCodeT kOpCos = 4120;
inline constexpr OpCodeT kOpTan = 4121;
inline constexpr OpCodeT kOpCot = 4122;
inline constexpr OpCodeT kOpCsc = 4123;
inline constexpr OpCodeT kOpSec = 4124;
inline constexpr OpCodeT kOpAsin = 4125;
inline constexpr OpCodeT kOpAcos = 4126;
inline constexpr OpCodeT kOpAtan = 4127;
inline constexpr OpCodeT kOpAcot = 4128;
inline constexpr OpCodeT kOpAcsc = 4129;
inline constexpr OpCodeT kOpAsec = 4130;
inline constexpr OpCodeT kOpSinh = 4131;
inline constexpr OpCodeT kOpCosh = 4132;
inline constexpr OpCodeT kOpTanh = 4133;
inline constexpr OpCodeT kOpCoth = 4134;
inline constexpr OpCodeT kOpCsch = 4135;
inline constexpr OpCodeT kOpSech = 4136;
inline constexpr OpCodeT kOpAsinh = 4137;
inline constexpr OpCodeT kOpAcosh = 4138;
inline constexpr OpCodeT kOpAtanh = 4139;
inline constexpr OpCodeT kOpAcoth = 4140;
inline constexpr OpCodeT kOpAcsch = 4141;
inline constexpr OpCodeT kOpAsech = 4142;
inline constexpr OpCodeT kOpSgn = 4143;
inline constexpr OpCodeT kOpLog = 4144;
inline constexpr OpCodeT kOpSqrt = 4145;
inline constexpr OpCodeT kOpGrad = 4146;
inline constexpr OpCodeT kOpDiv = 4147;  // the divergence operator, not a fraction
inline constexpr OpCodeT kOpCurl = 4148;
inline constexpr OpCodeT kOpLap = 4149;
inline constexpr OpCodeT kOpOpTotal = 4150;
inline constexpr OpCodeT kOpOpPartial = 4151;
inline constexpr OpCodeT kOpSum = 4152;
inline constexpr OpCodeT kOpProduct = 4153;
inline constexpr OpCodeT kOpLParen = 4154;
inline constexpr OpCodeT kOpId = 4155;
inline constexpr OpCodeT kOpAbs = 4156;
inline constexpr OpCodeT kOpOverline = 4157;
inline constexpr OpCodeT kOpOver = 4158;
inline constexpr OpCodeT kOpPower = 4159;
inline constexpr OpCodeT kOpSn = 4160;
inline constexpr OpCodeT kOpChoice = 4161;
inline constexpr OpCodeT kOpInterval = 4162;
inline constexpr OpCodeT kOpDot = 4163;
inline constexpr OpCodeT kOpCross = 4164;
inline constexpr OpCodeT kOpFloor = 4165;
inline constexpr OpCodeT kOpCeil = 4166;
inline constexpr OpCodeT kOpLn = 4167;
inline constexpr OpCodeT kOpExp = 4168;
inline constexpr OpCodeT kOpArg = 4169;
inline constexpr OpCodeT kOpImag = 4170;
inline constexpr OpCodeT kOpReal = 4171;
inline constexpr OpCodeT kOpPrime = 4172;
inline constexpr OpCodeT kOpHat = 4173;
inline constexpr OpCodeT kOpBesselJ = 4174;
inline constexpr OpCodeT kOpIf = 4175;
inline constexpr OpCodeT kOpBranch = 4176;
inline constexpr OpCodeT kOpIntegral = 4177;
inline constexpr OpCodeT kOpMod = 4178;
inline constexpr OpCodeT kOpMin = 4179;
inline constexpr OpCodeT kOpMax = 4180;
inline constexpr OpCodeT kOpClamp = 4181;
inline constexpr OpCodeT kOpDataSum = 4182;
inline constexpr OpCodeT kOpDataCount = 4183;
inline constexpr OpCodeT kOpDataMean = 4184;
inline constexpr OpCodeT kOpDataStdDev = 4185;
inline constexpr OpCodeT kOpRe = 4186;
inline constexpr OpCodeT kOpIm = 4187;
inline constexpr OpCodeT kOpSlider = 4188;
inline constexpr OpCodeT kOpSet = 4189;
inline constexpr OpCodeT kOpTranspose = 4190;
inline constexpr OpCodeT kOpTrace = 4191;
inline constexpr OpCodeT kOpDet = 4192;
inline constexpr OpCodeT kOpRotate = 4193;
inline constexpr OpCodeT kOpInterpolate = 4194;
inline constexpr OpCodeT kOpAnd = 4195;
inline constexpr OpCodeT kOpOr = 4196;
inline constexpr OpCodeT kOpNot = 4197;
inline constexpr OpCodeT kOpInf = 4198;
inline constexpr OpCodeT kOpSup = 4199;

// Internal kinds: built by the algebra, the parser and the preparation for
// the stack machine; no table row.
inline constexpr OpCodeT kOpPartialPair = 8081;  // (expression, variable)
inline constexpr OpCodeT kOpTotalPair = 8082;    // (expression, variable)
inline constexpr OpCodeT kOpRawSummation = 8083;
inline constexpr OpCodeT kOpBracket = 8084;
inline constexpr OpCodeT kOpAngle = 8085;  // two-argument arctangent
inline constexpr OpCodeT kOpPreparedSum = 8086;
inline constexpr OpCodeT kOpComplexColour = 8087;
inline constexpr OpCodeT kOpTableIndex = 8088;
inline constexpr OpCodeT kOpPreparedProduct = 8089;
inline constexpr OpCodeT kOpDummy = 8090;  // pattern placeholder, payload an id
inline constexpr OpCodeT kOpConditions = 8091;
inline constexpr OpCodeT kOpParsedBoolean = 8092;
inline constexpr OpCodeT kOpSwappedCondition = 8093;

inline constexpr bool IsOperatorTableKind(OpCodeT kind) {
  return kind >= kFirstOperatorKind && kind <= kLastOperatorKind;
}
