// The command line through the real executable: report, node table,
// options and files that can't be read; and make install into a fresh
// prefix: the program beside its guide, a link on the path, the desktop
// entry, the icon and the type of the data files.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <sstream>
#include <vector>

#include "support/shell_files.h"

namespace {

using namespace testing_support;

// A closed cylinder of R = 1000 mm, 2000 mm long, t = 4 mm under 0.3 MPa
// of gas alone, made from the default shell with --set: σ1 = pR/2t = 37.5,
// σ2 = pR/t = 75 MPa everywhere; ur = (σ2 − νσ1) R / E; the top moves
// uz = (σ1 − νσ2) L / E above the support at the bottom.
const std::string kCylinder =
    "--set radius=1000 --set height:2=1000 --set height:3=2000 --set generatrix=0 --set thickness=4 "
    "--set pressure=0.3 --set liquid_density=0 --set overload=0 --set support_section=1 ";
constexpr double kS1 = 37.5, kS2 = 75, kUr = (75 - 0.3 * 37.5) * 1000 / 210000,
                 kUz = (37.5 - 0.3 * 75) * 2000 / 210000;

// The first number after a label in a report.
double After(const std::string& out, const std::string& label) {
  std::size_t p = out.find(label);
  return p == std::string::npos ? -1e30 : std::strtod(out.c_str() + p + label.size(), nullptr);
}

TEST(BatchReport, PeaksAndMarginMatchTheClosedForms) {
  const struct {
    const char* Rule;
    double Allowable, Equivalent;
  } kCases[] = {{"von_mises", 100, kS2 * std::sqrt(3.0) / 2}, {"tresca", 60, kS2}, {"0", 0, kS2 * std::sqrt(3.0) / 2}};
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.Rule);
    ProgramRun r = RunProgram("--report " + kCylinder + "--set equivalence=" + c.Rule +
                              " --set allowable_stress=" + std::to_string(c.Allowable));
    ASSERT_EQ(r.Status, 0) << r.Err;
    EXPECT_NEAR(After(r.Out, "Меридианальное напряжение, МПа"), kS1, 1e-3);
    EXPECT_NEAR(After(r.Out, "Кольцевое напряжение, МПа"), kS2, 1e-3);
    EXPECT_NEAR(After(r.Out, std::string("Эквивалентное напряжение (") +
                                 (c.Rule == std::string("tresca") ? "Треска" : "Мизес") + "), МПа"),
                c.Equivalent, 1e-3);
    EXPECT_NEAR(After(r.Out, "Радиальное перемещение |ur|, мм"), kUr, 1e-6);
    EXPECT_NEAR(After(r.Out, "Осевое перемещение |uz|, мм"), kUz, 1e-6);
    const bool checked = c.Allowable > 0;
    EXPECT_EQ(r.Out.find("Запас") != std::string::npos, checked);
    if (checked) {
      EXPECT_NEAR(After(r.Out, "Запас (доп./экв. - 1)"), c.Allowable / c.Equivalent - 1, 1e-3);
    }
    EXPECT_EQ(r.Out.find("выше допускаемого") != std::string::npos, checked && c.Allowable < c.Equivalent);
  }
}

// The report of a file given by any path, here one whose contour step
// of 0 is enlarged and said so.
TEST(BatchReport, ReportOfAFileGivenByAnyPath) {
  std::string dir = MakeTempFolder();
  std::string deep = dir + "/a folder with a long name ";
  for (int i = 0; i < 5; ++i) deep += "and more ";
  ASSERT_EQ(system(("mkdir -p " + Quote(deep)).c_str()), 0);
  WriteShell(deep + "/tank number one.spw", DefaultShell([](app::ShellModel& m) { m.InternalPressure = 1.5f, m.ContourStep = 0; }));

  ProgramRun abs = RunProgram("--report " + Quote(deep + "/tank number one.spw"));
  EXPECT_EQ(abs.Status, 0) << abs.Err;
  EXPECT_NE(abs.Out.find("Давление, бар                     15.000\n"), std::string::npos);
  EXPECT_NE(abs.Out.find("\nШаг по контуру увеличен до 0.0628"), std::string::npos) << abs.Out;
  ProgramRun rel = RunProgram("--report " + Quote("tank number one.spw"), deep);
  EXPECT_EQ(rel.Out, abs.Out);
}

