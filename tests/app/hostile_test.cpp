// The program attacked as a careless script would: key sequences that once
// overflowed pixel arithmetic (run clean under the sanitizers), and writes
// to special files, linked names, read-only files and one name at once.
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <chrono>
#include <set>
#include <string>
#include <thread>

#include "support/shell_files.h"

namespace {

using namespace testing_support;

bool IsPng(const std::string& path) { return ReadFile(path).substr(1, 3) == "PNG"; }

mode_t ModeOf(const std::string& path, bool followLinks = true) {
  struct stat st {};
  if ((followLinks ? stat(path.c_str(), &st) : lstat(path.c_str(), &st)) != 0) return 0;
  return st.st_mode;
}

std::string Repeat(const std::string& keys, int times) {
  std::string s;
  for (int i = 0; i < times; ++i) s += keys;
  return s;
}

struct KeyRun { const char* Name; std::string Keys; };

TEST(Hostile, KeySequencesRunClean) {
  const KeyRun kRuns[] = {
      {"a section radius of 7.2e9", "427199999999<Enter>"},
      {"view keys after the four-viewport layout", "$<Ctrl-Left>e<Tab><Left><Left>Я1l"},
      {"sixty zooms in, then panned", Repeat("<PgUp>", 60) + "<Ctrl-Left><Ctrl-Left><Ctrl-Up>"},
      // Without a printer every round of the print dialog says so first.
      {"printing at a scale of 1e6", "151<Enter>31000000<Enter><Enter>9<Enter><Enter><Esc><Esc><Esc>"},
      {"the print dialog with a section radius of 1e30", "421e30<Enter><Esc>151<Enter><Esc><Esc><Esc>"},
  };
  for (const KeyRun& run : kRuns) {
    SCOPED_TRACE(run.Name);
    const std::string dir = MakeTempFolder();
    WriteFile(dir + "/keys.txt", run.Keys);
    const ProgramRun r = RunProgram("--script keys.txt --shot pic.png", dir);
    EXPECT_EQ(r.Status, 0) << r.Err;
    EXPECT_TRUE(IsPng(dir + "/pic.png"));
  }
}

// Each case prepares a folder, runs the program there and checks it.
struct WriteRun {
  const char* Name;
  void (*Prepare)(const std::string& dir);
  const char* Args;
  int Status;
  const char* Err;  // the end of what is said on stderr ("" nothing checked)
  void (*Check)(const std::string& dir, const ProgramRun& r);
};

const WriteRun kWriteRuns[] = {
    {"the standard output", [](const std::string&) {}, "--export svg -", 0, "",
     [](const std::string&, const ProgramRun& r) { EXPECT_EQ(r.Out.substr(0, 5), "<?xml"); }},
    {"/dev/stdout, a pipe here", [](const std::string&) {}, "--export svg /dev/stdout", 0, "",
     [](const std::string&, const ProgramRun& r) { EXPECT_EQ(r.Out.substr(0, 5), "<?xml"); }},
    {"a copy of the full device",
     [](const std::string& d) {
       if (mknod((d + "/full").c_str(), S_IFCHR | 0666, makedev(1, 7)) != 0) {
         EXPECT_EQ(symlink("/dev/full", (d + "/full").c_str()), 0);
       }
     },
     "--export svg full", 1, "full: No space left on device\n",
     [](const std::string& d, const ProgramRun&) { EXPECT_TRUE(S_ISCHR(ModeOf(d + "/full"))); }},
    {"a link where the temporary file used to go",
     [](const std::string& d) {
       WriteFile(d + "/victim.txt", "victim");
       EXPECT_EQ(symlink("victim.txt", (d + "/pic.png.tmp").c_str()), 0);
     },
     "--export png pic.png", 0, "",
     [](const std::string& d, const ProgramRun&) {
       EXPECT_EQ(ReadFile(d + "/victim.txt"), "victim");
       EXPECT_TRUE(S_ISLNK(ModeOf(d + "/pic.png.tmp", false)));
       EXPECT_TRUE(IsPng(d + "/pic.png"));
     }},
    {"a file of the user's beside the target",
     [](const std::string& d) { WriteFile(d + "/out.png.tmp", "mine"); }, "--export png out.png", 0, "",
     [](const std::string& d, const ProgramRun&) { EXPECT_EQ(ReadFile(d + "/out.png.tmp"), "mine"); }},
};

TEST(Hostile, WritesTouchNothingTheyWereNotAskedTo) {
  for (const WriteRun& c : kWriteRuns) {
    SCOPED_TRACE(c.Name);
    const std::string dir = MakeTempFolder();
    c.Prepare(dir);
    const ProgramRun r = RunProgram(c.Args, dir);
    EXPECT_EQ(r.Status, c.Status) << r.Err;
    const std::string end = c.Err;
    EXPECT_EQ(r.Err.size() >= end.size() ? r.Err.substr(r.Err.size() - end.size()) : r.Err, end);
    c.Check(dir, r);
  }
}

TEST(Hostile, AFifoIsWrittenInPlace) {
  const std::string dir = MakeTempFolder();
  ASSERT_EQ(mkfifo((dir + "/pipe").c_str(), 0600), 0);
  std::string got;
  std::thread reader([&] { got = ReadFile(dir + "/pipe"); });
  const ProgramRun r = RunProgram("--export dxf pipe", dir);
  reader.join();
  EXPECT_EQ(r.Status, 0) << r.Err;
  EXPECT_TRUE(S_ISFIFO(ModeOf(dir + "/pipe")));
  EXPECT_EQ(got, RunProgram("--export dxf -", dir).Out);
}

TEST(Hostile, ConcurrentExportsToOneNameBothSucceed) {
  const std::string dir = MakeTempFolder();
  const std::string exe = Quote(BRELMORA_EXE);
  for (int pair = 0; pair < 3; ++pair) {
    const ProgramRun r = RunProgram("--export png same.png & " + exe +
                                        " --export png same.png; a=$?; wait $!; exit $((a | $?))",
                                    dir);
    EXPECT_EQ(r.Status, 0) << r.Err;
    EXPECT_TRUE(IsPng(dir + "/same.png"));
  }
}

// The file menu's save over a linked data file and over a read-only one.
TEST(Hostile, SavingKeepsLinksAndLeavesReadOnlyFiles) {
  const std::string dir = MakeTempFolder();
  mkdir((dir + "/shared").c_str(), 0755);
  const std::string old = "old contents\n";
  WriteFile(dir + "/shared/tank.spw", old);
  ASSERT_EQ(symlink("shared/tank.spw", (dir + "/tank.spw").c_str()), 0);
  WriteFile(dir + "/fixed.spw", old);
  chmod((dir + "/fixed.spw").c_str(), 0444);
  auto save = [&](const char* name) {
    WriteFile(dir + "/keys.txt", std::string("11") + name + "<Enter>y<Enter><Enter><Esc>");
    return RunProgram("--script keys.txt", dir);
  };
  EXPECT_EQ(save("tank").Status, 0);
  EXPECT_TRUE(S_ISLNK(ModeOf(dir + "/tank.spw", false)));
  EXPECT_EQ(ReadFile(dir + "/shared/tank.spw").substr(0, 2), "\r\n");  // the program's own bytes
  EXPECT_EQ(save("fixed").Status, 0);
  EXPECT_EQ(ReadFile(dir + "/fixed.spw"), old);
  EXPECT_EQ(ModeOf(dir + "/fixed.spw") & 0777, 0444u);
}

// The marked scratch folders under a temporary folder.
std::set<std::string> ScratchFolders(const std::string& tmp) {
  std::set<std::string> found;
  if (DIR* d = opendir(tmp.c_str())) {
    while (dirent* e = readdir(d))
      if (FileExists(tmp + "/" + e->d_name + "/PID")) found.insert(e->d_name);
    closedir(d);
  }
  return found;
}

// Starts a run in the background whose picture spills into its scratch
// files and that keeps redrawing; returns its process id once its folder
// exists (and that folder's name).
long StartSpillingRun(const std::string& dir, const std::string& tmp, std::string& folder) {
  const std::set<std::string> before = ScratchFolders(tmp);
  WriteFile(dir + "/keys.txt", Repeat("r", 5000));
  const std::string cmd = "cd " + Quote(dir) + " && TMPDIR=" + Quote(tmp) + " " + Quote(BRELMORA_EXE) +
                          " --script keys.txt fine >/dev/null 2>&1 & echo $! > " + Quote(dir + "/pid");
  if (std::system(cmd.c_str()) != 0) return 0;
  const long pid = std::atol(ReadFile(dir + "/pid").c_str());
  for (int wait = 0; wait < 600; ++wait) {
    for (const std::string& f : ScratchFolders(tmp))
      if (!before.count(f) && FileExists(tmp + "/" + f + "/BUF.TMP")) {
        folder = f;
        return pid;
      }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return pid;
}

void Kill(long pid) {
  kill(static_cast<pid_t>(pid), SIGKILL);
  for (int wait = 0; wait < 200 && FileExists("/proc/" + std::to_string(pid) + "/stat"); ++wait)
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
}

TEST(Hostile, ScratchFoldersOfRunsThatAreGoneAreRemovedAtStartUp) {
  const std::string dir = MakeTempFolder(), tmp = MakeTempFolder();
  // Thousands of nodes: the picture spills.
  WriteShell(dir + "/fine.spw", DefaultShell([](app::ShellModel& m) { m.ContourStep = 0.001f; }));

  std::string killed, live;
  Kill(StartSpillingRun(dir, tmp, killed));
  ASSERT_FALSE(killed.empty());
  ASSERT_TRUE(FileExists(tmp + "/" + killed + "/BUF.TMP"));
  const long running = StartSpillingRun(dir, tmp, live);  // its start-up already sweeps
  ASSERT_FALSE(live.empty());
  // The live run's id with another start time: a process that reused it.
  const std::string mark = ReadFile(tmp + "/" + live + "/PID");
  mkdir((tmp + "/brelmora-Reused").c_str(), 0700);
  WriteFile(tmp + "/brelmora-Reused/PID", mark.substr(0, mark.find(' ')) + " 1" + mark.substr(mark.find(' ', mark.find(' ') + 1)));
  WriteFile(tmp + "/brelmora-Reused/BUF.TMP", "x");
  // No mark: nothing tells whose it is. A link to a dead run's folder.
  mkdir((tmp + "/brelmora-NoMark").c_str(), 0700);
  mkdir((dir + "/elsewhere").c_str(), 0700);
  WriteFile(dir + "/elsewhere/PID", "999999999 1 x\n");
  ASSERT_EQ(symlink((dir + "/elsewhere").c_str(), (tmp + "/brelmora-Linked").c_str()), 0);

  const int status = std::system(("cd " + Quote(dir) + " && TMPDIR=" + Quote(tmp) + " " +
                                   Quote(BRELMORA_EXE) + " --export dxf out.dxf").c_str());
  Kill(running);
  EXPECT_EQ(status, 0);
  EXPECT_FALSE(FileExists(tmp + "/" + killed));
  EXPECT_TRUE(FileExists(tmp + "/" + live + "/PID"));
  EXPECT_FALSE(FileExists(tmp + "/brelmora-Reused"));
  EXPECT_TRUE(S_ISDIR(ModeOf(tmp + "/brelmora-NoMark")));
  EXPECT_TRUE(S_ISLNK(ModeOf(tmp + "/brelmora-Linked", false)));
  EXPECT_TRUE(FileExists(dir + "/elsewhere/PID"));
}

}  // namespace
