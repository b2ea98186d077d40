#include "CoreUtilities/files/MacFile.h"
#include "platform/PosixFiles.h"
#include "tests/CoreUtilities/FileTestFolder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

namespace {

TEST(MacFile, ANameNotYetMadeIsCreatedWrittenAndReadBack) {
  FileTestFolder folder;
  MacFile file(folder.Path(), "doc.zlf");
  int64_t actual = 7;
  char buffer[16] = {};
  EXPECT_EQ(file.Read(buffer, 4, &actual), kFileNotOpenErr);
  EXPECT_EQ(actual, 0);
  EXPECT_EQ(file.Open(kFileReadPermission), kFileNotFoundErr);
  ASSERT_EQ(file.Create(), kNoErr);
  EXPECT_EQ(file.Create(), kParamErr);  // now names the file itself
  ASSERT_EQ(file.Open(kFileReadWritePermission), kNoErr);
  EXPECT_EQ(file.Open(kFileReadPermission), kFileBusyErr);
  EXPECT_EQ(file.Delete(), kFileBusyErr);
  EXPECT_EQ(file.Write("hello world", 11, &actual), kNoErr);
  EXPECT_EQ(file.GetSize(), 11);
  EXPECT_EQ(file.Seek(6, kFromStart), kNoErr);
  EXPECT_EQ(file.Read(buffer, 10, &actual), kEndOfFileErr);
  EXPECT_EQ(std::string(buffer, static_cast<size_t>(actual)), "world");
  EXPECT_EQ(file.SetSize(5), kNoErr);
  EXPECT_EQ(file.GetSize(), 5);
  EXPECT_EQ(file.Seek(0, 9), kParamErr);
  file.Close();
  EXPECT_EQ(file.GetSize(), 0);
  EXPECT_EQ(FileBytes(folder / "doc.zlf"), "hello");
}

TEST(MacFile, DeletedFileCanBeMadeAgainUnderItsName) {
  FileTestFolder folder;
  WriteText(folder / "a.zlf", "x");
  MacFile file(folder / "a.zlf");
  ASSERT_EQ(file.Delete(), kNoErr);
  EXPECT_FALSE(std::filesystem::exists(folder / "a.zlf"));
  EXPECT_EQ(file.CopyName(), "a.zlf");
  ASSERT_EQ(file.Create(), kNoErr);
  EXPECT_TRUE(std::filesystem::exists(folder / "a.zlf"));
}

TEST(MacFile, IdentityFollowsTheObjectNotTheSpelling) {
  FileTestFolder folder;
  WriteText(folder / "a.zlf", "x");
  MacFile direct(folder / "a.zlf");
  MacFile dotted(folder.Path() + "/./a.zlf");
  EXPECT_TRUE(direct == dotted);
  ASSERT_EQ(::link((folder / "a.zlf").c_str(), (folder / "b.zlf").c_str()), 0);
  MacFile linked(folder / "b.zlf");
  EXPECT_TRUE(direct == linked);
  WriteText(folder / "c.zlf", "x");
  MacFile other(folder / "c.zlf");
  EXPECT_FALSE(direct == other);
}

TEST(MacFile, MoveAndLockAndFolderQueries) {
  FileTestFolder folder;
  WriteText(folder / "a.zlf", "x");
  MacFile sub(folder.Path(), "sub");
  ASSERT_EQ(sub.CreateDirectory(), kNoErr);
  bool isFolder = false;
  EXPECT_EQ(sub.IsDirectory(&isFolder), kNoErr);
  EXPECT_TRUE(isFolder);
  MacFile file(folder / "a.zlf");
  ASSERT_EQ(file.Move(sub), kNoErr);
  EXPECT_EQ(FileBytes(folder / "sub/a.zlf"), "x");
  EXPECT_EQ(file.Path(), folder / "sub/a.zlf");
  EXPECT_EQ(file.Move(file), kParamErr);  // not a folder
  // Locked is what this user may not write, whatever the mode says: root
  // may write a file of mode 0444.
  EXPECT_EQ(file.CheckLock(), kNoErr);
  ASSERT_EQ(::chmod(file.Path().c_str(), 0444), 0);
  EXPECT_EQ(file.CheckLock(), ::geteuid() == 0 ? kNoErr : kFileLockedErr);
  SetPosixFaultHook([](PosixCall call) { return call == PosixCall::kAccess ? EACCES : 0; });
  EXPECT_EQ(file.CheckLock(), kFileLockedErr);
  SetPosixFaultHook(nullptr);
}

TEST(MacFile, OpenReportsTheCauseOfARefusal) {
  FileTestFolder folder;
  WriteText(folder / "a.zlf", "x");
  MacFile file(folder / "a.zlf");
  SetPosixFaultHook([](PosixCall call) { return call == PosixCall::kOpen ? EACCES : 0; });
  EXPECT_EQ(file.Open(kFileReadPermission), kPermissionErr);
  SetPosixFaultHook([](PosixCall call) { return call == PosixCall::kOpen ? EROFS : 0; });
  EXPECT_EQ(file.Open(kFileWritePermission), kWriteProtectedErr);
  SetPosixFaultHook(nullptr);
  EXPECT_EQ(file.Open(kFileReadPermission), kNoErr);
}

class MacFileExchange : public testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    if (GetParam())  // as on a file system that cannot swap names
      SetPosixFaultHook([](PosixCall call) { return call == PosixCall::kExchange ? EINVAL : 0; });
    WriteText(fFolder / "doc.zlf", "old");
    WriteText(fFolder / "doc.new", "new");
  }
  void TearDown() override { SetPosixFaultHook(nullptr); }
  FileTestFolder fFolder;
};

