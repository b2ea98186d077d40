#pragma once

class AGraphColor;
class VertexObject;
struct MDrawContext;

// Draws a surface's cached lit model, through its colour's fragment program
// when it has one: the program lights the front faces, then the back. A
// program being rebuilt shows dark grey. False when the shaders could not
// be enabled; the caller then falls back to colouring without them.
bool DrawLitModel(VertexObject& model, AGraphColor& colour, MDrawContext* ctx, bool whiteUnderProgram);
