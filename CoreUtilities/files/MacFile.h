#pragma once

#include "CoreUtilities/files/FileErrors.h"

#include <sys/types.h>

#include <cstdint>
#include <string>

// Permissions for Open.
inline constexpr int8_t kFileReadPermission = 1;
inline constexpr int8_t kFileWritePermission = 2;
inline constexpr int8_t kFileReadWritePermission = 3;

// Position modes for Seek.
inline constexpr uint16_t kFromStart = 1;
inline constexpr uint16_t kFromEnd = 2;
inline constexpr uint16_t kFromMark = 3;

// A file or folder: either an existing object (its path plus its device
// and inode, which say whether two names are one object), or an object not
// yet made, named by its folder's path and a name. Status results are 0 or
// one of FileErrors.h.
class MacFile {
 public:
  explicit MacFile(std::string path);
  MacFile(std::string folder, std::string name);
  MacFile(const MacFile& parent, std::string name);
  MacFile(const MacFile&) = delete;
  MacFile& operator=(const MacFile&) = delete;
  ~MacFile();

  OSErr Open(int8_t permission);
  void Close();
  OSErr Read(void* buffer, int64_t count, int64_t* actual);
  OSErr Write(const void* data, int64_t count, int64_t* actual);
  OSErr Seek(int64_t offset, uint16_t mode);
  int64_t GetSize();
  OSErr SetSize(int64_t length);

  OSErr Create();
  OSErr CreateDirectory();
  OSErr Delete();
  OSErr Move(MacFile& destinationFolder);
  // Swaps the contents of two files on one volume: afterwards each MacFile
  // names the object at its former place, holding the other's contents.
  // The first failure is returned, with both files as they were.
  OSErr Exchange(MacFile& other);

  // kFileLockedErr when this user may not write the object, whatever its
  // mode says (root may write any file); kWriteProtectedErr on a read-only
  // disk.
  OSErr CheckLock();
  OSErr IsDirectory(bool* isDirectory);
  std::string CopyName();
  // The object's path, or the folder and name while it does not exist.
  std::string Path() const;
  dev_t GetVolumeRefNum();
  bool operator==(MacFile& other);

 private:
  // Looks the name up in the folder; when the object exists it is held by
  // its own path from then on.
  OSErr Resolve();
  OSErr ExchangeByRenaming(MacFile& other);

  std::string fPath;  // the object, or its folder while fName is held
  std::string fName;
  bool fHasName = false;
  dev_t fDevice = 0;
  ino_t fInode = 0;
  bool fIsOpen = false;
  int fFd = -1;
};
