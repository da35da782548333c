#include "app/replace_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>

#include "table/os_error.h"

namespace mudalinx::app {

std::string describeSystemError(int error) {
  switch (error) {
    case EACCES:
    case EPERM:
      return "permiso denegado";
    case EROFS:
      return "el disco es de solo lectura";
    case ENOSPC:
      return "no queda espacio en el disco";
    case ENOENT:
      return "la carpeta no existe";
    case ENOTDIR:
      return "la ruta no es una carpeta";
    case EBUSY:
      return "el archivo está en uso";
    default:
      return table::detail::systemReason(error);  // Spanish too, never the C library's English
  }
}

namespace {

class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  ~FileDescriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  int get() const { return fd_; }
  // Closes now so that a failing close (a full disk can show up only here) is seen.
  int close() {
    const int result = ::close(fd_);
    fd_ = -1;
    return result;
  }

 private:
  int fd_;
};

[[noreturn]] void failWriting(const std::filesystem::path& file, int error) {
  throw std::runtime_error("No se puede escribir el archivo \"" + file.string() + "\": " +
                           describeSystemError(error));
}

// Removes the temporary file unless the rename took it.
class TemporaryFile {
 public:
  explicit TemporaryFile(std::string path) : path_(std::move(path)) {}
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;
  ~TemporaryFile() {
    if (!path_.empty()) ::unlink(path_.c_str());
  }
  const std::string& path() const { return path_; }
  void keep() { path_.clear(); }

 private:
  std::string path_;
};

}  // namespace

void replaceFile(const std::filesystem::path& file, std::string_view contents) {
  const std::filesystem::path folder = file.has_parent_path() ? file.parent_path() : ".";
  // A hidden name beside the file, made unique by mkstemp.
  std::string temporaryName = ".";
  temporaryName += file.filename().string();
  temporaryName += ".XXXXXX";
  std::string pattern = (folder / temporaryName).string();
  FileDescriptor fd(::mkstemp(pattern.data()));
  if (fd.get() < 0) failWriting(file, errno);
  TemporaryFile temporary(pattern);

  // Keep the permissions of the file being replaced; a new file gets the usual ones.
  struct stat existing {};
  const mode_t mode = ::stat(file.c_str(), &existing) == 0 ? (existing.st_mode & 07777) : 0644;
  ::fchmod(fd.get(), mode);

  const char* data = contents.data();
  std::size_t left = contents.size();
  while (left > 0) {
    const ssize_t written = ::write(fd.get(), data, left);
    if (written < 0) {
      if (errno == EINTR) continue;
      failWriting(file, errno);
    }
    data += written;
    left -= static_cast<std::size_t>(written);
  }
  if (::fsync(fd.get()) != 0) failWriting(file, errno);
  if (fd.close() != 0) failWriting(file, errno);
  if (::rename(temporary.path().c_str(), file.c_str()) != 0) failWriting(file, errno);
  temporary.keep();
}

}  // namespace mudalinx::app
