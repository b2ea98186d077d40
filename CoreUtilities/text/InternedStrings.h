#pragma once

#include "CoreUtilities/text/UniChar.h"

// One table of UTF-16 texts keyed by byte strings, shared by localized
// lookups and interning: whichever sees a key first fixes its text. Texts
// belong to the table and live for the whole run; any thread may look up.

// The localized text of an English key. No localizations are installed, so
// it is the key itself (read as UTF-8; the empty text if that fails).
const UniChar* OurLocalizedStringFromKey(const char* key);

// The one shared copy of a 7-bit key, so that keywords compare by pointer;
// a key with a byte above 127 gets the empty text.
const UniChar* OurInternCString(const char* key);
