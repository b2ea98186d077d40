#pragma once

#include <string_view>

// Start-up: sets gPhysicalMemory to the machine's memory, or to the memory
// limit of the process's control group when that is lower.
void InitializePhysicalMemory();

// memoryMaxText: the text of a control group's memory.max file, "max" or a
// byte count. Anything else leaves the system figure in force.
double PhysicalMemoryWithinCgroupLimit(double systemBytes, std::string_view memoryMaxText);
