#include "platform/PosixFiles.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <climits>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

PosixFaultHook gFaultHook;
std::atomic<int64_t> gDiskRoom{-1};

bool Injected(PosixCall call) {
  if (!gFaultHook) return false;
  const int error = gFaultHook(call);
  if (error == 0) return false;
  errno = error;
  return true;
}

template <typename Result, typename Call>
Result Run(PosixCall which, Call call) {
  if (Injected(which)) return Result(-1);
  Result result;
  do result = call();
  while (result == Result(-1) && errno == EINTR);
  return result;
}

bool SigpipePending() {
  sigset_t pending;
  sigemptyset(&pending);
  sigpending(&pending);
  return sigismember(&pending, SIGPIPE) == 1;
}

// Holds SIGPIPE back from this thread for its lifetime, and takes off one
// raised meanwhile (by a write that found the reader gone, which fails with
// EPIPE or, when it had put part, returns the part) before letting signals
// through again. Only this thread's one write is affected: ignoring the
// signal process-wide would change it for every other part of the process,
// and for the programs it starts, which inherit an ignored signal.
// (MSG_NOSIGNAL is for sockets only.)
class SigpipeHeld {
 public:
  SigpipeHeld() : fWasPending(SigpipePending()) {
    sigemptyset(&fPipe);
    sigaddset(&fPipe, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &fPipe, &fFormer);
  }
  ~SigpipeHeld() {
    const int error = errno;
    if (!fWasPending && SigpipePending()) {
      const timespec noWait{0, 0};
      while (sigtimedwait(&fPipe, nullptr, &noWait) < 0 && errno == EINTR) {
      }
    }
    pthread_sigmask(SIG_SETMASK, &fFormer, nullptr);
    errno = error;
  }
  SigpipeHeld(const SigpipeHeld&) = delete;
  SigpipeHeld& operator=(const SigpipeHeld&) = delete;

 private:
  sigset_t fPipe;
  sigset_t fFormer;
  const bool fWasPending;
};

}  // namespace

void SetPosixFaultHook(PosixFaultHook hook) { gFaultHook = std::move(hook); }
void SetPosixDiskRoom(int64_t bytes) { gDiskRoom.store(bytes); }

int PosixOpen(const char* path, int flags, mode_t mode) {
  return Run<int>(PosixCall::kOpen, [&] { return ::open(path, flags | O_CLOEXEC, mode); });
}
ssize_t PosixRead(int fd, void* buffer, size_t count) {
  return Run<ssize_t>(PosixCall::kRead, [&] { return ::read(fd, buffer, count); });
}
ssize_t PosixWrite(int fd, const void* data, size_t count) {
  const int64_t room = gDiskRoom.load();
  if (room >= 0 && count > 0) {
    if (room == 0) {
      errno = ENOSPC;
      return -1;
    }
    count = std::min(count, static_cast<size_t>(room));
  }
  ssize_t put;
  {
    const SigpipeHeld held;
    put = Run<ssize_t>(PosixCall::kWrite, [&] { return ::write(fd, data, count); });
  }
  if (room >= 0 && put > 0) gDiskRoom.fetch_sub(put);
  return put;
}
off_t PosixSeek(int fd, off_t offset, int whence) {
  return Run<off_t>(PosixCall::kSeek, [&] { return ::lseek(fd, offset, whence); });
}
int PosixTruncate(int fd, off_t length) {
  return Run<int>(PosixCall::kTruncate, [&] { return ::ftruncate(fd, length); });
}
int PosixFsync(int fd) {
  return Run<int>(PosixCall::kFsync, [&] { return ::fsync(fd); });
}
// Never retried: after EINTR the descriptor is already gone on Linux.
int PosixClose(int fd) { return Injected(PosixCall::kClose) ? (::close(fd), -1) : ::close(fd); }
int PosixRename(const char* from, const char* to) {
  return Run<int>(PosixCall::kRename, [&] { return ::rename(from, to); });
}
int PosixExchange(const char* first, const char* second) {
  return Run<int>(PosixCall::kExchange,
                  [&] { return ::renameat2(AT_FDCWD, first, AT_FDCWD, second, RENAME_EXCHANGE); });
}
int PosixUnlink(const char* path) {
  return Run<int>(PosixCall::kUnlink, [&] { return ::unlink(path); });
}
int PosixMkdir(const char* path, mode_t mode) {
  return Run<int>(PosixCall::kMkdir, [&] { return ::mkdir(path, mode); });
}
int PosixRmdir(const char* path) {
  return Run<int>(PosixCall::kRmdir, [&] { return ::rmdir(path); });
}
int PosixChmod(int fd, mode_t mode) {
  return Run<int>(PosixCall::kChmod, [&] { return ::fchmod(fd, mode); });
}
int PosixMakeTemporary(char* pathTemplate) {
  return Run<int>(PosixCall::kMakeTemporary, [&] { return ::mkostemp(pathTemplate, O_CLOEXEC); });
}
int PosixWaitWritable(int fd, int milliseconds) {
  if (Injected(PosixCall::kWaitWritable)) return -1;
  pollfd wanted{fd, POLLOUT, 0};
  return ::poll(&wanted, 1, milliseconds);
}
int PosixAccess(const char* path, int mode) {
  return Run<int>(PosixCall::kAccess, [&] { return ::faccessat(AT_FDCWD, path, mode, AT_EACCESS); });
}
long PosixLongestName(const char* folder) {
  const long longest = ::pathconf(folder, _PC_NAME_MAX);
  return longest > 0 ? longest : NAME_MAX;
}
