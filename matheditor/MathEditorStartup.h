#pragma once

// Installs the typesetting handlers this editor has and its entries of the
// math-edit hooks, keeping the document's entry. Start-up and tests call it
// before the first formula is laid out; calling it again changes nothing.
void InstallMathEditor();
