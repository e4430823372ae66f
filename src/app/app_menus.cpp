// src/app/app_menus.cpp — the application's menus.
#include "app/app_menus.h"

#include <algorithm>
#include <span>

#include "app/picture.h"
#include "app/picture_fit.h"
#include "app/shell_model.h"
#include "app/shell_solver.h"
#include "graphics/lang.h"
#include "menu/input.h"
#include "platform/codepage.h"
#include "platform/driver.h"

namespace app {

namespace {

using menu::KeyCode;
using menu::ValueRange;

// What the values may be. A wall of no thickness and a material of no
// stiffness divide the forces and strains by 0, and a new scheme of no
// radius its picture scale; they are held above 0. Lengths, loads and
// scales are held far beyond any real shell, so that no product of the
// calculation or the picture leaves the range of its numbers.
constexpr ValueRange kLength{-1e6f, 1e6f};        // mm
constexpr ValueRange kThickness{0.001f, 1e4f};    // mm
constexpr ValueRange kModulus{0.001f, 1e8f};      // MPa
constexpr ValueRange kPressure{-1e4f, 1e4f};      // MPa
constexpr ValueRange kDensity{-1e3f, 1e3f};       // g/cm³
constexpr ValueRange kFactor{-1e4f, 1e4f};        // the overload
constexpr ValueRange kScale{-1e6f, 1e6f};         // the picture's settings
constexpr ValueRange kAllowable{0, 1e6f};         // MPa, 0: none
constexpr ValueRange kNewRadius{0.001f, 1e6f};    // mm
constexpr ValueRange kNewSegments{1, kMaxSegments};
constexpr ValueRange kNumber{1, menu::kAnyNumber.Max};  // of a section or segment

void SetNumberItem(int i, std::string_view label, float value, int width, int decimals, ValueRange range) {
  menu::SetNumberItem(i, label, value, width, decimals);
  menu::SetItemRange(i, range);
}

// A menu's value of the model: item i + 1 of the menu shows entry i of its
// table. An entry without a field is a menu's own item, shown and taken by
// the menu itself.
struct ModelValue {
  const char* Label;
  float ShellModel::*Field;
  int Width;
  int Decimals;
  ValueRange Range;
};

void ShowModelValues(std::span<const ModelValue> items) {
  for (std::size_t i = 0; i < items.size(); ++i)
    if (const ModelValue& v = items[i]; v.Field)
      SetNumberItem(static_cast<int>(i) + 1, v.Label, Shell.*v.Field, v.Width, v.Decimals, v.Range);
}

// The value typed into the item that the key chose, into the model; false
// when the key chose no value of the table.
bool TakeModelValue(std::span<const ModelValue> items, KeyCode key) {
  const int i = key - '1';
  if (i < 0 || i >= static_cast<int>(items.size()) || !items[i].Field) return false;
  Shell.*items[i].Field = menu::GetItemValue(i + 1);
  return true;
}

constexpr ModelValue kLoadValues[] = {
    {"Давление в оболочке, МПа ;Internal pressure, MPa "_sc, &ShellModel::InternalPressure, 9, 6, kPressure},
    {"Плотность жидкости, г/куб.см ;Liquid density, g/cu.cm "_sc, &ShellModel::LiquidDensity, 6, 3, kDensity},
    {"Уровень жидкости, мм ;Liquid level, mm "_sc, &ShellModel::LiquidLevel, 6, 3, kLength},
    {"Перегрузка ;Overload factor "_sc, &ShellModel::Overload, 6, 3, kFactor},
    {"Шаг по контуру, мм ;Contour step, mm "_sc, &ShellModel::ContourStep, 6, 3, kLength},
    {"Плотность стенок, г/куб.см ;Wall density, g/cu.cm "_sc, &ShellModel::WallDensity, 6, 3, kDensity},
    {"Номер сечения опоры;Support section"_sc, nullptr, 9, 0, {}},  // a whole number
    {"Модуль упругости, МПа;Young's modulus, MPa"_sc, &ShellModel::YoungModulus, 9, 0, kModulus},
};

constexpr ModelValue kPictureValues[] = {
    {"Масштаб;Scale"_sc, &ShellModel::PictureScale, 6, 3, kScale},
    {"Высота шрифта, мм;Font height, mm"_sc, &ShellModel::FontHeight, 6, 3, kScale},
    {"Масштаб давлений;Pressure scale"_sc, &ShellModel::PressureScale, 6, 3, kScale},
    {"Масштаб сил;Force scale"_sc, &ShellModel::ForceScale, 6, 3, kScale},
    {"Масштаб усилий;Membrane force scale"_sc, &ShellModel::MembraneForceScale, 6, 3, kScale},
    {"Масштаб напряжений;Stress scale"_sc, &ShellModel::StressScale, 6, 3, kScale},
    {"Масштаб перемещений;Displacement scale"_sc, &ShellModel::DisplacementScale, 6, 3, kScale},
    {"Шаг эпюр;Diagram spacing"_sc, &ShellModel::DiagramStep, 6, 3, kScale},
};


// The section and segment numbers index the model's arrays: they are held
// to the sections that exist before any use.
int SectionIndex() { return std::clamp(Shell.CurrentIndex, 1, std::max(1, SectionsInUse(Shell))); }
int SegmentIndex() { return std::clamp(Shell.CurrentIndex, 1, std::max(1, SegmentCount(Shell))); }

const char* KindText(std::int32_t kind) {
  if (kind == 0) return "Прямой;Straight"_sc;
  if (kind > 0) return "Дуга - центр внутри;Arc - centre inside"_sc;
  return "Дуга - центр снаружи;Arc - centre outside"_sc;
}

}  // namespace

AppSlots Slots;

void FitScales() {
  FitPictureScales(WindowAspect());
  Slots.FitViewHook();
}

bool AnsweredYes() {
  std::uint8_t k = platform::Drv.DrvReadKey();
  return k == 'Y' || k == 'y';
}

void AppMainMenu(KeyCode& key) {
  for (;;) {
    if (key != menu::kKeyCtrlZ) {
      menu::SetTitleItem(0, "Оболочка вращения. Сечений;Shell of revolution. Sections"_sc,
                         static_cast<float>(Shell.SectionCount), 4, 0);
      menu::SetTextItems(1, {"Файл/Выход;File/Exit"_sc, "Изображение;Picture"_sc, "Новая схема;New scheme"_sc,
                             "Сечение;Section"_sc, "Участок;Segment"_sc, "Нагрузки;Loads"_sc,
                             "Подобрать масштабы;Fit scales"_sc, "Проверка прочности;Design check"_sc});
      menu::RunMenu(8, key);
    }
    if (key == menu::kKeyCtrlZ || key == '1') {
      Slots.FileMenuHook(key);
      if (key == menu::kKeyEnd) return;
      Slots.FullRedraw();
      if (menu::IsBackKey(key) || key == menu::kKeyCtrlZ || key == '1') {
        key = menu::kKeyComplete;
        continue;
      }
    } else if (key == '7') {
      FitScales();
      key = menu::kKeyComplete;
      continue;
    } else if (key >= '2' && key <= '8') {
      switch (key) {
        case '2': ImageMenu(key); break;
        case '3': NewSchemeMenu(key); break;
        case '4': SectionMenu(key); break;
        case '5': SegmentMenu(key); break;
        case '6': LoadsMenu(key); break;
        default: DesignCheckMenu(key); break;
      }
      if (menu::IsBackKey(key)) {
        key = menu::kKeyComplete;
        continue;
      }
      if (key == menu::kKeyCtrlZ) continue;  // straight to the file menu
    }
    if (key == menu::kKeyEnd || key == menu::kKeyEsc) return;
    key = menu::kKeyComplete;
  }
}

void NewSchemeMenu(KeyCode& key) {
  menu::PromptLine(0, gfx::LangPart(" Новая оболочка? (Y/N); New shell? (Y/N)"_sc));
  if (AnsweredYes()) {
    std::int32_t n = Shell.SectionCount - 1, status = 0;
    float r = 500, length = 500, t = 2;
    menu::InputInt(" Число участков; Number of segments"_sc, n, status, kNewSegments);
    menu::InputFloat(" Радиус; Radius"_sc, r, status, kNewRadius);
    menu::InputFloat(" Длина участка; Segment length"_sc, length, status, kLength);
    menu::InputFloat(" Толщина оболочки; Wall thickness"_sc, t, status, kThickness);
    if (n >= 1 && n <= kMaxSegments) {
      Shell.SectionCount = n + 1;
      for (int i = 1; i <= n + 1; ++i) {
        Shell.SectionRadius[i] = r;
        Shell.SectionHeight[i] = static_cast<float>(i - 1) * length;
        Shell.GeneratrixKind[i] = 0;
        Shell.ArcRadius[i] = 0;
        Shell.Thickness[i] = t;
      }
      Shell.InternalPressure = 0;
      Shell.Overload = 0;
      Shell.PictureScale = 10 / r;
      Shell.ContourStep = length / 10;
      Shell.CurrentIndex = std::min(Shell.CurrentIndex, Shell.SectionCount);
      FitScales();  // the new shell's own scales, in place of the last shell's
      key = menu::kKeyComplete;
      return;
    }
  }
  Slots.FullRedraw();
  key = menu::kKeyComplete;
}

void SectionMenu(KeyCode& key) {
  for (;;) {
    const int c = SectionIndex();
    Shell.CurrentIndex = c;
    menu::SetTitleItem(0, "Сечений;Sections"_sc, static_cast<float>(Shell.SectionCount), 6, 0);
    SetNumberItem(1, "Номер;Number"_sc, static_cast<float>(c), 6, 0, kNumber);
    SetNumberItem(2, "Радиус, мм;Radius, mm"_sc, Shell.SectionRadius[c], 6, 3, kLength);
    SetNumberItem(3, "Высота, мм;Height, mm"_sc, Shell.SectionHeight[c], 6, 3, kLength);
    menu::RunMenu(3, key);
    if (key == menu::kKeyRefresh) continue;
    if (key == '1') {
      const int n = menu::GetItemInt(1);
      if (n < 1) continue;  // refused: the number stays
      if (n > Shell.SectionCount) {
        menu::PromptLine(0, gfx::LangPart(" Новое сечение? (Y/N); New section? (Y/N)"_sc));
        const int m = Shell.SectionCount;
        if (AnsweredYes() && m < kMaxSections) {
          Shell.SectionCount = m + 1;
          Shell.SectionHeight[m + 1] = 2 * Shell.SectionHeight[m] - Shell.SectionHeight[m - 1];
          Shell.SectionRadius[m + 1] = Shell.SectionRadius[m];
          Shell.GeneratrixKind[m + 1] = 0;
          Shell.ArcRadius[m + 1] = Shell.ArcRadius[m];
        }
        Shell.CurrentIndex = Shell.SectionCount;
      } else {
        Shell.CurrentIndex = n;
      }
    } else if (key == '2') {
      Shell.SectionRadius[c] = menu::GetItemValue(2);
    } else if (key == '3') {
      Shell.SectionHeight[c] = menu::GetItemValue(3);
    } else {
      return;
    }
    Slots.FullRedraw();
  }
}

void SegmentMenu(KeyCode& key) {
  for (;;) {
    const int c = SegmentIndex();
    Shell.CurrentIndex = c;
    const std::int32_t kind = Shell.GeneratrixKind[c];
    menu::SetTitleItem(0, "Участков;Segments"_sc, static_cast<float>(Shell.SectionCount - 1), 6, 0);
    SetNumberItem(1, "Номер участка;Segment number"_sc, static_cast<float>(c), 6, 0, kNumber);
    SetNumberItem(2, "Радиус сечения начала, мм;Start radius, mm"_sc, Shell.SectionRadius[c], 6, 3, kLength);
    SetNumberItem(3, "Высота сечения начала, мм;Start height, mm"_sc, Shell.SectionHeight[c], 6, 3, kLength);
    SetNumberItem(4, "Длина ;Length "_sc, Shell.SectionHeight[c + 1] - Shell.SectionHeight[c], 6, 3, kLength);
    SetNumberItem(5, "Радиус сечения конца, мм;End radius, mm"_sc, Shell.SectionRadius[c + 1], 6, 3, kLength);
    SetNumberItem(6, "Высота сечения конца, мм;End height, mm"_sc, Shell.SectionHeight[c + 1], 6, 3, kLength);
    SetNumberItem(7, "Толщина оболочки, мм;Wall thickness, mm"_sc, Shell.Thickness[c], 6, 3, kThickness);
    menu::SetTitleItem(8, KindText(kind), static_cast<float>(kind), 6, 0);
    SetNumberItem(9, "Радиус образующей, мм;Generatrix radius, mm"_sc, Shell.ArcRadius[c], 6, 3, kLength);
    menu::RunMenu(kind == 0 ? 8 : 9, key);
    if (key == menu::kKeyRefresh) continue;
    const float v = key >= '1' && key <= '9' ? menu::GetItemValue(key - '0') : 0;
    switch (key) {
      case '1': {
        const int n = menu::GetItemInt(1);
        if (n < 1) continue;  // refused
        if (n > Shell.SectionCount - 1) {
          Shell.CurrentIndex = Shell.SectionCount - 1;
          continue;  // the last segment, shown without a redraw
        }
        Shell.CurrentIndex = n;
        break;
      }
      case '2': Shell.SectionRadius[c] = v; break;
      case '3': Shell.SectionHeight[c] = v; break;
      case '4': {
        const float d = v - (Shell.SectionHeight[c + 1] - Shell.SectionHeight[c]);
        for (int j = c + 1; j <= SectionsInUse(Shell); ++j)
          Shell.SectionHeight[j] += d;
        break;
      }
      case '5': Shell.SectionRadius[c + 1] = v; break;
      case '6': Shell.SectionHeight[c + 1] = v; break;
      case '7': Shell.Thickness[c] = v; break;
      case '8':
        GeneratrixMenu(key);
        if (menu::IsBackKey(key)) continue;
        return;
      case '9': Shell.ArcRadius[c] = v; break;
      default: return;
    }
    Slots.FullRedraw();
  }
}

void GeneratrixMenu(KeyCode& key) {
  for (;;) {
    const int c = SegmentIndex();
    const std::int32_t kind = Shell.GeneratrixKind[c];
    menu::SetTitleItem(0, KindText(kind), static_cast<float>(kind), 6, 0);
    menu::SetTextItems(1, {"Прямой;Straight"_sc, "Дуга - центр внутри;Arc - centre inside"_sc,
                           "Дуга - центр снаружи;Arc - centre outside"_sc});
    SetNumberItem(4, "Радиус образующей, мм;Generatrix radius, mm"_sc, Shell.ArcRadius[c], 6, 3, kLength);
    menu::RunMenu(4, key);
    if (key == menu::kKeyRefresh) continue;
    switch (key) {
      case '1': Shell.GeneratrixKind[c] = 0; break;
      case '2': Shell.GeneratrixKind[c] = 1; break;
      case '3': Shell.GeneratrixKind[c] = -1; break;
      case '4': Shell.ArcRadius[c] = menu::GetItemValue(4); break;
      default: return;
    }
    Slots.FullRedraw();
  }
}

void LoadsMenu(KeyCode& key) {
  for (;;) {
    menu::SetTextItem(0, "Нагрузки;Loads"_sc);
    ShowModelValues(kLoadValues);
    menu::SetNumberItem(7, kLoadValues[6].Label, static_cast<float>(Shell.SupportSection), 9, 0);
    menu::RunMenu(8, key);
    if (key == menu::kKeyRefresh) continue;
    if (key == '7')
      Shell.SupportSection = menu::GetItemInt(7);
    else if (!TakeModelValue(kLoadValues, key))
      return;
    Slots.FullRedraw();
  }
}

void ImageMenu(KeyCode& key) {
  for (;;) {
    // The title shows the nodes the calculation actually used.
    menu::SetTitleItem(0, "Изображение;Picture"_sc, static_cast<float>(Solution.NodeCount), 6, 0);
    ShowModelValues(kPictureValues);
    // The analysis the picture shows: the membrane results, or with them
    // the bending at junctions, supports and lids. (The menu holds nine
    // items: the fit of the scales is main menu 7.)
    menu::SetTextItem(9, PictureAnalysis == Analysis::Bending
                             ? "Расчет: мембрана + изгиб;Analysis: membrane + bending"_sc
                             : "Расчет: мембрана;Analysis: membrane"_sc);
    menu::RunMenu(9, key);
    if (key == menu::kKeyRefresh) continue;
    if (key == '9') {
      PictureAnalysis = PictureAnalysis == Analysis::Bending ? Analysis::Membrane : Analysis::Bending;
      Slots.FullRedraw();
      continue;
    }
    if (!TakeModelValue(kPictureValues, key)) return;
    Slots.FullRedraw();
  }
}

void DesignCheckMenu(KeyCode& key) {
  for (;;) {
    const bool tresca = Shell.EquivalenceRule == kTresca;
    menu::SetTextItem(0, tresca ? "Проверка прочности по Треска;Design check: Tresca"_sc
                                : "Проверка прочности по Мизесу;Design check: von Mises"_sc);
    SetNumberItem(1, "Допускаемое напряжение, МПа (0 - нет);Allowable stress, MPa (0 - none)"_sc,
                  Shell.AllowableStress, 9, 3, kAllowable);
    menu::SetTextItem(2, "Эквивалентное напряжение по Мизесу;Equivalent stress by von Mises"_sc);
    menu::SetTextItem(3, "Эквивалентное напряжение по Треска;Equivalent stress by Tresca"_sc);
    menu::RunMenu(3, key);
    if (key == menu::kKeyRefresh) continue;
    switch (key) {
      case '1': Shell.AllowableStress = menu::GetItemValue(1); break;
      case '2': Shell.EquivalenceRule = kVonMises; break;
      case '3': Shell.EquivalenceRule = kTresca; break;
      default: return;
    }
    Slots.FullRedraw();
  }
}

}  // namespace app
