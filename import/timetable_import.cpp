#include "import/timetable_import.h"

#include <ctime>
#include <initializer_list>
#include <stdexcept>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "exchange/document.h"
#include "exchange/text.h"
#include "import/clock_minutes.h"
#include "import/document_save.h"
#include "import/path_text.h"
#include "import/solution_lessons.h"
#include "import/workspace_lookups.h"
#include "import/xml_nodes.h"
#include "table/table.h"

namespace mudalinx::importer {
namespace {

using exchange::TrimBoth;
using exchange::win1252ToUtf8;
using table::Access;
using table::Table;

constexpr const char* kOutputPrefix = "ResultadoVelkan";

// The eight tables, held exclusively so that nothing changes them during the run;
// the destructors close whatever was opened when a later step fails.
struct WorkspaceTables {
  Table soluc, grupost, cursost, proft, aulat, asignomt, diashorast, asigt;

  static WorkspaceTables open(const std::filesystem::path& workspace) {
    auto exclusive = [&](const char* name) { return Table::open(workspace, name, Access::Exclusive); };
    Table soluc = exclusive("SOLUC");
    Table grupost = exclusive("GRUPOST");
    Table cursost = exclusive("CURSOST");
    Table proft = exclusive("PROFT");
    Table aulat = exclusive("AULAT");
    Table asignomt = exclusive("ASIGNOMT");
    Table diashorast = exclusive("DIASHORAST");
    Table asigt = exclusive("ASIGT");
    return WorkspaceTables{std::move(soluc), std::move(grupost),  std::move(cursost),    std::move(proft),
                           std::move(aulat), std::move(asignomt), std::move(diashorast), std::move(asigt)};
  }

  void close() {
    for (Table* table : {&soluc, &grupost, &cursost, &proft, &aulat, &asignomt, &diashorast, &asigt}) table->close();
  }
};

void requireFields(const Table& table, std::initializer_list<const char*> fields) {
  for (const char* field : fields) {
    if (!table.hasField(field)) {
      throw std::runtime_error("La tabla " + table.name() + " (" + pathText(table.path()) + ") no tiene el campo " +
                               field + ".");
    }
  }
}

void requireImportedFields(const WorkspaceTables& tables) {
  requireFields(tables.soluc, {"PROF", "DIA", "HORA", "MARCO", "ASIG", "CODGRUPO", "TAREA", "AULA"});
  requireFields(tables.proft, {"X_EMPLEADO", "F_TOMAPOS", "ABREV"});
  requireFields(tables.asigt, {"CASIG", "CGRUP", "CLAVE", "CLAVECURSO"});
  requireFields(tables.asignomt, {"COD", "CODTAREA"});
  requireFields(tables.grupost, {"ABREV", "CLAVE"});
  requireFields(tables.diashorast, {"DIHO", "MARCO", "DIA", "CODDIHO", "HORADESDE", "HORAHASTA"});
}

bool isXmlSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

// The first four characters (Windows-1252) of the text of BLOQUE_DATOS's first child.
std::string schoolYearOf(const exchange::Document& doc) {
  const xmlNode* root = xmlDocGetRootElement(doc.raw());
  const xmlNode* block = root != nullptr ? root->children : nullptr;
  while (block != nullptr && !(block->type == XML_ELEMENT_NODE && xmlStrEqual(block->name, BAD_CAST "BLOQUE_DATOS"))) {
    block = block->next;
  }
  if (block == nullptr || block->children == nullptr) {
    throw std::runtime_error("El archivo «" + pathText(doc.file()) +
                             "» no tiene datos en /SERVICIO/BLOQUE_DATOS: falta el año académico.");
  }
  xmlChar* content = xmlNodeGetContent(block->children);
  std::string text = content != nullptr ? reinterpret_cast<const char*>(content) : "";
  xmlFree(content);
  std::size_t begin = 0;
  std::size_t end = text.size();
  while (begin < end && isXmlSpace(text[begin])) ++begin;
  while (end > begin && isXmlSpace(text[end - 1])) --end;
  return exchange::LeftPart(exchange::utf8ToWin1252(text.substr(begin, end - begin)), 4);
}

struct Period {
  std::string start;  // FECINI of the first row
  std::string end;    // FECFIN
};

Period readPeriod(const std::filesystem::path& workspace) {
  if (!table::findFile(workspace, "PERIODOS.DBF")) {
    throw std::runtime_error("ATENCIÓN - PERIODOS.DBF No encontrado - Importe de nuevo XML de SENDARO.");
  }
  Table periods = Table::open(workspace, "PERIODOS", Access::Shared);
  requireFields(periods, {"FECINI", "FECFIN"});
  periods.first();
  if (periods.eof()) return {};
  return {periods.text("FECINI"), periods.text("FECFIN")};
}

struct Teacher {
  std::size_t record = 0;
  std::string employee;  // X_EMPLEADO
  std::string post;      // F_TOMAPOS
  std::string code;      // ABREV, as SOLUC.PROF names the teacher
};

std::vector<Teacher> readTeachers(Table& proft) {
  std::vector<Teacher> teachers;
  teachers.reserve(proft.recordCount());
  for (proft.first(); !proft.eof(); proft.next()) {
    teachers.push_back({proft.recordNumber(), proft.text("X_EMPLEADO"), proft.text("F_TOMAPOS"), proft.text("ABREV")});
  }
  return teachers;
}

// The teachers' codes. Two rows with one code both receive that code's lessons, as the
// timetabler cannot tell them apart either; the user is told.
std::unordered_set<std::string> codesOf(const std::vector<Teacher>& teachers, exchange::Report& report) {
  std::unordered_map<std::string, std::size_t> firstRecord;
  for (const Teacher& teacher : teachers) {
    const auto [first, isNew] = firstRecord.emplace(teacher.code, teacher.record);
    if (isNew) continue;
    report.warn({"repetido", "PROFT", teacher.record,
                 "El profesor " + win1252ToUtf8(teacher.code) + " tiene la misma abreviatura que el del registro " +
                     std::to_string(first->second) + ": las actividades de esa abreviatura se escriben en los dos."});
  }
  std::unordered_set<std::string> codes;
  for (const auto& entry : firstRecord) codes.insert(entry.first);
  return codes;
}

std::string currentDateTime() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
#ifdef _WIN32
  localtime_s(&local, &now);
#else
  localtime_r(&now, &local);
#endif
  char text[32];
  std::strftime(text, sizeof text, "%d/%m/%Y %H:%M:%S", &local);
  return text;
}

bool isBlank(const std::string& text) { return TrimBoth(text).empty(); }

// Builds the lesson nodes of one run and reports what could not be matched.
class TimetableBuilder {
 public:
  TimetableBuilder(const WorkspaceLookups& lookups, const Period& period, exchange::Report& report)
      : lookups_(lookups),
        periodStart_(win1252ToUtf8(period.start)),
        periodEnd_(win1252ToUtf8(period.end)),
        report_(report) {}

