// src/app/shell_check.cpp — whether the results of a model can be shown.
#include "app/shell_check.h"

#include <cmath>

#include "graphics/numbers.h"
#include "platform/codepage.h"

namespace app {

namespace {

bool AllFinite(const float* values, int first, int last) {
  for (int k = first; k <= last; ++k)
    if (!std::isfinite(values[k])) return false;
  return true;
}

std::string OutOfRange(const char* ru, const char* en) {
  return std::string("Результаты вне диапазона чисел ("_sc) + ru +
         "): проверьте размеры и нагрузки;The results are out of the range of numbers ("_sc + en +
         "): check the sizes and loads";
}

}  // namespace

std::string ShellFault(const ShellModel& m, const ShellSolution& s) {
  const int segs = SegmentCount(m);
  for (int i = 1; i <= segs; ++i) {
    if (!(m.Thickness[i] > 0)) {
      const std::string n = gfx::FormatFixed(i, 0, 0);
      return "Толщина стенки участка "_sc + n + " должна быть больше 0;The wall thickness of segment "_sc +
             n + " must be above 0";
    }
  }
  if (!(m.YoungModulus > 0)) return "Модуль упругости должен быть больше 0;Young's modulus must be above 0"_sc;

  const struct {
    const char* Ru;
    const char* En;
    float Value;
  } totals[] = {
      {"объем"_sc, "volume", s.TotalVolume},
      {"объем жидкости"_sc, "liquid volume", s.LiquidVolume},
      {"объем стенок"_sc, "wall volume", s.WallVolume},
      {"площадь стенок"_sc, "wall area", s.WallArea},
      {"масса жидкости"_sc, "liquid mass", s.LiquidMass},
      {"масса оболочки"_sc, "shell mass", s.WallMass},
      {"масса"_sc, "total mass", s.TotalMass},
      {"реакция опоры"_sc, "support reaction", m.SupportReaction},
  };
  for (const auto& t : totals)
    if (!std::isfinite(t.Value)) return OutOfRange(t.Ru, t.En);

  const int n = s.NodeCount;
  const struct {
    const char* Ru;
    const char* En;
    const float* Values;
    int Last;  // the displacement columns hold one node more
  } columns[] = {
      {"координаты узлов"_sc, "node positions", s.NodeR, n},
      {"координаты узлов"_sc, "node positions", s.NodeZ, n},
      {"нормали"_sc, "normals", s.NormalR, n},
      {"нормали"_sc, "normals", s.NormalZ, n},
      {"давление"_sc, "pressure", s.Pressure, n},
      {"продольная сила"_sc, "axial force", s.AxialForce, n},
      {"меридианальные усилия"_sc, "meridional forces", s.MeridionalForce, n},
      {"кольцевые усилия"_sc, "hoop forces", s.HoopForce, n},
      {"меридианальные напряжения"_sc, "meridional stresses", s.MeridionalStress, n},
      {"кольцевые напряжения"_sc, "hoop stresses", s.HoopStress, n},
      {"деформации"_sc, "strains", s.MeridionalStrain, n},
      {"деформации"_sc, "strains", s.HoopStrain, n},
      {"перемещения"_sc, "displacements", s.RadialDisplacement, n + 1},
      {"перемещения"_sc, "displacements", s.AxialDisplacement, n + 1},
      {"перемещения"_sc, "displacements", s.TangentialDisplacement, n},
      {"перемещения"_sc, "displacements", s.NormalDisplacement, n},
  };
  for (const auto& c : columns)
    if (!AllFinite(c.Values, 1, c.Last)) return OutOfRange(c.Ru, c.En);
  return std::string();
}

}  // namespace app
