#include "import/solution_lessons.h"

namespace mudalinx::importer {

LessonsByTeacher LessonsByTeacher::read(table::Table& soluc, const std::unordered_set<std::string>& teachers) {
  LessonsByTeacher result;
  for (soluc.first(); !soluc.eof(); soluc.next()) {
    std::string teacher = soluc.text("PROF");
    if (teachers.count(teacher) == 0) continue;
    if (soluc.integer("DIA") == 0) continue;
    Lesson lesson;
    lesson.record = soluc.recordNumber();
    lesson.day = soluc.text("DIA");
    lesson.hour = soluc.integer("HORA");
    lesson.frameDigit = soluc.text("MARCO").substr(0, 1);
    lesson.subject = soluc.text("ASIG");
    lesson.group = soluc.text("CODGRUPO");
    lesson.task = soluc.text("TAREA");
    lesson.room = soluc.text("AULA");
    result.lessons_[std::move(teacher)].push_back(std::move(lesson));
  }
  return result;
}

const std::vector<Lesson>& LessonsByTeacher::of(const std::string& teacher) const {
  static const std::vector<Lesson> none;
  const auto it = lessons_.find(teacher);
  return it == lessons_.end() ? none : it->second;
}

}  // namespace mudalinx::importer
