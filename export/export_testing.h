// Test support for the converters: Exchange files written from tables of values,
// a scratch workspace and program folder, tables read back as texts.
#pragma once

#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "exchange/document.h"
#include "exchange/report.h"
#include "export/converters.h"

namespace mudalinx::exporter::testing {

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

using Values = std::vector<std::string>;  // the datos of one record, UTF-8

struct XmlSection {
  std::string seq;
  std::vector<Values> records;
};

// An Exchange document holding SECTIONS, UTF-8.
std::string exchangeXml(const std::vector<XmlSection>& sections);

struct LevelRow {
  int offer;  // X_OFERTAMATRIG
  std::string level;    // NIVEL_ABREV, UTF-8
  std::string studies;  // ESTUDIO, UTF-8
};

// NIVELEX.DBF in FOLDER, a dBASE 7 table as the one shipped with the program.
void writeLevelTable(const std::filesystem::path& folder, const std::vector<LevelRow>& rows);

// One converter set-up: workspace, program folder with a level table, the loaded document.
class ExportBench {
 public:
  explicit ExportBench(const std::vector<XmlSection>& sections, const std::vector<LevelRow>& levels = {});
  ExportContext& context() { return *context_; }
  exchange::Report& report() { return report_; }
  const std::filesystem::path& workspace() const { return workspace_; }
  const std::filesystem::path& programFolder() const { return programFolder_; }
  const std::filesystem::path& xmlFile() const { return xmlFile_; }

 private:
  TempDir root_;
  std::filesystem::path workspace_;
  std::filesystem::path programFolder_;
  std::filesystem::path xmlFile_;
  exchange::Report report_;
  std::optional<exchange::Document> doc_;
  std::unique_ptr<ExportContext> context_;
};

using Row = std::map<std::string, std::string>;  // field name -> text as read back, UTF-8

// Every row of TABLE in FOLDER, in record order, read with our table layer.
std::vector<Row> readRows(const std::filesystem::path& folder, std::string_view table);
// One field of every row.
std::vector<std::string> column(const std::vector<Row>& rows, const std::string& field);

// The fields of TABLE in FOLDER in order, each as "NAME TYPE WIDTH" with ".DECIMALS" when
// it has decimals, e.g. "COD C 10", "HORAS N 20.4".
std::vector<std::string> fieldLayout(const std::filesystem::path& folder, std::string_view table);

// What COMMAND (run by the shell) prints on its standard output.
std::string commandOutput(const std::string& command);

// The rows of a table as python3-dbfread reads them (Windows-1252), one line per row with
// the values of FIELDS separated by "|".
std::string readWithDbfread(const std::filesystem::path& dbf, const std::vector<std::string>& fields);

// The warnings of REPORT of one kind.
std::vector<exchange::Warning> warningsOf(const exchange::Report& report, std::string_view kind);

}  // namespace mudalinx::exporter::testing
