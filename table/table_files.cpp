// Finding, removing and creating the files of a table.
#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cctype>
#include <cerrno>
#include <system_error>

#include "table/dbf_layout.h"
#include "table/os_error.h"
#include "table/production_index.h"
#include "table/table.h"
#include "table/table_lock.h"

namespace mudalinx::table {
namespace {

using detail::FileHandle;

bool sameLetters(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::toupper(static_cast<unsigned char>(a[i])) != std::toupper(static_cast<unsigned char>(b[i]))) return false;
  }
  return true;
}

std::string upperAscii(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

void requireFolder(const std::filesystem::path& folder) {
  std::error_code error;
  if (!std::filesystem::is_directory(folder, error)) {
    throw TableError("No existe la carpeta " + folder.string() + ".");
  }
}

void removeFile(const std::filesystem::path& file) {
  if (::unlink(file.c_str()) != 0 && errno != ENOENT) {
    detail::throwSystemError("No se puede borrar el archivo", file, errno);
  }
}

// A file written beside its final name and renamed over it once complete, so that readers
// never see it half-written. Removed again unless committed.
class ReplacementFile {
 public:
  ReplacementFile(std::filesystem::path target, const std::vector<char>& content) : target_(std::move(target)) {
    static std::atomic<unsigned> counter{0};
    temporary_ = target_.parent_path() /
                 ("." + target_.filename().string() + "." + std::to_string(::getpid()) + "-" +
                  std::to_string(counter++) + ".tmp");
    FileHandle handle(::open(temporary_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
    if (!handle) detail::throwSystemError("No se puede crear el archivo", target_, errno);
    created_ = true;
    detail::writeAt(handle.get(), content.data(), content.size(), 0, target_);
    if (const int error = handle.close()) detail::throwSystemError("No se puede escribir el archivo", target_, error);
  }
  ReplacementFile(const ReplacementFile&) = delete;
  ReplacementFile& operator=(const ReplacementFile&) = delete;
  ~ReplacementFile() {
    if (created_) ::unlink(temporary_.c_str());
  }

  void commit() {
    if (::rename(temporary_.c_str(), target_.c_str()) != 0) {
      detail::throwSystemError("No se puede reemplazar el archivo", target_, errno);
    }
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
    if (name != written && sameLetters(name, written)) others.push_back(it->path());
  }
  for (const auto& other : others) removeFile(other);
}

}  // namespace

std::optional<std::filesystem::path> findFile(const std::filesystem::path& folder, std::string_view filename) {
  std::error_code error;
  const std::filesystem::path exact = folder / std::string(filename);
  if (std::filesystem::is_regular_file(exact, error)) return exact;
  std::optional<std::filesystem::path> found;
  for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    const std::string name = it->path().filename().string();
    if (sameLetters(name, filename) && it->is_regular_file(error)) {
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
