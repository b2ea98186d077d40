#include "CoreUtilities/files/SafeSave.h"

#include "CoreUtilities/files/MacFile.h"
#include "platform/PosixFiles.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <vector>

namespace {

OSErr LastError() { return FileErrorFromErrno(errno); }

// Where the last part of the path, the entry's own name, begins.
size_t NameStart(const std::string& path) { return path.find_last_of('/') + 1; }  // npos + 1 is 0

std::string FolderOf(const std::string& path) {
  const size_t name = NameStart(path);
  if (name == 0) return ".";
  return name == 1 ? "/" : path.substr(0, name - 1);
}

// The real file behind any symbolic links; a file not made yet keeps its path.
std::string RealTarget(const std::string& path) {
  char resolved[PATH_MAX];
  if (::realpath(path.c_str(), resolved) != nullptr) return resolved;
  return path;
}

mode_t PermissionsFor(const std::string& target) {
  struct stat info;
  if (::stat(target.c_str(), &info) == 0) return info.st_mode & 07777;
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

OSErr WriteAll(int fd, std::string_view contents) {
  size_t done = 0;
  while (done < contents.size()) {
    const ssize_t put = PosixWrite(fd, contents.data() + done, contents.size() - done);
    if (put < 0) return LastError();
    if (put == 0) return kDiskFullErr;
    done += static_cast<size_t>(put);
  }
  return kNoErr;
}

OSErr SyncFolder(const std::string& folder) {
  const int fd = PosixOpen(folder.c_str(), O_RDONLY | O_DIRECTORY, 0);
  if (fd < 0) return LastError();
  OSErr err = PosixFsync(fd) != 0 ? LastError() : kNoErr;
  if (PosixClose(fd) != 0 && err == kNoErr) err = LastError();
  return err;
}

using Clock = std::chrono::steady_clock;

// When to give up on a reader that last took something at lastTaken.
Clock::time_point GiveUpTime(Clock::time_point lastTaken, const ReaderWaits& waits) {
  const Clock::time_point afterStall =
      waits.stall >= Clock::time_point::max() - lastTaken ? Clock::time_point::max() : lastTaken + waits.stall;
  return waits.end ? std::min(afterStall, *waits.end) : afterStall;
}

// Writes to a descriptor opened without waiting: whenever it is full, waits
// for it to take more, for as long as the waits allow.
OSErr WriteWithinWaits(int fd, std::string_view contents, const ReaderWaits& waits) {
  size_t done = 0;
  Clock::time_point lastTaken = Clock::now();
  while (done < contents.size()) {
    const ssize_t put = PosixWrite(fd, contents.data() + done, contents.size() - done);
    if (put > 0) {
      done += static_cast<size_t>(put);
      lastTaken = Clock::now();
      continue;
    }
    if (put == 0) return kDiskFullErr;
    if (errno != EAGAIN) return LastError();
    const Clock::duration left = GiveUpTime(lastTaken, waits) - Clock::now();
    if (left <= Clock::duration::zero()) return kPipeStalledErr;
    const auto wait = std::chrono::ceil<std::chrono::milliseconds>(left).count();
    if (PosixWaitWritable(fd, static_cast<int>(std::min<decltype(wait)>(wait, INT_MAX))) < 0 && errno != EINTR)
      return LastError();
  }
  return kNoErr;
}

// A device or a pipe keeps nothing a failed write could spoil, and its
// name must stay its own. It is opened and written without waiting, so
// that a pipe no one reads fails at once, and one whose reader stops
// reading holds the caller no longer than the waits allow.
OSErr WriteInPlace(const std::string& target, bool pipe, std::string_view contents, const ReaderWaits& waits) {
  const int fd = PosixOpen(target.c_str(), O_WRONLY | O_NONBLOCK, 0);
  if (fd < 0) return pipe && errno == ENXIO ? kNoPipeReaderErr : FileErrorFromErrno(errno, true);
  OSErr err = WriteWithinWaits(fd, contents, waits);
  if (PosixClose(fd) != 0 && err == kNoErr) err = LastError();
  return err;
}

// The temporary file's name pattern: the target's name, cut at the end of
// a character where the suffix would take it past the longest name the
// folder holds.
std::string TemporaryPattern(const std::string& target, size_t longestName) {
  constexpr std::string_view kSuffix = ".saving-XXXXXX";
  const size_t nameStart = NameStart(target);
  size_t kept = target.size() - nameStart;
  if (kept + kSuffix.size() > longestName) {
    kept = longestName > kSuffix.size() ? longestName - kSuffix.size() : 0;
    while (kept > 0 && (static_cast<unsigned char>(target[nameStart + kept]) & 0xC0) == 0x80) --kept;
  }
  return target.substr(0, nameStart + kept) + std::string(kSuffix);
}

// Writes the temporary file completely; it is closed on return either way.
OSErr FillTemporary(int fd, mode_t permissions, std::string_view contents) {
  OSErr err = PosixChmod(fd, permissions) != 0 ? LastError() : kNoErr;
  if (err == kNoErr) err = WriteAll(fd, contents);
  if (err == kNoErr && PosixFsync(fd) != 0) err = LastError();
  if (PosixClose(fd) != 0 && err == kNoErr) err = LastError();
  return err;
}

}  // namespace

OSErr SafeSave(const std::string& path, std::string_view contents, const ReaderWaits& waits) {
  if (path.empty()) return kParamErr;
  const std::string target = RealTarget(path);
  struct stat info;
  if (::stat(target.c_str(), &info) == 0) {
    if (S_ISDIR(info.st_mode)) return kNotAFileErr;
    if (!S_ISREG(info.st_mode)) return WriteInPlace(target, S_ISFIFO(info.st_mode), contents, waits);
    // Renaming over a file needs only its folder's permission: a file the
    // user may not write would be replaced without a word.
    if (const OSErr locked = MacFile(target).CheckLock()) return locked;
  }
  const std::string folder = FolderOf(target);
  const size_t longestName = static_cast<size_t>(PosixLongestName(folder.c_str()));
  if (target.size() - NameStart(target) > longestName) return kBadNameErr;
  const std::string pattern = TemporaryPattern(target, longestName);
  std::vector<char> temporary(pattern.begin(), pattern.end());
  temporary.push_back('\0');
  const int fd = PosixMakeTemporary(temporary.data());
  if (fd < 0) return LastError();
  OSErr err = FillTemporary(fd, PermissionsFor(target), contents);
  if (err == kNoErr && PosixRename(temporary.data(), target.c_str()) != 0) err = LastError();
  if (err != kNoErr) {
    PosixUnlink(temporary.data());
    return err;
  }
  // The new contents are in place; a folder that cannot be synced is still
  // reported, since the rename might not survive a power cut.
  return SyncFolder(folder);
}
