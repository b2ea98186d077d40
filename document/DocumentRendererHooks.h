#pragma once

// The document's answers to what the 3-D renderer asks: its background,
// antialiasing and graph settings and its regraphing; InstallDocumentHooks
// fills them in. The graph world and translucency come with the 3-D views.
void InstallDocumentRendererHooks();
