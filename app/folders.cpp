#include "app/folders.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <optional>
#include <stdexcept>
#include <system_error>

namespace mudalinx::app {

namespace {

std::optional<std::filesystem::path> environmentPath(const char* name) {
  const char* value = std::getenv(name);
  if (value == nullptr || *value == '\0') return std::nullopt;
  return std::filesystem::path(value);
}

std::filesystem::path homeFolder() {
  if (auto home = environmentPath("HOME")) return *home;
  if (const passwd* user = ::getpwuid(::getuid()); user != nullptr && user->pw_dir != nullptr) {
    return user->pw_dir;
  }
  throw std::runtime_error("No se encuentra la carpeta personal del usuario (HOME)");
}

}  // namespace

std::filesystem::path defaultWorkspace() {
  if (auto workspace = environmentPath("MUDALINX_KTEMP")) return *workspace;
  // Quorvia runs under Wine here: its C:\KTEMP lives in the Wine prefix.
  const std::filesystem::path prefix = environmentPath("WINEPREFIX").value_or(homeFolder() / ".wine");
  return prefix / "drive_c" / "KTEMP";
}

std::filesystem::path programFolder() {
  std::error_code error;
  const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) throw std::runtime_error("No se encuentra la carpeta del programa");
  return executable.parent_path();
}

void requireWorkspaceFolder(const std::filesystem::path& workspace) {
  std::error_code error;
  if (!std::filesystem::is_directory(workspace, error)) {
    throw std::runtime_error("No existe la carpeta de trabajo \"" + workspace.string() + "\"");
  }
}

}  // namespace mudalinx::app
