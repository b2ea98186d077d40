#pragma once

#include <cstdint>
#include <span>

class DocumentMainWindow;

// The Graph menu's settings of the focused equation and the zoom to given
// ranges. Each change marks the document changed and graphs it again.

struct ColorMenuItem {
  int32_t code;  // the graph colour's menu code
  const char* name;
};
// The colour menu in order.
std::span<const ColorMenuItem> ColorMenuItems();

// The focused equation's XY type: a function of two variables as a
// surface, a density plot or a contour plot.
enum XYTypeChoice : int32_t { kXYSurface = 1, kXYDensityPlot = 2, kXYContourPlot = 3 };

void SetFocusedEquationColor(DocumentMainWindow* window, int32_t code);
void SetFocusedEquationXYType(DocumentMainWindow* window, XYTypeChoice type);
// Translucent equations draw at half opacity; the setting turns it on and off.
void ToggleFocusedEquationTransparency(DocumentMainWindow* window);
// Asks for the current 2-D view's x, y, t, r and theta ranges and shows them.
void ZoomToRanges(DocumentMainWindow* window);
// Graphs the document once and puts the fragment program of the focused
// equation's colour on the clipboard, lines ending in carriage returns; a
// note says so when its colour has none.
void CopyFragmentProgram(DocumentMainWindow* window);

// What the items apply to now; the settings are the focused equation's.
struct GraphItemState {
  bool planeView = false;     // the current view is a 2-D one, which zooms to ranges
  bool equation = false;      // an equation block has the focus
  bool xyTypes = false;       // it may be a density or contour plot
  bool transparency = false;  // it may be translucent
  int32_t colorCode = 0;
  int32_t xyType = 0;
  bool translucent = false;
};
GraphItemState CurrentGraphItems(DocumentMainWindow* window);
