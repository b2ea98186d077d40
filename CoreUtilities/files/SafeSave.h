#pragma once

#include "CoreUtilities/files/FileErrors.h"

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

// How long a pipe or a device is waited for while it takes nothing: it is
// given up once it has taken nothing for the stall, or at the end,
// whichever comes first.
struct ReaderWaits {
  std::chrono::steady_clock::duration stall = std::chrono::seconds(10);
  std::optional<std::chrono::steady_clock::time_point> end;
};

// Replaces the file at path (following symbolic links to the real file)
// by the contents, or makes it: the contents go to a new file in the same
// folder with the original's permissions, reach the disk, and only then
// take the original's name. Until that moment a failure leaves the
// original exactly as it was; the first failure is returned, 0 on success.
// A device or a pipe at path takes the contents straight away; a pipe no
// one reads fails at once (kNoPipeReaderErr), one whose reader leaves
// early fails its write (kPipeReaderLeftErr), and one that takes nothing
// for longer than the waits allow is given up (kPipeStalledErr). A folder
// at path (kNotAFileErr), a file the user may not write (kFileLockedErr)
// and a name longer than its folder takes (kBadNameErr) fail before
// anything is written.
OSErr SafeSave(const std::string& path, std::string_view contents, const ReaderWaits& waits = {});
