#pragma once

#include <string>
#include <string_view>

// The machine description of the benchmark report; lines end with
// carriage returns.

// One line per screen (at most 8): index, size, depth, and whether it is
// the main one.
std::string GetDisplayInfo();

// Indents each line with one space per leading space or tab, drops lines
// that are blank, and ends every line with a carriage return; lines end at
// a carriage return or line feed, the last one at the end of the text.
std::string IndentReportLines(std::string_view report);

// The display lines, an empty line, then the hardware report (kernel,
// processor and memory, read from uname and /proc) filtered as above.
std::string OurGetSystemInfo();
