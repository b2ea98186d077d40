#pragma once

// True while a demo script, the example slide show or the benchmark runs;
// the shell sets it.
bool IsDemoRunning();
void SetDemoRunning(bool running);
