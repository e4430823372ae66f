// src/app/shell_check.h — whether the results of a model can be shown.
//
// Membrane theory gives no number for a wall of no thickness or a material
// of no stiffness, and inputs far out of scale overflow the 32-bit
// results. A consumer of the results asks this one check first and shows
// its message instead of a result that is not a number.
#pragma once

#include <string>

#include "app/shell_model.h"
#include "app/shell_solver.h"

namespace app {

// "" when the solved model's results are all finite; otherwise what is
// wrong (screen text, Russian;English).
std::string ShellFault(const ShellModel& m, const ShellSolution& s);

}  // namespace app
