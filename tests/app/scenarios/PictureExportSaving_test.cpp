#include "tests/app/ApplicationFixture.h"
#include "tests/CoreUtilities/FileTestFolder.h"

#include "app/HeadlessExport.h"
#include "app/WindowExport.h"
#include "platform/PosixFiles.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr char kSquareDocument[] = "Zentrolabworksheet 4;\nExpr y = x^2;\n";
const std::string kExportedEarlier = "a picture exported earlier, to be kept whole\n";

// A disk with room for only so many more bytes, for as long as it lives.
class DiskRoom {
 public:
  explicit DiskRoom(int64_t bytes) { SetPosixDiskRoom(bytes); }
  ~DiskRoom() { SetPosixDiskRoom(-1); }
  DiskRoom(const DiskRoom&) = delete;
  DiskRoom& operator=(const DiskRoom&) = delete;
};

int ExportSquare(const std::string& out, bool pdf, std::string* error) {
  const double guard = double(std::chrono::seconds(kHangLimit).count());
  return ExportDocumentPicture(kSquareDocument, out, pdf, QSize(200, 120), guard, error);
}

// The disk fills at the start of the picture, amid it and near its end:
// each time the export fails saying so, and the picture exported
// before stays byte for byte, with nothing left beside it.
TEST(PictureExportSaving, AFullDiskKeepsTheFormerPictureWhole) {
  for (const bool pdf : {false, true}) {
    FileTestFolder folder;
    ASSERT_TRUE(folder.Made());
    const std::string out = folder / (pdf ? "picture.pdf" : "picture.png");
    std::string error;
    ASSERT_EQ(ExportSquare(out, pdf, &error), 0) << error;
    const int64_t whole = int64_t(FileBytes(out).size());
    ASSERT_GT(whole, 1000);
    for (const int64_t room : {int64_t(0), int64_t(1000), whole / 2, whole * 9 / 10}) {
      WriteText(out, kExportedEarlier);
      int status;
      {
        const DiskRoom full(room);
        status = ExportSquare(out, pdf, &error);
      }
      EXPECT_EQ(status, 1) << "pdf " << pdf << " room " << room;
      EXPECT_NE(error.find("cannot write " + out + ": the disk is full"), std::string::npos) << error;
      EXPECT_EQ(FileBytes(out), kExportedEarlier);
      EXPECT_EQ(folder.EntryCount(), 1);
    }
    // With room again the picture takes the former one's place.
    EXPECT_EQ(ExportSquare(out, pdf, &error), 0) << error;
    EXPECT_EQ(FileBytes(out).substr(0, 4), pdf ? "%PDF" : "\x89PNG");
    EXPECT_EQ(folder.EntryCount(), 1);
  }
}

class PictureExportSavingTest : public WindowTest {};

// From the menu the export says the disk is full, as a save does, and
// keeps the picture exported before.
TEST_F(PictureExportSavingTest, AMenuExportOntoAFullDiskSaysSoAndKeepsTheFormerPicture) {
  DocumentMainWindow* window = Open("square.zlf", kSquareDocument);
  ASSERT_NE(window, nullptr);
  const double formerTimeout = SetWindowExportTimeout(double(std::chrono::seconds(kHangLimit).count()));
  for (const auto& [item, name] : {std::pair{"Export PNG...", "menu.png"}, std::pair{"Export PDF...", "menu.pdf"}}) {
    const QString out = fFolder.path() + "/" + name;
    WriteText(out.toStdString(), kExportedEarlier);
    SetFileNameQuestion([out](QWidget*, bool, const QString&) { return out; });
    RecordedAlerts().clear();
    {
      const DiskRoom full(100);
      MenuItem(window, item)->trigger();
    }
    EXPECT_EQ(RecordedAlerts(), std::vector<int>{43}) << item;
    EXPECT_EQ(FileBytes(out.toStdString()), kExportedEarlier) << item;
    EXPECT_FALSE(QDir(fFolder.path()).entryList(QDir::Files).join(" ").contains(".saving-")) << item;
  }
  SetWindowExportTimeout(formerTimeout);
}

