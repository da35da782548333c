// How a teacher's abbreviation and display name are made.
#pragma once

#include <string>
#include <string_view>

namespace mudalinx::exporter {

// The first character of each name part as the document holds it (untrimmed: a part that
// begins with a blank gives a blank; an empty part gives nothing).
std::string teacherBaseAbbreviation(std::string_view first, std::string_view second, std::string_view third);

// "FIRST SECOND, THIRD" from the trimmed parts; the joints are written also around empty parts.
std::string teacherFullName(const std::string& first, const std::string& second, const std::string& third);

}  // namespace mudalinx::exporter
