// Runs the real executable and captures what it prints.
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace testing_support {

struct ProgramRun {
  int Status = -1;
  std::string Out, Err;
};

inline std::string Quote(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// args are passed through the shell, each quoted; program is the program's
// own command line before them (the executable under test by default). The
// program keeps its state (the recovery copy) in the folder's .state, never
// in the user's.
inline ProgramRun RunProgram(const std::string& args, const std::string& folder = ".",
                             const std::string& program = Quote(BRELMORA_EXE)) {
  char errName[] = "/tmp/brelmora-err-XXXXXX";
  int fd = mkstemp(errName);
  close(fd);
  // The folder and the state apply to the whole line, a background job's
  // second program included.
  std::string cmd = "cd " + Quote(folder) + " || exit 127; export XDG_STATE_HOME=\"$PWD/.state\"; " + program +
                    " " + args + " 2>" + errName;
  ProgramRun run;
  FILE* p = popen(cmd.c_str(), "r");
  if (!p) return run;
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) run.Out.append(buf, n);
  int status = pclose(p);
  run.Status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  run.Err = ReadFile(errName);
  unlink(errName);
  return run;
}

// A fresh folder under the system's temporary folder.
// The folders this test program made, removed when it ends (by the process
// that made them, not by a forked death-test child).
struct MadeFolders {
  pid_t Owner = getpid();
  std::vector<std::string> Paths;
  ~MadeFolders() {
    std::error_code ignored;
    if (getpid() == Owner)
      for (const std::string& path : Paths) std::filesystem::remove_all(path, ignored);
  }
};

inline std::string MakeTempFolder() {
  static MadeFolders made;
  char name[] = "/tmp/brelmora-test-XXXXXX";
  if (!mkdtemp(name)) return "/tmp";
  made.Paths.push_back(name);
  return name;
}

inline bool FileExists(const std::string& path) { return std::ifstream(path, std::ios::binary).good(); }

inline void WriteFile(const std::string& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

}  // namespace testing_support
