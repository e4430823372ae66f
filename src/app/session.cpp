// src/app/session.cpp — the work in hand: steps, caption, questions before
// leaving, the recovery copy.
//
// Index:
//   1. steps: noting changes, undo and redo
//   2. the caption and the questions before leaving
//   3. the recovery copy
#include "app/session.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <vector>

#include "app/shell_file.h"
#include "app/shell_solver.h"
#include "exchange/file_io.h"
#include "exchange/file_menu.h"
#include "graphics/lang.h"
#include "platform/codepage.h"
#include "platform/driver.h"
#include "platform/file_write.h"

namespace app {

Session Work;

// ---------------------------------------------------------------------------
// 1. Steps

namespace {

ShellModel& Step(int i) { return Work.Steps[(Work.First + i) % kHistorySize]; }

// The arc radii that are too short for their chord are raised by every
// calculation; a model is kept as the calculation will have it, so that
// the first picture after a step does not look like another change.
void Settle(ShellModel& m) { RaiseShortArcRadii(m); }

std::string AbsolutePath(const std::string& path) {
  if (path.empty() || path[0] == '/') return path;
  char folder[4096];
  if (getcwd(folder, sizeof folder) == nullptr) return path;
  return std::string(folder) + "/" + path;
}

void PushStep() {
  Work.Count = Work.Current + 1;  // what was undone goes
  if (Work.Count == kHistorySize) {
    Work.First = (Work.First + 1) % kHistorySize;
    --Work.Count;
  }
  Step(Work.Count) = Shell;
  Work.Current = Work.Count++;
}

// What follows every change of the model or of its file.
void AfterChange() {
  Work.Modified = !SameModelData(Shell, Work.Saved);
  Work.RecoveryDue = true;
  exchange::Files.FileComment = Shell.DataFileHeaderText;
  UpdateWindowTitle();
}

void Arrived(const std::string& path) {
  Work.Saved = Shell;
  Work.FilePath = AbsolutePath(path);
  AfterChange();
}

}  // namespace

bool SameModelData(const ShellModel& a, const ShellModel& b) {
  auto same = [](const auto& x, const auto& y) { return std::equal(std::begin(x), std::end(x), std::begin(y)); };
  return a.SectionCount == b.SectionCount && same(a.SectionRadius, b.SectionRadius) &&
         same(a.SectionHeight, b.SectionHeight) && same(a.ArcRadius, b.ArcRadius) &&
         same(a.Thickness, b.Thickness) && same(a.LineLoad, b.LineLoad) &&
         same(a.GeneratrixKind, b.GeneratrixKind) && a.InternalPressure == b.InternalPressure &&
         a.LiquidDensity == b.LiquidDensity && a.LiquidLevel == b.LiquidLevel &&
         a.Overload == b.Overload && a.SupportSection == b.SupportSection &&
         a.ContourStep == b.ContourStep && a.YoungModulus == b.YoungModulus &&
         a.WallDensity == b.WallDensity && a.PictureScale == b.PictureScale &&
         a.FontHeight == b.FontHeight && a.PressureScale == b.PressureScale &&
         a.ForceScale == b.ForceScale && a.MembraneForceScale == b.MembraneForceScale &&
         a.StressScale == b.StressScale && a.DisplacementScale == b.DisplacementScale &&
         a.SecondDisplacementScale == b.SecondDisplacementScale && a.DiagramStep == b.DiagramStep &&
         a.AllowableStress == b.AllowableStress && a.EquivalenceRule == b.EquivalenceRule &&
         a.DataFileHeaderText == b.DataFileHeaderText;
}
// A field added to the model must be compared above (or said not to be
// data); the size changes with every field.
static_assert(sizeof(ShellModel) == 1328 + sizeof(std::string), "compare the new field in SameModelData");

void StartSession(const std::string& dataFile) {
  EndSession();  // a session of this run before, if any
  Settle(Shell);
  Work.First = Work.Current = 0;
  Work.Count = 1;
  Work.Steps[0] = Shell;
  Work.NewShellStep = false;
  Work.RecoveryFailed = false;
  Work.RecoveryProblem.clear();
  Arrived(dataFile);
  Work.RecoveryDue = false;

  // This run's copy and the lock that tells other runs it lives.
  Work.StateFolder = StateFolderPath();
  Work.RecoveryPath.clear();
  std::string folder;
  for (std::size_t slash = 0; !Work.StateFolder.empty() && slash != std::string::npos;) {
    slash = Work.StateFolder.find('/', slash + 1);
    folder = Work.StateFolder.substr(0, slash);
    if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) break;
  }
  std::vector<char> lock(Work.StateFolder.begin(), Work.StateFolder.end());
  const std::string pattern = "/run-XXXXXX.lock";
  lock.insert(lock.end(), pattern.begin(), pattern.end());
  lock.push_back('\0');
  const int fd = Work.StateFolder.empty() ? -1 : mkstemps(lock.data(), 5);
  if (fd < 0 || flock(fd, LOCK_EX | LOCK_NB) != 0) {
    if (!Work.StateFolder.empty())
      Work.RecoveryProblem = gfx::ScreenFromUtf8(Work.StateFolder + ": " + std::strerror(errno));
    if (fd >= 0) close(fd);
    Work.StateFolder.clear();
    return;
  }
  Work.LockFd = fd;
  Work.LockPath = lock.data();
  Work.RecoveryPath = Work.LockPath.substr(0, Work.LockPath.size() - 5) + ".spw";
  static bool registered = false;
  if (!registered) registered = std::atexit(EndSession) == 0;
  Work.OwnerPid = getpid();
}

