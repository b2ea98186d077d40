#include "expression/ExpressionParser.h"

#include "expression/DocumentStatements.h"
#include "expression/LexerState.h"
#include "expression/ParserState.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace {

constexpr char kDocumentHeader[] = "Zentrolabworksheet";
constexpr int32_t kDocumentHeaderLength = sizeof kDocumentHeader - 1;

void RunParser(const char* text, int32_t length, bool document) {
  LEX_input = LEX_inputptr = text;
  LEX_inputlim = text + length;
  gParsedExpr = nullptr;
  gParserMessage = {};
  yyForget();
  gParsingDocument = document;
  yyInit();
  yyparse();
  yyForget();
  gParsingDocument = false;
}

// The refusal of the last expression parse.
std::string gExprRefusal;

// The reader's message with the text it had read when it gave up, the
// last of it when that is long.
std::string Refusal(const char* text, int32_t length) {
  constexpr long kMostShown = 40;
  std::string refusal = gParserMessage.text.empty() ? "not one formula" : gParserMessage.text;
  const long read = std::clamp(gParserMessage.scanned, 0L, long{length});
  if (gParserMessage.text.empty() || read == 0) return refusal;
  const long from = std::max(0L, read - kMostShown);
  refusal += " after \"";
  if (from > 0) refusal += "...";
  refusal.append(text + from, size_t(read - from));
  refusal += "\"";
  return refusal;
}

}  // namespace

ExpressionRecord* CoreParseExpr(const char* text, int32_t length) {
  gExprRefusal.clear();
  if (!text || length < 0) return nullptr;
  RunParser(text, length, false);
  ExpressionRecord* result = gParsedExpr;
  gParsedExpr = nullptr;
  if (!result) gExprRefusal = Refusal(text, length);
  return result;
}

const std::string& ExprParseRefusal() { return gExprRefusal; }

ExpressionRecord* ParseExprFromString(const char* text) {
  return text ? CoreParseExpr(text, static_cast<int32_t>(std::strlen(text))) : nullptr;
}

void CoreParseDoc(const char* text, int32_t length) {
  if (!text || length <= kDocumentHeaderLength - 1 || std::memcmp(text, kDocumentHeader, kDocumentHeaderLength) != 0)
    return;
  BeginDocumentRead();
  RunParser(text, length, true);
  EndDocumentRead();
}
