#include "CoreUtilities/files/SafeSave.h"
#include "platform/PosixFiles.h"
#include "tests/CoreUtilities/FileTestFolder.h"
#include "tests/support/HangLimit.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

namespace {

const std::string kOld = "Zentrolabworksheet old contents\r";
const std::string kNew = std::string(100000, 'n') + "\r";  // several writes' worth
const std::string kMoreThanAPipeHolds(1 << 20, 'p');

// Fails the n-th file-system call (counting from 1) with the error.
class FailNthCall {
 public:
  FailNthCall(int n, int error) {
    SetPosixFaultHook([this, n, error](PosixCall) { return ++fCalls == n ? error : 0; });
  }
  ~FailNthCall() { SetPosixFaultHook(nullptr); }
  int Calls() const { return fCalls; }

 private:
  int fCalls = 0;
};

int CallsOfOneSave(const std::string& path) {
  FailNthCall counter(0, 0);
  EXPECT_EQ(SafeSave(path, kNew), kNoErr);
  return counter.Calls();
}

TEST(SafeSave, ReplacesContentsKeepingPermissions) {
  FileTestFolder folder;
  ASSERT_TRUE(folder.Made());
  const std::string path = folder / "doc.zlf";
  WriteText(path, kOld);
  ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
  EXPECT_EQ(SafeSave(path, kNew), kNoErr);
  EXPECT_EQ(FileBytes(path), kNew);
  struct stat info;
  ASSERT_EQ(::stat(path.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0640u);
  EXPECT_EQ(folder.EntryCount(), 1);  // no temporary left behind
}

TEST(SafeSave, MakesANewFileAndWritesThroughSymbolicLinks) {
  FileTestFolder folder;
  const std::string fresh = folder / "new.zlf";
  EXPECT_EQ(SafeSave(fresh, kOld), kNoErr);
  EXPECT_EQ(FileBytes(fresh), kOld);

  const std::string link = folder / "link.zlf";
  ASSERT_EQ(::symlink(fresh.c_str(), link.c_str()), 0);
  EXPECT_EQ(SafeSave(link, kNew), kNoErr);
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(FileBytes(fresh), kNew);
  EXPECT_EQ(SafeSave("", kNew), kParamErr);
}

// Whether the save returns expected, run in a child that its alarm would
// end were the save to wait for ever.
bool SavedInAChildReturns(const std::string& path, std::string_view contents, const ReaderWaits& waits,
                          OSErr expected) {
  const pid_t child = ::fork();
  if (child == 0) {
    ::alarm(static_cast<unsigned>(kHangLimit.count()));
    ::_exit(SafeSave(path, contents, waits) == expected ? 0 : 1);
  }
  int status = 0;
  return child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// A pipe in the file's place takes the contents and stays a pipe: a
// device's or a pipe's name is not the safe save's to take. Contents many
// times the pipe's size are waited through while the reader takes them.
TEST(SafeSave, APipeTakesTheContentsInPlace) {
  FileTestFolder folder;
  const std::string pipe = folder / "pipe";
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  int reader = ::open(pipe.c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(reader, 0);
  EXPECT_EQ(SafeSave(pipe, kOld), kNoErr);
  std::string got(kOld.size() + 1, '\0');
  EXPECT_EQ(::read(reader, got.data(), got.size()), ssize_t(kOld.size()));
  EXPECT_EQ(got.substr(0, kOld.size()), kOld);
  ::close(reader);

  // A reader opened afresh sees no end until the next writer leaves.
  reader = ::open(pipe.c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(reader, 0);
  std::string taken;
  std::thread reading([&] {
    char buffer[65536];
    for (pollfd data{reader, POLLIN, 0}; ::poll(&data, 1, -1) == 1;) {
      const ssize_t n = ::read(reader, buffer, sizeof buffer);
      if (n == 0) break;
      if (n > 0) taken.append(buffer, size_t(n));
    }
  });
  EXPECT_EQ(SafeSave(pipe, kMoreThanAPipeHolds, {.stall = kHangLimit, .end = {}}), kNoErr);
  reading.join();
  ::close(reader);
  EXPECT_TRUE(taken == kMoreThanAPipeHolds) << taken.size();
  struct stat info;
  ASSERT_EQ(::lstat(pipe.c_str(), &info), 0);
  EXPECT_TRUE(S_ISFIFO(info.st_mode));
  EXPECT_EQ(folder.EntryCount(), 1);
}

// A pipe no one reads fails at once rather than wait for a reader, and one
// whose reader takes nothing is given up after the stall or at the end,
// whichever comes first; either way nothing is left beside the pipe.
TEST(SafeSave, APipeNoOneReadsFailsAndOneNotReadIsGivenUp) {
  FileTestFolder folder;
  const std::string pipe = folder / "pipe";
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  EXPECT_TRUE(SavedInAChildReturns(pipe, kOld, {}, kNoPipeReaderErr));
  for (const ReaderWaits& waits : {ReaderWaits{.stall = std::chrono::seconds(0), .end = {}},
                                   ReaderWaits{.stall = kHangLimit, .end = std::chrono::steady_clock::now()}}) {
    const int reader = ::open(pipe.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    EXPECT_TRUE(SavedInAChildReturns(pipe, kMoreThanAPipeHolds, waits, kPipeStalledErr))
        << waits.stall.count() << " " << waits.end.has_value();
    ::close(reader);
  }
  EXPECT_EQ(folder.EntryCount(), 1);
}

// Names up to the longest the folder takes are saved and replaced, whatever
// room the temporary's suffix needs: its name is the target's cut short, at
// the end of a character. A longer name and a folder in the file's place
// fail before anything is written, saying which.
TEST(SafeSave, LongNamesSaveAndAFolderOrAnOverlongNameSaysWhy) {
  FileTestFolder folder;
  const size_t longest = static_cast<size_t>(::pathconf(folder.Path().c_str(), _PC_NAME_MAX));
  std::string twoByteName;
  while (twoByteName.size() + 2 <= longest) twoByteName += "\xC3\xA9";  // e acute
  for (const std::string& name : {std::string(250, 'n'), std::string(longest, 'n'), twoByteName, twoByteName + "n"}) {
    const std::string path = folder / name;
    std::string temporary;
    SetPosixFaultHook([&](PosixCall call) {
      if (call == PosixCall::kRename)
        for (const auto& entry : std::filesystem::directory_iterator(folder.Path()))
          if (entry.path().filename() != name) temporary = entry.path().filename().string();
      return 0;
    });
    EXPECT_EQ(SafeSave(path, kOld), kNoErr) << name.size();
    EXPECT_EQ(SafeSave(path, kNew), kNoErr) << name.size();
    SetPosixFaultHook(nullptr);
    EXPECT_EQ(FileBytes(path), kNew) << name.size();
    EXPECT_EQ(folder.EntryCount(), 1) << name.size();
    // The name before the suffix, whole characters of the target's.
    const size_t suffix = temporary.rfind(".saving-");
    ASSERT_NE(suffix, std::string::npos) << temporary;
    EXPECT_LE(temporary.size(), longest);
    EXPECT_EQ(temporary.substr(0, suffix), name.substr(0, suffix));
    EXPECT_TRUE(name[0] == 'n' || suffix % 2 == 0) << suffix;
    std::filesystem::remove(path);
  }
  EXPECT_EQ(SafeSave(folder / std::string(longest + 1, 'n'), kOld), kBadNameErr);
  const std::string taken = folder / "taken.zlf";
  ASSERT_TRUE(std::filesystem::create_directory(taken));
  EXPECT_EQ(SafeSave(taken, kOld), kNotAFileErr);
  EXPECT_TRUE(std::filesystem::is_empty(taken));
  EXPECT_EQ(folder.EntryCount(), 1);
}

TEST(SafeSave, AFailureAtAnyStepLeavesTheOriginalAndIsReported) {
  FileTestFolder folder;
  const std::string path = folder / "doc.zlf";
  WriteText(path, kOld);
  const int steps = CallsOfOneSave(path);
  ASSERT_GE(steps, 7);
  struct Failure {
    int error;
    OSErr expected;
  };
  for (const Failure failure :
       {Failure{ENOSPC, kDiskFullErr}, Failure{EROFS, kWriteProtectedErr}, Failure{EACCES, kFileLockedErr},
        Failure{EXDEV, kDifferentVolumesErr}, Failure{EIO, kIOErr}}) {
    for (int step = 1; step <= steps; ++step) {
      WriteText(path, kOld);
      OSErr result;
      {
        FailNthCall fail(step, failure.error);
        result = SafeSave(path, kNew);
      }
      EXPECT_EQ(result, failure.expected) << "step " << step << " errno " << failure.error;
      const std::string now = FileBytes(path);
      // Only the folder sync comes after the new contents took the name.
      EXPECT_TRUE(now == kOld || (now == kNew && step > steps - 3)) << "step " << step;
      EXPECT_EQ(folder.EntryCount(), 1) << "step " << step;
    }
  }
  // A file the user may not write is refused before anything is written:
  // through its access call for root, who may write it, and for real for
  // anyone else.
  WriteText(path, kOld);
  ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
  for (const bool real : {false, true}) {
    if (real && ::geteuid() == 0) continue;
    int calls = 0;
    SetPosixFaultHook([&](PosixCall call) {
      ++calls;
      return !real && call == PosixCall::kAccess ? EACCES : 0;
    });
    EXPECT_EQ(SafeSave(path, kNew), kFileLockedErr) << real;
    SetPosixFaultHook(nullptr);
    EXPECT_EQ(calls, 1) << real;
    EXPECT_EQ(FileBytes(path), kOld) << real;
    EXPECT_EQ(folder.EntryCount(), 1) << real;
  }
}

TEST(SafeSave, KilledBetweenAnyTwoStepsTheFileIsWholeOldOrWholeNew) {
  FileTestFolder folder;
  const std::string path = folder / "doc.zlf";
  WriteText(path, kOld);
  const int steps = CallsOfOneSave(path);
  for (int step = 1; step <= steps; ++step) {
    WriteText(path, kOld);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      int calls = 0;
      SetPosixFaultHook([&calls, step](PosixCall) -> int {
        if (++calls == step) ::_exit(0);
        return 0;
      });
      SafeSave(path, kNew);
      ::_exit(1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    const std::string now = FileBytes(path);
    EXPECT_TRUE(now == kOld || now == kNew) << "killed before call " << step;
  }
}

}  // namespace
