#include "app/WindowExport.h"

#include <QFileInfo>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSplitter>

#include "window/DocumentMainWindow.h"
#include "window/WindowDialogs.h"

namespace {

constexpr int kCannotSave = 45;

}  // namespace

bool ExportWindow(DocumentMainWindow* window, const QString& path, ExportFormat format) {
  QWidget* panes = window->Divider();
  if (format == ExportFormat::kPng) return panes->grab().toImage().save(path, "PNG");
  QPdfWriter writer(path);
  writer.setResolution(72);
  writer.setPageLayout(
      QPageLayout(QPageSize(QSizeF(panes->size()), QPageSize::Point), QPageLayout::Portrait, QMarginsF()));
  QPainter painter;
  if (!painter.begin(&writer)) return false;
  panes->render(&painter);
  return painter.end();
}

void ExportWindowWithDialog(DocumentMainWindow* window, ExportFormat format) {
  const QString extension = format == ExportFormat::kPng ? ".png" : ".pdf";
  const QString base = window->FilePath().isEmpty() ? window->DocumentName() : QFileInfo(window->FilePath()).completeBaseName();
  QString path = AskFileName(window, true, base + extension);
  if (path.isEmpty()) return;
  if (!path.endsWith(extension, Qt::CaseInsensitive)) path += extension;
  if (!ExportWindow(window, path, format)) ReportError(kCannotSave);
}
