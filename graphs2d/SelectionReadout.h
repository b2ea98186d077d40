#pragma once

#include <string>
#include <vector>

#include "graphpane/PointRecords.h"

// The lines of the coordinate readout a selection shows in the view's
// corner, by kind; none for kinds that show no readout.
std::vector<std::u16string> SelectionReadoutLines(const Selection& selection);
