#include "graphpane/GraphMakers.h"

GraphMakers gGraphMakers;
