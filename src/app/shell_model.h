// src/app/shell_model.h — everything the user gives about the shell of
// revolution: sections along the vertical axis, the segments between them,
// the loads and material, and the settings of the picture.
//
// Sections are numbered from 1; segment i lies between sections i and i + 1.
// The per-segment arrays have the same index range as the sections, so the
// entry at the last section exists (and is written to the data file) but is
// not used by the calculation. Index 0 stays unused so that the code reads
// like the formulas.
#pragma once

#include <cstdint>
#include <string>

namespace app {

constexpr int kMaxSections = 49;
constexpr int kMaxSegments = kMaxSections - 1;

// How the two membrane stresses make one equivalent stress.
enum : std::int32_t { kVonMises = 0, kTresca = 1 };

struct ShellModel {
  // Sections and segments (index 1..SectionCount).
  int SectionCount = 3;
  float SectionRadius[kMaxSections + 1] = {};   // r, mm
  float SectionHeight[kMaxSections + 1] = {};   // z, mm
  float ArcRadius[kMaxSections + 1] = {};       // generatrix arc radius, mm
  float Thickness[kMaxSections + 1] = {};       // wall thickness, mm
  float LineLoad[kMaxSections + 1] = {};        // "PY", N/m: kept, not used
  std::int32_t GeneratrixKind[kMaxSections + 1] = {};  // 0 straight, >0 arc centre inside, <0 outside

  int CurrentIndex = 1;  // section or segment shown by the section and segment menus

  // Loads and material.
  float InternalPressure = 0.2f;  // MPa
  float LiquidDensity = 1.0f;     // g/cm³
  float LiquidLevel = 150.0f;     // z of the liquid surface, mm
  float Overload = 10.0f;         // factor on gravity
  int SupportSection = 2;
  float ContourStep = 10.0f;      // target step along the generatrix, mm
  float YoungModulus = 210000.0f; // MPa
  float PoissonRatio = 0.3f;      // not edited, not stored
  float WallDensity = 7.85f;      // g/cm³
  float Gravity = 9.80665f;       // m/s², fixed
  float SupportReaction = 0.0f;   // N, found by the last calculation

  // Picture settings.
  float PictureScale = 0.25f;        // picture mm per model mm
  float FontHeight = 2.7f;           // picture mm
  float PressureScale = 100.0f;      // picture mm per MPa
  float ForceScale = 0.005f;         // picture mm per N
  float MembraneForceScale = 2.0001f;// picture mm per N/mm
  float StressScale = 5.0001f;       // picture mm per MPa
  float DisplacementScale = 5000.0f; // magnification of displacements
  float SecondDisplacementScale = 1000.0f;  // stored only
  float DiagramStep = 33.0f;         // picture mm between diagrams
  float SchemeOrigin[2] = {50.0f, -90.0f};
  float FirstRowOrigin[2] = {20.0f, -175.0f};  // stored only
  float LowerRowOrigin[2] = {20.0f, -260.0f};
  float HatchStep = 1.0f;            // wall hatching, picture mm; not stored

  // Design check. The data file keeps them after every other field, so a
  // file written before they existed loads with these defaults.
  float AllowableStress = 0.0f;      // [σ], MPa; 0 or below: no check
  std::int32_t EquivalenceRule = 0;  // kVonMises or kTresca

  // The first line of the data file as last read; written back unchanged.
  // It stays the last field and every field before it plain data: the
  // picture compares those bytes to tell whether a solver pass is needed.
  std::string DataFileHeaderText;
};

extern ShellModel Shell;  // the one model of the program; the default shell at start

// Sets every field to its default: the default shell is a sphere of radius
// 100 mm made of two arcs, wall 2 mm below and 4 mm above. The header text of
// the data file is kept.
void ResetShellModel(ShellModel& m = Shell);

// The sections the arrays hold: the count held to 0..kMaxSections. Every
// loop over the sections and every index into them is bounded by it.
int SectionsInUse(const ShellModel& m);
// The number of segments, with the count held to the capacity (0 when there
// are fewer than two sections).
int SegmentCount(const ShellModel& m);

}  // namespace app
