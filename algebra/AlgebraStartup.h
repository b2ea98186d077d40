#pragma once

// Gives the layers below the algebra's differentiation (compiled
// expressions' derivatives). Once, before any thread derives one.
void InstallAlgebra();
