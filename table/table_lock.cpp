#include "table/table_lock.h"

#include "table/ascii_case.h"
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
  int error = 0;
  locked.handle = openFile(file, OpenMode::ReadWrite, error);
  locked.writable = static_cast<bool>(locked.handle);
  if (!locked.handle) {
    if (!isPermissionError(error)) throwSystemError("No se puede abrir la tabla " + quoteForMessage(table), file, error);
    if (kind == LockKind::Exclusive) {
      // An exclusive lock needs the file open for writing.
      throwSystemError("No se puede abrir la tabla " + quoteForMessage(table) + " para uso exclusivo", file, error);
    }
    locked.handle = openFile(file, OpenMode::ReadOnly, error);
    if (!locked.handle) throwSystemError("No se puede abrir la tabla " + quoteForMessage(table), file, error);
  }
  if (!tryLock(locked.handle.get(), kind, file)) throwInUse(file, table);
  return locked;
}

void upgradeLock(const LockedFile& locked, const std::filesystem::path& file, const std::string& table) {
  if (!tryLock(locked.handle.get(), LockKind::Exclusive, file)) throwInUse(file, table);
}

std::string tableNameOf(const std::filesystem::path& file) {
  return upperAscii(file.stem().string());
}

}  // namespace mudalinx::table::detail
