// File streams over POSIX descriptors and the save through a temporary file renamed over the target.
#include "platform/FileStream.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <system_error>

namespace qm {

namespace {

std::string Reason(int error) { return std::error_code(error, std::generic_category()).message(); }

// The folder part of a path with its final "/", or "" for a bare name.
std::string FolderPart(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string NamePart(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Follows symbolic links at the end of the path (as open would), so that the
// rename replaces the file the link points to and the link itself stays. A
// link to nothing yields where it points, which the save then creates.
std::string FollowLinks(const std::string& path) {
  std::string current = path;
  // The system's own limit of links followed in one lookup.
  for (int hops = 0; hops < 40; ++hops) {
    struct stat info {};
    if (::lstat(current.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return current;
    // Some file systems report no length for a link: grow until the text fits.
    std::string target(static_cast<size_t>(std::max<off_t>(info.st_size, 0)) + 256, '\0');
    ssize_t n;
    while ((n = ::readlink(current.c_str(), target.data(), target.size())) >= 0 &&
           static_cast<size_t>(n) == target.size())
      target.resize(target.size() * 2);
    if (n < 0) throw EFCreateError(FileCreateErrorMessage(path, errno));
    target.resize(static_cast<size_t>(n));
    current = (!target.empty() && target[0] == '/') ? target : FolderPart(current) + target;
  }
  throw EFCreateError(FileCreateErrorMessage(path, ELOOP));
}

// Creates a new file with a name nobody else uses, beside `target`. O_EXCL
// with mode 0666 lets the system apply the umask, as for any created file.
int CreateTemporaryBeside(const std::string& target, std::string& tempPath) {
  static std::atomic<unsigned> counter{0};
  // Keeps the temporary name within the usual 255-byte limit of one name.
  const std::string stem = "." + NamePart(target).substr(0, 200) + ".";
  for (int attempt = 0; attempt < 100; ++attempt) {
    const auto ticks = static_cast<unsigned long long>(std::chrono::steady_clock::now().time_since_epoch().count());
    tempPath = FolderPart(target) + stem + std::to_string(::getpid()) + "-" + std::to_string(counter++) + "-" +
               std::to_string(ticks % 1000000) + ".tmp";
    const int fd = ::open(tempPath.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  errno = EEXIST;
  return -1;
}

// Makes the rename itself durable. The file is already whole under its final
// name whatever happens here, so a failure is not reported.
void SyncFolder(const std::string& target) {
  const std::string folder = FolderPart(target);
  const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  (void)::fsync(fd);
  ::close(fd);
}

// Gives the new file the old one's owner, group and permission bits; owner
// first, because a change of owner clears set-id bits. Failures are let pass:
// only root may give a file away and some file systems keep no modes, and the
// new file is then simply the saver's own with default bits.
void KeepOwnerAndMode(int fd, const struct stat& old) {
  const bool owned = ::fchown(fd, old.st_uid, old.st_gid) == 0;
  const bool moded = ::fchmod(fd, old.st_mode & 07777) == 0;
  (void)owned;
  (void)moded;
}

}  // namespace

std::string FileOpenErrorMessage(const std::string& path, int error) {
  return "Cannot open file \"" + path + "\". " + Reason(error);
}

std::string FileCreateErrorMessage(const std::string& path, int error) {
  return "Cannot create file \"" + path + "\". " + Reason(error);
}

TFileStream::TFileStream(const std::string& path, TFileMode mode) : path_(path) {
  if (mode == fmOpenRead) {
    handle_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (handle_ < 0) throw EFOpenError(FileOpenErrorMessage(path, errno));
    // A folder opens for reading on this system but cannot be read as a file.
    struct stat info {};
    if (::fstat(handle_, &info) == 0 && S_ISDIR(info.st_mode)) {
      ::close(handle_);
      handle_ = -1;
      throw EFOpenError(FileOpenErrorMessage(path, EISDIR));
    }
  } else {
    handle_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (handle_ < 0) throw EFCreateError(FileCreateErrorMessage(path, errno));
  }
}

TFileStream::TFileStream(int handle, std::string path) : handle_(handle), path_(std::move(path)) {}

TFileStream::~TFileStream() {
  if (handle_ >= 0) ::close(handle_);
}

size_t TFileStream::Read(void* buffer, size_t count) {
  auto* bytes = static_cast<char*>(buffer);
  size_t done = 0;
  while (done < count) {
    const ssize_t n = ::read(handle_, bytes + done, count - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      throw EStreamError(kStreamReadError);
    }
    if (n == 0) break;
    done += static_cast<size_t>(n);
  }
  return done;
}

void TFileStream::Write(const void* buffer, size_t count) {
  const auto* bytes = static_cast<const char*>(buffer);
  size_t done = 0;
  while (done < count) {
    const ssize_t n = ::write(handle_, bytes + done, count - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      throw EStreamError(kStreamWriteError);
    }
    done += static_cast<size_t>(n);
  }
}

int64_t TFileStream::Size() const {
  struct stat info {};
  if (::fstat(handle_, &info) != 0) throw EStreamError(kStreamReadError);
  return static_cast<int64_t>(info.st_size);
}

int64_t TFileStream::Position() const {
  const off_t at = ::lseek(handle_, 0, SEEK_CUR);
  if (at < 0) throw EStreamError(kStreamReadError);
  return static_cast<int64_t>(at);
}

void TFileStream::SetPosition(int64_t position) {
  if (::lseek(handle_, static_cast<off_t>(std::max<int64_t>(position, 0)), SEEK_SET) < 0)
    throw EStreamError(kStreamReadError);
}

void TFileStream::FlushToDisk() {
  if (::fsync(handle_) != 0) throw EStreamError(kStreamWriteError);
}

void TFileStream::Close() {
  const int handle = handle_;
  handle_ = -1;
  // Some file systems report a failed write only when the file is closed.
  if (handle >= 0 && ::close(handle) != 0) throw EStreamError(kStreamWriteError);
}

void SaveFileAtomically(const std::string& path, const std::function<void(TStream&)>& write) {
  if (path.empty()) throw EFCreateError(FileCreateErrorMessage(path, ENOENT));
  const std::string target = FollowLinks(path);
  struct stat old {};
  const bool exists = ::stat(target.c_str(), &old) == 0;

  if (exists && !S_ISREG(old.st_mode)) {
    // Renaming over a device or a pipe would replace it by a plain file;
    // there is no old content to keep whole, so it is written in place. A
    // folder fails here with the system's reason.
    const int fd = ::open(target.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) throw EFCreateError(FileCreateErrorMessage(path, errno));
    TFileStream stream(fd, path);
    write(stream);
    stream.Close();
    return;
  }
  // A file the user may not write stays unwritable, as a plain create would
  // leave it, even though the folder would allow the rename.
  if (exists && ::access(target.c_str(), W_OK) != 0) throw EFCreateError(FileCreateErrorMessage(path, errno));

  std::string tempPath;
  const int fd = CreateTemporaryBeside(target, tempPath);
  if (fd < 0) throw EFCreateError(FileCreateErrorMessage(path, errno));
  TFileStream stream(fd, tempPath);
  try {
    if (exists) KeepOwnerAndMode(fd, old);
    write(stream);
    stream.FlushToDisk();
    stream.Close();
    if (::rename(tempPath.c_str(), target.c_str()) != 0) throw EFCreateError(FileCreateErrorMessage(path, errno));
  } catch (...) {
    ::unlink(tempPath.c_str());
    throw;
  }
  SyncFolder(target);
}

}  // namespace qm
