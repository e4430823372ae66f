// src/app/model_fields.cpp — the model's values by their English names.
#include "app/model_fields.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace app {

namespace {

ModelField FloatField(const char* name, const char* meaning, float ShellModel::*f) {
  ModelField m{name, meaning};
  m.Float = f;
  return m;
}
ModelField IntField(const char* name, const char* meaning, std::int32_t ShellModel::*f, double least,
                    double most) {
  ModelField m{name, meaning};
  m.Int = f;
  m.Least = least;
  m.Most = most;
  return m;
}
ModelField SectionField(const char* name, const char* meaning, float (ShellModel::*f)[kMaxSections + 1]) {
  ModelField m{name, meaning};
  m.FloatArray = f;
  return m;
}

const ModelField kFields[] = {
    SectionField("radius", "mm, r of the section", &ShellModel::SectionRadius),
    SectionField("height", "mm, z of the section", &ShellModel::SectionHeight),
    SectionField("arc_radius", "mm, generatrix arc radius of the segment", &ShellModel::ArcRadius),
    SectionField("thickness", "mm, wall thickness of the segment", &ShellModel::Thickness),
    [] {
      ModelField m{"generatrix", "0 straight, 1 arc centre inside, -1 arc centre outside"};
      m.IntArray = &ShellModel::GeneratrixKind;
      m.Least = -1;
      m.Most = 1;
      return m;
    }(),
    FloatField("pressure", "MPa, internal pressure", &ShellModel::InternalPressure),
    FloatField("liquid_density", "g/cm3", &ShellModel::LiquidDensity),
    FloatField("liquid_level", "mm, z of the liquid surface", &ShellModel::LiquidLevel),
    FloatField("overload", "factor on gravity", &ShellModel::Overload),
    IntField("support_section", "number of the supported section", &ShellModel::SupportSection, 1,
             kMaxSections),
    FloatField("contour_step", "mm, calculation step along the generatrix", &ShellModel::ContourStep),
    FloatField("young_modulus", "MPa", &ShellModel::YoungModulus),
    FloatField("wall_density", "g/cm3", &ShellModel::WallDensity),
    FloatField("allowable_stress", "MPa, 0: no design check", &ShellModel::AllowableStress),
    IntField("equivalence", "von_mises (0) or tresca (1)", &ShellModel::EquivalenceRule, kVonMises, kTresca),
    FloatField("picture_scale", "picture mm per model mm", &ShellModel::PictureScale),
    FloatField("font_height", "picture mm", &ShellModel::FontHeight),
    FloatField("pressure_scale", "picture mm per MPa", &ShellModel::PressureScale),
    FloatField("force_scale", "picture mm per N", &ShellModel::ForceScale),
    FloatField("membrane_force_scale", "picture mm per N/mm", &ShellModel::MembraneForceScale),
    FloatField("stress_scale", "picture mm per MPa", &ShellModel::StressScale),
    FloatField("displacement_scale", "magnification of displacements", &ShellModel::DisplacementScale),
    FloatField("diagram_step", "picture mm between diagrams", &ShellModel::DiagramStep),
};

}  // namespace

bool ParseCommandNumber(std::string_view text, double& value) {
  if (!text.empty() && text[0] == '+') text.remove_prefix(1);
  if (text.empty() || text[0] == '+') return false;
  double v = 0;
  const auto r = std::from_chars(text.data(), text.data() + text.size(), v);
  if (r.ec != std::errc() || r.ptr != text.data() + text.size() || !std::isfinite(v)) return false;
  value = v;
  return true;
}

std::string ModelFieldNames() {
  std::string out;
  for (const ModelField& f : kFields) {
    std::string name = f.Name;
    if (f.PerSection()) name += "[:SECTION]";
    if (name.size() < 26) name.append(26 - name.size(), ' ');
    out += "  " + name + f.Meaning + "\n";
  }
  return out;
}

bool ParseFieldName(std::string_view text, ModelSetting& out, std::string& error) {
  const std::size_t colon = text.find(':');
  const std::string_view name = text.substr(0, colon);
  const ModelField* field = nullptr;
  for (const ModelField& f : kFields)
    if (name == f.Name) field = &f;
  if (field == nullptr) {
    error = "unknown name '" + std::string(name) + "'; the names are:\n" + ModelFieldNames();
    return false;
  }
  int section = 0;
  if (colon != std::string_view::npos) {
    const std::string_view number = text.substr(colon + 1);
    const auto r = std::from_chars(number.data(), number.data() + number.size(), section);
    if (!field->PerSection() || r.ec != std::errc() || r.ptr != number.data() + number.size() || section < 1 ||
        section > kMaxSections) {
      error = field->PerSection() ? std::string(name) + " wants a section from 1 to " +
                                        std::to_string(kMaxSections) + " after ':', not '" + std::string(number) + "'"
                                  : std::string(name) + " is one value for the whole shell: no ':SECTION'";
      return false;
    }
  }
  out.Field = field;
  out.Section = section;
  return true;
}

bool ParseSetting(std::string_view text, ModelSetting& out, std::string& error) {
  const std::size_t eq = text.find('=');
  if (eq == std::string_view::npos) {
    error = "--set wants NAME=VALUE, not '" + std::string(text) + "'; the names are:\n" + ModelFieldNames();
    return false;
  }
  ModelSetting s;
  if (!ParseFieldName(text.substr(0, eq), s, error)) return false;
  const std::string_view value = text.substr(eq + 1);
  if (s.Field->Int == &ShellModel::EquivalenceRule && (value == "von_mises" || value == "tresca")) {
    s.Value = value == "tresca" ? kTresca : kVonMises;
  } else if (!ParseCommandNumber(value, s.Value)) {
    error = std::string(s.Field->Name) + " wants a number, not '" + std::string(value) + "'; the names are:\n" +
            ModelFieldNames();
    return false;
  }
  out = s;
  return true;
}

bool ApplySetting(ShellModel& m, const ModelSetting& s, std::string& error) {
  const ModelField& f = *s.Field;
  const double v = s.Value;
  const int sections = std::max(1, SectionsInUse(m));
  auto refuse = [&](const std::string& why) {
    error = SettingName(s) + ": " + why;
    return false;
  };
  if (s.Section > sections) return refuse("the shell has " + std::to_string(sections) + " sections");
  if (f.Whole()) {
    double most = f.Int == &ShellModel::SupportSection ? sections : f.Most;
    if (v != std::floor(v) || v < f.Least || v > most)
      return refuse("wants a whole number from " + std::to_string(static_cast<int>(f.Least)) + " to " +
                    std::to_string(static_cast<int>(most)));
  } else if (!(std::fabs(v) <= std::numeric_limits<float>::max())) {
    return refuse("the number is too large");
  }
  const int first = s.Section == 0 ? 1 : s.Section, last = s.Section == 0 ? sections : s.Section;
  for (int i = first; i <= last; ++i) {
    if (f.FloatArray != nullptr) (m.*f.FloatArray)[i] = static_cast<float>(v);
    if (f.IntArray != nullptr) (m.*f.IntArray)[i] = static_cast<std::int32_t>(v);
  }
  if (f.Float != nullptr) m.*f.Float = static_cast<float>(v);
  if (f.Int != nullptr) m.*f.Int = static_cast<std::int32_t>(v);
  return true;
}

std::string SettingName(const ModelSetting& s) {
  std::string name = s.Field->Name;
  if (s.Section != 0) name += ":" + std::to_string(s.Section);
  return name;
}

}  // namespace app
