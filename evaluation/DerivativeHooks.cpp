#include "evaluation/DerivativeHooks.h"

namespace {
DerivativeHooks gHooks = {};
}

void InstallDerivativeHooks(const DerivativeHooks& hooks) { gHooks = hooks; }

const DerivativeHooks& CurrentDerivativeHooks() { return gHooks; }
