// How a room's code is made.
#pragma once

#include <string>

namespace mudalinx::exporter {

// The school system's identifier (trimmed), or the first 6 characters of the trimmed name
// when it is empty; cut to the code width, as the field will hold it.
std::string roomBaseCode(const std::string& identifier, const std::string& name);

}  // namespace mudalinx::exporter
