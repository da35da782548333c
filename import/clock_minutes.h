// A slot's clock text ("08:30", "8:30") as minutes after midnight.
#pragma once

#include <optional>
#include <string_view>

namespace mudalinx::importer {

// A text shorter than five characters gets one "0" in front; the hours are then its
// first two characters and the minutes its last two. Empty when either pair is not a
// whole number.
std::optional<long long> clockToMinutes(std::string_view clock);

}  // namespace mudalinx::importer
