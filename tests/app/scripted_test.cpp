// The whole program driven by scripts on the image driver: start-up, the
// data-entry menus, the file menu and the picture it leaves.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <string>

#include "app/shell_file.h"
#include "app/shell_model.h"
#include "platform/codepage.h"
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

TEST(Scripted, AStartArgumentThatIsAFileIsLoadedAsItIs) {
  std::string dir = MakeTempFolder();
  app::ShellModel m;
  app::ResetShellModel(m);
  m.InternalPressure = 4.5f;
  mkdir((dir + "/tanks").c_str(), 0755);
  WriteFile(dir + "/tanks/tank number one.spw", SaveModel(m));
  ProgramRun r = Script(dir, SaveAs("copy"), Quote(dir + "/tanks/tank number one.spw"));
  EXPECT_EQ(r.Status, 0) << r.Err;
  EXPECT_FLOAT_EQ(Load(dir + "/copy.spw").InternalPressure, 4.5f);
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

// Leaving through the file menu. Nothing changed: Esc in the main menu
// shows it again, and the exit question's "0" ends (from any submenu by
// Ctrl-Z). With unsaved changes (the pressure typed first) the exit asks to
// save: Y saves the usual way and leaves only when that worked, N leaves,
// any other key (the old "0" among them) stays. The comment typed is the
// file's header line; a failed save is told and the program goes on.
TEST(Scripted, LeavingThroughTheFileMenu) {
  struct Row { const char* keys; const char* saved; bool left; };
  const Row rows[] = {
      {"<Esc><Esc>6<Ctrl-Z>0", "", true},
      {"13x" "3" "0", "", true},
      {"11nofolder/x<Enter><Enter><Enter><Esc>", "", false},
      {"611,5<Enter><Esc><Ctrl-Z>0<Esc>", "", false},
      {"611,5<Enter><Esc><Ctrl-Z>N", "", true},
      {"611,5<Enter><Esc><Ctrl-Z>Ysaved<Enter>Бак 7<Enter>", "saved.spw", true},
      {"611,5<Enter><Esc><Ctrl-Z>Ynofolder/x<Enter><Enter><Enter><Esc>", "", false},
      {"611,5<Enter><Esc>13Y<Esc><Esc><Esc>", "", false},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.keys);
    std::string dir = MakeTempFolder();
    ProgramRun run = Script(dir, r.keys + SaveAs("after"));
    EXPECT_EQ(run.Status, 0) << run.Err;
    EXPECT_EQ(FileExists(dir + "/after.spw"), !r.left);
    if (*r.saved) {
      const std::string bytes = ReadFile(dir + "/" + r.saved);
      EXPECT_EQ(bytes.substr(0, bytes.find('\r')), "Бак 7"_sc);
      EXPECT_EQ(Load(dir + "/" + r.saved).InternalPressure, 1.5f);
    }
  }
}

// The name field offers the current name; typing it again replaces it.
// Writing over a file asks first: N asks the name again, Y writes over.
TEST(FileMenu, TheOfferedNameGivesWayAndWritingOverAsks) {
  std::string dir = MakeTempFolder();
  WriteFile(dir + "/old.spw", "keep me");
  ProgramRun r = Script(dir, "11old<Enter>Nnew<Enter><Enter><Esc>" "611,5<Enter><Esc>" "11old<Enter>Y<Enter><Esc>");
  EXPECT_EQ(r.Status, 0) << r.Err;
  EXPECT_FALSE(FileExists(dir + "/newold.spw"));
  EXPECT_FLOAT_EQ(Load(dir + "/new.spw").InternalPressure, 0.2f);
  EXPECT_FLOAT_EQ(Load(dir + "/old.spw").InternalPressure, 1.5f);
}

// Alt-Backspace undoes an edit and Alt-Shift-Backspace redoes it, in a
// script as at the keyboard.
TEST(Scripted, UndoAndRedoKeys) {
  for (const char* keys : {"<Alt-Backspace>", "<Alt-Backspace><Alt-Shift-Backspace>"}) {
    std::string dir = MakeTempFolder();
    ProgramRun r = Script(dir, std::string("611,5<Enter>") + keys + "<Esc>" + SaveAs("u"));
    EXPECT_EQ(r.Status, 0) << r.Err;
    EXPECT_FLOAT_EQ(Load(dir + "/u.spw").InternalPressure, std::string(keys).size() > 16 ? 1.5f : 0.2f);
  }
}

// F1 in a menu shows the key summary, as the help menu's item does.
TEST(Scripted, F1ShowsTheHelpOfTheMenus) {
  std::string dir = MakeTempFolder();
  ProgramRun r = Script(dir, "6<F1><shot f1.png><Esc><Esc><menu 305><shot summary.png>");
  EXPECT_EQ(r.Status, 0) << r.Err;
  EXPECT_EQ(ReadFile(dir + "/f1.png"), ReadFile(dir + "/summary.png"));
  EXPECT_GT(ReadFile(dir + "/f1.png").size(), 100u);
}

TEST(Scripted, ABadScriptNamesTheLine) {
  std::string dir = MakeTempFolder();
  ProgramRun r = Script(dir, "3\n<Enter>\n<Frobnicate>");
  EXPECT_EQ(r.Status, 2);
  EXPECT_NE(r.Err.find("line 3: unknown token <Frobnicate>"), std::string::npos) << r.Err;
  r = RunProgram("--script no-such-file.txt", dir);
  EXPECT_EQ(r.Status, 2);
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

// Esc in the line-thickness questions before a .UGF or .PLT export gives the
// export up: no file, no "output done".
TEST(FileMenu, EscInTheThicknessQuestionsCancelsTheExport) {
  struct Row { const char* keys; const char* file; bool written; };
  const Row rows[] = {{"152a<Enter><Esc>", "a.UGF", false},
                      {"152b<Enter><Enter><Esc>", "b.UGF", false},
                      {"157c<Enter><Esc>", "c.PLT", false},
                      {"157d<Enter><Enter><Enter><Enter>", "d.PLT", true}};
  std::string dir = MakeTempFolder();
  for (const Row& r : rows) {
    ProgramRun run = Script(dir, std::string(r.keys) + "<Esc><Esc><Esc>");
    EXPECT_EQ(run.Status, 0) << run.Err;
    EXPECT_EQ(FileExists(dir + "/" + r.file), r.written) << r.keys;
  }
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
