#pragma once

// zl_render2d --transform inverse|forward "f" "g" "condition" out.png
// [width] [height] [grain]: draws a filled condition in a first default
// 2-D view and writes the second view showing it through the plane
// transformation (inverse: x = f, y = g in the second view's x and y;
// forward: x' = f, y' = g in the first view's). Prints the draw time.
int RenderTransform(int argc, char** argv);
