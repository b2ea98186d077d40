#pragma once

// v rounded half up to that many significant digits (1 to 15); 0, NaN and
// the infinities come back unchanged, and so does a v whose scale factor
// would not be finite (magnitudes near the subnormal range).
double RoundDouble(double v, int digits);

// a + s (b - a) keeping only the digits the interpolation can carry; values
// within its noise of 0 become 0.
double CleanDouble(double a, double b, double s);
