#pragma once

// zl_render2d --condition "text" out.png [width] [height] [mode 0|1|2]
// [stats]: draws one inequality, or an implicit curve when the text is an
// equation, in the default 2-D view; "stats" prints the evaluation counts
// and the time until done.
int RenderCondition(int argc, char** argv);
