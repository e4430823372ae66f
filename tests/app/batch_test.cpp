// The command line through the real executable: report, node table,
// options and files that can't be read.
#include <gtest/gtest.h>

#include "app/shell_file.h"
#include "app/shell_model.h"
#include "support/run_program.h"

namespace {

using namespace testing_support;

const char* kDefaultReport =
    " Оболочка вращения\n"
    "Давление, бар                      2.000\n"
    "Давление, МПа                   0.200000\n"
    "Уровень жидкости, мм                 150\n"
    "Плотность жидкости, г/куб.см       1.000\n"
    "Плотность стенок, г/куб.см         7.850\n"
    "Перегрузка                        10.000\n"
    "\n"
    "Реакция опоры, Н                     636\n"
    "Номер сечения опоры                    2\n"
    "\n"
    "Объем, куб.см                  4182.069\n"
    "Объем жидкости, куб.см         3528.619\n"
    "Объем стенок, куб.см            376.537\n"
    "Площадь стенок, кв.см          1255.123\n"
    "Масса жидкости, кг                3.529\n"
    "Масса оболочки, кг                2.956\n"
    "Масса, кг                         6.484\n";

std::string SaveModel(const app::ShellModel& m) {
  app::DataFile f;
  app::SaveShellData(f, "", m);
  return f.Text;
}

TEST(BatchReport, DefaultShellReport) {
  ProgramRun r = RunProgram("--report");
  EXPECT_EQ(r.Status, 0);
  EXPECT_EQ(r.Out, kDefaultReport);
  EXPECT_EQ(r.Err, "");
}

TEST(BatchReport, ReportOfAFileGivenByAnyPath) {
  std::string dir = MakeTempFolder();
  std::string deep = dir + "/a folder with a long name ";
  for (int i = 0; i < 5; ++i) deep += "and more ";
  ASSERT_EQ(system(("mkdir -p " + Quote(deep)).c_str()), 0);
  app::ShellModel m;
  app::ResetShellModel(m);
  m.InternalPressure = 1.5f;
  WriteFile(deep + "/tank number one.spw", SaveModel(m));

  ProgramRun abs = RunProgram("--report " + Quote(deep + "/tank number one.spw"));
  EXPECT_EQ(abs.Status, 0) << abs.Err;
  EXPECT_NE(abs.Out.find("Давление, бар                     15.000\n"), std::string::npos);
  ProgramRun rel = RunProgram("--report " + Quote("tank number one.spw"), deep);
  EXPECT_EQ(rel.Out, abs.Out);
}

TEST(BatchReport, EnlargedStepIsReported) {
  std::string dir = MakeTempFolder();
  app::ShellModel m;
  app::ResetShellModel(m);
  m.ContourStep = 0;
  WriteFile(dir + "/fine.spw", SaveModel(m));
  ProgramRun r = RunProgram("--report fine.spw", dir);
  EXPECT_EQ(r.Status, 0);
  EXPECT_NE(r.Out.find("\nШаг по контуру увеличен до 0.0628"), std::string::npos) << r.Out;
}

TEST(BatchNodes, CsvHasTheHeaderAndOneRowPerNode) {
  ProgramRun r = RunProgram("--nodes");
  ASSERT_EQ(r.Status, 0);
  std::string header =
      "segment,node,r,z,normal_r,normal_z,pressure,axial_force,meridional_force,hoop_force,"
      "meridional_stress,hoop_stress,meridional_strain,hoop_strain,radial_displacement,"
      "axial_displacement,tangential_displacement,normal_displacement\n";
  ASSERT_EQ(r.Out.compare(0, header.size(), header), 0);
  int rows = 0;
  for (char c : r.Out) rows += c == '\n';
  EXPECT_EQ(rows, 1 + 34);
  EXPECT_EQ(r.Out.substr(header.size(), 4), "1,1,");
  EXPECT_NE(r.Out.find("\n2,18,"), std::string::npos);
  EXPECT_NE(r.Out.find("\n2,34,"), std::string::npos);
  // Each row holds 18 values.
  std::string row = r.Out.substr(header.size(), r.Out.find('\n', header.size()) - header.size());
  int commas = 0;
  for (char c : row) commas += c == ',';
  EXPECT_EQ(commas, 17);
}

TEST(BatchNodes, ValuesGiveBackTheSameFloats) {
  ProgramRun r = RunProgram("--nodes");
  // The equator node of the lower arc: r = 100 within float rounding,
  // printed with nine significant digits.
  std::size_t p = r.Out.find("\n1,17,");
  ASSERT_NE(p, std::string::npos);
  float rr = std::strtof(r.Out.c_str() + p + 6, nullptr);
  EXPECT_NEAR(rr, 100.0f, 1e-4f);
}

TEST(BatchExport, CalculixModelOrWhyNot) {
  std::string dir = MakeTempFolder();
  ProgramRun ok = RunProgram("--export ccx shell.inp", dir);
  EXPECT_EQ(ok.Status, 0) << ok.Err;
  EXPECT_EQ(ReadFile(dir + "/shell.inp").substr(0, 42), "** Shell of revolution written by Brelmora");
  app::ShellModel m;
  app::ResetShellModel(m);
  m.Thickness[2] = 0;
  WriteFile(dir + "/thin.spw", SaveModel(m));
  ProgramRun bad = RunProgram("--export ccx thin.inp thin.spw", dir);
  EXPECT_EQ(bad.Status, 1);
  EXPECT_EQ(bad.Err, "brelmora: thin.inp: the wall of segment 2 is not thicker than 0\n");
  EXPECT_FALSE(FileExists(dir + "/thin.inp"));
}

TEST(BatchNodes, SemicolonSeparatorTakesADecimalComma) {
  ProgramRun plain = RunProgram("--nodes"), semi = RunProgram("--nodes --csv-separator ';'");
  ASSERT_EQ(semi.Status, 0) << semi.Err;
  // The same table, each ',' now ';' and each '.' a ','.
  std::string expected = plain.Out;
  for (char& c : expected) c = c == ',' ? ';' : c == '.' ? ',' : c;
  EXPECT_EQ(semi.Out, expected);
  EXPECT_EQ(RunProgram("--nodes --csv-separator ,").Out, plain.Out);
  EXPECT_EQ(RunProgram("--nodes --csv-separator '|'").Status, 2);
  EXPECT_EQ(RunProgram("--report --csv-separator ';'").Status, 2);
}

TEST(BatchOptions, HelpVersionAndUsage) {
  ProgramRun help = RunProgram("--help");
  EXPECT_EQ(help.Status, 0);
  EXPECT_NE(help.Out.find("--report"), std::string::npos);
  EXPECT_NE(help.Out.find("Alt-Backspace undoes the last edit and Alt-Shift-Backspace"), std::string::npos);
  ProgramRun version = RunProgram("--version");
  EXPECT_EQ(version.Status, 0);
  EXPECT_EQ(version.Out, "brelmora 2.1\n");
  ProgramRun bad = RunProgram("--frobnicate");
  EXPECT_EQ(bad.Status, 2);
  EXPECT_EQ(bad.Err.substr(0, bad.Err.find('\n')), "brelmora: unknown option --frobnicate");
  EXPECT_EQ(bad.Out, "");
  ProgramRun two = RunProgram("--report a.spw b.spw");
  EXPECT_EQ(two.Status, 2);
}

TEST(BatchFiles, AFileThatCannotBeReadGivesOneLineAndStatusOne) {
  std::string dir = MakeTempFolder();
  ProgramRun missing = RunProgram("--report nothing-here.spw", dir);
  EXPECT_EQ(missing.Status, 1);
  EXPECT_EQ(missing.Err, "brelmora: nothing-here.spw: No such file or directory\n");
  EXPECT_EQ(missing.Out, "");

  app::ShellModel m;
  app::ResetShellModel(m);
  std::string bytes = SaveModel(m);
  std::size_t line5 = 0;
  for (int i = 0; i < 4; ++i) line5 = bytes.find('\n', line5) + 1;
  bytes.replace(line5, 6, "  two ");
  WriteFile(dir + "/bad.spw", bytes);
  ProgramRun bad = RunProgram("--nodes bad.spw", dir);
  EXPECT_EQ(bad.Status, 1);
  EXPECT_EQ(bad.Err, "brelmora: bad.spw: line 5: expected three numbers (D,м,  PY,Н/м)\n");
  EXPECT_EQ(bad.Out, "");

  ProgramRun folder = RunProgram("--report .", dir);
  EXPECT_EQ(folder.Status, 1);
}

}  // namespace
