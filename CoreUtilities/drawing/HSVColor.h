#pragma once

// Hue in turns (only its fraction counts), saturation and value in 0 to 1.
// A hue that is not finite gives black.
void OurHSVtoRGB(double hue, double saturation, double value, double* red, double* green, double* blue);
