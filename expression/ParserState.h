#pragma once

#include "expression/ExpressionRecord.h"

#include <cstdint>
#include <string>

// The parser, the lexer and their node list are process-wide and not
// re-entrant: parsing runs on the interface thread only.

// Past this many stacked states the parse fails with result 2.
inline constexpr int32_t kMostParserStackEntries = 10000;

// Every node the expression rules make, so that a failed parse frees them.
struct ParserNodeList {
  ExpressionRecord** items;
  int32_t count;
  int32_t capacity;
};

extern ParserNodeList gParserNodeStack;
// The tree of the last expression parse, until the expression entry takes it.
extern ExpressionRecord* gParsedExpr;

// The node, appended to the list (unrecorded when the list cannot grow).
ExpressionRecord* yyAdd(ExpressionRecord* node);
// Disposes gParsedExpr and every recorded node; the first message of a
// parse is kept with how far the scanner had read.
void yyerror(const char* message);
// The first message of the last parse and the input bytes scanned when it
// came; an empty message when none came or it was empty.
struct ParserMessage {
  std::string text;
  long scanned = 0;
};
extern ParserMessage gParserMessage;
// The list lets go of its nodes without freeing them.
void yyForget();
// Drops from the list the recorded nodes that a rewrite freed: those found
// under `tree` before it (`before`, from CollectSubtree) and gone after.
void yyForgetFreedNodes(ExpressionRecord** before, int32_t beforeCount, ExpressionRecord* tree);

int yyparse();