// The rows of a table printed with a header, as numbers.
std::vector<std::vector<double>> Table(const std::string& csv) {
  std::vector<std::vector<double>> rows;
  std::istringstream lines(csv.substr(csv.find('\n') + 1));
  for (std::string line; std::getline(lines, line);) {
    std::istringstream fields(line);
    rows.emplace_back();
    for (std::string f; std::getline(fields, f, ',');) rows.back().push_back(std::strtod(f.c_str(), nullptr));
  }
  return rows;
}

// The arc length (the last field but one) and the equivalent stress (the
// last) of the nodes: the sphere's equator a quarter of the circle of 100
// mm, its upper pole half of it; the cylinder's top two segments of 1000.
TEST(BatchNodes, ArcLengthAlongTheMeridianAndEquivalentStress) {
  const auto sphere = Table(RunProgram("--nodes").Out);
  const auto cylinder = Table(RunProgram("--nodes " + kCylinder + "--set contour_step=100").Out);
  ASSERT_EQ(sphere.size(), 34u);
  ASSERT_EQ(cylinder.size(), 22u);
  EXPECT_NEAR(sphere[16][18], 3.14159265 * 50, 1e-3);
  EXPECT_NEAR(sphere[33][18], 3.14159265 * 100, 1e-3);
  EXPECT_NEAR(cylinder[21][18], 2000, 1e-3);
  EXPECT_NEAR(cylinder[21][19], kS2 * std::sqrt(3.0) / 2, 1e-3);
}

// The closed cylinder of kCylinder with bending: its lids' rows before the
// first segment's and after the last's, and far from both lids the
// membrane forces, at the inner surface too.
TEST(BatchNodes, BendingAwayFromTheLidsIsTheMembrane) {
  ProgramRun r = RunProgram("--nodes --bending " + kCylinder);
  ASSERT_EQ(r.Status, 0) << r.Err;
  const auto rows = Table(r.Out);
  const int lid = 1000 / 10 + 1;  // a node a contour step (10 mm) along the radius
  ASSERT_EQ(rows.size(), 2u * lid + 2 * 101);
  const auto& middle = rows[lid + 101];  // z 1000
  ASSERT_EQ(middle.size(), 29u);
  EXPECT_NEAR(middle[10], kS1, 1e-3 * kS1);
  EXPECT_NEAR(middle[11], kS2, 1e-3 * kS2);
  EXPECT_NEAR(middle[23], kS1, 1e-3 * kS1);  // meridional stress at the inner surface
  EXPECT_EQ(r.Out.find("nan"), std::string::npos);
}

// Models whose results are not all finite: every batch output says why on
// stderr, exits 1 and prints or writes nothing.
struct NoResults {
  const char* Name;
  void (*Change)(app::ShellModel& m);
  const char* Said;
};
const NoResults kNoResults[] = {
    {"a wall of no thickness", [](app::ShellModel& m) { m.Thickness[2] = 0; },
     "The wall thickness of segment 2 must be above 0"},
    {"a modulus of 0", [](app::ShellModel& m) { m.YoungModulus = 0; }, "Young's modulus must be above 0"},
    {"an arc radius of 1e30", [](app::ShellModel& m) { m.ArcRadius[1] = m.ArcRadius[2] = 1e30f; },
     "The results are out of the range of numbers (volume): check the sizes and loads"},
    {"radii of 1e20",
     [](app::ShellModel& m) {
       for (int i = 1; i <= 3; ++i) m.SectionRadius[i] = m.SectionHeight[i] = 1e20f * i;
     },
     "The results are out of the range of numbers (volume): check the sizes and loads"},
};

TEST(BatchFiles, ResultsThatAreNotFiniteAreNeverPrinted) {
  const std::string dir = MakeTempFolder();
  for (const NoResults& c : kNoResults) {
    SCOPED_TRACE(c.Name);
    WriteShell(dir + "/bad.spw", DefaultShell(c.Change));
    for (const char* what : {"--report bad.spw", "--nodes bad.spw", "--export svg out.svg bad.spw"}) {
      ProgramRun r = RunProgram(what, dir);
      EXPECT_EQ(r.Status, 1) << what;
      EXPECT_EQ(r.Out, "") << what;
      EXPECT_EQ(r.Err, std::string("brelmora: bad.spw: ") + c.Said + "\n") << what;
    }
    EXPECT_FALSE(FileExists(dir + "/out.svg"));
  }
}

