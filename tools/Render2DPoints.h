#pragma once

#include <string>
#include <vector>

class A2DGraphView;
class DocumentRecord;

// Points, arrows, fields, differential equations and table data given on
// the command line, parts separated by ';':
//   -pt "x; y"            a point
//   -ar "x1; y1; x2; y2"  an arrow
//   -vf "vx; vy"          a vector field of x and y
//   -de "f" | "a; b"      dy/dx = f, or dx/dt = a, dy/dt = b, from a lattice
//   -ds "f; x0; y0"       dy/dx = f through one start point
//   -dt "x; y"            the rows of the document's tables
struct PlotArguments {
  struct Plot {
    std::string kind;
    std::vector<std::string> parts;
  };
  std::vector<Plot> plots;
};

// Takes the plot options out of argv; false with a message on bad use.
bool ExtractPlotArguments(int* argc, char** argv, PlotArguments* out);
// Builds the plots in the view and waits until they are computed; false
// with a message when a formula can't be read.
bool AddPlots(const PlotArguments& arguments, A2DGraphView* view, DocumentRecord* document);
