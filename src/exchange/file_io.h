// src/exchange/file_io.h — whole-file reading and atomic writing.
//
// Data files are small: they are read whole into memory and parsed there, and
// written by writing a temporary file beside the target and renaming it over
// the target, so that a failed or interrupted save never destroys the file
// that was there. Errors are returned as text ("No such file or directory"),
// never thrown.
#pragma once

#include <string>

namespace exchange {

constexpr std::size_t kMaxReadBytes = 64u << 20;  // far beyond any data file

bool ReadWholeFile(const std::string& path, std::string& bytes, std::string& error);
bool WriteFileAtomic(const std::string& path, const std::string& bytes, std::string& error);
bool FileExists(const std::string& path);

}  // namespace exchange
