#pragma once

// The document's start-up call: fills what the layers below ask of a
// document (the parser's statements, the names in a formula, the queries
// of running programs). The application, and every test and tool that
// reads, compiles or evaluates against a document, makes it once before.
void InstallDocumentHooks();
