#pragma once

#include <cstdint>
#include <string_view>

class QPainter;
class QPointF;

// Draws text with its baseline starting at a point, from scaled glyph runs
// kept per (face, size, text): a formula draws the same few strings on
// every pass, and laying text out costs many times more than drawing its
// glyphs. The runs come from the layout that measures the text, so glyphs
// land where measuring put them.
void DrawCachedText(QPainter& painter, std::u16string_view text, uint32_t faceId, double size,
                    const QPointF& baselineLeft);
