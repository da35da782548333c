// Finding, removing and creating the files of a table.
#include <system_error>

#include "table/ascii_case.h"
#include "table/dbf_layout.h"
#include "table/os_error.h"
#include "table/production_index.h"
#include "table/table.h"
#include "table/table_lock.h"

namespace mudalinx::table {

namespace {

using detail::FileHandle;
using detail::removeFile;
using detail::upperAscii;

void requireFolder(const std::filesystem::path& folder) {
  std::error_code error;
  if (!std::filesystem::is_directory(folder, error)) {
    throw TableError("No existe la carpeta " + folder.string() + ".");
  }
}

// A file written beside its final name and renamed over it once complete, so that readers
// never see it half-written. Removed again unless committed.
class ReplacementFile {
 public:
  ReplacementFile(std::filesystem::path target, const std::vector<char>& content) : target_(std::move(target)) {
    temporary_ = target_.parent_path() / ("." + target_.filename().string() + "." + detail::uniqueSuffix() + ".tmp");
    int error = 0;
    FileHandle handle = detail::openFile(temporary_, detail::OpenMode::CreateNew, error);
    if (!handle) detail::throwSystemError("No se puede crear el archivo", target_, error);
    created_ = true;
    detail::writeAt(handle.get(), content.data(), content.size(), 0, target_);
    if (const int error = handle.close()) detail::throwSystemError("No se puede escribir el archivo", target_, error);
  }
  ReplacementFile(const ReplacementFile&) = delete;
  ReplacementFile& operator=(const ReplacementFile&) = delete;
  ~ReplacementFile() {
    if (created_) detail::discardFile(temporary_);
  }

  void commit() {
    detail::replaceFile(temporary_, target_);
    created_ = false;
  }

 private:
  std::filesystem::path target_;
  std::filesystem::path temporary_;
  bool created_ = false;
};

// Removes the files named WRITTEN under another letter case (soluc.dbf beside SOLUC.DBF).
void removeOtherSpellings(const std::filesystem::path& folder, const std::string& written) {
  std::vector<std::filesystem::path> others;
  std::error_code error;
  for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    const std::string name = it->path().filename().string();
    if (name != written && detail::equalIgnoringCase(name, written)) others.push_back(it->path());
  }
  for (const auto& other : others) removeFile(other);
}

}  // namespace

std::optional<std::filesystem::path> findFile(const std::filesystem::path& folder, std::string_view filename) {
  if (filename.empty() || filename.find('/') != std::string_view::npos || filename == "." || filename == "..") {
    return std::nullopt;  // not a name inside FOLDER
  }
  std::error_code error;
  const std::filesystem::path exact = folder / std::string(filename);
  if (std::filesystem::is_regular_file(exact, error)) return exact;
  std::optional<std::filesystem::path> found;
  for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    const std::string name = it->path().filename().string();
    if (detail::equalIgnoringCase(name, filename) && it->is_regular_file(error)) {
      if (!found || name < found->filename().string()) found = it->path();  // the same choice on every run
    }
  }
  return found;
}

void removeTableFiles(const std::filesystem::path& folder, std::string_view name) {
  const std::string table = upperAscii(name);
  if (const auto dbf = findFile(folder, table + ".DBF")) {
    const detail::LockedFile locked = detail::openLocked(*dbf, detail::LockKind::Exclusive, table);
    removeFile(*dbf);
  }
  if (const auto mdx = findFile(folder, table + ".MDX")) removeFile(*mdx);
}

void createTable(const std::filesystem::path& folder, const TableDef& def) {
  requireFolder(folder);
  detail::NewTable created = detail::layoutNewTable(def);
  const std::string table = upperAscii(def.name);
  const std::string dbfName = table + ".DBF";
  const std::string mdxName = table + ".MDX";

  // Whoever holds the old table must not lose its writes to a file replaced under it.
  detail::LockedFile oldTable;
  if (const auto existing = findFile(folder, dbfName)) {
    oldTable = detail::openLocked(*existing, detail::LockKind::Exclusive, table);
  }

  std::vector<char> dbf = created.header;
  dbf.push_back(detail::kEndOfFile);
  ReplacementFile dbfFile(folder / dbfName, dbf);
  if (def.indexes.empty()) {
    if (const auto staleIndex = findFile(folder, mdxName)) removeFile(*staleIndex);
  } else {
    ReplacementFile mdxFile(folder / mdxName, detail::emptyProductionIndex(table, created.layout, def.indexes));
    mdxFile.commit();  // before the table that points to it
    removeOtherSpellings(folder, mdxName);
  }
  dbfFile.commit();
  removeOtherSpellings(folder, dbfName);
}

}  // namespace mudalinx::table
