// SOLUC.DBF as a timetabler leaves it in the workspace.
#pragma once

#include <filesystem>
#include <vector>

#include "tools/timetabler/scheduler.h"

namespace mudalinx::timetabler {

// Replaces SOLUC.DBF in WORKSPACE with ROWS, in their order.
void writeSolutionTable(const std::filesystem::path& workspace, const std::vector<SolutionRow>& rows);

}  // namespace mudalinx::timetabler
