// The whole program driven by scripts on the image driver: start-up, the
// data-entry menus, the file menu and the picture it leaves.
#include <sys/stat.h>

#include <string>

#include "platform/codepage.h"
#include "support/shell_files.h"

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

float PressureIn(const std::string& path) { return ReadShell(path).InternalPressure; }

TEST(Scripted, TheShotHasTheSizeAsked) {
  std::string dir = MakeTempFolder();
  ProgramRun r = Script(dir, "", "--size 1920x1080 --shot wide.png");
  EXPECT_EQ(r.Status, 0) << r.Err;
  const std::string png = ReadFile(dir + "/wide.png");
  ASSERT_GT(png.size(), 24u);
  EXPECT_EQ((static_cast<unsigned char>(png[18]) << 8) | static_cast<unsigned char>(png[19]), 1920);
}

// The start argument: a file as it is, else the name rule (the folders and
// extension of an old name dropped, a long name cut to eight letters, a file
// from an old disk in capitals found too); a file that is not there is
// reported and the default shell stays.
TEST(Scripted, TheStartFileFollowsTheNameRule) {
  const std::string dir = MakeTempFolder();
  mkdir((dir + "/tanks").c_str(), 0755);
  const struct {
    const char* File;  // written with the pressure
    float Pressure;
    std::string Argument, Keys;
  } kRows[] = {
      {"TANK1.spw", 1.5f, "'C:\\DATA\\TANK1.XYZ'", ""},
      {"LONGNAME.spw", 2.5f, "LONGNAME123.spw", ""},
      {"OLD.SPW", 3.5f, "OLD", ""},
      {"tanks/tank number one.spw", 4.5f, Quote(dir + "/tanks/tank number one.spw"), ""},
      {nullptr, 0.2f, "NOSUCH", "<Enter>"},
  };
  int n = 0;
  for (const auto& r : kRows) {
    SCOPED_TRACE(r.Argument);
    if (r.File) WriteShell(dir + "/" + r.File, DefaultShell([&](app::ShellModel& m) { m.InternalPressure = r.Pressure; }));
    const std::string copy = "copy" + std::to_string(++n);
    EXPECT_EQ(Script(dir, r.Keys + SaveAs(copy), r.Argument).Status, 0);
    EXPECT_FLOAT_EQ(PressureIn(dir + "/" + copy + ".spw"), r.Pressure);
  }
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
      EXPECT_EQ(PressureIn(dir + "/" + r.saved), 1.5f);
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
  EXPECT_FLOAT_EQ(PressureIn(dir + "/new.spw"), 0.2f);
  EXPECT_FLOAT_EQ(PressureIn(dir + "/old.spw"), 1.5f);
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
  WriteShell(dir + "/only.spw", DefaultShell([](app::ShellModel& m) { m.LiquidLevel = 77; }));
  ProgramRun r = Script(dir, "12<Enter><Esc>" + SaveAs("copy"));
  EXPECT_EQ(r.Status, 0) << r.Err;
  EXPECT_EQ(ReadShell(dir + "/copy.spw").LiquidLevel, 77);
  // A cancelled browser loads nothing and leaves the name empty.
  r = Script(dir, "12<Esc><Esc>" + SaveAs("copy2"));
  EXPECT_EQ(ReadShell(dir + "/copy2.spw").LiquidLevel, 150);
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

}  // namespace
