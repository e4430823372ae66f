// src/exchange/file_io.h — whole-file reading.
//
// Data files are small: they are read whole into memory and parsed there.
// Every file is written through platform::WriteFileAtomic (platform/
// file_write.h). Errors are returned as text ("No such file or directory"),
// never thrown.
#pragma once

#include <string>

namespace exchange {

constexpr std::size_t kMaxReadBytes = 64u << 20;  // far beyond any data file

bool ReadWholeFile(const std::string& path, std::string& bytes, std::string& error);
bool FileExists(const std::string& path);

}  // namespace exchange
