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

DocumentStatementHooks gHooks = kNoDocument;

}  // namespace

void InstallDocumentStatementHooks(const DocumentStatementHooks& hooks) { gHooks = hooks; }
const DocumentStatementHooks& CurrentDocumentStatementHooks() { return gHooks; }

void SetDocumentUnderConstruction(DocumentRecord* document) { gDocumentUnderConstruction = document; }
DocumentRecord* GetDocumentUnderConstruction() { return gDocumentUnderConstruction; }

OurText ConstructTextBlock(DocumentRecord* document, bool useFirstTextBlockFont) {
  return gHooks.constructTextBlock(document, useFirstTextBlockFont);
}
Table* CreateDocumentTable(DocumentRecord* document) { return gHooks.createTable(document); }
void DisposeDocumentTable(Table* table) { gHooks.disposeTable(table); }
void AddDocumentTableCell(Table* table, const char* text, int32_t length, bool startNewColumn) {
  gHooks.addTableCell(table, text, length, startNewColumn);
}

void BeginDocumentRead() { gHooks.beginRead(); }
void EndDocumentRead() { gHooks.endRead(); }
void ReadDocumentHeader(double version) { gHooks.readHeader(version); }
void ApplyDocumentTextEncoding(bool utf8) { gHooks.applyTextEncoding(utf8); }
void ApplyDocumentFontName(const char* name) { gHooks.applyFontName(name); }
void ApplyDocumentSliderVariable(int32_t letter) { gHooks.applySliderVariable(letter); }
void ApplyDocumentNumbers(DocumentSetting setting, std::initializer_list<double> values) {
  gHooks.applyNumbers(setting, values);
}
void AppendDocumentEquation(ExpressionRecord* tree) { gHooks.appendEquation(tree); }
void AppendDocumentParameter(int32_t letter, double value) { gHooks.appendParameter(letter, value); }
void AppendDocumentTextBlock(OurText text) { gHooks.appendTextBlock(text); }
void AppendDocumentTableBlock(Table* table) { gHooks.appendTableBlock(table); }
void ApplyDocumentPrintRecord(RelocatableBlock* record) { gHooks.applyPrintRecord(record); }
void ApplyDocumentTexture(char* bytes, int32_t count) { gHooks.applyTexture(bytes, count); }
void AppendDocumentPicture(char* bytes, int32_t count, bool secondView, double first, double second) {
  gHooks.appendPicture(bytes, count, secondView, first, second);
}
bool FinishDocumentRead() { return gHooks.finishRead(); }