// One wall far too thick among 49 sections once made a 1.7 GB drawing:
// hatching denser than a drawing shows is thinned, what lies beyond its
// range is dropped, and stderr says so.
TEST(BatchExport, AnAbsurdWallIsBoundedAndSaidSo) {
  const std::string dir = MakeTempFolder();
  const struct { float Thickness; const char* Said; } kWalls[] = {
      {1e30f, "Part of the picture is out of range and not drawn: check the scales"},
      {1e7f, "Hatching thinned: its lines would be denser than can be shown"},
  };
  for (const auto& wall : kWalls) {
    WriteShell(dir + "/thick.spw", DefaultShell([&](app::ShellModel& m) {
                 m.SectionCount = app::kMaxSections;
                 for (int i = 1; i <= m.SectionCount; ++i) {
                   m.SectionRadius[i] = i % 2 == 0 ? 120.0f : 100.0f;
                   m.SectionHeight[i] = 50.0f * static_cast<float>(i);
                   m.Thickness[i] = i == 10 ? wall.Thickness : 2.0f;
                   m.GeneratrixKind[i] = 0;
                 }
               }));
    ProgramRun r = RunProgram("--export svg out.svg thick.spw", dir);
    EXPECT_EQ(r.Status, 0);
    EXPECT_EQ(r.Err, std::string("brelmora: out.svg: ") + wall.Said + "\n");
    EXPECT_LT(ReadFile(dir + "/out.svg").size(), 50u << 20);
  }
}

// Options and values the program cannot take: status 2 for a command line
// it refuses, 1 for a shell it cannot solve or a file it cannot read or
// write; stderr says what is wrong and nothing is printed or written.
TEST(BatchOptions, RefusalsSayWhatIsWrongAndPrintNothing) {
  const struct { const char* Args; int Status; const char* Says; } kCases[] = {
      {"--report --set colour=5", 2, "unknown name 'colour'; the names are:"},
      {"--report --set colour=5", 2, "\n  thickness[:SECTION]"},
      {"--report --set pressure=nan", 2, "pressure wants a number, not 'nan'"},
      {"--report --set pressure=1e99", 2, "pressure: the number is too large"},
      {"--report --set thickness:0=1", 2, "thickness wants a section from 1 to 49"},
      {"--report --set thickness:4=1", 2, "thickness:4: the shell has 3 sections"},
      {"--report --set pressure:2=1", 2, "pressure is one value for the whole shell"},
      {"--report --set support_section=2.5", 2, "wants a whole number from 1 to 3"},
      {"--report --set pressure", 2, "--set wants NAME=VALUE"},
      {"--set pressure=1", 2, "--set goes with"},
      {"--report --set thickness=0", 1, "The wall thickness of segment 1 must be above 0"},
      {"--nodes --bending --set generatrix:1=0 --set radius:2=0", 1,
       "brelmora: Bending not computed: segment 1 lies on the axis\n"},
      {"--report --bending --set generatrix:1=0 --set radius:2=0", 1, "segment 1 lies on the axis"},
      {"--sweep pressure=0:1:2 --bending", 2, "--bending goes with --report, --nodes or --export ccx"},
      {"--sweep pressure=0.1:1:0", 2, "pressure=0.1:1:0: COUNT must be a whole number from 1 to 100000000"},
      {"--sweep pressure=0:1:2.5", 2, "pressure=0:1:2.5: COUNT must be a whole number"},
      {"--sweep pressure=1:0.1:3", 2, "pressure=1:0.1:3: FROM must not be above TO"},
      {"--sweep pressure=a:1:3", 2, "pressure=a:1:3: FROM, TO and COUNT must be finite numbers"},
      {"--sweep pressure=nan:1:3", 2, "pressure=nan:1:3: FROM, TO and COUNT must be finite numbers"},
      {"--sweep pressure=0:inf:3", 2, "pressure=0:inf:3: FROM, TO and COUNT must be finite numbers"},
      {"--sweep pressure=0:1", 2, "pressure=0:1: FROM, TO and COUNT must be finite numbers"},
      {"--sweep nosuch=0:1:3", 2, "unknown name 'nosuch'"},
      {"--sweep support_section=1:3:4", 2, "support_section: wants a whole number from 1 to 3"},
      {"--sweep thickness:7=1:2:3", 2, "thickness:7: the shell has 3 sections"},
      {"--sweep pressure=0:1:2 --part 3/2", 2, "--part wants K/N with 1 <= K <= N, not 3/2"},
      {"--report --part 1/2", 2, "--part goes with --sweep"},
      {"--size-wall 0.5", 2, "--size-wall needs an allowable stress"},
      {"--size-wall 0 --set allowable_stress=100", 2, "--size-wall wants a step in mm above 0, not 0"},
      {"--report --set-output x.spw", 2, "--set-output goes with --size-wall"},
      {"--nodes --csv-separator '|'", 2, "--csv-separator wants ',' or ';', not |"},
      {"--report --csv-separator ';'", 2, "--csv-separator goes with --nodes"},
      {"--export bmp x.bmp", 2, "unknown export format bmp"},
      {"--export svg x.svg --page A5", 2, "--page wants A4 or A3, not A5"},
      {"--export dxf x.dxf --page A3", 2, "--page goes with --export pdf or svg"},
      {"--report --page A3", 2, "--page goes with --export pdf or svg"},
      {"--frobnicate", 2, "brelmora: unknown option --frobnicate\n"},
      {"--report a.spw b.spw", 2, "more than one file named"},
      {"--report nothing-here.spw", 1, "brelmora: nothing-here.spw: No such file or directory\n"},
      {"--nodes bad.spw", 1, "brelmora: bad.spw: line 5: expected three numbers (D,м,  PY,Н/м)\n"},
      {"--report .", 1, "brelmora: .: "},
      {"--export dxf nofolder/out.dxf", 1, "brelmora: nofolder/out.dxf: No such file or directory\n"},
      {"--export dxf out.dxf nosuch.spw", 1, "brelmora: nosuch.spw: No such file or directory\n"},
      {"--export ccx thin.inp thin.spw", 1, "brelmora: thin.inp: the wall of segment 2 is not thicker than 0\n"},
  };
  const std::string dir = MakeTempFolder();
  WriteShell(dir + "/thin.spw", DefaultShell([](app::ShellModel& m) { m.Thickness[2] = 0; }));
  std::string bytes = ShellBytes(DefaultShell());  // line 5 holds two words and a number
  std::size_t line5 = 0;
  for (int i = 0; i < 4; ++i) line5 = bytes.find('\n', line5) + 1;
  WriteFile(dir + "/bad.spw", bytes.replace(line5, 6, "  two "));
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.Args);
    ProgramRun r = RunProgram(c.Args, dir);
    EXPECT_EQ(r.Status, c.Status);
    EXPECT_NE(r.Err.find(c.Says), std::string::npos) << r.Err;
    EXPECT_EQ(r.Out, "");
  }
  EXPECT_EQ(RunProgram("", dir, "ls -A | grep -vxE '.state|thin.spw|bad.spw'").Out, "");  // nothing written
}

