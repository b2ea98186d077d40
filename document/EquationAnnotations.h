#pragma once

#include <cstdint>

class DocumentRecord;
class QPainter;
struct MERecord;

// What the math pane shows with an equation besides the formula: its result
// string after it, and the message of its graph under it.

// The height the message line adds under the block's formula; 0 without one.
int32_t EquationAnnotationHeight(const DocumentRecord* document, int32_t block);
// Draws the result after the record's formula and the message under it.
void DrawEquationAnnotations(const DocumentRecord* document, int32_t block, const MERecord& record, QPainter& painter);
