#pragma once

#include "CoreUtilities/text/UniChar.h"

// Showing the queued error (ErrorQueue.h) to the user. The window layer
// installs the alert and the front-process test; until it does, alerts go
// to standard error and this process counts as frontmost.

using ErrorAlertHook = void (*)(int messageId, const UniChar* text);
using FrontmostProcessQuery = bool (*)();

// Null restores the default.
void SetErrorAlertHook(ErrorAlertHook hook);
void SetFrontmostProcessQuery(FrontmostProcessQuery query);

bool CurrentProcessIsFrontmost();

// Interface thread (idle timer, new windows): shows the pending id once,
// when this application is in front; otherwise it stays pending.
void ReportDeferredErrorNow();
