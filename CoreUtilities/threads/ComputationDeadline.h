#pragma once

#include <cstdint>

// A time by which every computation must stop where it stands: the
// export's --timeout. Past it MATH_MemCheckInRecursion answers stop, so the
// recursive rewrites, the compiler and the graphing pass end soon after and
// what they finished can still be drawn. No deadline is set by default.
void SetComputationDeadline(double secondsFromNow);
void ClearComputationDeadline();

// Deadlines as readings of the deadline clock (below), 0 for none, so that
// work in phases can end each phase a set time after one start, and a test
// that sets the clock reaches every one of them.
// The reading the seconds after since; 0 for NaN or a time past a century.
int64_t DeadlineAfter(int64_t since, double seconds);
// True once the clock has reached the deadline; never for 0.
bool DeadlineReached(int64_t deadline);
// SetComputationDeadline and SetDrawingDeadline, at a deadline made so.
void SetComputationDeadlineAt(int64_t deadline);
void SetDrawingDeadlineAt(int64_t deadline);

// True once a set deadline has passed, or once this thread's build was
// interrupted (an edit came: see BuildInterruption.h); gMathError is then
// set, so the walks that watch it stop too.
bool ComputationDeadlinePassed();

// Drawing has a deadline of its own: the computation's when set, which the
// export may then move on alone, so that what was computed in time is
// still drawn while the computations stay stopped. Cleared with the other.
void SetDrawingDeadline(double secondsFromNow);

// True once the drawing's deadline has passed; reads the clock only, so
// drawing can stop there without raising the math error the walks watch.
// Each true answer counts as a drawing stopped short.
bool DrawingDeadlinePassed();

// Whether a drawing deadline is set, and a reading of the deadline clock,
// to measure work against it.
bool HasDrawingDeadline();
int64_t DeadlineClockReading();

// True once the drawing's deadline is nearer than the time since the
// reading since: work that took that long would, done once more, end past
// it. A true answer counts as a drawing stopped short.
bool DrawingDeadlineNearerThanSince(int64_t since);

// How many drawings stopped short at the deadline so far: the export
// compares the counts before and after a picture to say it is unfinished.
uint64_t DrawingsStoppedShort();

// The clock the deadlines are read on, in nanoseconds: a test puts in one
// of its own to pass a deadline where it wants, whatever the machine's
// speed. Null: the steady clock. Returns the former.
using DeadlineClock = int64_t (*)();
DeadlineClock SetDeadlineClock(DeadlineClock clock);
