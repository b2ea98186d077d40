#pragma once

// The application with windows: `zl [FILE.zlf ...]` opens each file, or a
// new untitled document when none is given or none could be opened, and
// runs until the last window closes or Quit. Returns the exit code.
int RunApplication(int argc, char** argv);

// Every layer's start-up call, in order, once the application object exists.
void StartLayers();
// Quit: stops the threads in order and frees what the layers kept.
void StopLayers();