  void appendTeacher(xmlNode* section, std::size_t number, const Teacher& teacher, const std::vector<Lesson>& lessons) {
    xmlNode* node = appendElement(section, "grupo_datos");
    setAttribute(node, "seq", "HORARIO_REGULAR_PROFESOR_" + std::to_string(number));
    setAttribute(node, "registros", std::to_string(lessons.size()));
    dato(node, "X_EMPLEADO", win1252ToUtf8(teacher.employee));
    dato(node, "F_TOMAPOS", win1252ToUtf8(teacher.post));
    warnReplaced("PROFT", teacher.record);
    if (lessons.empty()) {
      report_.warn({"sin_actividades", "PROFT", teacher.record,
                    "El profesor " + win1252ToUtf8(teacher.code) + " no tiene actividades en SOLUC."});
    }
    std::size_t lessonNumber = 1;
    for (const Lesson& lesson : lessons) appendLesson(node, lessonNumber++, lesson);
    lessons_ += lessons.size();
  }

  std::size_t lessonsWritten() const { return lessons_; }

 private:
  void appendLesson(xmlNode* teacherNode, std::size_t number, const Lesson& lesson) {
    xmlNode* node = appendElement(teacherNode, "grupo_datos");
    setAttribute(node, "seq", "ACTIVIDAD_" + std::to_string(number));

    const CourseOffer* offer = lookups_.offerOf(lesson.subject, lesson.group);
    std::string activity = lesson.task;
    if (isBlank(activity)) {
      if (const std::string* code = lookups_.activityCodeOf(lesson.subject)) activity = *code;
    }
    const Slot* slot = lookups_.slotOf(lesson.day + std::to_string(lesson.hour), lesson.frameDigit);
    const std::string room = isBlank(lesson.room) ? std::string() : lesson.room;
    const std::string* unit = lookups_.unitOf(lesson.group);

    dato(node, "N_DIASEMANA", slot ? win1252ToUtf8(slot->day) : "");
    dato(node, "X_TRAMO", slot ? win1252ToUtf8(slot->code) : "");
    dato(node, "X_DEPENDENCIA", win1252ToUtf8(room));
    dato(node, "X_UNIDAD", unit ? win1252ToUtf8(*unit) : "");
    dato(node, "X_OFERTAMATRIG", offer ? win1252ToUtf8(offer->courseKey) : "");
    dato(node, "X_MATERIAOMG", offer ? win1252ToUtf8(offer->subjectKey) : "");
    dato(node, "F_INICIO", periodStart_);
    dato(node, "F_FIN", periodEnd_);
    dato(node, "N_HORINI", slot ? minutesOf(*slot, slot->from, "HORADESDE") : "0");
    dato(node, "N_HORFIN", slot ? minutesOf(*slot, slot->to, "HORAHASTA") : "0");
    dato(node, "X_ACTIVIDAD", isBlank(activity) ? "1" : win1252ToUtf8(activity));

    warnReplaced("SOLUC", lesson.record);
    warnUnmatched(lesson, slot != nullptr, offer != nullptr, unit != nullptr, !isBlank(activity));
  }

