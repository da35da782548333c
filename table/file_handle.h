// The file operations the table layer needs from the operating system: an owned file
// descriptor, whole-range I/O, cross-process locks, removing and replacing files. The POSIX
// implementation is file_handle_posix.cpp; a Windows one would sit beside it.
//
// Locks belong to one open of the file (open file description locks on Linux), so they conflict
// between processes and also between two opens inside one process, and vanish with the handle.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <filesystem>
#include <string>

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

enum class OpenMode { ReadWrite, ReadOnly, CreateNew };

// An empty handle when FILE cannot be opened; ERROR then holds the errno value.
FileHandle openFile(const std::filesystem::path& file, OpenMode mode, int& error);
// The failure means "not allowed" (permissions, read-only file system) rather than "broken".
bool isPermissionError(int error);
std::uint64_t fileSize(const FileHandle& handle, const std::filesystem::path& file);

// Deletes FILE when it exists; a failed deletion throws TableError naming FILE.
void removeFile(const std::filesystem::path& file);
// Renames FROM over TO in one step; TableError naming TO when it fails.
void replaceFile(const std::filesystem::path& from, const std::filesystem::path& to);
// Deletes FILE if it can, reporting nothing: for cleaning up after a failure.
void discardFile(const std::filesystem::path& file) noexcept;
// The local date and time now.
std::tm localNow();
// A text no other process, nor an earlier call of this one, gets: for temporary file names.
std::string uniqueSuffix();

enum class LockKind { Shared, Exclusive };

// Non-blocking. False when another open holds a conflicting lock; other failures throw
// TableError naming PATH.
bool tryLock(int fd, LockKind kind, const std::filesystem::path& path);

// Every byte or an exception naming PATH. When the disk fills up part-way, the bytes before
// the failure are written.
void writeAt(int fd, const void* data, std::size_t size, off_t offset, const std::filesystem::path& path);
// Cuts FILE (open as FD) to SIZE bytes; TableError naming PATH when it fails.
void truncateAt(int fd, std::uint64_t size, const std::filesystem::path& path);

// Fault injection for tests: from now on writeAt may grow files by BYTES bytes in all, then
// fails as a full disk does (overwriting bytes a file already has costs nothing, as on a
// real full disk). -1 lifts the limit. Never set outside tests.
void simulateDiskFullAfter(long long bytes);
void readAt(int fd, void* data, std::size_t size, off_t offset, const std::filesystem::path& path);

}  // namespace mudalinx::table::detail
