#pragma once

#include <memory>

struct OurPicture;

// Set by the document and the shell, read by the graph colours.

// The picture the document is sending to the graphs as a texture (colour
// code 999); null otherwise.
extern OurPicture* gSurfacePicture;

// The copy-fragment-program command: it raises the first switch and graphs
// the document once; the idle graphing raises the second for the chosen
// block; the colour that generates the program leaves a zero-terminated
// copy in the pointer, for the command to take, and lowers both.
extern bool gHackExportShaderFlag;
extern bool gHackExportShaderFlag2;
extern std::unique_ptr<char[]> gHackExportShaderPointer;

// Tests hand the driver a text of their own through this in place of the
// generated program; null in use.
extern const char* gInjectedFragmentProgram;
