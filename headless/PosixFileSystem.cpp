#include "headless/PosixFileSystem.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "platform/Errors.h"

namespace vantorel {

namespace {

std::string FullPath(const std::string& path) {
  if (!path.empty() && path.front() == '/') return path;
  char cwd[PATH_MAX];
  if (getcwd(cwd, sizeof cwd) == nullptr) return path;
  return std::string(cwd) + "/" + path;
}

[[noreturn]] void Fail(std::string_view format, const std::string& path, int error) {
  throw EFileError(FormatText(format, {FullPath(path), std::strerror(error)}));
}

class Fd {
 public:
  explicit Fd(int fd) noexcept : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) ::close(fd_);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const noexcept { return fd_; }
  int release() noexcept {
    const int fd = fd_;
    fd_ = -1;
    return fd;
  }

 private:
  int fd_;
};

}  // namespace

bool PosixFileSystem::FileExists(const std::string& path) {
  struct stat st{};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string PosixFileSystem::ReadFile(const std::string& path) {
  Fd fd(::open(path.c_str(), O_RDONLY));
  if (fd.get() < 0) Fail(kCannotOpenFile, path, errno);
  struct stat st{};
  if (::fstat(fd.get(), &st) != 0) Fail(kCannotOpenFile, path, errno);
  std::string bytes(static_cast<std::size_t>(st.st_size), '\0');
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::read(fd.get(), bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) Fail(kCannotOpenFile, path, errno);
    if (n == 0) break;
    done += static_cast<std::size_t>(n);
  }
  bytes.resize(done);
  return bytes;
}

void PosixFileSystem::WriteFile(const std::string& path, std::string_view bytes) {
  std::string temp = path + ".XXXXXX";
  Fd fd(::mkstemp(temp.data()));
  if (fd.get() < 0) Fail(kCannotCreateFile, path, errno);
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd.get(), bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      const int error = errno;
      ::unlink(temp.c_str());
      Fail(kCannotCreateFile, path, error);
    }
    done += static_cast<std::size_t>(n);
  }
  // Keep the target's permissions when it exists; a new file gets the usual ones.
  struct stat st{};
  const mode_t mode = ::stat(path.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0644;
  if (::fchmod(fd.get(), mode) != 0 || ::close(fd.release()) != 0) {
    const int error = errno;
    ::unlink(temp.c_str());
    Fail(kCannotCreateFile, path, error);
  }
  if (::access(path.c_str(), F_OK) == 0 && ::access(path.c_str(), W_OK) != 0) {
    ::unlink(temp.c_str());
    Fail(kCannotCreateFile, path, EACCES);
  }
  if (::rename(temp.c_str(), path.c_str()) != 0) {
    const int error = errno;
    ::unlink(temp.c_str());
    Fail(kCannotCreateFile, path, error);
  }
}

}  // namespace vantorel
