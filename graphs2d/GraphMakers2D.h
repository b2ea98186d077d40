#pragma once

// Fills the 2-D entries of the pane's graph makers (graphpane/GraphMakers.h).
void Install2DGraphMakers();
