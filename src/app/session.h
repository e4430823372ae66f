// src/app/session.h — the work in hand: the data file it belongs to,
// whether it has changed since that file was read or written, the steps
// that undo and redo its edits, the window's caption, and the recovery copy
// that outlives a crash.
//
// Every change of the model is noted: the menus after each accepted value,
// the menu-bar commands and the file loads end in NoteModelChange (or the
// Note...File routines), which compares the model with the current step and
// keeps a different model as a new step. A step is a whole model (about
// 1.4 KB), so whatever edits the model later is undone and redone like the
// rest, as long as it ends in NoteModelChange.
//
// The recovery copy: after every change that leaves the work unsaved, the
// model is written, at the next moment the program waits for the user, to
// a file of this run in the state folder ($XDG_STATE_HOME/brelmora, or
// ~/.local/state/brelmora) beside a lock file that the run holds while it
// lives. Any orderly end of the process removes both; a crash leaves them,
// and the next start-up offers the copy back.
//
// Index:
//   the session state
//   steps: noting changes, undo and redo
//   the caption and the questions before leaving
//   the recovery copy
#pragma once

#include <string>

#include "app/shell_model.h"
#include "platform/menu_bar.h"

namespace app {

constexpr int kUndoSteps = 100;               // edits that can be undone in a row
constexpr int kHistorySize = kUndoSteps + 1;  // the steps kept, the current one included

struct Session {
  // The history: step i (0 the oldest) is Steps[(First + i) % kHistorySize].
  ShellModel Steps[kHistorySize];
  int First = 0, Count = 1, Current = 0;
  bool NewShellStep = false;  // the current step is a new shell that a load takes over
  ShellModel Saved;           // the model as its data file holds it
  bool Modified = false;
  std::string FilePath;       // the data file (absolute, UTF-8); "" for a new shell

  std::string StateFolder;    // "" when the recovery copy has no place
  std::string RecoveryPath, LockPath;
  int LockFd = -1;
  int OwnerPid = 0;           // the process whose end removes the copy
  bool RecoveryDue = false;   // the copy lags behind the model
  bool RecoveryFailed = false;
  std::string RecoveryProblem;  // why this run has no copy (screen text), for the user

  std::string ShownTitle;     // what the window's caption says
  int ShownLanguage = -1;     // of the menu bar's captions
};
extern Session Work;  // the one session of the program

// --- Steps ---------------------------------------------------------------------
// The model as it is now is the only step, in the state its data file
// holds (dataFile: "" for a shell that has no file); the recovery copy of
// this run gets its place.
void StartSession(const std::string& dataFile);
// A model different from the current step becomes a new step; the steps
// after the current one are dropped, and beyond kUndoSteps the oldest.
void NoteModelChange();
// The model was reset to a new shell (menu-bar New): a step, without a
// file, unchanged. A load that follows at once takes that step over, so
// that opening a file is one step.
void NoteNewShell();
// The model was read from, or written to, the data file at path.
void NoteFileRead(const std::string& path);
void NoteFileWritten(const std::string& path);
// One step back or forward; false when there is none.
bool UndoEdit();
bool RedoEdit();
// Whether two models hold the same data: every value the data file keeps,
// except the places of the picture's parts, which every picture sets.
bool SameModelData(const ShellModel& a, const ShellModel& b);

// --- Caption and questions ---------------------------------------------------------
// "tank.spw* — Brelmora (RU)": the data file's name, "*" while it has
// unsaved changes, and the language of the texts.
std::string WindowTitle();
void UpdateWindowTitle();  // the caption and the menu bar's language, when they changed
// Whether the work has unsaved changes; shown: the data file's name for a
// question (screen text), or "the new shell" in the current language.
bool UnsavedWork(std::string& shown);
// The menu bar's question before the work is left: with unsaved changes
// save / don't save / cancel (a save that fails is a cancel); otherwise
// the questions the program has always asked.
bool AskBeforeLeaving(platform::LeaveReason reason);
// Saves the work into its data file, or through the save dialog when it
// has none; true when it was written.
bool SaveWork();

// --- Recovery copy ------------------------------------------------------------------
// The state folder of the program: $XDG_STATE_HOME/brelmora when that is
// an absolute path, else $HOME/.local/state/brelmora ("" without a home).
std::string StateFolderPath();
// Writes the copy when it lags behind (the idle moment of the drivers); a
// model without unsaved changes has none.
void WriteRecoveryWhenDue();
// The copies left by runs that died, newest first: each is offered back;
// the first taken replaces the model (unsaved, with its data file's name),
// each refused is deleted. True when one was taken.
bool OfferRecovery();
// Removes this run's copy and lock; every orderly end of the process runs it.
void EndSession();

}  // namespace app
