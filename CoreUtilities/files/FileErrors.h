#pragma once

#include <cstdint>

// The file layer's status codes: 0 for success, the negative codes below
// for failures, so callers can tell a missing file from a full disk.
using OSErr = int16_t;

inline constexpr OSErr kNoErr = 0;
inline constexpr OSErr kDiskFullErr = -34;
inline constexpr OSErr kIOErr = -36;
inline constexpr OSErr kBadNameErr = -37;
inline constexpr OSErr kFileNotOpenErr = -38;
inline constexpr OSErr kEndOfFileErr = -39;
inline constexpr OSErr kFileNotFoundErr = -43;
inline constexpr OSErr kWriteProtectedErr = -44;
inline constexpr OSErr kFileLockedErr = -45;
inline constexpr OSErr kDuplicateNameErr = -48;
inline constexpr OSErr kFileBusyErr = -49;
inline constexpr OSErr kParamErr = -50;
inline constexpr OSErr kPermissionErr = -54;
inline constexpr OSErr kNotAFileErr = -1302;
inline constexpr OSErr kDifferentVolumesErr = -1303;
// Pipes, which the codes above never met, get codes of their own.
inline constexpr OSErr kNoPipeReaderErr = -1320;
inline constexpr OSErr kPipeReaderLeftErr = -1321;
inline constexpr OSErr kPipeStalledErr = -1322;

// errno after a failed call; opening reports a refusal as a permission
// error, changing the folder as a locked file.
OSErr FileErrorFromErrno(int error, bool opening = false);

// Why a file could not be written or read, in a few words for a message.
const char* FileErrorReason(OSErr error);