void NoteModelChange() {
  Settle(Shell);
  if (SameModelData(Shell, Step(Work.Current))) {
    Step(Work.Current) = Shell;  // the picture's own values stay current
    return;
  }
  PushStep();
  Work.NewShellStep = false;
  AfterChange();
}

void NoteNewShell() {
  Settle(Shell);
  if (!SameModelData(Shell, Step(Work.Current))) PushStep();
  Work.NewShellStep = true;
  Arrived("");
}

void NoteFileRead(const std::string& path) {
  Settle(Shell);
  if (Work.NewShellStep && Work.Current == Work.Count - 1)
    Step(Work.Current) = Shell;
  else if (!SameModelData(Shell, Step(Work.Current)))
    PushStep();
  Work.NewShellStep = false;
  Arrived(path);
}

void NoteFileWritten(const std::string& path) {
  Settle(Shell);
  if (!SameModelData(Shell, Step(Work.Current))) PushStep();
  Work.NewShellStep = false;
  Arrived(path);
}

namespace {
bool MoveTo(int step) {
  if (step < 0 || step >= Work.Count) return false;
  Work.Current = step;
  const int shown = Shell.CurrentIndex;  // the menus keep their place
  Shell = Step(step);
  Shell.CurrentIndex = shown;
  Work.NewShellStep = false;
  AfterChange();
  return true;
}
}  // namespace

bool UndoEdit() { return MoveTo(Work.Current - 1); }
bool RedoEdit() { return MoveTo(Work.Current + 1); }

// ---------------------------------------------------------------------------
// 2. Caption and questions

namespace {

constexpr const char* kUntitled = "Без имени;Untitled;Bez nazwy"_sc;

void AppendFileNameUtf8(std::string& out) {
  if (Work.FilePath.empty())
    gfx::AppendUtf8FromScreen(out, gfx::LangPartView(kUntitled, gfx::LanguageIndex));
  else
    out += std::string_view(Work.FilePath).substr(Work.FilePath.rfind('/') + 1);
}

std::string FileNameUtf8() {
  std::string name;
  AppendFileNameUtf8(name);
  return name;
}

int Language() { return std::clamp(gfx::LanguageIndex, 0, 2); }

// The caption into out, which keeps its buffer from one redraw to the next.
void BuildWindowTitle(std::string& out) {
  static const char* const kCodes[] = {"RU", "EN", "PL"};
  out.clear();
  AppendFileNameUtf8(out);
  if (Work.Modified) out += '*';
  out += " — Brelmora (";
  out += kCodes[Language()];
  out += ')';
}

}  // namespace

