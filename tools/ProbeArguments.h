#pragma once

#include <string>

class AnExpression;
class DocumentRecord;

// Command-line pieces the drawing probes share.

// A whole-number argument: the fallback when absent, -1 when not a whole number.
int WholeArgument(const char* text, int fallback);
// A number argument: the fallback when absent, -1 when not a number.
double NumberArgument(const char* text, double fallback);
// The formula text as an expression on the document; null, with a message
// on the error stream, when it can't be read.
AnExpression* ExpressionFromText(const std::string& text, DocumentRecord* document = nullptr);