TEST(BatchSweep, OneRowPerVariantOfTheGrid) {
  ProgramRun r = RunProgram("--sweep pressure=0.1:0.3:3 --sweep thickness=2:6:2 --sweep equivalence=0:1:2 " +
                            kCylinder.substr(0, kCylinder.find("--set pressure")) +
                            "--set liquid_density=0 --set overload=0 --set support_section=1 --set allowable_stress=50");
  ASSERT_EQ(r.Status, 0) << r.Err;
  const auto rows = Table(r.Out);
  ASSERT_EQ(rows.size(), 12u);
  std::size_t k = 0;
  for (double p : {0.1, 0.2, 0.3})
    for (double t : {2.0, 6.0})
      for (int rule : {0, 1}) {
        const std::vector<double>& v = rows[k++];
        const double s2 = p * 1000 / t, eq = rule == 1 ? s2 : s2 * std::sqrt(3.0) / 2;
        EXPECT_NEAR(v[0], p, 1e-6);
        EXPECT_EQ(v[1], t);
        EXPECT_NEAR(v[3], s2 / 2, 1e-3 * s2);
        EXPECT_NEAR(v[4], s2, 1e-3 * s2);
        EXPECT_NEAR(v[5], eq, 1e-3 * s2);
        EXPECT_NEAR(v[6], 50 / eq - 1, 1e-3);
        EXPECT_NEAR(v[7], 7.85e-6 * 2 * 3.14159265 * 1000 * 2000 * t, 1e-3 * t);  // wall mass
        EXPECT_EQ(v.size(), 13u);  // no message
      }
}

TEST(BatchSweep, AVariantThatCannotBeSolvedGivesEmptyCellsAndAMessage) {
  ProgramRun r = RunProgram("--sweep thickness:1=0:2:3");
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_NE(r.Out.find("\n0,,,,,,,,,,,\"The wall thickness of segment 1 must be above 0\"\n1,"), std::string::npos)
      << r.Out;
  EXPECT_EQ(r.Out.find("nan"), std::string::npos);
  EXPECT_EQ(r.Out.find("inf"), std::string::npos);
}

