#pragma once

#include <cstdint>
#include <memory>

#include "evaluation/grid/GridRecords.h"
#include "evaluation/compiler/SubexpressionSharing.h"

class DocumentRecord;

// A sharing scope whose programs are grid programs: the largest subtrees
// that depend on one grid axis alone are taken out into programs of their
// own, evaluated once per grid line by SetupGrid.
void BeginCSEoverGrid();
// Closes the scope and compiles its hoisted subtrees; null when memory
// runs out for the record.
std::unique_ptr<MGridData> EndCSEoverGrid(DocumentRecord* document);

// Compiles each hoisted subtree of one level, in list order, each in a
// sharing scope of its own. A program the list cannot take is dropped.
void BuildMachinesForHoistedGridLoopExprs(SubexpressionList* list, DocumentRecord* document,
                                          MGridProgramList* programs);
