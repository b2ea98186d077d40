#include "CoreUtilities/files/MacFile.h"

#include "platform/PosixFiles.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <utility>
#include <vector>

namespace {

OSErr ErrnoError(bool opening = false) { return FileErrorFromErrno(errno, opening); }

std::pair<std::string, std::string> SplitPath(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return {".", path};
  return {slash == 0 ? "/" : path.substr(0, slash), path.substr(slash + 1)};
}

std::string Join(const std::string& folder, const std::string& name) {
  return folder.ends_with('/') ? folder + name : folder + "/" + name;
}

}  // namespace

MacFile::MacFile(std::string path) : fPath(std::move(path)) {
  if (Resolve() != kNoErr) {
    auto [folder, name] = SplitPath(fPath);
    fPath = folder;
    fName = name;
    fHasName = true;
  }
}

MacFile::MacFile(std::string folder, std::string name)
    : fPath(std::move(folder)), fName(std::move(name)), fHasName(true) {}

MacFile::MacFile(const MacFile& parent, std::string name)
    : fPath(parent.Path()), fName(std::move(name)), fHasName(true) {}

MacFile::~MacFile() { Close(); }

std::string MacFile::Path() const { return fHasName ? Join(fPath, fName) : fPath; }

OSErr MacFile::Resolve() {
  struct stat info;
  const std::string full = Path();
  if (::stat(full.c_str(), &info) != 0) return ErrnoError();
  fPath = full;
  fHasName = false;
  fName.clear();
  fDevice = info.st_dev;
  fInode = info.st_ino;
  return kNoErr;
}

OSErr MacFile::Open(int8_t permission) {
  if (fIsOpen) return kFileBusyErr;
  if (OSErr err = Resolve()) return err;
  int flags = O_RDONLY;
  if (permission == kFileWritePermission) flags = O_WRONLY;
  if (permission == kFileReadWritePermission) flags = O_RDWR;
  fFd = PosixOpen(fPath.c_str(), flags, 0);
  if (fFd < 0) return ErrnoError(true);
  fIsOpen = true;
  return kNoErr;
}

void MacFile::Close() {
  if (!fIsOpen) return;
  PosixClose(fFd);
  fFd = -1;
  fIsOpen = false;
}

OSErr MacFile::Read(void* buffer, int64_t count, int64_t* actual) {
  if (actual != nullptr) *actual = 0;
  if (!fIsOpen) return kFileNotOpenErr;
  if (count < 0 || (count > 0 && buffer == nullptr)) return kParamErr;
  int64_t done = 0;
  while (done < count) {
    const ssize_t got = PosixRead(fFd, static_cast<char*>(buffer) + done, static_cast<size_t>(count - done));
    if (got < 0) return ErrnoError();
    if (got == 0) break;
    done += got;
    if (actual != nullptr) *actual = done;
  }
  return done < count ? kEndOfFileErr : kNoErr;
}

OSErr MacFile::Write(const void* data, int64_t count, int64_t* actual) {
  if (actual != nullptr) *actual = 0;
  if (!fIsOpen) return kFileNotOpenErr;
  if (count < 0 || (count > 0 && data == nullptr)) return kParamErr;
  int64_t done = 0;
  while (done < count) {
    const ssize_t put = PosixWrite(fFd, static_cast<const char*>(data) + done, static_cast<size_t>(count - done));
    if (put < 0) return ErrnoError();
    if (put == 0) return kDiskFullErr;
    done += put;
    if (actual != nullptr) *actual = done;
  }
  return kNoErr;
}

OSErr MacFile::Seek(int64_t offset, uint16_t mode) {
  if (!fIsOpen) return kFileNotOpenErr;
  int whence = SEEK_SET;
  if (mode == kFromEnd)
    whence = SEEK_END;
  else if (mode == kFromMark)
    whence = SEEK_CUR;
  else if (mode != kFromStart)
    return kParamErr;
  return PosixSeek(fFd, offset, whence) < 0 ? ErrnoError() : kNoErr;
}

int64_t MacFile::GetSize() {
  struct stat info;
  if (!fIsOpen || ::fstat(fFd, &info) != 0) return 0;
  return info.st_size;
}

OSErr MacFile::SetSize(int64_t length) {
  if (!fIsOpen) return kFileNotOpenErr;
  if (length < 0) return kParamErr;
  return PosixTruncate(fFd, length) != 0 ? ErrnoError() : kNoErr;
}

