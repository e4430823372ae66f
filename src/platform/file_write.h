// src/platform/file_write.h — the one way the program writes a file.
//
// Every writer (data files, exchange files, pictures, PDF and SVG pages)
// goes through here, so that writing never destroys what it was not asked
// to touch:
//
// - A regular file (or a name that does not exist yet) is replaced
//   atomically: the bytes go to a temporary file created beside the target
//   with a unique name (O_EXCL, O_NOFOLLOW, never an existing file or a
//   link), are flushed to the disk, and the temporary file is renamed over
//   the target. Until the rename the old file is untouched; on every failure
//   the temporary file is removed. The new file keeps the permissions (and,
//   where allowed, the owner) of the file it replaces.
// - A symbolic link is followed to the file it names, and that file is
//   replaced; the link stays a link, as text editors do.
// - A read-only file is left as it is, and the failure says so.
// - A target that exists and is no regular file (a FIFO, a terminal, a
//   device such as /dev/null or /dev/full) is written directly, without a
//   temporary file and without a rename; every write error is reported.
// - The name "-" stands for the standard output.
//
// Errors are returned as text ("No space left on device"), never thrown.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

constexpr const char* kStandardOutputName = "-";

// An output file being written. Fill it with BeginOutput, then WriteOutput
// as often as needed, then FinishOutput (or AbandonOutput to give up).
struct OutputFile {
  int Fd = -1;
  bool Direct = false;        // written in place: a special file or the standard output
  bool CloseFd = true;        // false for the standard output
  std::string Target;         // the file that is replaced (links followed)
  std::string Temporary;      // the temporary file beside it ("" when direct)
  std::string Error;          // the first failure; the output is then abandoned
};

// Opens path for writing. False (and out.Error) when it cannot be written.
bool BeginOutput(const std::string& path, OutputFile& out);
// Appends bytes. False once anything has failed (the output is abandoned).
bool WriteOutput(OutputFile& out, const void* data, std::size_t size);
// Flushes, closes and renames the temporary file over the target. False
// when anything failed; nothing is then left under the temporary name and
// a replaced file is untouched.
bool FinishOutput(OutputFile& out);
// Gives the output up: the temporary file is removed, the target untouched.
void AbandonOutput(OutputFile& out);

// The whole of bytes as the file path, by the rules above. False and error
// (UTF-8) when it could not be written.
bool WriteFileAtomic(const std::string& path, std::string_view bytes, std::string& error);

}  // namespace platform
