#pragma once

#include "CoreUtilities/files/FileErrors.h"

#include <string>
#include <string_view>

// Replaces the file at path (following symbolic links to the real file)
// by the contents, or makes it: the contents go to a new file in the same
// folder with the original's permissions, reach the disk, and only then
// take the original's name. Until that moment a failure leaves the
// original exactly as it was; the first failure is returned, 0 on success.
// A device or a pipe at path takes the contents straight away; a pipe no
// one reads fails at once (kNoPipeReaderErr), one whose reader leaves
// early fails its write (kPipeReaderLeftErr). A folder at path
// (kNotAFileErr) and a name longer than its folder takes (kBadNameErr) fail
// before anything is written.
OSErr SafeSave(const std::string& path, std::string_view contents);
