#pragma once

// Start-up: the worker pool (one worker per processor), the graph-view
// thread and the math-pane thread.
void InitializeZLThreads();

// Quit, on the interface thread: stops and joins, in order, the cooperative
// threads (which queue work for the others), the graph-view thread, the
// math-pane thread and the workers. InitializeZLThreads may run again.
void ShutdownZLThreads();
