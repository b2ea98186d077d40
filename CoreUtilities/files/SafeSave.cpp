#include "CoreUtilities/files/SafeSave.h"

#include "platform/PosixFiles.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

namespace {

OSErr LastError() { return FileErrorFromErrno(errno); }

std::string FolderOf(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
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

// A device or a pipe keeps nothing a failed write could spoil, and its
// name must stay its own.
bool IsSpecialFile(const std::string& target) {
  struct stat info;
  return ::stat(target.c_str(), &info) == 0 && !S_ISREG(info.st_mode) && !S_ISDIR(info.st_mode);
}

OSErr WriteInPlace(const std::string& target, std::string_view contents) {
  const int fd = PosixOpen(target.c_str(), O_WRONLY, 0);
  if (fd < 0) return FileErrorFromErrno(errno, true);
  OSErr err = WriteAll(fd, contents);
  if (PosixClose(fd) != 0 && err == kNoErr) err = LastError();
  return err;
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

OSErr SafeSave(const std::string& path, std::string_view contents) {
  if (path.empty()) return kParamErr;
  const std::string target = RealTarget(path);
  if (IsSpecialFile(target)) return WriteInPlace(target, contents);
  const std::string folder = FolderOf(target);
  std::string pattern = target + ".saving-XXXXXX";
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
