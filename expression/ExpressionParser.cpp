#include "expression/ExpressionParser.h"

#include "expression/DocumentStatements.h"
#include "expression/LexerState.h"
#include "expression/ParserState.h"

#include <cstring>

namespace {

constexpr char kDocumentHeader[] = "Zentrolabworksheet";
constexpr int32_t kDocumentHeaderLength = sizeof kDocumentHeader - 1;

void RunParser(const char* text, int32_t length, bool document) {
  LEX_input = LEX_inputptr = text;
  LEX_inputlim = text + length;
  gParsedExpr = nullptr;
  yyForget();
  gParsingDocument = document;
  yyInit();
  yyparse();
  yyForget();
  gParsingDocument = false;
}

}  // namespace

ExpressionRecord* CoreParseExpr(const char* text, int32_t length) {
  if (!text || length < 0) return nullptr;
  RunParser(text, length, false);
  ExpressionRecord* result = gParsedExpr;
  gParsedExpr = nullptr;
  return result;
}

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