std::string WindowTitle() {
  std::string title;
  BuildWindowTitle(title);
  return title;
}

void UpdateWindowTitle() {
  static std::string title;
  BuildWindowTitle(title);
  if (title != Work.ShownTitle) {
    Work.ShownTitle = title;
    platform::Drv.DrvSetTitle(title);
  }
  if (Language() != Work.ShownLanguage) {
    Work.ShownLanguage = Language();
    platform::Drv.DrvSetMenuLanguage(Work.ShownLanguage);
  }
}

bool UnsavedWork(std::string& shown) {
  shown = Work.FilePath.empty() ? gfx::LangPart("новой оболочке;the new shell"_sc)
                                : gfx::ScreenFromUtf8(FileNameUtf8());
  return Work.Modified;
}

bool SaveWork() {
  if (Work.FilePath.empty()) return platform::SaveThroughDialog();
  const std::string& path = Work.FilePath;
  if (!exchange::SaveDataAt(path, gfx::ScreenFromUtf8(path), Shell.DataFileHeaderText)) return false;
  NoteFileWritten(path);
  return true;
}

bool AskBeforeLeaving(platform::LeaveReason reason) {
  std::string shown;
  if (!UnsavedWork(shown)) return platform::AskBeforeLeaving(reason);
  const int answer = platform::Drv.DrvAskChoice(
      gfx::LangPart("Изменения в ;The changes to "_sc) + shown +
          gfx::LangPart(" не сохранены. Сохранить их?; are not saved. Save them?"_sc),
      "Brelmora", gfx::LangPart("Сохранить;Save"_sc), gfx::LangPart("Не сохранять;Don't save"_sc),
      gfx::LangPart("Отмена;Cancel"_sc));
  if (answer == platform::kAnswerYes) return SaveWork();
  return answer == platform::kAnswerNo;
}

// ---------------------------------------------------------------------------
// 3. The recovery copy
//
// The copy is a first line that marks it, a line with its data file's path
// (empty for a new shell), then the data file as it would be saved.

namespace {

constexpr const char* kRecoveryMark = "Brelmora recovery\n";

void Warn(const std::string& what, const std::string& why) {
  if (Work.RecoveryFailed) return;  // once is enough
  Work.RecoveryFailed = true;
  std::fprintf(stderr, "brelmora: the recovery copy %s: %s\n", what.c_str(), why.c_str());
}

// Through the program's one file-writing routine: a crash at any moment
// leaves the old copy or the new one whole.
bool WriteWhole(const std::string& path, const std::string& bytes) {
  std::string error;
  if (platform::WriteFileAtomic(path, bytes, error)) return true;
  Warn(path, error);
  return false;
}

struct LeftCopy {
  std::string Path, LockPath;
  int LockFd = -1;
  std::time_t Time = 0;
};

void Forget(LeftCopy& c, bool remove) {
  if (remove) {
    unlink(c.Path.c_str());
    unlink(c.LockPath.c_str());
  }
  if (c.LockFd >= 0) close(c.LockFd);
  c.LockFd = -1;
}

// The copies in the state folder whose runs hold no lock any more.
std::vector<LeftCopy> LeftCopies() {
  std::vector<LeftCopy> found;
  DIR* d = Work.StateFolder.empty() ? nullptr : opendir(Work.StateFolder.c_str());
  if (d == nullptr) return found;
  while (dirent* e = readdir(d)) {
    const std::string name = e->d_name;
    if (name.size() < 5 || name.compare(name.size() - 4, 4, ".spw") != 0) continue;
    LeftCopy c;
    c.Path = Work.StateFolder + "/" + name;
    if (c.Path == Work.RecoveryPath) continue;
    c.LockPath = c.Path.substr(0, c.Path.size() - 4) + ".lock";
    c.LockFd = open(c.LockPath.c_str(), O_RDWR | O_CLOEXEC);
    if (c.LockFd >= 0 && flock(c.LockFd, LOCK_EX | LOCK_NB) != 0) {
      Forget(c, false);  // its run lives
      continue;
    }
    struct stat st {};
    if (stat(c.Path.c_str(), &st) == 0) c.Time = st.st_mtime;
    found.push_back(c);
  }
  closedir(d);
  std::sort(found.begin(), found.end(), [](const LeftCopy& a, const LeftCopy& b) { return a.Time > b.Time; });
  return found;
}

// The model and the data file's path of a copy; false when it is none.
bool ReadCopy(const std::string& path, ShellModel& m, std::string& dataFile) {
  std::string bytes, error;
  if (!exchange::ReadWholeFile(path, bytes, error)) return false;
  const std::size_t mark = std::strlen(kRecoveryMark);
  const std::size_t eol = bytes.find('\n', mark);
  if (bytes.compare(0, mark, kRecoveryMark) != 0 || eol == std::string::npos) return false;
  dataFile = bytes.substr(mark, eol - mark);
  DataFile f;
  f.Text = bytes.substr(eol + 1);
  std::string comment;
  m = Shell;
  LoadShellData(f, comment, m);
  return !f.Failed();
}

}  // namespace