  // A dato of the record being written; remembers when characters had to be replaced.
  void dato(xmlNode* parent, const char* name, const std::string& text) {
    replacedInRecord_ = appendDato(parent, name, text) || replacedInRecord_;
  }

  // One warning per record whose datos needed replaced characters.
  void warnReplaced(const char* table, std::size_t record) {
    if (!replacedInRecord_) return;
    replacedInRecord_ = false;
    report_.warn({"caracter", table, record,
                  "Hay caracteres de control que XML no admite; se guardan como \"?\"."});
  }

  static std::string minutesOf(const Slot& slot, const std::string& clock, const char* field) {
    const auto minutes = clockToMinutes(clock);
    if (!minutes) {
      throw std::runtime_error("La hora «" + win1252ToUtf8(clock) + "» del registro " + std::to_string(slot.record) +
                               " de DIASHORAST, campo " + field + ", no es una hora válida (hh:mm).");
    }
    return std::to_string(*minutes);
  }

  // A lesson without a group (a guard, for instance) has no class unit or course offer to miss.
  void warnUnmatched(const Lesson& lesson, bool hasSlot, bool hasOffer, bool hasUnit, bool hasActivity) {
    const std::string where =
        "Lección de " + win1252ToUtf8(lesson.subject) + " del grupo «" + win1252ToUtf8(lesson.group) + "»";
    if (!hasSlot) {
      report_.warn({"sin_tramo", "SOLUC", lesson.record,
                    where + ": el día " + win1252ToUtf8(lesson.day) + ", hora " + std::to_string(lesson.hour) +
                        " y marco «" + win1252ToUtf8(lesson.frameDigit) + "» no están en DIASHORAST."});
    }
    if (isBlank(lesson.group)) return;
    if (!hasOffer && !hasActivity) {
      report_.warn({"sin_materia", "SOLUC", lesson.record, where + ": no está en ASIGT."});
    }
    if (!hasUnit) {
      report_.warn({"sin_unidad", "SOLUC", lesson.record, where + ": el grupo no está en GRUPOST."});
    }
  }

  const WorkspaceLookups& lookups_;
  std::string periodStart_;
  std::string periodEnd_;
  exchange::Report& report_;
  std::size_t lessons_ = 0;
  bool replacedInRecord_ = false;
};

}  // namespace

std::filesystem::path outputPathFor(const std::filesystem::path& chosenFile) {
  std::filesystem::path name(kOutputPrefix);
  name += chosenFile.filename();  // path arithmetic keeps any file name intact on every platform
  return chosenFile.parent_path() / name;
}

std::filesystem::path importTimetable(const std::filesystem::path& chosenFile, const std::filesystem::path& workspace,
                                      exchange::Report& report) {
  WorkspaceTables tables = WorkspaceTables::open(workspace);
  requireImportedFields(tables);
  exchange::Document doc = exchange::Document::load(chosenFile);
  const std::string schoolYear = schoolYearOf(doc);
  const Period period = readPeriod(workspace);

  const std::vector<Teacher> teachers = readTeachers(tables.proft);
  const std::unordered_set<std::string> teacherCodes = codesOf(teachers, report);
  const LessonsByTeacher lessons = LessonsByTeacher::read(tables.soluc, teacherCodes);
  const WorkspaceLookups lookups =
      WorkspaceLookups::build(tables.asigt, tables.asignomt, tables.diashorast, tables.grupost);
  tables.close();

  xmlNode* root = replaceRootElement(doc.raw(), "SERVICIO");
  setAttribute(root, "modulo", "HORARIOS");
  setAttribute(root, "tipo", "I");
  setAttribute(root, "autor", "HORARIOS");
  setAttribute(root, "fecha", currentDateTime());
  xmlNode* block = appendElement(root, "BLOQUE_DATOS");

  xmlNode* year = appendElement(block, "grupo_datos");
  setAttribute(year, "seq", "ANNO_ACADEMICO");
  appendDato(year, "C_ANNO", win1252ToUtf8(schoolYear));

  xmlNode* timetables = appendElement(block, "grupo_datos");
  setAttribute(timetables, "seq", "HORARIOS_REGULARES");
  setAttribute(timetables, "registros", std::to_string(teachers.size()));
  TimetableBuilder builder(lookups, period, report);
  std::size_t teacherNumber = 1;
  for (const Teacher& teacher : teachers)
    builder.appendTeacher(timetables, teacherNumber++, teacher, lessons.of(teacher.code));

  const std::filesystem::path output = outputPathFor(chosenFile);
  saveDocumentReplacing(doc.raw(), output);
  report.addRows("PROFESORES", teachers.size());
  report.addRows("ACTIVIDADES", builder.lessonsWritten());
  return output;
}

}  // namespace mudalinx::importer
