#include "app/HeadlessExport.h"

#include <QFile>
#include <QImage>
#include <QPainter>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string_view>
#include <utility>
#include <vector>

#include "CoreUtilities/files/SafeSave.h"
#include "CoreUtilities/memory/MemoryBudget.h"
#include "CoreUtilities/threads/ComputationDeadline.h"
#include "CoreUtilities/threads/ComputeThreads.h"
#include "CoreUtilities/threads/CooperativeThreads.h"
#include "CoreUtilities/drawing/OurGWorld.h"
#include "algebra/AlgebraStartup.h"
#include "app/AppHooks.h"
#include "app/DocumentFiles.h"
#include "app/ExportLayout.h"
#include "app/ExportOptions.h"
#include "app/PdfPage.h"
#include "app/PngEncoding.h"
#include "app/TextureCoding.h"
#include "document/DocumentGraphPane.h"
#include "document/DocumentHooks.h"
#include "document/DocumentIdle.h"
#include "document/DocumentPaneHooks.h"
#include "document/DocumentReading.h"
#include "document/DocumentRecord.h"
#include "document/DocumentStatements.h"
#include "document/DocumentWindow.h"
#include "document/InvalExprs.h"
#include "document/MathPaneDrawing.h"
#include "graphpane/AGraphPane.h"
#include "graphpane/GraphHooks.h"
#include "matheditor/MathEditorStartup.h"
#include "matheditor/MathGraphicsContext.h"
#include "platform/GuiApplication.h"
#include "platform/OurPort.h"
#include "renderer/RendererHooks.h"
#include "window/AxisIndicator.h"

namespace {

constexpr int kExitFailed = 1;
constexpr int kExitTimedOut = 2;
constexpr int64_t kIdleWaitMicroseconds = 5000;

OurPort* sGraphWorld = nullptr;

int Fail(const std::string& message) {
  std::fprintf(stderr, "zl: %s\n", message.c_str());
  return kExitFailed;
}

bool ReadDocumentFile(const std::string& path, std::string* text, std::string* error) {
  QFile file(QString::fromStdString(path));
  if (!file.open(QIODevice::ReadOnly)) {
    *error = "cannot read " + path + ": " + file.errorString().toStdString();
    return false;
  }
  *text = file.readAll().toStdString();
  return true;
}

// Windows draw their graphs into worlds of their own; the exported
// document draws into the export's.
DocumentRecord* sExportedDocument = nullptr;
OurPort* (*sWindowWorlds)(DocumentRecord*) = nullptr;

OurPort* GraphWorldOf(DocumentRecord* document) {
  if (document == sExportedDocument) return sGraphWorld;
  return sWindowWorlds ? sWindowWorlds(document) : nullptr;
}

// The exported document's 4-D axis indicator, as its window would keep it.
AxisIndicator sIndicator;
void (*sWindowIndicators)(DocumentRecord*, const double*) = nullptr;

void KeepAxisIndicator(DocumentRecord* document, const double* points) {
  if (document == sExportedDocument) {
    sIndicator.Keep(points);
  } else if (sWindowIndicators) {
    sWindowIndicators(document, points);
  }
}

// Idles as the window's timer would until the graphs and result strings are
// done, then draws the graph pane once: the export writes one picture, not
// the graphs as they come. False when the time ran out first, a pass the
// deadline cut short included, undrawn; *changed then says whether the
// idles had changed the pane's picture. Done is read before an idle pass,
// which then publishes the messages of the last graphs to finish.
bool IdleUntilDone(DocumentRecord* document, int64_t end, bool* changed) {
  const ExpansionState& state = document->fExpansion;
  for (;;) {
    const bool done = IsDocumentGraphDone(document) && !state.passCutShort && state.resultsPublished.load();
    if (!done && DeadlineReached(end)) return false;
    *changed |= DocumentIdle(document, kWholePass, true, IdleDrawing::kHeld);
    if (done) break;
    // Waits as a window's event loop does, without the baton: the expansion
    // goes on meanwhile, even once the idle's yields have stopped after one
    // that kept the interface away too long.
    OurEventLoopAboutToBlock();
    WaitForDocumentWake(document, kIdleWaitMicroseconds);
    OurEventLoopAwake();
  }
  // The last graph may have finished after the idle last looked: what the
  // graphs say goes under their equations as the window would show it.
  UpdateGraphMessages(document);
  DrawDocumentGraph(document);
  return true;
}

void PaintWindow(QPainter& painter, DocumentWindow& window, const ExportPanes& panes) {
  MathGraphicsContext context{&painter, QPointF(0, 0)};
  painter.save();
  painter.setClipRect(panes.math);
  DrawMathPane(&window, panes.math, &context);
  painter.restore();
  painter.drawImage(panes.graph.topLeft(), sGraphWorld->image);
  if (window.document->fGraphPane->IsView4D()) sIndicator.Draw(painter, panes.graph);
}

enum class Written { kYes, kFailed, kOutOfTime };

// Through the safe save: a file already at path stays as it was unless the
// whole picture reached the disk. A pipe or a device is given up at the
// deadline giveUpAt, which the writes wait for on the steady clock.
Written WriteBytes(const std::string& path, std::string_view bytes, int64_t giveUpAt, OSErr* fileError) {
  ReaderWaits waits;
  if (giveUpAt != 0)
    waits.end = std::chrono::steady_clock::now() + std::chrono::nanoseconds(giveUpAt - DeadlineClockReading());
  *fileError = SafeSave(path, bytes, waits);
  return *fileError == kNoErr ? Written::kYes : Written::kFailed;
}

// Nothing is written when the encoding is still going at giveUpAt.
Written WritePng(const std::string& path, DocumentWindow& window, const ExportPanes& panes, QSize size,
                 int64_t giveUpAt, OSErr* fileError) {
  QImage picture(size, QImage::Format_RGB32);
  picture.fill(Qt::white);
  {
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    PaintWindow(painter, window, panes);
  }
  std::vector<uint8_t> bytes;
  const PngStamp stamp{"Zentrolab"};
  if (!EncodePng(picture, bytes, &stamp, giveUpAt))
    return DeadlineReached(giveUpAt) ? Written::kOutOfTime : Written::kFailed;
  return WriteBytes(path, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), giveUpAt,
                    fileError);
}

