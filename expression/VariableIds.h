#pragma once

#include <cstdint>

// Variable ids the system itself gives meaning to. The special symbols take
// 1 to 6; rho (7) and the table-row number (14) have no name of their own;
// a one-character name is its character code.
inline constexpr int32_t kIdPi = 1;
inline constexpr int32_t kIdPhi = 2;
inline constexpr int32_t kIdTheta = 3;
inline constexpr int32_t kIdInf = 4;
inline constexpr int32_t kIdDegree = 5;
inline constexpr int32_t kIdLdots = 6;
inline constexpr int32_t kIdRho = 7;
inline constexpr int32_t kIdRowNumber = 14;
// The primed coordinates of a coordinate-transform pair's second view.
inline constexpr int32_t kIdXPrime = 10;
inline constexpr int32_t kIdYPrime = 11;
inline constexpr int32_t kIdZPrime = 12;
inline constexpr int32_t kIdRPrime = 13;
inline constexpr int32_t kIdE = 'e';
inline constexpr int32_t kIdD = 'd';
inline constexpr int32_t kIdI = 'i';
inline constexpr int32_t kIdT = 't';
inline constexpr int32_t kIdW = 'w';
inline constexpr int32_t kIdR = 'r';
inline constexpr int32_t kIdU = 'u';
inline constexpr int32_t kIdV = 'v';
inline constexpr int32_t kIdX = 'x';
inline constexpr int32_t kIdY = 'y';
inline constexpr int32_t kIdZ = 'z';
