#pragma once

#include <sys/types.h>

#include <cstdint>
#include <functional>

// Every file-system call the file layer makes goes through here, so that
// tests can make any one of them fail the way a full disk, a read-only
// folder or a second volume would.

enum class PosixCall {
  kOpen,
  kRead,
  kWrite,
  kSeek,
  kTruncate,
  kFsync,
  kClose,
  kRename,
  kExchange,
  kUnlink,
  kMkdir,
  kRmdir,
  kChmod,
  kMakeTemporary,
  kWaitWritable,
  kAccess
};

// Returns the errno to fail the call with, or 0 to let it run. Null: none.
using PosixFaultHook = std::function<int(PosixCall)>;
void SetPosixFaultHook(PosixFaultHook hook);

// The bytes writes may still put, as on a disk about to fill: a write puts
// what fits, and once nothing fits it fails with ENOSPC. Negative: no limit.
void SetPosixDiskRoom(int64_t bytes);

// Each returns what the system call returns (-1 with errno set on failure).
int PosixOpen(const char* path, int flags, mode_t mode);
ssize_t PosixRead(int fd, void* buffer, size_t count);
// A pipe whose reader has gone fails the write with EPIPE: no SIGPIPE
// reaches the process.
ssize_t PosixWrite(int fd, const void* data, size_t count);
off_t PosixSeek(int fd, off_t offset, int whence);
int PosixTruncate(int fd, off_t length);
int PosixFsync(int fd);
int PosixClose(int fd);
int PosixRename(const char* from, const char* to);
// Swaps two names atomically; EINVAL or ENOSYS where the file system cannot.
int PosixExchange(const char* first, const char* second);
int PosixUnlink(const char* path);
int PosixMkdir(const char* path, mode_t mode);
int PosixRmdir(const char* path);
int PosixChmod(int fd, mode_t mode);
// mkstemp: the template's trailing XXXXXX are replaced.
int PosixMakeTemporary(char* pathTemplate);
// Waits until the descriptor takes more or the milliseconds pass, as poll
// for POLLOUT: 1, 0 when the time passed, -1 with errno set. Not retried
// after a signal (EINTR), since the caller's time has moved on meanwhile.
int PosixWaitWritable(int fd, int milliseconds);
// faccessat as the effective user, who may be root and so may write any
// file whatever its mode.
int PosixAccess(const char* path, int mode);
// The longest name the folder's file system takes for one entry.
long PosixLongestName(const char* folder);