TEST_P(MacFileExchange, SwapsContentsAndKeepsEachPlace) {
  MacFile document(fFolder / "doc.zlf");
  MacFile fresh(fFolder / "doc.new");
  ASSERT_EQ(document.Exchange(fresh), kNoErr);
  EXPECT_EQ(FileBytes(fFolder / "doc.zlf"), "new");
  EXPECT_EQ(FileBytes(fFolder / "doc.new"), "old");
  EXPECT_EQ(document.Path(), fFolder / "doc.zlf");
  MacFile reopened(fFolder / "doc.zlf");
  EXPECT_TRUE(document == reopened);
  EXPECT_EQ(fFolder.EntryCount(), 2);
}

TEST_P(MacFileExchange, AFailedRenameIsReportedAndUndone) {
  for (int failing = 1; failing <= 3; ++failing) {
    int renames = 0;
    SetPosixFaultHook([&](PosixCall call) {
      if (call == PosixCall::kExchange) return GetParam() ? EINVAL : ENOSPC;
      if (call == PosixCall::kRename && ++renames == failing) return ENOSPC;
      return 0;
    });
    MacFile document(fFolder / "doc.zlf");
    MacFile fresh(fFolder / "doc.new");
    EXPECT_EQ(document.Exchange(fresh), kDiskFullErr) << "rename " << failing;
    SetPosixFaultHook(nullptr);
    EXPECT_EQ(FileBytes(fFolder / "doc.zlf"), "old") << "rename " << failing;
    EXPECT_EQ(FileBytes(fFolder / "doc.new"), "new") << "rename " << failing;
    EXPECT_EQ(fFolder.EntryCount(), 2);
  }
}

INSTANTIATE_TEST_SUITE_P(NativeAndByRenaming, MacFileExchange, testing::Bool());

TEST(MacFile, ExchangeAcrossVolumesChangesNothing) {
  FileTestFolder here;
  FileTestFolder there("/dev/shm");
  if (!there.Made()) GTEST_SKIP() << "no second volume";
  WriteText(here / "a", "a");
  WriteText(there / "b", "b");
  MacFile a(here / "a");
  MacFile b(there / "b");
  if (a.GetVolumeRefNum() == b.GetVolumeRefNum()) GTEST_SKIP() << "same volume";
  EXPECT_EQ(a.Exchange(b), kDifferentVolumesErr);
  EXPECT_EQ(FileBytes(here / "a"), "a");
  EXPECT_EQ(FileBytes(there / "b"), "b");
}

}  // namespace