std::string StateFolderPath() {
  const char* state = std::getenv("XDG_STATE_HOME");
  if (state != nullptr && state[0] == '/') return std::string(state) + "/brelmora";
  const char* home = std::getenv("HOME");
  if (home != nullptr && home[0] == '/') return std::string(home) + "/.local/state/brelmora";
  return {};
}

void WriteRecoveryWhenDue() {
  if (!Work.RecoveryDue || Work.RecoveryPath.empty()) return;
  Work.RecoveryDue = false;
  if (!Work.Modified) {
    unlink(Work.RecoveryPath.c_str());
    return;
  }
  DataFile f;
  SaveShellData(f, Shell.DataFileHeaderText, Shell);
  const bool plainPath = Work.FilePath.find('\n') == std::string::npos;
  WriteWhole(Work.RecoveryPath, kRecoveryMark + (plainPath ? Work.FilePath : std::string()) + "\n" + f.Text);
}

bool OfferRecovery() {
  std::vector<LeftCopy> copies = LeftCopies();
  bool taken = false;
  for (LeftCopy& c : copies) {
    ShellModel m;
    std::string dataFile;
    if (taken || !ReadCopy(c.Path, m, dataFile)) {
      Forget(c, false);  // another time; or not a copy of this program
      continue;
    }
    char when[64] = "";
    std::tm local {};
    if (localtime_r(&c.Time, &local) != nullptr) std::strftime(when, sizeof when, "%d.%m.%Y %H:%M", &local);
    const std::string name = dataFile.empty() ? gfx::LangPart(kUntitled)
                                              : gfx::ScreenFromUtf8(dataFile.substr(dataFile.rfind('/') + 1));
    const int answer = platform::Drv.DrvAskChoice(
        gfx::LangPart("Осталась несохранённая работа (;Unsaved work ("_sc) + name + ", " + when +
            gfx::LangPart("): программа была прервана. Восстановить её? Иначе она будет удалена.;) was left when the program stopped. Restore it? Otherwise it is deleted."_sc),
        "Brelmora", gfx::LangPart("Восстановить;Restore"_sc), gfx::LangPart("Удалить;Delete"_sc), "");
    Forget(c, true);
    if (answer != platform::kAnswerYes) continue;
    const int shown = Shell.CurrentIndex;
    Shell = m;
    Shell.CurrentIndex = shown;
    NoteModelChange();
    Work.FilePath = dataFile;
    Work.Modified = true;  // the copy is work that no file holds
    Work.RecoveryDue = true;
    UpdateWindowTitle();
    taken = true;
  }
  return taken;
}

void EndSession() {
  if (Work.OwnerPid != getpid()) return;  // a child of this run ends: the copy stays
  if (!Work.RecoveryPath.empty()) unlink(Work.RecoveryPath.c_str());
  if (!Work.LockPath.empty()) unlink(Work.LockPath.c_str());
  if (Work.LockFd >= 0) close(Work.LockFd);
  Work.LockFd = -1;
  Work.OwnerPid = 0;
}

}  // namespace app
