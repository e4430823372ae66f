// src/app/shell_check.h — whether the results of a model can be shown.
//
// Membrane theory gives no number for a wall of no thickness or a material
// of no stiffness, and finite inputs far out of scale (an arc radius of
// 1e30 mm, radii of 1e20 mm) overflow the 32-bit results. Every consumer
// of the results — the picture, the report and the node table, the exports,
// the sweeps and the fit — asks this one check first and shows its message
// instead of a result that is not a number: no NaN or infinity is ever
// drawn or printed.
#pragma once

#include <string>

#include "app/shell_model.h"
#include "app/shell_solver.h"

namespace app {

// "" when the solved model's results are all finite; otherwise what is
// wrong (screen text, Russian;English). The model's own faults (a wall
// thickness or a modulus not above 0) are named as such; any other
// non-finite result is named by the first quantity found.
std::string ShellFault(const ShellModel& m, const ShellSolution& s);

}  // namespace app
