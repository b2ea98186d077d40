#pragma once

// The application's start-up call for the layers below: installs what they
// ask of app/ (the document's texture coding, whether a movie is saved or
// the benchmark runs). Tests and tools that read or
// write document pictures make it too.
void InstallAppHooks();
