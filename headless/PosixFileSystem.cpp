#include "headless/PosixFileSystem.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "platform/Errors.h"

namespace vantorel {

namespace {

std::string AbsolutePath(const std::string& path) {
  if (!path.empty() && path.front() == '/') return path;
  char cwd[PATH_MAX];
  if (getcwd(cwd, sizeof cwd) == nullptr) return path;
  return std::string(cwd) + "/" + path;
}

[[noreturn]] void Fail(std::string_view format, const std::string& path, int error) {
  throw EFileError(FormatText(format, {AbsolutePath(path), std::strerror(error)}));
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

FileBytes PosixFileSystem::ReadInPieces(const std::string& path, const ReadObserver& observer) {
  Fd fd(::open(path.c_str(), O_RDONLY));
  if (fd.get() < 0) Fail(kCannotOpenFile, path, errno);
  struct stat st{};
  if (::fstat(fd.get(), &st) != 0) Fail(kCannotOpenFile, path, errno);
  FileBytes bytes = FileBytes::Uninitialised(static_cast<std::size_t>(st.st_size));
  std::size_t done = 0;
  while (done < bytes.size) {
    const ssize_t n = ::read(fd.get(), bytes.data.get() + done, std::min(bytes.size - done, kReadPiece));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) Fail(kCannotOpenFile, path, errno);
    if (n == 0) break;
    done += static_cast<std::size_t>(n);
    if (observer) observer(bytes.data.get(), done);
  }
  bytes.size = done;  // a file that shrank under the read ends where its data ended
  return bytes;
}

std::optional<FileStamp> PosixFileSystem::Stamp(const std::string& path) {
  struct stat st{};
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
  return FileStamp{static_cast<std::uint64_t>(st.st_size),
                   static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec};
}

namespace {

FileStatus Failed(int error) {
  FileFault fault = FileFault::Other;
  switch (error) {
    case EACCES:
    case EPERM:
    case EROFS: fault = FileFault::AccessDenied; break;
    case ETXTBSY:
    case EBUSY: fault = FileFault::SharingViolation; break;
    case ENOENT:
    case ENOTDIR: fault = FileFault::NotFound; break;
    case EEXIST: fault = FileFault::AlreadyExists; break;
    default: break;
  }
  return {fault, std::strerror(error)};
}

class PosixWritableFile : public WritableFile {
 public:
  explicit PosixWritableFile(int fd) : fd_(fd) {}
  FileStatus Write(std::string_view bytes) override {
    std::size_t done = 0;
    while (done < bytes.size()) {
      const ssize_t n = ::write(fd_.get(), bytes.data() + done, bytes.size() - done);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) return Failed(errno);
      done += static_cast<std::size_t>(n);
    }
    return {};
  }
  FileStatus FlushAndClose() override {
    if (::fsync(fd_.get()) != 0) return Failed(errno);
    if (::close(fd_.release()) != 0) return Failed(errno);
    return {};
  }

 private:
  Fd fd_;
};

OpenedFile Open(const std::string& path, int flags) {
  const int fd = ::open(path.c_str(), flags | O_WRONLY | O_CLOEXEC, 0666);
  if (fd < 0) return {Failed(errno), nullptr};
  return {{}, std::make_unique<PosixWritableFile>(fd)};
}

}  // namespace

std::string PosixFileSystem::FullPath(const std::string& path) { return AbsolutePath(path); }

OpenedFile PosixFileSystem::CreateNew(const std::string& path) { return Open(path, O_CREAT | O_EXCL); }

OpenedFile PosixFileSystem::OpenExistingTruncated(const std::string& path) { return Open(path, O_TRUNC); }

FileStatus PosixFileSystem::Replace(const std::string& target, const std::string& replacement) {
  struct stat st{};
  if (::stat(target.c_str(), &st) != 0) return Failed(errno);
  // A rename would go over a read-only file; Windows refuses to replace one.
  if (::access(target.c_str(), W_OK) != 0) return Failed(errno);
  if (::chmod(replacement.c_str(), st.st_mode & 07777) != 0) return Failed(errno);
  if (::rename(replacement.c_str(), target.c_str()) != 0) return Failed(errno);
  return {};
}

FileStatus PosixFileSystem::Move(const std::string& from, const std::string& to) {
  // A hard link fails on a taken name, so nothing that appeared meanwhile is lost.
  if (::link(from.c_str(), to.c_str()) != 0) {
    if (errno != EPERM && errno != EOPNOTSUPP) return Failed(errno);
    // A file system without hard links: look before renaming.
    if (::access(to.c_str(), F_OK) == 0) return Failed(EEXIST);
    if (::rename(from.c_str(), to.c_str()) != 0) return Failed(errno);
    return {};
  }
  ::unlink(from.c_str());
  return {};
}

FileStatus PosixFileSystem::Remove(const std::string& path) {
  if (::unlink(path.c_str()) != 0) return Failed(errno);
  return {};
}

}  // namespace vantorel
