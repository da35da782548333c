// Where the workspace and the program folder are on this machine.
#pragma once

#include <filesystem>

namespace mudalinx::app {

// MUDALINX_KTEMP when set; else C:\KTEMP of the Wine prefix ($WINEPREFIX, or ~/.wine).
std::filesystem::path defaultWorkspace();
// The folder of the running executable.
std::filesystem::path programFolder();

}  // namespace mudalinx::app