// Saving and exporting from the window to a pipe no one reads fail at
// once, without holding the interface, and the alert says why after the
// message.
TEST_F(PictureExportSavingTest, SavingOrExportingToAPipeNoOneReadsSaysSo) {
  DocumentMainWindow* window = Open("square.zlf", kSquareDocument);
  ASSERT_NE(window, nullptr);
  const QString saved = fFolder.path() + "/pipe.zlf", exported = fFolder.path() + "/pipe.pdf";
  for (const QString& pipe : {saved, exported}) ASSERT_EQ(::mkfifo(pipe.toStdString().c_str(), 0600), 0);
  const QString said = "Sorry, Zentrolab was unable to save this file.\n\nNo one reads the pipe.";
  SetFileNameQuestion([saved](QWidget*, bool, const QString&) { return saved; });
  EXPECT_FALSE(SaveWindowAs(window));
  EXPECT_EQ(RecordedAlerts(), std::vector<int>{45});
  EXPECT_EQ(LastAlertText(), said);
  RecordedAlerts().clear();
  OSErr error = kNoErr;
  EXPECT_EQ(ExportWindow(window, saved, ExportFormat::kPng, &error), 45);
  EXPECT_EQ(error, kNoPipeReaderErr);
  SetFileNameQuestion([exported](QWidget*, bool, const QString&) { return exported; });
  MenuItem(window, "Export PDF...")->trigger();
  EXPECT_EQ(RecordedAlerts(), std::vector<int>{45});
  EXPECT_EQ(LastAlertText(), said);
}

// Saving over a file the user may not write says it is locked and keeps
// it, the document still unsaved, and exporting over it says why: through
// the access call for root, who may write it, and for real for anyone else.
TEST_F(PictureExportSavingTest, SavingOrExportingOverALockedFileSaysSoAndKeepsIt) {
  DocumentMainWindow* window = Open("square.zlf", kSquareDocument);
  ASSERT_NE(window, nullptr);
  const std::string locked = (fFolder.path() + "/locked.zlf").toStdString();
  WriteText(locked, kExportedEarlier);
  ASSERT_EQ(::chmod(locked.c_str(), 0444), 0);
  SetFileNameQuestion([locked](QWidget*, bool, const QString&) { return QString::fromStdString(locked); });
  for (const bool real : {false, true}) {
    if (real && ::geteuid() == 0) continue;
    if (!real) SetPosixFaultHook([](PosixCall call) { return call == PosixCall::kAccess ? EACCES : 0; });
    window->Document()->fModified = true;
    RecordedAlerts().clear();
    EXPECT_FALSE(SaveWindowAs(window));
    EXPECT_EQ(RecordedAlerts(), std::vector<int>{44}) << real;
    EXPECT_TRUE(window->Document()->fModified) << real;
    std::string error;
    EXPECT_EQ(ExportSquare(locked, false, &error), 1) << real;
    EXPECT_NE(error.find("cannot write " + locked + ": the file or its folder is locked"), std::string::npos) << error;
    SetPosixFaultHook(nullptr);
    EXPECT_EQ(FileBytes(locked), kExportedEarlier) << real;
    EXPECT_EQ(QDir(fFolder.path()).entryList(QDir::Files), QStringList({"locked.zlf", "square.zlf"})) << real;
  }
}

// What a file dialog showed: its title, filters and suggested name; none
// while the test still waits for it.
struct ShownDialog {
  QStringList shown;
  bool waiting = true;
};

// Looks at each turn of the event loop until a file dialog is up, notes
// what it shows and cancels it.
void CancelFileDialog(std::shared_ptr<ShownDialog> dialogShown) {
  QTimer::singleShot(0, [dialogShown] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    if (!dialogShown->waiting) return;
    if (!dialog) return CancelFileDialog(dialogShown);
    dialogShown->shown << dialog->windowTitle() << dialog->nameFilters()
                       << QFileInfo(dialog->selectedFiles().value(0)).fileName();
    dialog->reject();
  });
}

// File > Export PNG and Export PDF ask in a dialog titled for the export,
// which offers only the picture's type and suggests the document's name
// with that type's extension.
TEST_F(PictureExportSavingTest, TheExportDialogsAreTitledForTheExportAndOfferThePicturesType) {
  DocumentMainWindow* window = Open("square.zlf", kSquareDocument);
  ASSERT_NE(window, nullptr);
  for (const QString type : {"PNG", "PDF"}) {
    const auto dialogShown = std::make_shared<ShownDialog>();
    CancelFileDialog(dialogShown);
    MenuItem(window, "Export " + type + "...")->trigger();
    dialogShown->waiting = false;
    const QString kind = type == "PNG" ? "PNG pictures" : "PDF documents", extension = type.toLower();
    EXPECT_EQ(dialogShown->shown,
              QStringList({"Export " + type, kind + " (*." + extension + ")", "square." + extension}));
  }
  EXPECT_TRUE(RecordedAlerts().empty());
}

}  // namespace