// One point a pixel: the page is the window's size. The document is made
// whole in memory first, so that only a finished one reaches the file, and
// a pipe is given up at giveUpAt.
Written WritePdf(const std::string& path, DocumentWindow& window, const ExportPanes& panes, QSize size,
                 int64_t giveUpAt, OSErr* fileError) {
  const QByteArray bytes = OnePagePdf(size, [&](QPainter& painter) { PaintWindow(painter, window, panes); });
  if (bytes.isEmpty()) return Written::kFailed;
  return WriteBytes(path, std::string_view(bytes.constData(), size_t(bytes.size())), giveUpAt, fileError);
}

void InstallStartUp() {
  EnsureGuiApplication();
  InitializeZLThreads();
  InstallDocumentHooks();
  InstallAppHooks();
  InstallAlgebra();
  InstallMathEditor();
  InstallDocumentMathEditGlobals();
}

// The picture at most kLargestExportSide a side and kLargestExportPixels
// in all, with a warning when the size asked for is larger.
QSize BoundedPictureSize(QSize asked) {
  const QSize size = ClampExportSize(asked);
  if (size != asked)
    std::fprintf(stderr,
                 "zl: a picture of %dx%d is more than an export makes (%d a side, %lld pixels); it is made %dx%d\n",
                 asked.width(), asked.height(), kLargestExportSide, static_cast<long long>(kLargestExportPixels),
                 size.width(), size.height());
  return size;
}

// When the graphing, the painting and the encoding stop, however far they
// got: deadlines on the deadline clock, 0 for none.
struct ExportEnds {
  int64_t graphs;
  int64_t painting;
  int64_t encoding;
};

int ExportWithinDeadline(const std::string& text, const std::string& output, bool pdf, QSize size, ExportEnds ends,
                         std::string* error, ExportDetails* details) {
  std::unique_ptr<DocumentRecord> document = ReadDocumentText(text.data(), static_cast<int32_t>(text.size()));
  if (!document) {
    *error = "the text is not a document zl can read";
    return kExitFailed;
  }
  if (size.width() <= 0 || size.height() <= 0) size = DocumentWindowSize(document->fContents);
  size = BoundedPictureSize(size);
  const ExportPanes panes = LayOutExportPanes(document->fContents, size);
  const QRect graph(QPoint(0, 0), panes.graph.size());
  sGraphWorld = OurNewGWorld(MRect{0, 0, int16_t(graph.height()), int16_t(graph.width())});
  if (!sGraphWorld) {
    *error = "no memory for a picture of " + std::to_string(size.width()) + "x" + std::to_string(size.height());
    return kExitFailed;
  }
  sExportedDocument = document.get();
  sWindowWorlds = gRendererHooks.GetOffscreenGWorld;
  gRendererHooks.GetOffscreenGWorld = GraphWorldOf;
  sIndicator = AxisIndicator();
  sWindowIndicators = std::exchange(gGraphPaneHooks.Set4DAxisInfo, KeepAxisIndicator);
  DocumentWindow window;
  window.document = document.get();
  window.graphWorld = sGraphWorld;
  document->fGraphPane =
      MakeDocumentGraphPane(document.get(), MRect{0, 0, int16_t(graph.height()), int16_t(graph.width())}, nullptr);
  InvalExprs(document.get());
  // The picture shows the stored orientation, however long the graphs take.
  const bool spinHeld = std::exchange(gInhibit3DRotationKluge, true);
  // Drawing stops at the deadline too: done means drawn whole before it.
  bool changed = false;
  const bool graphsDone = IdleUntilDone(document.get(), ends.graphs, &changed);
  const bool done = graphsDone && !DrawingDeadlinePassed();
  SetDrawingDeadlineAt(ends.painting);
  // Out of time, the graphs are drawn as far as they got.
  if (!graphsDone && changed) DrawDocumentGraph(document.get());
  // Only the math pane is painted now; the graphs' picture is already made.
  const uint64_t stoppedBefore = DrawingsStoppedShort();
  const Written written = pdf ? WritePdf(output, window, panes, size, ends.encoding, &details->fileError)
                              : WritePng(output, window, panes, size, ends.encoding, &details->fileError);
  details->graphsUnfinished = !done;
  details->mathPaneUnfinished = DrawingsStoppedShort() != stoppedBefore;
  gInhibit3DRotationKluge = spinHeld;
  StopDocumentComputations(document.get());
  document.reset();
  gRendererHooks.GetOffscreenGWorld = sWindowWorlds;
  gGraphPaneHooks.Set4DAxisInfo = sWindowIndicators;
  sExportedDocument = nullptr;
  OurDisposeGWorld(sGraphWorld);
  sGraphWorld = nullptr;
  if (written == Written::kFailed) {
    *error = "cannot write " + output;
    if (details->fileError != kNoErr) *error += std::string(": ") + FileErrorReason(details->fileError);
    return kExitFailed;
  }
  if (written == Written::kOutOfTime) {
    *error = "the time ran out while the picture was encoded; no picture is written";
    return kExitTimedOut;
  }
  return details->graphsUnfinished || details->mathPaneUnfinished ? kExitTimedOut : 0;
}

