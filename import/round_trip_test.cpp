// Export of a small school, the sample timetabler, then the import: every placed lesson
// comes back once, carrying the school system's identifiers of the original file.
#include <gtest/gtest.h>
#include <libxml/tree.h>

#include <cstdio>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "exchange/document.h"
#include "exchange/report.h"
#include "exchange/text.h"
#include "export/converters.h"
#include "import/timetable_import.h"
#include "import/workspace_fixture.h"

namespace mudalinx::importer {
namespace {

namespace fs = std::filesystem;

std::string runCommand(const std::string& command, int* status) {
  std::string output;
  FILE* pipe = ::popen(command.c_str(), "r");
  if (!pipe) return output;
  char buffer[4096];
  while (std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe)) output.append(buffer, n);
  *status = ::pclose(pipe);
  return output;
}

std::vector<std::string> split(const std::string& line, char separator) {
  std::vector<std::string> parts;
  std::string part;
  std::istringstream in(line);
  while (std::getline(in, part, separator)) parts.push_back(part);
  if (!line.empty() && line.back() == separator) parts.emplace_back();
  return parts;
}

// A table as an outside reader (python3-dbfread) sees it: a line of name:type, then rows.
struct ForeignTable {
  std::vector<std::string> types;
  std::vector<std::vector<std::string>> rows;
};

ForeignTable readWithDbfread(const fs::path& file, const std::string& fields) {
  const std::string script =
      "import sys, dbfread\n"
      "t = dbfread.DBF(sys.argv[1], encoding='cp1252', char_decode_errors='strict')\n"
      "names = sys.argv[2].split(',')\n"
      "kinds = {f.name: f.type for f in t.fields}\n"
      "print('\\t'.join(n + ':' + kinds[n] for n in names))\n"
      "for r in t:\n"
      "    print('\\t'.join('' if r[n] is None else str(r[n]) for n in names))\n";
  const fs::path scriptFile = file.parent_path() / "leer_tabla.py";
  fixture::writeFile(scriptFile, script);
  int status = 0;
  const std::string output = runCommand("PYTHONIOENCODING=utf-8 /usr/bin/python3 '" + scriptFile.string() + "' '" +
                                            file.string() + "' " + fields + " 2>&1",
                                        &status);
  EXPECT_EQ(status, 0) << output;
  ForeignTable table;
  std::istringstream lines(output);
  std::string line;
  if (std::getline(lines, line)) table.types = split(line, '\t');
  while (std::getline(lines, line)) table.rows.push_back(split(line, '\t'));
  return table;
}

// What the original file says, in UTF-8.
struct School {
  std::vector<std::pair<std::string, std::string>> employees;        // X_EMPLEADO, F_TOMAPOS in order
  std::map<std::string, std::pair<std::string, std::string>> units;  // key -> name, course key
  std::map<std::string, std::string> subjectNames;                   // subject key -> name
  std::set<std::pair<std::string, std::string>> offers;              // course key, subject key
  std::set<std::string> rooms, activities;
  struct SlotTimes {
    std::string code, start, end;
  };
  std::vector<SlotTimes> morningSlots;  // frame "M", the earlier one: frame digit 0
};

School readSchool(const fs::path& file) {
  const exchange::Document doc = exchange::Document::load(file);
  auto value = [](const exchange::Record& record, std::size_t k) {
    return exchange::win1252ToUtf8(exchange::TrimBoth(record.value(k)));
  };
  School school;
  const auto employees = doc.section("EMPLEADOS");
  for (std::size_t i = 0; i < employees.count(); ++i) {
    school.employees.emplace_back(value(employees.record(i), 0), value(employees.record(i), 1));
  }
  const auto units = doc.section("UNIDADES");
  for (std::size_t i = 0; i < units.count(); ++i) {
    school.units[value(units.record(i), 0)] = {value(units.record(i), 1), value(units.record(i), 2)};
  }
  const auto subjects = doc.section("MATERIAS");
  for (std::size_t i = 0; i < subjects.count(); ++i) {
    school.subjectNames[value(subjects.record(i), 1)] = value(subjects.record(i), 2);
    school.offers.insert({value(subjects.record(i), 0), value(subjects.record(i), 1)});
  }
  const auto rooms = doc.section("DEPENDENCIAS");
  for (std::size_t i = 0; i < rooms.count(); ++i) school.rooms.insert(value(rooms.record(i), 0));
  const auto activities = doc.section("ACTIVIDADES");
  for (std::size_t i = 0; i < activities.count(); ++i) school.activities.insert(value(activities.record(i), 1));
  const auto slots = doc.section("TRAMOS_HORARIOS");
  for (std::size_t i = 0; i < slots.count(); ++i) {
    if (value(slots.record(i), 4) != "M") continue;
    school.morningSlots.push_back({value(slots.record(i), 0), value(slots.record(i), 2), value(slots.record(i), 3)});
  }
  return school;
}

std::vector<xmlNode*> elementChildren(xmlNode* node, const char* name) {
  std::vector<xmlNode*> children;
  for (xmlNode* child = node->children; child; child = child->next) {
    if (child->type == XML_ELEMENT_NODE && xmlStrEqual(child->name, BAD_CAST name)) children.push_back(child);
  }
  return children;
}

std::string contentOf(xmlNode* node) {
  xmlChar* content = xmlNodeGetContent(node);
  std::string text = content ? reinterpret_cast<const char*>(content) : "";
  xmlFree(content);
  return text;
}

std::string attribute(xmlNode* node, const char* name) {
  xmlChar* value = xmlGetProp(node, BAD_CAST name);
  std::string text = value ? reinterpret_cast<const char*>(value) : "";
  xmlFree(value);
  return text;
}

// nombre_dato -> text of one node's dato children.
std::map<std::string, std::string> datos(xmlNode* node) {
  std::map<std::string, std::string> values;
  for (xmlNode* dato : elementChildren(node, "dato")) values[attribute(dato, "nombre_dato")] = contentOf(dato);
  return values;
}

TEST(RoundTrip, EveryPlacedLessonComesBackWithTheSchoolIdentifiers) {
  fixture::ScratchFolder scratch;
  const fs::path workspace = scratch.path() / "KTEMP";
  fs::create_directory(workspace);
  const fs::path chosen = scratch.path() / "instituto_pequeno.xml";
  fs::copy_file(fs::path(MUDALINX_TESTDATA) / "instituto_pequeno.xml", chosen);

  {
    const exchange::Document doc = exchange::Document::load(chosen);
    exchange::Report exportReport;
    exporter::ExportContext context{doc, workspace, MUDALINX_BIN_DIR, exportReport, [] {
                                      return exporter::FrameMarking{"M         T         ", true};
                                    }};
    exporter::runConverters(context);
  }

  int status = 0;
  const std::string summary = runCommand(
      std::string("'") + MUDALINX_BIN_DIR + "/mudalinx-horario-prueba' '" + workspace.string() + "'", &status);
  ASSERT_EQ(status, 0) << summary;
  EXPECT_NE(summary.find("Sesiones colocadas: 24"), std::string::npos) << summary;

  const ForeignTable soluc = readWithDbfread(workspace / "SOLUC.DBF", "PROF,DIA,HORA,MARCO,ASIG,CODGRUPO,TAREA,AULA");
  EXPECT_EQ(soluc.types, (std::vector<std::string>{"PROF:C", "DIA:N", "HORA:N", "MARCO:C", "ASIG:C", "CODGRUPO:C",
                                                   "TAREA:C", "AULA:C"}));
  const ForeignTable proft = readWithDbfread(workspace / "PROFT.DBF", "ABREV");
  const ForeignTable asignomt = readWithDbfread(workspace / "ASIGNOMT.DBF", "COD,NOMBRE");
  std::map<std::string, std::string> codeNames;
  for (const auto& row : asignomt.rows) codeNames.emplace(row.at(0), row.at(1));
  std::map<std::string, std::vector<std::vector<std::string>>> placedByTeacher;
  std::size_t placed = 0;
  for (const auto& row : soluc.rows) {
    if (row.at(1) == "0") continue;
    placedByTeacher[row.at(0)].push_back(row);
    ++placed;
  }

  exchange::Report report;
  const fs::path output = importTimetable(chosen, workspace, report);
  const School school = readSchool(chosen);
  EXPECT_EQ(report.rowsOf("ACTIVIDADES"), placed);

  const exchange::Document result = exchange::Document::load(output);
  xmlNode* block = elementChildren(xmlDocGetRootElement(result.raw()), "BLOQUE_DATOS").at(0);
  const auto sections = elementChildren(block, "grupo_datos");
  ASSERT_EQ(sections.size(), 2u);
  EXPECT_EQ(datos(sections[0])["C_ANNO"], "2024");
  const auto teachers = elementChildren(sections[1], "grupo_datos");
  ASSERT_EQ(teachers.size(), school.employees.size());
  ASSERT_EQ(proft.rows.size(), school.employees.size());

  std::size_t lessonsSeen = 0;
  for (std::size_t t = 0; t < teachers.size(); ++t) {
    SCOPED_TRACE("profesor " + std::to_string(t + 1));
    auto teacher = datos(teachers[t]);
    EXPECT_EQ(teacher["X_EMPLEADO"], school.employees[t].first);
    EXPECT_EQ(teacher["F_TOMAPOS"], school.employees[t].second);
    const auto& rows = placedByTeacher[proft.rows[t].at(0)];
    const auto lessons = elementChildren(teachers[t], "grupo_datos");
    ASSERT_EQ(lessons.size(), rows.size());
    EXPECT_EQ(attribute(teachers[t], "registros"), std::to_string(rows.size()));
    for (std::size_t k = 0; k < lessons.size(); ++k) {
      SCOPED_TRACE("actividad " + std::to_string(k + 1));
      const auto& row = rows[k];
      auto lesson = datos(lessons[k]);
      EXPECT_EQ(lesson.size(), 11u);
      const School::SlotTimes& slot = school.morningSlots.at(std::stoul(row.at(2)) - 1);
      EXPECT_EQ(row.at(3), "0");
      EXPECT_EQ(lesson["N_DIASEMANA"], row.at(1));
      EXPECT_EQ(lesson["X_TRAMO"], slot.code);
      EXPECT_EQ(lesson["N_HORINI"], slot.start);
      EXPECT_EQ(lesson["N_HORFIN"], slot.end);
      EXPECT_EQ(lesson["X_DEPENDENCIA"], row.at(7));
      EXPECT_EQ(lesson["F_INICIO"], "01/09/2024");
      EXPECT_EQ(lesson["F_FIN"], "30/06/2025");
      if (row.at(5).empty()) {  // a guard
        EXPECT_EQ(school.activities.count(lesson["X_ACTIVIDAD"]), 1u) << lesson["X_ACTIVIDAD"];
        EXPECT_EQ(lesson["X_UNIDAD"] + lesson["X_OFERTAMATRIG"] + lesson["X_MATERIAOMG"], "");
      } else {
        EXPECT_EQ(school.rooms.count(row.at(7)), 1u) << row.at(7);
        ASSERT_EQ(school.units.count(lesson["X_UNIDAD"]), 1u) << lesson["X_UNIDAD"];
        const auto& unit = school.units.at(lesson["X_UNIDAD"]);
        EXPECT_EQ(unit.first, row.at(5));
        EXPECT_EQ(lesson["X_OFERTAMATRIG"], unit.second);
        EXPECT_EQ(school.offers.count({lesson["X_OFERTAMATRIG"], lesson["X_MATERIAOMG"]}), 1u);
        EXPECT_EQ(exchange::upperAZ(school.subjectNames.at(lesson["X_MATERIAOMG"])),
                  exchange::upperAZ(codeNames.at(row.at(4))));
        EXPECT_EQ(lesson["X_ACTIVIDAD"], "1");
      }
      ++lessonsSeen;
    }
  }
  EXPECT_EQ(lessonsSeen, placed);
  EXPECT_GT(placed, 24u) << "the guards are missing";
}

}  // namespace
}  // namespace mudalinx::importer
