// The key script that goes with the built-in demo: it shows every ring mode,
// the help page, a manual turn and an inflated sphere, timed to the demo's
// three entries.
#pragma once

#include "session/key_script.h"

#include <vector>

std::vector<InputEvent> demoInputScript();