void ReportUnfinished(const ExportDetails& details, double timeoutSeconds) {
  const bool both = details.graphsUnfinished && details.mathPaneUnfinished;
  const char* what = both                       ? "the graphs and the math pane were"
                     : details.graphsUnfinished ? "the graphs were"
                                                : "the math pane was";
  std::fprintf(stderr, "zl: %s not done within %g seconds; the picture shows %s unfinished\n", what, timeoutSeconds,
               details.mathPaneUnfinished && !both ? "it" : "them");
}

int Export(const ExportOptions& options) {
  std::string text, error;
  if (!ReadDocumentFile(options.document, &text, &error)) return Fail(error);
  const int32_t unreadableBefore = UnreadablePictureCount(), refusedBefore = RefusedSettingCount();
  ExportDetails details;
  const int status = ExportDocumentPicture(text, options.output, options.pdf, QSize(options.width, options.height),
                                           options.timeoutSeconds, &error, &details);
  if (status == kExitFailed) return Fail(options.document + ": " + error);
  if (const int32_t unreadable = UnreadablePictureCount() - unreadableBefore; unreadable > 0)
    std::fprintf(stderr, "zl: %s: %d %s cannot be read; the export leaves %s out\n", options.document.c_str(),
                 unreadable, unreadable == 1 ? "picture" : "pictures", unreadable == 1 ? "it" : "them");
  if (const int32_t refused = RefusedSettingCount() - refusedBefore; refused > 0)
    std::fprintf(stderr, "zl: %s: %s; the export leaves %s unread\n", options.document.c_str(),
                 RefusedSettingsText(refused).c_str(), refused == 1 ? "it" : "them");
  if (status == kExitTimedOut && !error.empty())
    std::fprintf(stderr, "zl: %s: %s\n", options.document.c_str(), error.c_str());
  else if (status == kExitTimedOut)
    ReportUnfinished(details, options.timeoutSeconds);
  return status;
}

}  // namespace

int ExportDocumentPicture(const std::string& text, const std::string& output, bool pdf, QSize size,
                          double timeoutSeconds, std::string* error, ExportDetails* details) {
  // Past the timeout the picture is painted, then encoded, each within its
  // share of a second: the export ends within a second of its timeout. All
  // three count on the one clock a test can set, from one reading of it.
  constexpr double kPaintingGrace = 0.4, kEncodingGrace = 0.8;
  const int64_t start = DeadlineClockReading();
  const ExportEnds ends{DeadlineAfter(start, timeoutSeconds), DeadlineAfter(start, timeoutSeconds + kPaintingGrace),
                        DeadlineAfter(start, timeoutSeconds + kEncodingGrace)};
  ExportDetails told;
  SetComputationDeadlineAt(ends.graphs);
  // The graphs' time counts from here, the reading of the document in it.
  const int status = ExportWithinDeadline(text, output, pdf, size, ends, error, &told);
  if (details) *details = told;
  ClearComputationDeadline();
  // A deadline that passed raised the math error; left set, it would make
  // the next formula written (a save) fail until some pass cleared it.
  gMathError.store(0);
  return status;
}

int RunHeadlessExport(int argc, char** argv) {
  std::string error;
  const std::optional<ExportOptions> options = ParseExportOptions(argc, argv, 2, &error);
  if (!options) return Fail(error);
  // No window is shown: drawing and fonts need no display.
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  InstallStartUp();
  const int status = Export(*options);
  ShutdownZLThreads();
  return status;
}
