#include "CoreUtilities/MacFile.h"

#include "platform/PosixFiles.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <utility>
#include <vector>

namespace {

OSErr LastError(bool opening = false) { return FileErrorFromErrno(errno, opening); }

std::pair<std::string, std::string> SplitPath(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return {".", path};
  return {slash == 0 ? "/" : path.substr(0, slash), path.substr(slash + 1)};
}

std::string Join(const std::string& folder, const std::string& name) {
  return folder.ends_with('/') ? folder + name : folder + "/" + name;
}

}  // namespace

MacFile::MacFile(std::string path) : path_(std::move(path)) {
  if (Resolve() != kNoErr) {
    auto [folder, name] = SplitPath(path_);
    path_ = folder;
    name_ = name;
    hasName_ = true;
  }
}

MacFile::MacFile(std::string folder, std::string name) : path_(std::move(folder)), name_(std::move(name)), hasName_(true) {}

MacFile::MacFile(const MacFile& parent, std::string name)
    : path_(parent.Path()), name_(std::move(name)), hasName_(true) {}

MacFile::~MacFile() { Close(); }

std::string MacFile::Path() const { return hasName_ ? Join(path_, name_) : path_; }

OSErr MacFile::Resolve() {
  struct stat info;
  const std::string full = Path();
  if (::stat(full.c_str(), &info) != 0) return LastError();
  path_ = full;
  hasName_ = false;
  name_.clear();
  device_ = info.st_dev;
  inode_ = info.st_ino;
  return kNoErr;
}

OSErr MacFile::Open(int8_t permission) {
  if (isOpen_) return kFileBusyErr;
  if (OSErr err = Resolve()) return err;
  int flags = O_RDONLY;
  if (permission == kFileWritePermission) flags = O_WRONLY;
  if (permission == kFileReadWritePermission) flags = O_RDWR;
  fd_ = PosixOpen(path_.c_str(), flags, 0);
  if (fd_ < 0) return LastError(true);
  isOpen_ = true;
  return kNoErr;
}

void MacFile::Close() {
  if (!isOpen_) return;
  PosixClose(fd_);
  fd_ = -1;
  isOpen_ = false;
}

OSErr MacFile::Read(void* buffer, int64_t count, int64_t* actual) {
  if (actual != nullptr) *actual = 0;
  if (!isOpen_) return kFileNotOpenErr;
  if (count < 0 || (count > 0 && buffer == nullptr)) return kParamErr;
  int64_t done = 0;
  while (done < count) {
    const ssize_t got = PosixRead(fd_, static_cast<char*>(buffer) + done, static_cast<size_t>(count - done));
    if (got < 0) return LastError();
    if (got == 0) break;
    done += got;
    if (actual != nullptr) *actual = done;
  }
  return done < count ? kEndOfFileErr : kNoErr;
}

OSErr MacFile::Write(const void* data, int64_t count, int64_t* actual) {
  if (actual != nullptr) *actual = 0;
  if (!isOpen_) return kFileNotOpenErr;
  if (count < 0 || (count > 0 && data == nullptr)) return kParamErr;
  int64_t done = 0;
  while (done < count) {
    const ssize_t put = PosixWrite(fd_, static_cast<const char*>(data) + done, static_cast<size_t>(count - done));
    if (put < 0) return LastError();
    if (put == 0) return kDiskFullErr;
    done += put;
    if (actual != nullptr) *actual = done;
  }
  return kNoErr;
}

OSErr MacFile::Seek(int64_t offset, uint16_t mode) {
  if (!isOpen_) return kFileNotOpenErr;
  int whence = SEEK_SET;
  if (mode == kFromEnd) whence = SEEK_END;
  else if (mode == kFromMark) whence = SEEK_CUR;
  else if (mode != kFromStart) return kParamErr;
  return PosixSeek(fd_, offset, whence) < 0 ? LastError() : kNoErr;
}

int64_t MacFile::GetSize() {
  struct stat info;
  if (!isOpen_ || ::fstat(fd_, &info) != 0) return 0;
  return info.st_size;
}

OSErr MacFile::SetSize(int64_t length) {
  if (!isOpen_) return kFileNotOpenErr;
  if (length < 0) return kParamErr;
  return PosixTruncate(fd_, length) != 0 ? LastError() : kNoErr;
}

