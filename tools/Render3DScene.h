#pragma once

#include <QImage>

#include <cstdint>
#include <vector>

#include "renderer/DrawContext.h"

class QWidget;

// The software renderer's test scene: a lit 79 x 79 grid, a depth-cued
// helix, a ring of points, a textured quad and a label, drawn over
// `frames` frames that turn the view by 0.05 radians each.
struct Scene3DOptions {
  int width = 800;
  int height = 600;
  bool translucent = false;
  bool supersampled = false;
  int32_t background = 0;  // 0 solid, 1 floor and walls, 2 floor
  int frames = 1;
  // Software unless asked; 3 OpenGL, 4 the automatic choice.
  Our3DRendererType renderer = kRendererSoftware;
  bool label = true;
  bool texturedQuad = true;
  double zoom = 0;  // 0: the view's own
  // Looks straight up the z axis, so that the textured quad at the bottom
  // faces the eye.
  bool fromBelow = false;
  // The widget on-screen frames draw over (renderer 2 or 4); the picture
  // is read back from the screen after the last frame.
  QWidget* onscreenHost = nullptr;
  // The grid's colours are hue, saturation and value, turned into red,
  // green and blue by the HSV pass before the rest draws.
  bool hsv = false;
};

struct Scene3DResult {
  QImage image;  // the last frame
  double microsecondsPerFrame = 0;
  int64_t trianglesPerFrame = 0;
  int64_t fragments = 0;                       // of the last frame
  Our3DRendererType renderer = kRendererNone;  // the one that drew
  bool drawn = false;
};

// The scene's solid background colour.
inline constexpr uint32_t kScene3DBackground = 0xF0F0F8;

Scene3DResult RenderScene3D(const Scene3DOptions& options);

struct Scene3DMesh {
  std::vector<Vertex> vertices, normals;
  std::vector<ColorArrayElement> colors;
  std::vector<Triangle> triangles;
};

// The scene's lit grid alone: 79 x 79 vertices, 12,168 triangles.
Scene3DMesh Scene3DGrid();
