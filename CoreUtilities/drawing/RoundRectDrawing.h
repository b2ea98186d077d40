#pragma once

#include <cstdint>

class QPainter;

// Fills a rectangle with anti-aliased quarter-circle corners in the RGB
// colour (0xRRGGBB), or opaque white when none is given: into the current
// port (port coordinates, clipped) or into a painter.
void DrawAntiAliasedRoundRect(float left, float top, float right, float bottom, float radius, const uint32_t* rgb);
void DrawAntiAliasedRoundRectInContext(QPainter& context, float left, float top, float right, float bottom,
                                       float radius, const uint32_t* rgb);
