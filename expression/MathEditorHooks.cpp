#include "expression/MathEditorHooks.h"

namespace {
MathEditorHooks gHooks = {};
}

void InstallMathEditorHooks(const MathEditorHooks& hooks) { gHooks = hooks; }

const MathEditorHooks& CurrentMathEditorHooks() { return gHooks; }
