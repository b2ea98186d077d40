#include "window/WindowDialogs.h"

#include <QFileDialog>
#include <QMessageBox>

#include "CoreUtilities/text/MessageTable.h"
#include "CoreUtilities/text/OurString.h"
#include "window/WindowRegistry.h"

namespace {

SaveChangesQuestion sSaveChanges;
FileNameQuestion sFileName;
AlertShower sAlert;

constexpr int kOutOfMemory = 36;
constexpr int kOutOfMemoryForTransparency = 40;

}  // namespace

QString MessageText(int messageId) {
  const UniChar* text = OurGetLocalizedString(messageId);
  // Paragraphs of alert texts are separated by carriage returns.
  return QString::fromUtf16(reinterpret_cast<const char16_t*>(text), OurStringLength(text)).replace('\r', '\n');
}

void SetSaveChangesQuestion(SaveChangesQuestion question) { sSaveChanges = std::move(question); }

SaveChangesAnswer AskSaveChanges(QWidget* window, const QString& documentName) {
  if (sSaveChanges) return sSaveChanges(window, documentName);
  const auto button = QMessageBox::question(
      window, QString(),
      QObject::tr("Do you want to save the changes you made in the document \"%1\"?").arg(documentName),
      QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Save);
  if (button == QMessageBox::Save) return SaveChangesAnswer::kSave;
  return button == QMessageBox::Discard ? SaveChangesAnswer::kDontSave : SaveChangesAnswer::kCancel;
}

void SetFileNameQuestion(FileNameQuestion question) { sFileName = std::move(question); }

QString AskFileName(QWidget* window, bool forSaving, const QString& suggestion) {
  if (sFileName) return sFileName(window, forSaving, suggestion);
  const QString filter = QObject::tr("Zentrolab documents (*.zlf);;All files (*)");
  return forSaving ? QFileDialog::getSaveFileName(window, QString(), suggestion, filter)
                   : QFileDialog::getOpenFileName(window, QString(), suggestion, filter);
}

QString AskExportFileName(QWidget* window, const QString& title, const QString& filter, const QString& suggestion) {
  if (sFileName) return sFileName(window, true, suggestion);
  return QFileDialog::getSaveFileName(window, title, suggestion, filter);
}

void SetAlertShower(AlertShower shower) { sAlert = std::move(shower); }

void ShowNote(const QString& text) {
  if (sAlert) {
    sAlert(0, text);
  } else {
    QMessageBox::information(nullptr, QString(), text);
  }
}

void ReportError(int messageId, const QString& reason) {
  const QString text = reason.isEmpty() ? MessageText(messageId) : MessageText(messageId) + "\n\n" + reason;
  if (sAlert) {
    sAlert(messageId, text);
  } else {
    QMessageBox::warning(nullptr, QString(), text);
  }
  if (messageId == kOutOfMemory || messageId == kOutOfMemoryForTransparency) RecomputeAllWindows();
}
