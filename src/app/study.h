// src/app/study.h — parameter studies from the command line: a grid of
// variants of one shell (--sweep) and the wall thickness sized against the
// allowable stress (--size-wall).
//
// A study runs in one process; a large one is split over processes by
// giving each its part of the grid (--part K/N). The command line is the
// unit of distribution: the program keeps no queue of its own.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "app/model_fields.h"
#include "app/shell_model.h"

namespace app {

// NAME=FROM:TO:COUNT: COUNT values from FROM to TO, evenly spaced.
struct Sweep {
  ModelSetting Setting;
  double From = 0, To = 0;
  long long Count = 0;
};

constexpr long long kMostVariants = 100000000;  // a grid beyond this is refused

// Parses one sweep: FROM ≤ TO, finite numbers, COUNT a whole number from 1.
bool ParseSweep(std::string_view text, Sweep& out, std::string& error);

// The value of a sweep at its step j (0 .. Count − 1); the last is TO.
double SweepValue(const Sweep& s, long long j);

// Checks the sweeps against the base model (sections that exist, whole
// numbers where the field takes them) and counts the variants of the grid.
bool CheckSweeps(const ShellModel& base, const std::vector<Sweep>& sweeps, long long& variants,
                 std::string& error);

// Writes the CSV rows of variants [first, last) of the grid (the last sweep
// varies fastest), after the header when header is true. Each row: the
// swept values, the peak meridional, hoop and equivalent stress (MPa), the
// margin, the wall, liquid and total mass (kg), the total, liquid and wall
// volume (cm³), and a message: empty result cells and the message for a
// variant that cannot be solved. False when out cannot be written.
bool RunSweep(const ShellModel& base, const std::vector<Sweep>& sweeps, long long first, long long last,
              bool header, std::FILE* out);

// Sizes the wall: for every segment the smallest multiple of step that
// keeps the equivalent stress within the allowable. sized gets the base
// model with those thicknesses; report the table and the mass saved.
// False with a message when the base model has no allowable stress, cannot
// be solved, or a segment cannot be brought within the allowable.
bool SizeWall(const ShellModel& base, double step, ShellModel& sized, std::string& report, std::string& error);

}  // namespace app
