#include "table/file_handle.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
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

FileHandle openFile(const std::filesystem::path& file, OpenMode mode, int& error) {
  int flags = O_CLOEXEC;
  switch (mode) {
    case OpenMode::ReadWrite: flags |= O_RDWR; break;
    case OpenMode::ReadOnly: flags |= O_RDONLY; break;
    case OpenMode::CreateNew: flags |= O_WRONLY | O_CREAT | O_EXCL; break;
  }
  FileHandle handle(::open(file.c_str(), flags, 0666));
  error = handle ? 0 : errno;
  return handle;
}

bool isPermissionError(int error) { return error == EACCES || error == EPERM || error == EROFS; }

std::uint64_t fileSize(const FileHandle& handle, const std::filesystem::path& file) {
  struct stat info {};
  if (fstat(handle.get(), &info) != 0) throwSystemError("No se puede leer el archivo", file, errno);
  return static_cast<std::uint64_t>(info.st_size);
}

void removeFile(const std::filesystem::path& file) {
  if (::unlink(file.c_str()) != 0 && errno != ENOENT) throwSystemError("No se puede borrar el archivo", file, errno);
}

void replaceFile(const std::filesystem::path& from, const std::filesystem::path& to) {
  if (::rename(from.c_str(), to.c_str()) != 0) throwSystemError("No se puede reemplazar el archivo", to, errno);
}

void discardFile(const std::filesystem::path& file) noexcept { ::unlink(file.c_str()); }

std::tm localNow() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return local;
}

std::string uniqueSuffix() {
  static std::atomic<unsigned> counter{0};
  return std::to_string(::getpid()) + "-" + std::to_string(counter++);
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

namespace {

std::atomic<long long> simulatedFreeBytes{-1};

// How many of SIZE bytes at OFFSET the simulated disk takes; all of them when no fault is set.
std::size_t bytesTheDiskTakes(int fd, std::size_t size, off_t offset) {
  long long free = simulatedFreeBytes.load();
  if (free < 0) return size;
  struct stat info {};
  if (::fstat(fd, &info) != 0) return size;
  const auto start = static_cast<std::uint64_t>(offset);
  const auto current = static_cast<std::uint64_t>(info.st_size);
  const std::uint64_t inside = current > start ? std::min<std::uint64_t>(size, current - start) : 0;
  const std::uint64_t growth = size - inside;
  const std::uint64_t taken = std::min<std::uint64_t>(growth, static_cast<std::uint64_t>(free));
  simulatedFreeBytes.store(free - static_cast<long long>(taken));
  return static_cast<std::size_t>(inside + taken);
}

}  // namespace

void simulateDiskFullAfter(long long bytes) { simulatedFreeBytes.store(bytes < 0 ? -1 : bytes); }

void truncateAt(int fd, std::uint64_t size, const std::filesystem::path& path) {
  while (::ftruncate(fd, static_cast<off_t>(size)) != 0) {
    if (errno != EINTR) throwSystemError("No se puede recortar el archivo", path, errno);
  }
}

void writeAt(int fd, const void* data, std::size_t size, off_t offset, const std::filesystem::path& path) {
  const char* bytes = static_cast<const char*>(data);
  const std::size_t taken = bytesTheDiskTakes(fd, size, offset);
  const bool diskFills = taken < size;
  size = taken;
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
  if (diskFills) throwSystemError("No se puede escribir el archivo", path, ENOSPC);
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