OSErr MacFile::Create() {
  if (fIsOpen) return kFileBusyErr;
  if (!fHasName) return kParamErr;
  const int fd = PosixOpen(Path().c_str(), O_CREAT | O_EXCL | O_WRONLY, 0666);
  if (fd < 0) return ErrnoError();
  PosixClose(fd);
  return Resolve();
}

OSErr MacFile::CreateDirectory() {
  if (fIsOpen) return kFileBusyErr;
  if (!fHasName) return kParamErr;
  if (PosixMkdir(Path().c_str(), 0777) != 0) return ErrnoError();
  return Resolve();
}

OSErr MacFile::Delete() {
  if (fIsOpen) return kFileBusyErr;
  if (OSErr err = Resolve()) return err;
  bool folder = false;
  IsDirectory(&folder);
  if ((folder ? PosixRmdir(fPath.c_str()) : PosixUnlink(fPath.c_str())) != 0) return ErrnoError();
  auto [parent, name] = SplitPath(fPath);
  fPath = parent;
  fName = name;
  fHasName = true;
  return kNoErr;
}

OSErr MacFile::Move(MacFile& destinationFolder) {
  if (OSErr err = destinationFolder.Resolve()) return err;
  bool folder = false;
  destinationFolder.IsDirectory(&folder);
  if (!folder) return kParamErr;
  if (OSErr err = Resolve()) return err;
  const std::string moved = Join(destinationFolder.fPath, SplitPath(fPath).second);
  if (PosixRename(fPath.c_str(), moved.c_str()) != 0) return ErrnoError();
  fPath = moved;
  return kNoErr;
}

OSErr MacFile::Exchange(MacFile& other) {
  if (OSErr err = Resolve()) return err;
  if (OSErr err = other.Resolve()) return err;
  if (fDevice != other.fDevice) return kDifferentVolumesErr;
  if (PosixExchange(fPath.c_str(), other.fPath.c_str()) != 0) {
    if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP) return ErrnoError();
    if (OSErr err = ExchangeByRenaming(other)) return err;
  }
  std::swap(fInode, other.fInode);
  return kNoErr;
}

// Where the file system cannot swap two names: three renames through a
// spare name, each undone when a later one fails.
OSErr MacFile::ExchangeByRenaming(MacFile& other) {
  std::string spareName = fPath + ".exchange-XXXXXX";
  std::vector<char> pattern(spareName.begin(), spareName.end());
  pattern.push_back('\0');
  const int fd = PosixMakeTemporary(pattern.data());
  if (fd < 0) return ErrnoError();
  PosixClose(fd);
  const std::string spare(pattern.data());
  const char* a = fPath.c_str();
  const char* b = other.fPath.c_str();
  if (PosixRename(a, spare.c_str()) != 0) {
    const OSErr err = ErrnoError();
    PosixUnlink(spare.c_str());
    return err;
  }
  if (PosixRename(b, a) != 0) {
    const OSErr err = ErrnoError();
    PosixRename(spare.c_str(), a);
    return err;
  }
  if (PosixRename(spare.c_str(), b) != 0) {
    const OSErr err = ErrnoError();
    PosixRename(a, b);
    PosixRename(spare.c_str(), a);
    return err;
  }
  return kNoErr;
}

OSErr MacFile::CheckLock() { return PosixAccess(Path().c_str(), W_OK) != 0 ? ErrnoError() : kNoErr; }

OSErr MacFile::IsDirectory(bool* isDirectory) {
  struct stat info;
  if (::stat(Path().c_str(), &info) != 0) return ErrnoError();
  if (isDirectory != nullptr) *isDirectory = S_ISDIR(info.st_mode);
  return kNoErr;
}

std::string MacFile::CopyName() { return fHasName ? fName : SplitPath(fPath).second; }

dev_t MacFile::GetVolumeRefNum() {
  Resolve();
  struct stat info;  // fPath is the object, or its folder while it does not exist
  return ::stat(fPath.c_str(), &info) == 0 ? info.st_dev : 0;
}

bool MacFile::operator==(MacFile& other) {
  const bool bothExist = Resolve() == kNoErr && other.Resolve() == kNoErr;
  if (bothExist) return fDevice == other.fDevice && fInode == other.fInode;
  return Path() == other.Path();
}
