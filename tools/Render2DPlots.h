#pragma once

// zl_render2d's plots from formula text: contour, density, rgb or hsv.
bool IsPlotFromTextCommand(const char* word);
int RenderPlotFromText(int argc, char** argv);
