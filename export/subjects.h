// How a subject's codes are made from its name.
#pragma once

#include <string>

namespace mudalinx::exporter {

struct SubjectCodes {
  std::string base;      // at most 10 characters; the subject code before the uniqueness rule
  std::string longCode;  // CODLARGO before the field's cut
};

// NAME is trimmed and not empty.
SubjectCodes deriveSubjectCodes(const std::string& name);

}  // namespace mudalinx::exporter
