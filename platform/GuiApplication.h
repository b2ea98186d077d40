#pragma once

// Fonts, text layout and images need a GUI application object. Code that
// may run before start-up has made one (tests, tools) calls this first.
// Returns false when a non-GUI application object already exists.
bool EnsureGuiApplication();
