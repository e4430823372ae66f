// src/platform/file_write.cpp — the one way the program writes a file.
#include "platform/file_write.h"

#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace platform {

namespace {

constexpr int kMaxLinks = 40;              // as the kernel's own limit on a path
constexpr std::size_t kMaxTempBase = 200;  // of the target's name in the temporary name
constexpr int kTempAttempts = 100;
constexpr const char* kReadOnly = "the file is read-only; it was left unchanged";

bool Fail(OutputFile& out, const std::string& error) {
  if (out.Error.empty()) out.Error = error;
  return false;
}

bool FailErrno(OutputFile& out, int err) { return Fail(out, std::strerror(err)); }

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Follows symbolic links to the file they name (which need not exist yet).
bool FollowLinks(const std::string& path, std::string& target, OutputFile& out) {
  target = path;
  for (int hop = 0; hop <= kMaxLinks; ++hop) {
    struct stat st {};
    if (lstat(target.c_str(), &st) != 0) {
      if (errno == ENOENT) return true;  // a new file
      return FailErrno(out, errno);
    }
    if (!S_ISLNK(st.st_mode)) return true;
    char buf[4096];
    const ssize_t n = readlink(target.c_str(), buf, sizeof buf);
    if (n < 0) return FailErrno(out, errno);
    if (static_cast<std::size_t>(n) >= sizeof buf) return FailErrno(out, ENAMETOOLONG);
    std::string next(buf, static_cast<std::size_t>(n));
    if (next.empty()) return FailErrno(out, ENOENT);
    if (next[0] != '/') next = FolderOf(target) + "/" + next;
    target = next;
  }
  return FailErrno(out, ELOOP);
}

// Six random letters and digits.
std::string RandomSuffix() {
  static const char kChars[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  unsigned char bytes[6] = {};
  if (getrandom(bytes, sizeof bytes, 0) != static_cast<ssize_t>(sizeof bytes)) {
    static unsigned counter = 0;
    const unsigned mix = static_cast<unsigned>(getpid()) * 2654435761u + ++counter * 40503u;
    for (std::size_t i = 0; i < sizeof bytes; ++i) bytes[i] = static_cast<unsigned char>(mix >> (4 * i));
  }
  std::string s;
  for (unsigned char b : bytes) s += kChars[b % (sizeof kChars - 1)];
  return s;
}

bool OpenDirect(const std::string& target, OutputFile& out) {
  out.Fd = open(target.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
  if (out.Fd < 0) return FailErrno(out, errno);
  out.Direct = true;
  return true;
}

bool OpenTemporary(const struct stat* existing, OutputFile& out) {
  const std::string base = "." + NameOf(out.Target).substr(0, kMaxTempBase) + ".";
  const std::string folder = FolderOf(out.Target);
  for (int attempt = 0; attempt < kTempAttempts; ++attempt) {
    const std::string name = folder + "/" + base + RandomSuffix();
    const int fd = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0) {
      if (errno == EEXIST || errno == EINTR) continue;
      return FailErrno(out, errno);
    }
    out.Fd = fd;
    out.Temporary = name;
    if (existing != nullptr) {
      // The replaced file's owner (where the system allows it) and mode.
      [[maybe_unused]] const int owner = fchown(fd, existing->st_uid, existing->st_gid);
      fchmod(fd, existing->st_mode & 07777);
    }
    return true;
  }
  return FailErrno(out, EEXIST);
}

}  // namespace

bool BeginOutput(const std::string& path, OutputFile& out) {
  out = OutputFile{};
  if (path == kStandardOutputName) {
    out.Fd = STDOUT_FILENO;
    out.Direct = true;
    out.CloseFd = false;
    out.Target = path;
    return true;
  }
  if (path.empty()) return FailErrno(out, ENOENT);
  // A special file at the end of the links (/dev/stdout may lead through
  // /proc to a pipe, which no path names) is opened through them.
  struct stat st {};
  if (stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode)) {
    out.Target = path;
    return OpenDirect(path, out);
  }
  if (!FollowLinks(path, out.Target, out)) return false;
  if (stat(out.Target.c_str(), &st) != 0) {
    if (errno != ENOENT) return FailErrno(out, errno);
    return OpenTemporary(nullptr, out);
  }
  if (S_ISDIR(st.st_mode)) return FailErrno(out, EISDIR);
  if (!S_ISREG(st.st_mode)) return OpenDirect(out.Target, out);
  // Not writable by us, or writable by nobody (an administrator could still
  // write it): either way its owner made it read-only.
  if ((st.st_mode & 0222) == 0) return Fail(out, kReadOnly);
  if (access(out.Target.c_str(), W_OK) != 0) {
    if (errno == EACCES) return Fail(out, kReadOnly);
    return FailErrno(out, errno);
  }
  return OpenTemporary(&st, out);
}

bool WriteOutput(OutputFile& out, const void* data, std::size_t size) {
  if (!out.Error.empty() || out.Fd < 0) return false;
  const char* p = static_cast<const char*>(data);
  while (size > 0) {
    const ssize_t n = write(out.Fd, p, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      const int err = errno;
      AbandonOutput(out);
      return FailErrno(out, err);
    }
    if (n == 0) {
      AbandonOutput(out);
      return FailErrno(out, EIO);
    }
    p += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

void AbandonOutput(OutputFile& out) {
  if (out.Fd >= 0 && out.CloseFd) close(out.Fd);
  out.Fd = -1;
  if (!out.Temporary.empty()) unlink(out.Temporary.c_str());
  out.Temporary.clear();
}

bool FinishOutput(OutputFile& out) {
  if (!out.Error.empty() || out.Fd < 0) {
    AbandonOutput(out);
    return Fail(out, "the file was not opened");
  }
  if (out.Direct) {
    const int fd = out.Fd;
    out.Fd = -1;
    if (!out.CloseFd) return true;
    if (close(fd) != 0) return FailErrno(out, errno);
    return true;
  }
  if (fsync(out.Fd) != 0) {
    const int err = errno;
    AbandonOutput(out);
    return FailErrno(out, err);
  }
  const int fd = out.Fd;
  out.Fd = -1;
  if (close(fd) != 0) {
    const int err = errno;
    AbandonOutput(out);
    return FailErrno(out, err);
  }
  if (rename(out.Temporary.c_str(), out.Target.c_str()) != 0) {
    const int err = errno;
    AbandonOutput(out);
    return FailErrno(out, err);
  }
  out.Temporary.clear();
  // The rename itself reaches the disk with the folder.
  const int dir = open(FolderOf(out.Target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    fsync(dir);
    close(dir);
  }
  return true;
}

bool WriteFileAtomic(const std::string& path, std::string_view bytes, std::string& error) {
  OutputFile out;
  if (BeginOutput(path, out) && WriteOutput(out, bytes.data(), bytes.size()) && FinishOutput(out))
    return true;
  AbandonOutput(out);
  error = out.Error.empty() ? "failed" : out.Error;
  return false;
}

}  // namespace platform
