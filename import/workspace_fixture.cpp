#include "import/workspace_fixture.h"

#include <stdlib.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>

namespace mudalinx::importer::fixture {

using table::FieldType;
using table::TableDef;

ScratchFolder::ScratchFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "mudalinx-import-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

ScratchFolder::~ScratchFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

void writeTable(const std::filesystem::path& folder, const TableDef& def, const Rows& rows) {
  table::createTable(folder, def);
  table::Table table = table::Table::open(folder, def.name, table::Access::Exclusive);
  for (const auto& row : rows) {
    if (row.size() != def.fields.size()) throw std::logic_error("row of " + def.name + " has the wrong size");
    table.append();
    for (std::size_t i = 0; i < row.size(); ++i) {
      const table::FieldDef& field = def.fields[i];
      const std::string& value = row[i];
      if (value.empty()) continue;
      switch (field.type) {
        case FieldType::Text:
          table.setText(field.name, value);
          break;
        case FieldType::Integer:
          table.setInteger(field.name, std::stoll(value));
          break;
        case FieldType::Float:
          table.setNumber(field.name, std::stod(value));
          break;
        case FieldType::Logical:
          table.setLogical(field.name, value == "T");
          break;
      }
    }
    table.post();
  }
  table.close();
}

namespace {

table::FieldDef text(const char* name, int width) { return {name, FieldType::Text, width}; }
table::FieldDef integer(const char* name) { return {name, FieldType::Integer, 0}; }

TableDef layout(const char* name, std::vector<table::FieldDef> fields) {
  TableDef def;
  def.name = name;
  def.fields = std::move(fields);
  return def;
}

}  // namespace

TableDef proftLayout() {
  return layout("PROFT", {text("ABREV", 10), text("NOMBRE", 80), text("DEPART", 40), integer("DNI"),
                          text("X_EMPLEADO", 10), text("F_TOMAPOS", 10)});
}

TableDef asigtLayout() {
  return layout("ASIGT", {text("CASIG", 10),
                          text("CPROF", 10),
                          text("CGRUP", 10),
                          text("CAULA", 10),
                          text("TURNO", 1),
                          text("NIVEL", 5),
                          text("CURSO", 3),
                          text("GRUPO", 2),
                          {"HORAS", FieldType::Float, 0},
                          text("SESIONES", 20),
                          text("NCONEX", 4),
                          text("CLAVE", 10),
                          text("CLAVECURSO", 10),
                          text("CTAREA", 10)});
}

TableDef asignomtLayout() {
  return layout("ASIGNOMT", {text("COD", 10),
                             text("CODLARGO", 10),
                             text("NOMBRE", 80),
                             text("MATERIA", 8),
                             text("CODTAREA", 12),
                             {"ESTAREA", FieldType::Logical, 0}});
}

TableDef grupostLayout() {
  return layout("GRUPOST", {text("ABREV", 10), text("TURNO", 1), text("NIVEL", 5), text("CURSO", 3), text("GRUPO", 2),
                            text("DESCRIP", 80), text("MARCO", 1), text("CLAVE", 10), text("CLAVECURSO", 10)});
}

TableDef cursostLayout() {
  return layout("CURSOST", {text("ABREV", 10), text("TURNO", 1), text("NIVEL", 5), text("CURSO", 3), text("CLAVE", 10),
                            text("ESTUD", 80)});
}

TableDef aulatLayout() {
  return layout(
      "AULAT", {text("ABREV", 10), text("NOMBRE", 80), text("EDIFICIO", 1), integer("MAXALUM"), text("DEPCENTRO", 10)});
}

TableDef diashorastLayout() {
  return layout("DIASHORAST", {text("DIHO", 10), text("CODDIHO", 10), text("DIA", 20), text("TEXTODIA", 20),
                               text("HORA", 8), text("TEXTOHOR", 15), text("HORADESDE", 8), text("HORAHASTA", 8),
                               text("MINUTOS", 8), text("MARCO", 1), text("MARCOXML", 10)});
}

TableDef periodosLayout() {
  return layout("PERIODOS", {text("CJORNADA", 10), text("JORNADA", 40), text("FECINI", 10), text("FECFIN", 10)});
}

TableDef solucLayout(bool textHours) {
  return layout("SOLUC",
                {text("PROF", 10), integer("DIA"), textHours ? text("HORA", 4) : integer("HORA"), text("MARCO", 1),
                 text("ASIG", 10), text("CODGRUPO", 10), text("TAREA", 12), text("AULA", 10), integer("SESION")});
}

std::string readFile(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + file.string());
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeFile(const std::filesystem::path& file, const std::string& content) {
  std::ofstream out(file, std::ios::binary);
  out << content;
  if (!out) throw std::runtime_error("cannot write " + file.string());
}

std::vector<std::string> fileNames(const std::filesystem::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace mudalinx::importer::fixture
