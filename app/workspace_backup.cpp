#include "app/workspace_backup.h"

#include "app/folders.h"

#include <algorithm>
#include <cctype>
#include <ctime>
#include <stdexcept>
#include <system_error>
#include <unordered_map>
#include <utility>

#include "app/replace_file.h"
#include "exchange/text.h"
#include "table/table.h"

namespace fs = std::filesystem;

namespace mudalinx::app {

namespace {

// The workspace's files by upper-cased name; Windows programs write either case, and a
// folder on Linux may even hold both spellings of one name.
std::unordered_map<std::string, std::vector<fs::path>> filesByUpperName(const fs::path& workspace) {
  std::unordered_map<std::string, std::vector<fs::path>> files;
  std::error_code error;
  for (fs::directory_iterator it(workspace, error), end; !error && it != end; it.increment(error)) {
    if (it->is_regular_file(error)) files[exchange::upperAZ(it->path().filename().string())].push_back(it->path());
  }
  if (error) {
    throw std::runtime_error("No se puede leer la carpeta de trabajo \"" + workspace.string() +
                             "\": " + describeSystemError(error.value()));
  }
  return files;
}

std::vector<fs::path> filesToReplace(const fs::path& workspace, const std::vector<std::string>& tableNames) {
  const auto files = filesByUpperName(workspace);
  std::vector<fs::path> found;
  for (const std::string& name : tableNames) {
    for (const char* extension : {".DBF", ".MDX"}) {
      const auto match = files.find(exchange::upperAZ(name) + extension);
      if (match != files.end()) found.insert(found.end(), match->second.begin(), match->second.end());
    }
  }
  return found;
}

bool isTableFile(const fs::path& file) { return exchange::upperAZ(file.extension().string()) == ".DBF"; }

// Exclusive opens of every table file, held while the files move.
std::vector<table::Table> lockTables(const std::vector<fs::path>& files) {
  std::vector<table::Table> locks;
  for (const fs::path& file : files) {
    if (!isTableFile(file)) continue;
    try {
      locks.push_back(table::Table::openFile(file, table::Access::Exclusive));
    } catch (const table::TableInUseError&) {
      throw;
    } catch (const table::TableError&) {
      // Not readable as a table: nobody can be using it as one, and the export replaces
      // it anyway; the backup keeps it as it is.
    }
  }
  return locks;
}

using BackupKey = std::pair<std::string, unsigned long>;

// A backup folder's name, "yyyymmdd-hhmmss-n", as the sort key (stamp, n).
std::optional<BackupKey> backupKey(const std::string& name) {
  if (name.size() < 17 || name[8] != '-' || name[15] != '-') return std::nullopt;
  const auto digits = [](std::string_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c); });
  };
  const std::string_view view(name);
  if (!digits(view.substr(0, 8)) || !digits(view.substr(9, 6)) || !digits(view.substr(16)) ||
      name.size() > 16 + 9) {
    return std::nullopt;
  }
  return std::make_pair(name.substr(0, 15), std::stoul(name.substr(16)));
}

// The backups present, oldest first; folders of other names are not ours and stay.
std::vector<std::pair<BackupKey, fs::path>> existingBackups(const fs::path& backups) {
  std::vector<std::pair<BackupKey, fs::path>> found;
  std::error_code error;
  for (fs::directory_iterator it(backups, error), end; !error && it != end; it.increment(error)) {
    if (!it->is_directory(error)) continue;
    if (auto key = backupKey(it->path().filename().string())) found.emplace_back(std::move(*key), it->path());
  }
  if (error) {
    throw std::runtime_error("No se puede leer la carpeta de copias \"" + backups.string() +
                             "\": " + describeSystemError(error.value()));
  }
  std::sort(found.begin(), found.end());
  return found;
}

// Deletes the oldest backups so that at most KEEP remain.
void pruneBackups(const std::vector<std::pair<BackupKey, fs::path>>& found, std::size_t keep) {
  std::error_code error;
  for (std::size_t i = 0; i + keep < found.size(); ++i) {
    fs::remove_all(found[i].second, error);
    if (error) {
      throw std::runtime_error("No se puede borrar la copia antigua \"" + found[i].second.string() +
                               "\": " + describeSystemError(error.value()));
    }
  }
}

std::string timeStamp() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char text[32];
  std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &local);
  return text;
}

// A folder of its own for this run: creating it is what claims the name. Its number is
// above every number of the same second, so names never come back after a prune and
// the newest backup always sorts last.
fs::path createBackupFolder(const fs::path& backups, const std::vector<std::pair<BackupKey, fs::path>>& existing) {
  const std::string stamp = timeStamp();
  unsigned long highest = 0;
  for (const auto& [key, folder] : existing) {
    if (key.first == stamp) highest = std::max(highest, key.second);
  }
  for (unsigned long n = highest + 1;; ++n) {
    const fs::path folder = backups / (stamp + "-" + std::to_string(n));
    std::error_code error;
    if (fs::create_directory(folder, error)) return folder;
    if (error) {
      throw std::runtime_error("No se puede crear la carpeta de copias \"" + folder.string() +
                               "\": " + describeSystemError(error.value()));
    }
  }
}

void moveInto(const std::vector<fs::path>& files, const fs::path& folder) {
  std::vector<std::pair<fs::path, fs::path>> moved;
  for (const fs::path& file : files) {
    const fs::path target = folder / file.filename();
    std::error_code error;
    fs::rename(file, target, error);
    if (error) {
      // Put back what already moved, so the workspace is as it was before the run.
      for (auto it = moved.rbegin(); it != moved.rend(); ++it) {
        std::error_code ignored;
        fs::rename(it->second, it->first, ignored);
      }
      std::error_code ignored;
      fs::remove(folder, ignored);
      throw std::runtime_error("No se puede mover \"" + file.string() + "\" a la copia \"" + folder.string() +
                               "\": " + describeSystemError(error.value()));
    }
    moved.emplace_back(file, target);
  }
}

}  // namespace

std::optional<fs::path> backUpWorkspace(const fs::path& workspace, const std::vector<std::string>& tableNames) {
  requireWorkspaceFolder(workspace);
  std::error_code error;
  const std::vector<fs::path> files = filesToReplace(workspace, tableNames);
  if (files.empty()) return std::nullopt;

  const std::vector<table::Table> locks = lockTables(files);
  const fs::path backups = workspace / kBackupFolderName;
  fs::create_directory(backups, error);
  if (error) {
    throw std::runtime_error("No se puede crear la carpeta de copias \"" + backups.string() +
                             "\": " + describeSystemError(error.value()));
  }
  // Make room first, so that a failure here happens before anything has moved.
  const auto existing = existingBackups(backups);
  pruneBackups(existing, kBackupsKept - 1);
  const fs::path folder = createBackupFolder(backups, existing);
  moveInto(files, folder);
  return folder;
}

}  // namespace mudalinx::app
