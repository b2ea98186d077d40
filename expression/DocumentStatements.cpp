#include "expression/DocumentStatements.h"

#include "expression/TreeDisposal.h"

double gFileVersionNumber = 0;

namespace {

DocumentRecord* gDocumentUnderConstruction = nullptr;

// Until the document installs its handlers there is nothing to fill: every
// statement frees what it carries and the read fails.
OurText NewPlainTextBlock(DocumentRecord*, bool) { return OurTextNew(); }
Table* NoTable(DocumentRecord*) { return nullptr; }
void IgnoreTable(Table*) {}
void IgnoreCell(Table*, const char*, int32_t, bool) {}
void Nothing() {}
void IgnoreNumber(double) {}
void IgnoreFlag(bool) {}
void IgnoreName(const char*) {}
void IgnoreLetter(int32_t) {}
void IgnoreNumbers(DocumentSetting, std::initializer_list<double>) {}
void FreeTree(ExpressionRecord* tree) { DisposExpr(tree); }
void IgnoreParameter(int32_t, double) {}
void FreeText(OurText text) { OurTextDispose(text); }
void FreeRecord(RelocatableBlock* record) { OurDisposeMemoryPurgeable(record); }
void FreeBytes(char* bytes, int32_t) { OurDisposeMemory(bytes); }
void FreePicture(char* bytes, int32_t, bool, double, double) { OurDisposeMemory(bytes); }
bool Refuse() { return false; }

constexpr DocumentStatementHooks kNoDocument = {
    .constructTextBlock = NewPlainTextBlock,
    .createTable = NoTable,
    .disposeTable = IgnoreTable,
    .addTableCell = IgnoreCell,
    .beginRead = Nothing,
    .endRead = Nothing,
    .readHeader = IgnoreNumber,
    .applyTextEncoding = IgnoreFlag,
    .applyFontName = IgnoreName,
    .applySliderVariable = IgnoreLetter,
    .applyNumbers = IgnoreNumbers,
    .appendEquation = FreeTree,
    .appendParameter = IgnoreParameter,
    .appendTextBlock = FreeText,
    .appendTableBlock = IgnoreTable,
    .applyPrintRecord = FreeRecord,
    .applyTexture = FreeBytes,
    .appendPicture = FreePicture,
    .finishRead = Refuse,
};

DocumentStatementHooks gStatementHooks = kNoDocument;

}  // namespace

void InstallDocumentStatementHooks(const DocumentStatementHooks& hooks) { gStatementHooks = hooks; }
const DocumentStatementHooks& CurrentDocumentStatementHooks() { return gStatementHooks; }

void SetDocumentUnderConstruction(DocumentRecord* document) { gDocumentUnderConstruction = document; }
DocumentRecord* GetDocumentUnderConstruction() { return gDocumentUnderConstruction; }

OurText ConstructTextBlock(DocumentRecord* document, bool useFirstTextBlockFont) {
  return gStatementHooks.constructTextBlock(document, useFirstTextBlockFont);
}
Table* CreateDocumentTable(DocumentRecord* document) { return gStatementHooks.createTable(document); }
void DisposeDocumentTable(Table* table) { gStatementHooks.disposeTable(table); }
void AddDocumentTableCell(Table* table, const char* text, int32_t length, bool startNewColumn) {
  gStatementHooks.addTableCell(table, text, length, startNewColumn);
}

void BeginDocumentRead() { gStatementHooks.beginRead(); }
void EndDocumentRead() { gStatementHooks.endRead(); }
void ReadDocumentHeader(double version) { gStatementHooks.readHeader(version); }
void ApplyDocumentTextEncoding(bool utf8) { gStatementHooks.applyTextEncoding(utf8); }
void ApplyDocumentFontName(const char* name) { gStatementHooks.applyFontName(name); }
void ApplyDocumentSliderVariable(int32_t letter) { gStatementHooks.applySliderVariable(letter); }
void ApplyDocumentNumbers(DocumentSetting setting, std::initializer_list<double> values) {
  gStatementHooks.applyNumbers(setting, values);
}
void AppendDocumentEquation(ExpressionRecord* tree) { gStatementHooks.appendEquation(tree); }
void AppendDocumentParameter(int32_t letter, double value) { gStatementHooks.appendParameter(letter, value); }
void AppendDocumentTextBlock(OurText text) { gStatementHooks.appendTextBlock(text); }
void AppendDocumentTableBlock(Table* table) { gStatementHooks.appendTableBlock(table); }
void ApplyDocumentPrintRecord(RelocatableBlock* record) { gStatementHooks.applyPrintRecord(record); }
void ApplyDocumentTexture(char* bytes, int32_t count) { gStatementHooks.applyTexture(bytes, count); }
void AppendDocumentPicture(char* bytes, int32_t count, bool secondView, double first, double second) {
  gStatementHooks.appendPicture(bytes, count, secondView, first, second);
}
bool FinishDocumentRead() { return gStatementHooks.finishRead(); }
