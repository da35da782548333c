// What the fuzz targets share: a private scratch folder per process and the
// check that a failure carries a message a user can read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string_view>

namespace mudalinx::fuzz {

// A folder of this process's own under the temporary folder, removed at exit.
const std::filesystem::path& scratchFolder();

// Writes the input bytes to FILE, replacing it.
void writeInput(const std::filesystem::path& file, const std::uint8_t* data, std::size_t size);

// Empties FOLDER (creating it when missing).
void resetFolder(const std::filesystem::path& folder);

bool isValidUtf8(std::string_view text);

// A user-facing failure must carry a non-empty, valid UTF-8 text; anything else
// is a fault worth a crash report.
void requireReadableMessage(std::string_view message);

}  // namespace mudalinx::fuzz
