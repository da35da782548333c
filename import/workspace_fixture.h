// Test helpers: a scratch folder and workspace tables written with our table layer.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "table/table.h"

namespace mudalinx::importer::fixture {

class ScratchFolder {
 public:
  ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  ~ScratchFolder();
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

// One text per field, in the definition's order; "" leaves the field blank. Integer,
// Float and Logical ("T"/"F") values are given as text.
using Rows = std::vector<std::vector<std::string>>;

void writeTable(const std::filesystem::path& folder, const table::TableDef& def, const Rows& rows);

// The layouts the export writes, and a SOLUC as a timetabler leaves it.
table::TableDef proftLayout();
table::TableDef asigtLayout();
table::TableDef asignomtLayout();
table::TableDef grupostLayout();
table::TableDef cursostLayout();
table::TableDef aulatLayout();
table::TableDef diashorastLayout();
table::TableDef periodosLayout();
// PROF, DIA, HORA, MARCO, ASIG, CODGRUPO, TAREA, AULA, then SESION (integer).
// With textHours, HORA is a character field, as some timetablers leave it.
table::TableDef solucLayout(bool textHours = false);

std::string readFile(const std::filesystem::path& file);
void writeFile(const std::filesystem::path& file, const std::string& content);
std::vector<std::string> fileNames(const std::filesystem::path& folder);  // sorted

}  // namespace mudalinx::importer::fixture
