#include "app/WindowExport.h"

#include <QApplication>
#include <QFileInfo>

#include <utility>

#include "app/DocumentFiles.h"
#include "app/HeadlessExport.h"
#include "document/DocumentRecord.h"
#include "document/DocumentWriter.h"
#include "window/DocumentMainWindow.h"
#include "window/WindowDialogs.h"

namespace {

constexpr int kCannotSaveMessage = 45;
double gExportTimeoutSeconds = 60;

}  // namespace

int32_t ExportWindow(DocumentMainWindow* window, const QString& path, ExportFormat format, OSErr* error,
                     std::string* reason) {
  window->StoreLayoutInDocument();
  const std::optional<std::string> text = WriteDocumentText(*window->Document());
  if (!text) return kCannotSaveMessage;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  std::string said;
  ExportDetails details;
  const int status = ExportDocumentPicture(*text, path.toStdString(), format == ExportFormat::kPdf, QSize(),
                                           gExportTimeoutSeconds, &said, &details);
  QApplication::restoreOverrideCursor();
  if (error) *error = details.fileError;
  // Graphs still unfinished after the wait are written as far as they got;
  // a picture whose encoding ran out of time is not written at all.
  if (status == 0 || (status == 2 && said.empty())) return 0;
  if (reason) *reason = details.fileError != kNoErr ? SaveFailureReason(details.fileError) : AsSentence(said);
  return details.fileError != kNoErr ? SaveFailureMessage(details.fileError) : kCannotSaveMessage;
}

double SetWindowExportTimeout(double seconds) { return std::exchange(gExportTimeoutSeconds, seconds); }

void ExportWindowWithDialog(DocumentMainWindow* window, ExportFormat format) {
  const bool png = format == ExportFormat::kPng;
  const QString extension = png ? ".png" : ".pdf";
  const QString base =
      window->FilePath().isEmpty() ? window->DocumentName() : QFileInfo(window->FilePath()).completeBaseName();
  QString path = AskExportFileName(window, png ? QObject::tr("Export PNG") : QObject::tr("Export PDF"),
                                   png ? QObject::tr("PNG pictures (*.png)") : QObject::tr("PDF documents (*.pdf)"),
                                   base + extension);
  if (path.isEmpty()) return;
  if (!path.endsWith(extension, Qt::CaseInsensitive)) path += extension;
  std::string reason;
  if (const int32_t message = ExportWindow(window, path, format, nullptr, &reason))
    ReportError(message, QString::fromStdString(reason));
}
