// src/app/result_table.h — the rows of the result table: the data and the
// results of the calculation as the picture's table shows them, and as the
// batch report prints them.
#pragma once

#include <string>

#include "app/bending_solver.h"
#include "app/shell_model.h"
#include "app/shell_solver.h"

namespace app {

struct ResultRow {
  const char* Label;  // screen text, Russian;English, both the same width
  double Value;
  int Width;
  int Decimals;
  bool GapBefore;     // the table leaves a gap above this row
};

constexpr int kResultRows = 15;

// " Оболочка вращения" with its English variant.
const char* ResultTableTitle();

// The rows for a solved model.
void ResultTableRows(const ShellModel& m, const ShellSolution& s, ResultRow rows[kResultRows]);

// The rows the table gains with the bending analysis: the peak equivalent
// stress of the wall's surfaces, lids included, with its segment (0 and the
// section count stand for the lids) and height.
constexpr int kBendingRows = 3;
void BendingTableRows(const ShellModel& m, const ShellSolution& s, const BendingSolution& b,
                      ResultRow rows[kBendingRows]);

// The rows of the table, with the bending analysis' when b is given;
// returns their count.
int TableRows(const ShellModel& m, const ShellSolution& s, const BendingSolution* b,
              ResultRow rows[kResultRows + kBendingRows]);

// One row as the table writes it: the label, a blank, the value in the row's
// width and decimals (screen text, language by index); compact for the
// picture (gfx::FormatNumberCompact).
std::string ResultRowText(const ResultRow& row, int language, bool compact = false);
// The same text appended to out (the picture redraws its rows into one buffer).
void AppendResultRowText(std::string& out, const ResultRow& row, int language, bool compact = false);

// The line that tells that the contour step had to be enlarged (empty when it
// was not), screen text with an English variant.
std::string StepEnlargedNote(const ShellSolution& s);

}  // namespace app
