// An owned POSIX file descriptor, whole-range I/O and open-file-description locks.
//
// Locks are taken on the open file description (F_OFD_SETLK), so they conflict between
// processes and also between two opens inside one process, and vanish with the descriptor.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <filesystem>

namespace mudalinx::table::detail {

class FileHandle {
 public:
  FileHandle() = default;
  explicit FileHandle(int fd) : fd_(fd) {}
  FileHandle(FileHandle&& other) noexcept : fd_(other.release()) {}
  FileHandle& operator=(FileHandle&& other) noexcept;
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  ~FileHandle();

  int get() const { return fd_; }
  explicit operator bool() const { return fd_ >= 0; }
  int release();
  // Closes now; returns the errno of a failed close, else 0.
  int close();

 private:
  int fd_ = -1;
};

enum class LockKind { Shared, Exclusive };

// Non-blocking. False when another open holds a conflicting lock; other failures throw
// TableError naming PATH.
bool tryLock(int fd, LockKind kind, const std::filesystem::path& path);

// Every byte or an exception naming PATH.
void writeAt(int fd, const void* data, std::size_t size, off_t offset, const std::filesystem::path& path);
void readAt(int fd, void* data, std::size_t size, off_t offset, const std::filesystem::path& path);

}  // namespace mudalinx::table::detail
