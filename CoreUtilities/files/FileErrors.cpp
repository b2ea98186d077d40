#include "CoreUtilities/files/FileErrors.h"

#include <cerrno>

OSErr FileErrorFromErrno(int error, bool opening) {
  switch (error) {
    case 0: return kNoErr;
    case ENOENT: return kFileNotFoundErr;
    case ENOSPC:
    case EDQUOT: return kDiskFullErr;
    case EROFS: return kWriteProtectedErr;
    case EACCES:
    case EPERM: return opening ? kPermissionErr : kFileLockedErr;
    case EEXIST: return kDuplicateNameErr;
    case EXDEV: return kDifferentVolumesErr;
    default: return kIOErr;
  }
}