// The README's split: each process runs its part, the parts in order make
// the table of the whole grid.
TEST(BatchSweep, AStudySplitOverProcessesGivesTheWholeTable) {
  const std::string dir = MakeTempFolder(), sweep = "--sweep pressure=0.1:1:7 --sweep thickness=1:4:4";
  const std::string exe = Quote(BRELMORA_EXE);
  const std::string split = "printf '1\\n2\\n3\\n' | xargs -P 3 -I K sh -c \"" + exe + " " + sweep +
                            " --part K/3 > part-K.csv\" && cat part-1.csv part-2.csv part-3.csv";
  ProgramRun parts = RunProgram("", dir, split);
  ASSERT_EQ(parts.Status, 0) << parts.Err;
  ProgramRun whole = RunProgram(sweep);
  EXPECT_EQ(parts.Out, whole.Out);
  EXPECT_EQ(std::count(whole.Out.begin(), whole.Out.end(), '\n'), 1 + 28);
}

TEST(BatchSizeWall, TheSmallestThicknessOnTheStepWithinTheAllowable) {
  // Hoop stress pR/t: within [σ] = 110 MPa from t = 0.866 × 300 / 110 =
  // 2.36 (von Mises) or 300 / 110 = 2.73 (Tresca) mm; on a 0.5 mm step
  // 2.5 and 3. No weight (overload 0), so the mass saved is
  // ρ · 2πRL · (4 − t).
  const std::string dir = MakeTempFolder();
  for (const auto& c : {std::pair{"von_mises", 2.5}, std::pair{"tresca", 3.0}}) {
    SCOPED_TRACE(c.first);
    ProgramRun r = RunProgram("--size-wall 0.5 --set-output sized.spw " + kCylinder +
                                  "--set allowable_stress=110 --set equivalence=" + c.first,
                              dir);
    ASSERT_EQ(r.Status, 0) << r.Err;
    EXPECT_NEAR(After(r.Out, "\n      1          4.000"), c.second, 1e-6) << r.Out;
    EXPECT_NEAR(After(r.Out, "\n      2          4.000"), c.second, 1e-6);
    const double saved = 7.85e-6 * 2 * 3.14159265 * 1000 * 2000 * (4 - c.second);
    EXPECT_NEAR(After(r.Out, ", saved "), saved, 1e-3 * saved);
    ProgramRun again = RunProgram("--report sized.spw", dir);
    EXPECT_NEAR(After(again.Out, "Кольцевое напряжение, МПа"), 300 / c.second, 1e-3);
  }
}

// A shell command's output, both streams, and whether it succeeded.
bool ShellCommand(const std::string& command, std::string& out) {
  const ProgramRun r = RunProgram("", ".", command);
  out = r.Out + r.Err;
  return r.Status == 0;
}

TEST(Install, IntoAPrefixGivesAProgramThatFileManagersOpen) {
  const std::string prefix = MakeTempFolder(), share = prefix + "/share";
  std::string out;
  ASSERT_TRUE(ShellCommand("cmake --install " + Quote(BRELMORA_BINARY_DIR) + " --prefix " + Quote(prefix), out)) << out;
  EXPECT_TRUE(FileExists(prefix + "/lib/brelmora/VOD.HTM"));
  EXPECT_TRUE(FileExists(prefix + "/lib/brelmora/guide-sphere.png"));
  ASSERT_TRUE(ShellCommand(Quote(prefix + "/bin/brelmora") + " --version", out)) << out;
  EXPECT_EQ(out, "brelmora 2.1\n");
  const std::string entry = share + "/applications/brelmora.desktop";
  EXPECT_TRUE(ShellCommand("desktop-file-validate " + Quote(entry), out)) << out;
  EXPECT_EQ(out, "");
  EXPECT_NE(ReadFile(entry).find("\nExec=brelmora %f\n"), std::string::npos);
  EXPECT_NE(ReadFile(entry).find("\nMimeType=application/x-brelmora-shell;\n"), std::string::npos);
  EXPECT_TRUE(FileExists(share + "/icons/hicolor/scalable/apps/brelmora.svg"));
  // The type is known by its name pattern once the database is built.
  EXPECT_NE(ReadFile(share + "/mime/globs2").find("application/x-brelmora-shell:*.spw"), std::string::npos);
}

}  // namespace
