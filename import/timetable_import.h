// The timetable import: SOLUC and the workspace tables back into a Sendaro
// Exchange document, saved beside the chosen file as "ResultadoVelkan" + its name.
#pragma once

#include <filesystem>

#include "exchange/report.h"

namespace mudalinx::importer {

// The output path for a chosen file: same folder, "ResultadoVelkan" + file name.
std::filesystem::path outputPathFor(const std::filesystem::path& chosenFile);

// The import without its dialog and messages: tables opened exclusively, document loaded,
// PERIODOS read, timetable built and saved through a temporary file renamed into place.
// Every stop, the missing PERIODOS.DBF message included, throws an exception whose
// what() is the Spanish UTF-8 text the user sees; nothing is written then.
// REPORT receives the rows written ("PROFESORES", "ACTIVIDADES") and a warning for each
// lesson without a slot, course offer or class unit, each teacher without lessons and
// each teacher whose code repeats an earlier row's (both then get that code's lessons).
// Returns the output file.
std::filesystem::path importTimetable(const std::filesystem::path& chosenFile, const std::filesystem::path& workspace,
                                      exchange::Report& report);

}  // namespace mudalinx::importer
