// src/app/shell_file.h — the shell data file (extension "spw").
//
// One routine, the field list, walks every field of the model in file order
// and, by the global FileMode, sets it to its default, writes it, or reads it.
// The file is labelled text: one value or value group per line, followed by
// a label in the screen code page; lines end with CR LF. Reading skips the
// labels whatever their bytes, accepts LF or CR alone as a line end as well,
// and takes only numbers that stay finite as 32-bit floats.
//
// The framework opens and closes the file: a DataFile holds the bytes to read
// or receives the bytes written, so reading never touches a half-read model
// and writing can go to disk in one atomic step.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "app/shell_model.h"

namespace app {

enum : int { kModeDefaults = 0, kModeWrite = 1, kModeRead = 2 };
extern int FileMode;  // shared with the framework's other field lists

struct DataFile {
  std::string Text;     // write: the bytes written; read: the bytes to read
  std::size_t Pos = 0;  // read position
  int Line = 1;         // line of the read position, from 1
  int FieldLine = 0;    // line on which the last field read began
  // The first reading fault: the line and what was expected there (screen
  // text with an English variant after ";"). ErrorLine 0: no fault.
  int ErrorLine = 0;
  std::string Expected;
  bool Empty = false;  // the fault is that the file holds nothing (Expected says so)
  bool Failed() const { return ErrorLine != 0; }
};

// Field primitives. Mode 0 sets the defaults, mode 1 writes, mode 2 reads.
// After a reading fault the primitives leave their values alone.
void FileHeader(DataFile& f, std::string& text, std::int32_t& number);
void FieldInt(DataFile& f, std::int32_t& v, const char* label, std::int32_t def);
void FieldFloat(DataFile& f, float& v, const char* label, float def);
void FieldTriple(DataFile& f, float& a, float& b, float& c, const char* label,
                 float da, float db, float dc);

// The fixed-point text FieldFloat writes for v: width and decimals chosen by
// the magnitude of v.
std::string FormatByMagnitude(float v);

// Every field of the model in file order, in the current FileMode.
void ShellFieldList(DataFile& f, ShellModel& m);

// Reads the whole file (mode 2). The model is replaced only when every field
// was read; otherwise it stays exactly as it was and f says what went wrong.
// The comment is not used: the header line is kept by the field list.
void LoadShellData(DataFile& f, std::string& comment, ShellModel& m = Shell);

// Writes the whole model into f.Text (mode 1).
void SaveShellData(DataFile& f, const std::string& comment, const ShellModel& m = Shell);

// "line 7: expected three numbers (X,Y,R, мм)", or "the file is empty", in
// the given language (0 Russian, 1 English), screen code page.
std::string DataFileFault(const DataFile& f, int language);

}  // namespace app
