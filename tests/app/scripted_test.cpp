// The whole program driven by scripts on the image driver: start-up, the
// data-entry menus, the file menu and the picture it leaves.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <string>

#include "app/shell_file.h"
#include "app/shell_model.h"
#include "graphics/codepage.h"
#include "support/run_program.h"

namespace {

using namespace testing_support;

// Runs the program in `folder` with the keys of `script`.
ProgramRun Script(const std::string& folder, const std::string& script, const std::string& extra = "") {
  WriteFile(folder + "/keys.txt", script);
  return RunProgram("--script keys.txt " + extra, folder);
}

// The keys that save the model as NAME.spw through the file menu and come
// back to the main menu.
std::string SaveAs(const std::string& name) {
  std::string erase;
  for (int i = 0; i < 24; ++i) erase += "<Backspace>";
  return "11" + erase + name + "<Enter><Enter><Esc>";
}

app::ShellModel Load(const std::string& path) {
  app::ShellModel m;
  app::ResetShellModel(m);
  app::DataFile f;
  f.Text = ReadFile(path);
  std::string comment;
  app::LoadShellData(f, comment, m);
  EXPECT_FALSE(f.Failed()) << path;
  return m;
}

std::string SaveModel(const app::ShellModel& m) {
  app::DataFile f;
  app::SaveShellData(f, "", m);
  return f.Text;
}

int PngWidth(const std::string& path) {
  std::string png = ReadFile(path);
  if (png.size() < 24) return 0;
  return (static_cast<unsigned char>(png[18]) << 8) | static_cast<unsigned char>(png[19]);
}

TEST(Scripted, StartsWithTheDefaultShellAndWritesTheShot) {
  std::string dir = MakeTempFolder();
  ProgramRun r = Script(dir, "", "--shot start.png");
  EXPECT_EQ(r.Status, 0) << r.Err;
  EXPECT_EQ(PngWidth(dir + "/start.png"), 1280);
  r = Script(dir, SaveAs("def"), "--size 1920x1080 --shot wide.png");
  EXPECT_EQ(r.Status, 0) << r.Err;
  EXPECT_EQ(PngWidth(dir + "/wide.png"), 1920);
  app::ShellModel defaults;
  app::ResetShellModel(defaults);
  // Every picture puts the scheme and the lower diagram row in their places.
  defaults.SchemeOrigin[0] = 100;
  defaults.SchemeOrigin[1] = -110;
  defaults.LowerRowOrigin[1] = -190;
  EXPECT_EQ(SaveModel(Load(dir + "/def.spw")), SaveModel(defaults));
}

TEST(Scripted, TheStartFileFollowsTheNameRule) {
  std::string dir = MakeTempFolder();
  app::ShellModel m;
  app::ResetShellModel(m);
  m.InternalPressure = 1.5f;
  WriteFile(dir + "/TANK1.spw", SaveModel(m));
  m.InternalPressure = 2.5f;
  WriteFile(dir + "/LONGNAME.spw", SaveModel(m));
  ProgramRun r = Script(dir, SaveAs("a"), "'C:\\DATA\\TANK1.XYZ'");
  EXPECT_EQ(r.Status, 0) << r.Err;
  EXPECT_FLOAT_EQ(Load(dir + "/a.spw").InternalPressure, 1.5f);
  r = Script(dir, SaveAs("b"), "LONGNAME123.spw");
  EXPECT_FLOAT_EQ(Load(dir + "/b.spw").InternalPressure, 2.5f);
  // A file from an old disk in capitals is found too.
  m.InternalPressure = 3.5f;
  WriteFile(dir + "/OLD.SPW", SaveModel(m));
  r = Script(dir, SaveAs("c"), "OLD");
  EXPECT_FLOAT_EQ(Load(dir + "/c.spw").InternalPressure, 3.5f);
}

TEST(Scripted, AMissingStartFileIsReportedAndTheDefaultShellStays) {
  std::string dir = MakeTempFolder();
  ProgramRun r = Script(dir, "<Enter>" + SaveAs("d"), "NOSUCH");
  EXPECT_EQ(r.Status, 0);
  EXPECT_FLOAT_EQ(Load(dir + "/d.spw").InternalPressure, 0.2f);
}

TEST(Scripted, NewSchemeSectionAndSegmentEdits) {
  std::string dir = MakeTempFolder();
  ProgramRun r = Script(dir,
                        "3Y4<Enter>500<Enter>500<Enter>2<Enter>"  // a cylinder of 4 segments
                        "4" "17<Enter>Y" "<Esc>"                   // section 6 appended
                        "5" "1" "2<Enter>" "4" "600<Enter>" "<Esc>"  // segment 2 made 600 long
                        + SaveAs("cyl"));
  EXPECT_EQ(r.Status, 0) << r.Err;
  app::ShellModel m = Load(dir + "/cyl.spw");
  ASSERT_EQ(m.SectionCount, 6);
  const float z[] = {0, 0, 500, 1100, 1600, 2100, 2600};
  for (int i = 1; i <= 6; ++i) EXPECT_EQ(m.SectionHeight[i], z[i]) << i;
  EXPECT_EQ(m.ContourStep, 50);
}

TEST(Scripted, EscInTheMainMenuShowsItAgainAndCtrlZExits) {
  std::string dir = MakeTempFolder();
  // Esc twice, then Ctrl-Z from the loads menu: the exit question, 0 ends
  // the program before the keys that would save.
  ProgramRun r = Script(dir, "<Esc><Esc>6<Ctrl-Z>0" + SaveAs("never"));
  EXPECT_EQ(r.Status, 0);
  EXPECT_FALSE(FileExists(dir + "/never.spw"));
}

TEST(Scripted, ABadScriptNamesTheLine) {
  std::string dir = MakeTempFolder();
  ProgramRun r = Script(dir, "3\n<Enter>\n<Frobnicate>");
  EXPECT_EQ(r.Status, 2);
  EXPECT_NE(r.Err.find("line 3: unknown token <Frobnicate>"), std::string::npos) << r.Err;
  r = RunProgram("--script no-such-file.txt", dir);
  EXPECT_EQ(r.Status, 2);
}

TEST(FileMenu, OverwriteRefusedAsksTheNameAgainAndAcceptedOverwrites) {
  std::string dir = MakeTempFolder();
  WriteFile(dir + "/old.spw", "keep me");
  // The name "old" exists: N asks again (typed "new"); then over "old" with Y.
  ProgramRun r = Script(dir, "11old<Enter>N<Backspace><Backspace><Backspace>new<Enter><Enter>"
                             "1<Backspace><Backspace><Backspace>old<Enter>Y<Enter><Esc>");
  EXPECT_EQ(r.Status, 0) << r.Err;
  EXPECT_TRUE(FileExists(dir + "/new.spw"));
  EXPECT_EQ(ReadFile(dir + "/old.spw"), ReadFile(dir + "/new.spw"));
}

TEST(FileMenu, LoadThroughTheBrowserAndCancel) {
  std::string dir = MakeTempFolder();
  app::ShellModel m;
  app::ResetShellModel(m);
  m.LiquidLevel = 77;
  WriteFile(dir + "/only.spw", SaveModel(m));
  ProgramRun r = Script(dir, "12<Enter><Esc>" + SaveAs("copy"));
  EXPECT_EQ(r.Status, 0) << r.Err;
  EXPECT_EQ(Load(dir + "/copy.spw").LiquidLevel, 77);
  // A cancelled browser loads nothing and leaves the name empty.
  r = Script(dir, "12<Esc><Esc>" + SaveAs("copy2"));
  EXPECT_EQ(Load(dir + "/copy2.spw").LiquidLevel, 150);
}

TEST(FileMenu, ExportsGetTheirExtensionAndImportsAreNotProvided) {
  std::string dir = MakeTempFolder();
  ProgramRun r = Script(dir, "154pic.dxf<Enter><Enter><Esc>" "71<Esc>" "<Esc>");
  EXPECT_EQ(r.Status, 0) << r.Err;
  EXPECT_TRUE(FileExists(dir + "/pic.dxf.DXF"));
  EXPECT_EQ(ReadFile(dir + "/pic.dxf.DXF").substr(0, 5), "999\r\n");
}

TEST(FileMenu, AFailedSaveIsReportedAndTheProgramGoesOn) {
  std::string dir = MakeTempFolder();
  ProgramRun r = Script(dir, "11nofolder/x<Enter><Enter><Enter><Esc>" + SaveAs("after"));
  EXPECT_EQ(r.Status, 0) << r.Err;
  EXPECT_TRUE(FileExists(dir + "/after.spw"));
}

TEST(FileMenu, ExitAsksAndZeroEnds) {
  std::string dir = MakeTempFolder();
  ProgramRun r = Script(dir, "13x" "3" "0" + SaveAs("never"));
  EXPECT_EQ(r.Status, 0);
  EXPECT_FALSE(FileExists(dir + "/never.spw"));
}

TEST(BatchExport, EveryFormatWritesItsFile) {
  std::string dir = MakeTempFolder();
  for (const char* f : {"dxf", "plt", "ugf", "geo", "tre", "png"}) {
    ProgramRun r = RunProgram(std::string("--export ") + f + " out." + f, dir);
    EXPECT_EQ(r.Status, 0) << f << r.Err;
    EXPECT_TRUE(FileExists(dir + "/out." + f)) << f;
  }
  EXPECT_EQ(ReadFile(dir + "/out.ugf").substr(0, 21), "     X     Y  PenNo\r\n");
  ProgramRun bad = RunProgram("--export dxf nofolder/out.dxf", dir);
  EXPECT_EQ(bad.Status, 1);
  EXPECT_EQ(bad.Err, "brelmora: nofolder/out.dxf: No such file or directory\n");
  ProgramRun missing = RunProgram("--export dxf out2.dxf nosuch.spw", dir);
  EXPECT_EQ(missing.Status, 1);
  EXPECT_FALSE(FileExists(dir + "/out2.dxf"));
  EXPECT_EQ(RunProgram("--export bmp x.bmp", dir).Status, 2);
  // PDF and SVG fill a landscape A4 sheet, or A3 when asked.
  ProgramRun a3 = RunProgram("--export svg a3.svg --page A3", dir);
  EXPECT_EQ(a3.Status, 0) << a3.Err;
  EXPECT_NE(ReadFile(dir + "/a3.svg").find("width=\"420mm\" height=\"297mm\""), std::string::npos);
  for (const char* bad : {"--export svg x.svg --page A5", "--export dxf x.dxf --page A3", "--report --page A3"})
    EXPECT_EQ(RunProgram(bad, dir).Status, 2) << bad;
}

}  // namespace
