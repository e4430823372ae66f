// The rows of the result table.
#include <gtest/gtest.h>

#include "app/result_table.h"
#include "graphics/lang.h"
#include "platform/codepage.h"

namespace {

TEST(ResultTable, EnglishLabelsKeepTheRussianWidths) {
  app::ShellModel m;
  app::ResetShellModel(m);
  static app::ShellSolution s;
  app::ResultRow rows[app::kResultRows];
  app::ResultTableRows(m, s, rows);
  for (const auto& row : rows) {
    std::string ru = gfx::LangPartOf(row.Label, 0), en = gfx::LangPartOf(row.Label, 1);
    EXPECT_EQ(ru.size(), en.size()) << gfx::Utf8FromScreen(ru);
    EXPECT_TRUE(ru.size() == 30 || ru.size() == 29);
  }
}

TEST(ResultTable, BarIsTenTimesTheMegapascals) {
  app::ShellModel m;
  app::ResetShellModel(m);
  m.InternalPressure = 0.35f;
  static app::ShellSolution s;
  app::ResultRow rows[app::kResultRows];
  app::ResultTableRows(m, s, rows);
  EXPECT_EQ(gfx::Utf8FromScreen(app::ResultRowText(rows[0], 0)),
            "Давление, бар                      3.500");
  EXPECT_EQ(gfx::Utf8FromScreen(app::ResultRowText(rows[0], 1)),
            "Pressure, bar                      3.500");
}

}  // namespace
