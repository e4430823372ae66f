// src/app/shell_check.cpp — whether the results of a model can be shown.
#include "app/shell_check.h"

#include <cmath>

#include "graphics/codepage.h"
#include "graphics/numbers.h"

namespace app {

std::string ShellFault(const ShellModel& m, const ShellSolution& s) {
  const int segs = SegmentCount(m);
  for (int i = 1; i <= segs; ++i) {
    if (m.Thickness[i] > 0) continue;
    const std::string n = gfx::FormatFixed(i, 0, 0);
    return "Толщина стенки участка "_sc + n + " должна быть больше 0;The wall thickness of segment " + n +
           " must be above 0";
  }
  if (!(m.YoungModulus > 0)) return "Модуль упругости должен быть больше 0;Young's modulus must be above 0"_sc;
  const float totals[] = {s.TotalVolume, s.LiquidVolume, s.WallVolume, s.WallArea,
                          s.LiquidMass,  s.WallMass,     s.TotalMass,  m.SupportReaction};
  bool finite = true;
  for (float v : totals) finite = finite && std::isfinite(v);
  const float* columns[] = {s.NodeR, s.NodeZ, s.NormalR, s.NormalZ, s.Pressure, s.AxialForce,
                            s.MeridionalForce, s.HoopForce, s.MeridionalStress, s.HoopStress,
                            s.MeridionalStrain, s.HoopStrain, s.RadialDisplacement,
                            s.AxialDisplacement, s.TangentialDisplacement, s.NormalDisplacement};
  for (const float* c : columns)
    for (int k = 1; finite && k <= s.NodeCount; ++k) finite = std::isfinite(c[k]);
  if (finite) return std::string();
  return "Результаты вне диапазона чисел: проверьте размеры и нагрузки;"_sc
         "The results are out of the range of numbers: check the sizes and loads";
}

}  // namespace app
