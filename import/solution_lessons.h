// The placed lessons of the solution table SOLUC, grouped by teacher in one pass.
#pragma once

#include <cstddef>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "table/table.h"

namespace mudalinx::importer {

// One SOLUC row whose DIA is not 0. Texts are Windows-1252, without trailing blanks.
struct Lesson {
  std::size_t record = 0;  // SOLUC record number
  std::string day;         // DIA as text
  long long hour = 0;      // HORA
  std::string frameDigit;  // first character of MARCO, "" when blank
  std::string subject;     // ASIG
  std::string group;       // CODGRUPO
  std::string task;        // TAREA
  std::string room;        // AULA
};

class LessonsByTeacher {
 public:
  // Reads SOLUC from its first row to its end, keeping the lessons whose PROF equals one
  // of TEACHERS exactly; rows of other teachers are not read further. A DIA or HORA that
  // is not a whole number throws the table layer's error naming the record and field.
  static LessonsByTeacher read(table::Table& soluc, const std::unordered_set<std::string>& teachers);

  // The teacher's lessons in the record order of SOLUC (empty when none).
  const std::vector<Lesson>& of(const std::string& teacher) const;

 private:
  std::unordered_map<std::string, std::vector<Lesson>> lessons_;
};

}  // namespace mudalinx::importer
