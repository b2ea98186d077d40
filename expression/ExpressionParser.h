#pragma once

#include "expression/ExpressionRecord.h"

#include <cstdint>
#include <string>

// Parses one expression; null when the text is not exactly one expression
// (syntax error, a ';' or a statement, refused shape, memory).
ExpressionRecord* CoreParseExpr(const char* text, int32_t length);
ExpressionRecord* ParseExprFromString(const char* text);  // zero-terminated
// Why the last expression parse gave no tree: the reader's message and the
// text it had read, as in: syntax error after "vector(cos(3t". Empty after
// a parse that gave one.
const std::string& ExprParseRefusal();

// Reads a document text into the document under construction; does
// nothing unless the text starts with the header word. The document's
// read-succeeded flag tells whether the read was accepted.
void CoreParseDoc(const char* text, int32_t length);

// The automaton's size, as the grammar generator built it.
extern const int32_t gParserStateCount;
extern const int32_t gParserAcceptingState;
