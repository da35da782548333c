// Opening a table file under its cross-process lock.
#pragma once

#include <filesystem>
#include <string>

#include "table/file_handle.h"

namespace mudalinx::table::detail {

struct LockedFile {
  FileHandle handle;
  bool writable = false;  // opened for writing (else the file could only be read)
};

// Opens FILE and takes the lock of KIND without waiting. Throws TableInUseError naming
// TABLE when another open holds a conflicting lock, TableError for any other failure.
LockedFile openLocked(const std::filesystem::path& file, LockKind kind, const std::string& table);

// Turns a shared lock into an exclusive one; TableInUseError while someone else holds the table.
void upgradeLock(const LockedFile& locked, const std::filesystem::path& file, const std::string& table);

// "SOLUC" for .../soluc.dbf.
std::string tableNameOf(const std::filesystem::path& file);

}  // namespace mudalinx::table::detail
