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
    case ENAMETOOLONG: return kBadNameErr;
    case EISDIR: return kNotAFileErr;
    case EPIPE: return kPipeReaderLeftErr;
    default: return kIOErr;
  }
}

const char* FileErrorReason(OSErr error) {
  switch (error) {
    case kDiskFullErr: return "the disk is full";
    case kFileNotFoundErr: return "no such file or folder";
    case kWriteProtectedErr: return "the disk is write-protected";
    case kFileLockedErr: return "the file or its folder is locked";
    case kPermissionErr: return "permission denied";
    case kDuplicateNameErr: return "the name is taken";
    case kParamErr: return "no file name";
    case kDifferentVolumesErr: return "the files are on different disks";
    case kBadNameErr: return "the name is too long";
    case kNotAFileErr: return "a folder has that name";
    case kNoPipeReaderErr: return "no one reads the pipe";
    case kPipeReaderLeftErr: return "the pipe's reader left before the end";
    case kPipeStalledErr: return "the pipe's reader did not take everything in time";
    default: return "an input or output error";
  }
}
