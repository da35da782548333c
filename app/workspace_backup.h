// Before an export replaces the workspace tables, the files it replaces are moved
// into a backup folder inside the workspace, so that the previous workspace can be
// got back. Nothing the timetabler reads is added or changed.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace mudalinx::app {

inline constexpr const char* kBackupFolderName = "_mudalinx_copias";
inline constexpr std::size_t kBackupsKept = 5;

// Moves NAME.DBF and NAME.MDX of every table in TABLE_NAMES (file names matched
// without regard to letter case) from WORKSPACE into a new folder
// _mudalinx_copias/<yyyymmdd-hhmmss>-<n>, keeping the newest kBackupsKept backups.
// Every table is locked exclusively first: when another program holds one, the
// table layer's in-use error is thrown and nothing is moved. Returns the new folder,
// or nullopt when there was nothing to move. Throws std::runtime_error with a Spanish
// message when WORKSPACE is not a folder or a file cannot be moved (what was moved
// is then put back).
std::optional<std::filesystem::path> backUpWorkspace(const std::filesystem::path& workspace,
                                                     const std::vector<std::string>& tableNames);

}  // namespace mudalinx::app
