#include "export/export_testing.h"

#include <stdlib.h>

#include <array>
#include <cstdio>
#include <fstream>
#include <stdexcept>

#include "exchange/text.h"
#include "table/table.h"

namespace mudalinx::exporter::testing {

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "mudalinx-export-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

namespace {

std::string escaped(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      default: out += c;
    }
  }
  return out;
}

}  // namespace

std::string exchangeXml(const std::vector<XmlSection>& sections) {
  std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<SERVICIO>\n<BLOQUE_DATOS>\n";
  xml += "<dato nombre_dato=\"C_ANNO\">2026</dato>\n";
  for (const XmlSection& section : sections) {
    xml += "<grupo_datos seq=\"" + section.seq + "\">\n";
    for (const Values& record : section.records) {
      xml += "<grupo_datos>";
      for (std::size_t k = 0; k < record.size(); ++k) {
        xml += "<dato nombre_dato=\"V" + std::to_string(k) + "\">" + escaped(record[k]) + "</dato>";
      }
      xml += "</grupo_datos>\n";
    }
    xml += "</grupo_datos>\n";
  }
  return xml + "</BLOQUE_DATOS>\n</SERVICIO>\n";
}

void writeLevelTable(const std::filesystem::path& folder, const std::vector<LevelRow>& rows) {
  using table::FieldType;
  const table::TableDef def{"NIVELEX",
                            {{"X_OFERTAMATRIG", FieldType::Integer, 0},
                             {"NIVEL_ABREV", FieldType::Text, 10},
                             {"ESTUDIO", FieldType::Text, 100}},
                            {},
                            table::Format::DBase7};
  table::createTable(folder, def);
  table::Table levels = table::Table::open(folder, def.name, table::Access::Shared);
  for (const LevelRow& row : rows) {
    levels.append();
    levels.setInteger("X_OFERTAMATRIG", row.offer);
    levels.setText("NIVEL_ABREV", exchange::utf8ToWin1252(row.level));
    levels.setText("ESTUDIO", exchange::utf8ToWin1252(row.studies));
    levels.post();
  }
  levels.close();
}

ExportBench::ExportBench(const std::vector<XmlSection>& sections, const std::vector<LevelRow>& levels)
    : workspace_(root_.path() / "KTEMP"), programFolder_(root_.path() / "programa"), xmlFile_(root_.path() / "datos.xml") {
  std::filesystem::create_directories(workspace_);
  std::filesystem::create_directories(programFolder_);
  writeLevelTable(programFolder_, levels);
  std::ofstream(xmlFile_, std::ios::binary) << exchangeXml(sections);
  doc_.emplace(exchange::Document::load(xmlFile_));
  context_ = std::make_unique<ExportContext>(ExportContext{*doc_, workspace_, programFolder_, report_, nullptr});
}

std::vector<Row> readRows(const std::filesystem::path& folder, std::string_view name) {
  table::Table table = table::Table::open(folder, name, table::Access::Shared);
  std::vector<Row> rows;
  for (table.first(); !table.eof(); table.next()) {
    Row row;
    for (const table::FieldInfo& field : table.fields()) {
      row[field.name] = exchange::win1252ToUtf8(table.text(field.name));
    }
    rows.push_back(row);
  }
  return rows;
}

std::vector<std::string> column(const std::vector<Row>& rows, const std::string& field) {
  std::vector<std::string> values;
  for (const Row& row : rows) values.push_back(row.at(field));
  return values;
}

std::vector<std::string> fieldLayout(const std::filesystem::path& folder, std::string_view name) {
  const table::Table table = table::Table::open(folder, name, table::Access::Shared);
  std::vector<std::string> layout;
  for (const table::FieldInfo& field : table.fields()) {
    std::string shape = field.name + " " + field.type + " " + std::to_string(field.width);
    if (field.decimals != 0) shape += "." + std::to_string(field.decimals);
    layout.push_back(shape);
  }
  return layout;
}

std::string commandOutput(const std::string& command) {
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
  std::string output;
  std::array<char, 256> buffer{};
  while (pipe && fgets(buffer.data(), buffer.size(), pipe.get()) != nullptr) output += buffer.data();
  return output;
}

std::string readWithDbfread(const std::filesystem::path& dbf, const std::vector<std::string>& fields) {
  std::string names;
  for (const std::string& field : fields) names += (names.empty() ? "" : ",") + field;
  const std::filesystem::path script = dbf.parent_path() / "leer_dbf.py";
  std::ofstream(script) << "import sys, dbfread\n"
                           "fields = sys.argv[2].split(',')\n"
                           "for r in dbfread.DBF(sys.argv[1], encoding='cp1252'):\n"
                           "    print('|'.join(str(r[f]) for f in fields))\n";
  const std::string output = commandOutput("PYTHONIOENCODING=utf-8 /usr/bin/python3 '" + script.string() + "' '" +
                                           dbf.string() + "' '" + names + "' 2>&1");
  std::filesystem::remove(script);
  return output;
}

std::vector<exchange::Warning> warningsOf(const exchange::Report& report, std::string_view kind) {
  std::vector<exchange::Warning> found;
  for (const exchange::Warning& warning : report.warnings()) {
    if (warning.kind == kind) found.push_back(warning);
  }
  return found;
}

}  // namespace mudalinx::exporter::testing
