// src/exchange/file_io.cpp — whole-file reading and atomic writing.
#include "exchange/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

namespace exchange {

bool ReadWholeFile(const std::string& path, std::string& bytes, std::string& error) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    error = std::strerror(errno);
    return false;
  }
  struct stat st {};
  if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
    ::close(fd);
    error = std::strerror(EISDIR);
    return false;
  }
  std::string out;
  char buf[65536];
  for (;;) {
    ssize_t n = ::read(fd, buf, sizeof buf);
    if (n < 0) {
      if (errno == EINTR) continue;
      error = std::strerror(errno);
      ::close(fd);
      return false;
    }
    if (n == 0) break;
    out.append(buf, static_cast<std::size_t>(n));
    if (out.size() > kMaxReadBytes) {
      ::close(fd);
      error = "file too large";
      return false;
    }
  }
  ::close(fd);
  bytes.swap(out);
  return true;
}

bool FileExists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool WriteFileAtomic(const std::string& path, const std::string& bytes, std::string& error) {
  std::string folder = ".";
  std::size_t slash = path.rfind('/');
  if (slash != std::string::npos) folder = slash == 0 ? "/" : path.substr(0, slash);
  std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
  std::vector<char> tmp(folder.begin(), folder.end());
  const std::string pattern = "/." + base + ".XXXXXX";
  tmp.insert(tmp.end(), pattern.begin(), pattern.end());
  tmp.push_back('\0');

  int fd = ::mkstemp(tmp.data());
  if (fd < 0) {
    error = std::strerror(errno);
    return false;
  }
  // The saved file keeps the permissions of the file it replaces, or gets
  // the usual ones of a new file.
  struct stat st {};
  mode_t mode;
  if (::stat(path.c_str(), &st) == 0) {
    mode = st.st_mode & 07777;
  } else {
    mode_t mask = ::umask(0);
    ::umask(mask);
    mode = 0666 & ~mask;
  }
  ::fchmod(fd, mode);

  auto fail = [&](int err) {
    error = std::strerror(err);
    ::close(fd);
    ::unlink(tmp.data());
    return false;
  };
  std::size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return fail(errno);
    }
    done += static_cast<std::size_t>(n);
  }
  if (::fsync(fd) != 0) return fail(errno);
  if (::close(fd) != 0) {
    int err = errno;
    ::unlink(tmp.data());
    error = std::strerror(err);
    return false;
  }
  if (::rename(tmp.data(), path.c_str()) != 0) {
    int err = errno;
    ::unlink(tmp.data());
    error = std::strerror(err);
    return false;
  }
  return true;
}

}  // namespace exchange
