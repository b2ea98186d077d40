#pragma once

// The lexer's input, set by the parse entries before yyInit: the text need
// not end with a zero byte.
extern const char* LEX_input;
extern const char* LEX_inputptr;  // the next byte not yet scanned
extern const char* LEX_inputlim;  // one past the last byte
// Bytes of the input the tokens matched so far took (the scanner itself
// reads ahead): where a syntax error was found.
extern long LEX_scanned;
// Set for a document: the next yylex starts in document mode.
extern bool gParsingDocument;

int yylex();
// Empties the scanner and starts the expression mode; frees any object a
// stopped read left half-built.
void yyInit();
// At quit: frees the scanner's buffers.
void yyCleanUp();
