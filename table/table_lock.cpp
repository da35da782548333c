#include "table/table_lock.h"

#include <fcntl.h>

#include <cctype>
#include <cerrno>

#include "table/os_error.h"
#include "table/table.h"

namespace mudalinx::table::detail {
namespace {

[[noreturn]] void throwInUse(const std::filesystem::path& file, const std::string& table) {
  throw TableInUseError("La tabla " + quoteForMessage(table) + " está en uso por otro programa (" + file.string() + ").");
}

}  // namespace

LockedFile openLocked(const std::filesystem::path& file, LockKind kind, const std::string& table) {
  LockedFile locked;
  locked.handle = FileHandle(::open(file.c_str(), O_RDWR | O_CLOEXEC));
  locked.writable = static_cast<bool>(locked.handle);
  if (!locked.handle) {
    const int openError = errno;
    if (openError != EACCES && openError != EPERM && openError != EROFS) {
      throwSystemError("No se puede abrir la tabla " + quoteForMessage(table), file, openError);
    }
    if (kind == LockKind::Exclusive) {
      // An exclusive lock needs a descriptor open for writing.
      throwSystemError("No se puede abrir la tabla " + quoteForMessage(table) + " para uso exclusivo", file, openError);
    }
    locked.handle = FileHandle(::open(file.c_str(), O_RDONLY | O_CLOEXEC));
    if (!locked.handle) throwSystemError("No se puede abrir la tabla " + quoteForMessage(table), file, errno);
  }
  if (!tryLock(locked.handle.get(), kind, file)) throwInUse(file, table);
  return locked;
}

void upgradeLock(const LockedFile& locked, const std::filesystem::path& file, const std::string& table) {
  if (!tryLock(locked.handle.get(), LockKind::Exclusive, file)) throwInUse(file, table);
}

std::string tableNameOf(const std::filesystem::path& file) {
  std::string name = file.stem().string();
  for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return name;
}

}  // namespace mudalinx::table::detail
