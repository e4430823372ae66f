// src/app/result_table.cpp — the rows of the result table.
#include "app/result_table.h"

#include "app/design_check.h"
#include "app/shell_file.h"
#include "graphics/lang.h"
#include "graphics/numbers.h"
#include "platform/codepage.h"

namespace app {

const char* ResultTableTitle() { return " Оболочка вращения; Shell of revolution"_sc; }

void ResultTableRows(const ShellModel& m, const ShellSolution& s, ResultRow rows[kResultRows]) {
  const ResultRow table[kResultRows] = {
      {"Давление, бар                 ;Pressure, bar                 "_sc, 10.0 * m.InternalPressure, 9, 3, false},
      {"Давление, МПа                 ;Pressure, MPa                 "_sc, m.InternalPressure, 9, 6, false},
      {"Уровень жидкости, мм          ;Liquid level, mm              "_sc, m.LiquidLevel, 9, 0, false},
      {"Плотность жидкости, г/куб.см  ;Liquid density, g/cu.cm       "_sc, m.LiquidDensity, 9, 3, false},
      {"Плотность стенок, г/куб.см    ;Wall density, g/cu.cm         "_sc, m.WallDensity, 9, 3, false},
      {"Перегрузка                    ;Overload factor               "_sc, m.Overload, 9, 3, false},
      {"Реакция опоры, Н              ;Support reaction, N           "_sc, m.SupportReaction, 9, 0, true},
      {"Номер сечения опоры           ;Support section number        "_sc, static_cast<double>(m.SupportSection), 9, 0, false},
      {"Объем, куб.см                ;Volume, cu.cm                "_sc, s.TotalVolume / 1000.0, 9, 3, true},
      {"Объем жидкости, куб.см       ;Liquid volume, cu.cm         "_sc, s.LiquidVolume / 1000.0, 9, 3, false},
      {"Объем стенок, куб.см         ;Wall volume, cu.cm           "_sc, s.WallVolume / 1000.0, 9, 3, false},
      {"Площадь стенок, кв.см        ;Wall area, sq.cm             "_sc, s.WallArea / 100.0, 9, 3, false},
      {"Масса жидкости, кг           ;Liquid mass, kg              "_sc, s.LiquidMass, 9, 3, false},
      {"Масса оболочки, кг           ;Shell mass, kg               "_sc, s.WallMass, 9, 3, false},
      {"Масса, кг                    ;Total mass, kg               "_sc, s.TotalMass, 9, 3, false},
  };
  for (int i = 0; i < kResultRows; ++i) rows[i] = table[i];
}

void BendingTableRows(const ShellModel& m, const ShellSolution& s, const BendingSolution& b,
                      ResultRow rows[kBendingRows]) {
  const NodePeak peak = FindSurfacePeaks(m, s, b).Equivalent;
  rows[0] = {"Пик экв. напряжения, МПа     ;Peak equivalent stress, MPa  "_sc, peak.Value, 9, 3, true};
  rows[1] = {"Участок пика                 ;Segment of the peak          "_sc,
             static_cast<double>(peak.Segment), 9, 0, false};
  rows[2] = {"Высота пика, мм              ;Height of the peak, mm       "_sc, peak.Z, 9, 3, false};
}

int TableRows(const ShellModel& m, const ShellSolution& s, const BendingSolution* b,
              ResultRow rows[kResultRows + kBendingRows]) {
  ResultTableRows(m, s, rows);
  if (b == nullptr) return kResultRows;
  BendingTableRows(m, s, *b, rows + kResultRows);
  return kResultRows + kBendingRows;
}

std::string ResultRowText(const ResultRow& row, int language, bool compact) {
  std::string out;
  AppendResultRowText(out, row, language, compact);
  return out;
}

void AppendResultRowText(std::string& out, const ResultRow& row, int language, bool compact) {
  out += gfx::LangPartView(row.Label, language);
  out += ' ';
  out += (compact ? gfx::FormatNumberCompact : gfx::FormatNumber)(row.Value, row.Width, row.Decimals);
}

std::string StepEnlargedNote(const ShellSolution& s) {
  if (!s.StepEnlarged) return std::string();
  std::string step = FormatByMagnitude(s.EffectiveStep);
  step.erase(0, step.find_first_not_of(' '));
  return std::string("Шаг по контуру увеличен до "_sc) + step + " мм;"_sc +
         "Contour step enlarged to " + step + " mm";
}

}  // namespace app
