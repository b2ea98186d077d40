#pragma once

// Fills the 3-D entries of the pane's graph makers (graphpane/GraphMakers.h).
void Install3DGraphMakers();
