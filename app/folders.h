// Where the workspace and the program folder are on this machine.
#pragma once

#include <filesystem>

namespace mudalinx::app {

// MUDALINX_KTEMP when set; else C:\KTEMP of the Wine prefix ($WINEPREFIX, or ~/.wine).
std::filesystem::path defaultWorkspace();
// The folder of the running executable.
std::filesystem::path programFolder();

// Throws the Spanish message both jobs give when the workspace folder does not exist.
void requireWorkspaceFolder(const std::filesystem::path& workspace);

}  // namespace mudalinx::app
