// src/app/model_fields.h — the model's values by their English names, for
// the command line: --set NAME=VALUE, --sweep NAME=FROM:TO:COUNT.
//
// A per-section value takes NAME:SECTION ("thickness:2"); without :SECTION
// it is set at every section. radius and height belong to the section;
// arc_radius, thickness and generatrix to the segment that starts there.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "app/shell_model.h"

namespace app {

struct ModelField {
  const char* Name;
  const char* Meaning;  // for the list of names: unit or the values taken
  float ShellModel::*Float = nullptr;
  std::int32_t ShellModel::*Int = nullptr;
  float (ShellModel::*FloatArray)[kMaxSections + 1] = nullptr;
  std::int32_t (ShellModel::*IntArray)[kMaxSections + 1] = nullptr;
  double Least = 0, Most = 0;  // the range of a whole-number field
  bool PerSection() const { return FloatArray != nullptr || IntArray != nullptr; }
  bool Whole() const { return Int != nullptr || IntArray != nullptr; }
};

struct ModelSetting {
  const ModelField* Field = nullptr;
  int Section = 0;  // 0: every section
  double Value = 0;
};

// A number as the command line takes it: a finite decimal (an exponent
// allowed), nothing else around it.
bool ParseCommandNumber(std::string_view text, double& value);

// "NAME" or "NAME:SECTION"; false with a message that lists the names.
bool ParseFieldName(std::string_view text, ModelSetting& out, std::string& error);

// "NAME[:SECTION]=VALUE"; equivalence also takes von_mises and tresca.
bool ParseSetting(std::string_view text, ModelSetting& out, std::string& error);

// Stores the value in m: a section within m's sections, a whole number for
// a whole-number field, support_section within the sections; false with a
// message, m unchanged.
bool ApplySetting(ShellModel& m, const ModelSetting& s, std::string& error);

// The name as a CSV header writes it: "thickness:2", "pressure".
std::string SettingName(const ModelSetting& s);

// The names, one per line with their meaning, for messages and --help.
std::string ModelFieldNames();

}  // namespace app
