#include "table/file_handle.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

#include "table/os_error.h"
#include "table/table.h"

namespace mudalinx::table::detail {

FileHandle& FileHandle::operator=(FileHandle&& other) noexcept {
  if (this != &other) {
    close();
    fd_ = other.release();
  }
  return *this;
}

FileHandle::~FileHandle() { close(); }

int FileHandle::release() { return std::exchange(fd_, -1); }

int FileHandle::close() {
  if (fd_ < 0) return 0;
  const int result = ::close(std::exchange(fd_, -1));
  return result == 0 ? 0 : errno;
}

bool tryLock(int fd, LockKind kind, const std::filesystem::path& path) {
  struct flock lock {};
  lock.l_type = kind == LockKind::Exclusive ? F_WRLCK : F_RDLCK;
  lock.l_whence = SEEK_SET;
  lock.l_start = 0;
  lock.l_len = 0;  // the whole file, however long it grows
  while (fcntl(fd, F_OFD_SETLK, &lock) != 0) {
    if (errno == EINTR) continue;
    if (errno == EAGAIN || errno == EACCES) return false;
    throwSystemError("No se puede bloquear el archivo", path, errno);
  }
  return true;
}

void writeAt(int fd, const void* data, std::size_t size, off_t offset, const std::filesystem::path& path) {
  const char* bytes = static_cast<const char*>(data);
  while (size > 0) {
    const ssize_t written = pwrite(fd, bytes, size, offset);
    if (written < 0) {
      if (errno == EINTR) continue;
      throwSystemError("No se puede escribir el archivo", path, errno);
    }
    bytes += written;
    size -= static_cast<std::size_t>(written);
    offset += written;
  }
}

void readAt(int fd, void* data, std::size_t size, off_t offset, const std::filesystem::path& path) {
  char* bytes = static_cast<char*>(data);
  while (size > 0) {
    const ssize_t got = pread(fd, bytes, size, offset);
    if (got < 0) {
      if (errno == EINTR) continue;
      throwSystemError("No se puede leer el archivo", path, errno);
    }
    if (got == 0) throw TableError("El archivo " + path.string() + " terminó antes de lo esperado.");
    bytes += got;
    size -= static_cast<std::size_t>(got);
    offset += got;
  }
}

}  // namespace mudalinx::table::detail
