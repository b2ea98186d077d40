#pragma once

// Asked on entry to a recursive rewrite and on each of its restarts: true
// when stack or memory runs short (gMathError is then set) or when the
// calling cooperative thread has been killed.
bool MathRewriteMustStop();
