#pragma once

// One UTF-16 code unit; strings of the system are zero-terminated arrays of it.
using UniChar = char16_t;
