#pragma once

#include <atomic>
#include <cstdint>

// Cooperative threads: real threads passing one baton, so exactly one of
// the interface (main) thread and the cooperative threads runs at a time,
// and a switch happens only at a yield. Code on them never calls the GUI.

using OurThreadID = uint32_t;  // 0: no thread
using OurThreadEntry = void (*)(void* argument);

// The deadline after which a cooperative thread yields at its next
// OurYield; set by the interface thread's yield.
extern std::atomic<uint32_t> gTimeToYield;
// Set when a yield from the interface thread was gone too long; while set,
// the interface thread no longer yields. Cleared when graphing starts again.
extern std::atomic<int32_t> gDoNotYieldFromMainThreadSoUICanStayResponsive;

// A new cooperative thread that runs entry(argument) once it is given the
// baton at a later yield. When no thread can be made, entry(argument) runs
// at once on the caller and the result is 0.
OurThreadID OurNewThread(OurThreadEntry entry, void* argument);

// Marks the thread killed and lets it run to its end before returning: its
// yields no longer yield and OurThreadKillRequested tells its computation
// to stop. gMathError is not touched. Unknown or ended ids are ignored.
void OurKillThread(OurThreadID thread);
// True on a cooperative thread that has been killed.
bool OurThreadKillRequested();

// At safe points of long computations: on a cooperative thread past the
// deadline, lets the others run. Returns at once on any other thread, when
// gMathError is set, or when the calling thread was killed.
void OurYield();
// The interface thread's idle: gives the cooperative threads a slice of 10
// ticks; a slice that kept it away past 40 ticks stops further yields.
void OurYieldFromMainThread();

// The interface thread's event loop releases the baton while it waits for
// events, so cooperative work goes on when the interface stops yielding,
// and takes it back (at the running thread's next yield) when it wakes.
void OurEventLoopAboutToBlock();
void OurEventLoopAwake();

// Interface thread, at quit: kills every cooperative thread in the order
// they were made and joins them all.
void ShutdownCooperativeThreads();