OSErr MacFile::Create() {
  if (isOpen_) return kFileBusyErr;
  if (!hasName_) return kParamErr;
  const int fd = PosixOpen(Path().c_str(), O_CREAT | O_EXCL | O_WRONLY, 0666);
  if (fd < 0) return LastError();
  PosixClose(fd);
  return Resolve();
}

OSErr MacFile::CreateDirectory() {
  if (isOpen_) return kFileBusyErr;
  if (!hasName_) return kParamErr;
  if (PosixMkdir(Path().c_str(), 0777) != 0) return LastError();
  return Resolve();
}

OSErr MacFile::Delete() {
  if (isOpen_) return kFileBusyErr;
  if (OSErr err = Resolve()) return err;
  bool folder = false;
  IsDirectory(&folder);
  if ((folder ? PosixRmdir(path_.c_str()) : PosixUnlink(path_.c_str())) != 0) return LastError();
  auto [parent, name] = SplitPath(path_);
  path_ = parent;
  name_ = name;
  hasName_ = true;
  return kNoErr;
}

OSErr MacFile::Move(MacFile& destinationFolder) {
  if (OSErr err = destinationFolder.Resolve()) return err;
  bool folder = false;
  destinationFolder.IsDirectory(&folder);
  if (!folder) return kParamErr;
  if (OSErr err = Resolve()) return err;
  const std::string moved = Join(destinationFolder.path_, SplitPath(path_).second);
  if (PosixRename(path_.c_str(), moved.c_str()) != 0) return LastError();
  path_ = moved;
  return kNoErr;
}

OSErr MacFile::Exchange(MacFile& other) {
  if (OSErr err = Resolve()) return err;
  if (OSErr err = other.Resolve()) return err;
  if (device_ != other.device_) return kDifferentVolumesErr;
  if (PosixExchange(path_.c_str(), other.path_.c_str()) != 0) {
    if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP) return LastError();
    if (OSErr err = ExchangeByRenaming(other)) return err;
  }
  std::swap(inode_, other.inode_);
  return kNoErr;
}

// Where the file system cannot swap two names: three renames through a
// spare name, each undone when a later one fails.
OSErr MacFile::ExchangeByRenaming(MacFile& other) {
  std::string spareName = path_ + ".exchange-XXXXXX";
  std::vector<char> pattern(spareName.begin(), spareName.end());
  pattern.push_back('\0');
  const int fd = PosixMakeTemporary(pattern.data());
  if (fd < 0) return LastError();
  PosixClose(fd);
  const std::string spare(pattern.data());
  const char* a = path_.c_str();
  const char* b = other.path_.c_str();
  if (PosixRename(a, spare.c_str()) != 0) {
    const OSErr err = LastError();
    PosixUnlink(spare.c_str());
    return err;
  }
  if (PosixRename(b, a) != 0) {
    const OSErr err = LastError();
    PosixRename(spare.c_str(), a);
    return err;
  }
  if (PosixRename(spare.c_str(), b) != 0) {
    const OSErr err = LastError();
    PosixRename(a, b);
    PosixRename(spare.c_str(), a);
    return err;
  }
  return kNoErr;
}

OSErr MacFile::CheckLock() {
  struct stat info;
  if (::stat(Path().c_str(), &info) != 0) return LastError();
  return (info.st_mode & 0222) == 0 ? kFileLockedErr : kNoErr;
}

OSErr MacFile::IsDirectory(bool* isDirectory) {
  struct stat info;
  if (::stat(Path().c_str(), &info) != 0) return LastError();
  if (isDirectory != nullptr) *isDirectory = S_ISDIR(info.st_mode);
  return kNoErr;
}

std::string MacFile::CopyName() { return hasName_ ? name_ : SplitPath(path_).second; }

dev_t MacFile::GetVolumeRefNum() {
  Resolve();
  struct stat info;  // path_ is the object, or its folder while it does not exist
  return ::stat(path_.c_str(), &info) == 0 ? info.st_dev : 0;
}

bool MacFile::operator==(MacFile& other) {
  const bool bothExist = Resolve() == kNoErr && other.Resolve() == kNoErr;
  if (bothExist) return device_ == other.device_ && inode_ == other.inode_;
  return Path() == other.Path();
}
