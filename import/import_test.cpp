#include <gtest/gtest.h>
#include <libxml/xpath.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <functional>
#include <regex>
#include <string>
#include <vector>

#include "exchange/document.h"
#include "exchange/report.h"
#include "import/timetable_import.h"
#include "import/workspace_fixture.h"
#include "table/held_by_another_process.h"
#include "table/table.h"

namespace mudalinx::importer {
namespace {

namespace fs = std::filesystem;
using fixture::readFile;
using fixture::Rows;
using fixture::writeFile;
using fixture::writeTable;

const std::string kFisica =
    "F\xED"
    "sica1";  // Windows-1252, as the tables hold it

// A workspace with the cases that matter: a teacher without lessons, DIA 0 rows, two frames
// sharing DIHO values, duplicates in every lookup table, an abbreviation with a quote.
void writeSampleWorkspace(const fs::path& ws) {
  writeTable(ws, fixture::proftLayout(),
             {{"ANA", "Ana Ruiz, Eva", "Matem\xE1ticas", "", "1001", "01/09/2009"},
              {"O'Neil", "O'Neil, Sean", "Ingl\xE9s", "", "1002", "02/09/2009"},
              {"SINCL", "Sin Clases, Pepe", "", "", "1003", ""},
              {"BEA", "Bea Gil, Luz", "Lengua", "", "1004", "03/09/2009"}});
  writeTable(ws, fixture::solucLayout(),
             {{"ANA", "1", "1", "0", "MAT", "1A", "", "A101", "1"},
              {"O'Neil", "1", "2", "1", "LEN", "1A", "", "", "1"},
              {"ANA", "0", "0", "0", "MAT", "1A", "", "A101", "2"},
              {"ANA", "2", "1", "0", "GUAR", "", "", "", "1"},
              {"O'Neil", "9", "9", "0", "GUAR", "", "7777", kFisica, "1"},
              {"ONeil", "1", "1", "0", "MAT", "1A", "", "", "1"},
              {"ANA", "1", "3", "0", "MAT", "2A", "", "", "1"},
              {"BEA", "1", "10", "0", "XYZ", "3C", "", "B2", "1"},
              {"BEA", "1", "2", "0", "LEN", "1A", "", "", "1"},
              {"ana", "1", "4", "0", "MAT", "1A", "", "", "1"},
              {"BEA", "1", "1", "", "LEN", "1A", "", "", "1"}});
  writeTable(ws, fixture::diashorastLayout(),
             {{"11", "T1", "1", "", "1", "Primera", "08:00", "08:55", "55", "0", "J1"},
              {"11", "T1bis", "1", "", "1", "Primera", "09:00", "09:55", "55", "0", "J1"},
              {"12", "T2T", "1", "", "2", "Segunda", "15:00", "15:55", "55", "1", "J2"},
              {"12", "T2", "1", "", "2", "Segunda", "08:55", "09:50", "55", "0", "J1"},
              {"13", "T3", "1", "", "3", "Tercera", "8:30", "14:05", "335", "0", "J1"},
              {"21", "T1", "2", "", "1", "Primera", "08:00", "08:55", "55", "0", "J1"},
              {"110", "T10", "1", "", "10",
               "D\xE9"
               "cima",
               "16:00", "16:55", "55", "0", "J1"}});
  writeTable(ws, fixture::asigtLayout(),
             {{"MAT", "", "1A", "", "", "ESO", "1", "A", "4", "1111", "", "M1", "C1", "1"},
              {"LEN", "", "1A", "", "", "ESO", "1", "A", "4", "1111", "", "L1", "C1", "1"},
              {"MAT", "", "2A", "", "", "ESO", "2", "A", "4", "1111", "", "M2", "C2", "1"},
              {"MAT", "", "2A", "", "", "ESO", "2", "A", "4", "1111", "", "M2dup", "C2dup", "1"}});
  writeTable(ws, fixture::asignomtLayout(),
             {{"MAT", "MATEMATI", "Matem\xE1ticas", "", "", "F"},
              {"LEN", "LENGUA", "Lengua", "", "", "F"},
              {"GUAR", "Guardia", "Guardia", "", "5001", "T"},
              {"GUAR", "Guardia", "Guardia de recreo", "", "5002", "T"}});
  writeTable(ws, fixture::grupostLayout(),
             {{"1A", "", "ESO", "1", "A", "", "0", "U1A", "C1"},
              {"2A", "", "ESO", "2", "A", "", "0", "U2A", "C2"},
              {"2A", "", "ESO", "2", "A", "", "0", "U2Adup", "C2"}});
  writeTable(ws, fixture::cursostLayout(), {});
  writeTable(ws, fixture::aulatLayout(), {{"A101", "Aula 101", "", "", ""}});
  writeTable(ws, fixture::periodosLayout(),
             {{"J1",
               "Ma\xF1"
               "ana",
               "01/09/2009", "30/06/2010"},
              {"J2", "Tarde", "02/09/2009", "29/06/2010"}});
}

std::string withoutFecha(const std::string& document) {
  static const std::regex fecha("fecha=\"[^\"]*\"");
  return std::regex_replace(document, fecha, "fecha=\"\"", std::regex_constants::format_first_only);
}

std::string fechaOf(const std::string& document) {
  std::smatch match;
  static const std::regex fecha("fecha=\"([^\"]*)\"");
  return std::regex_search(document, match, fecha) ? match[1].str() : "";
}

// The UTF-8 text of the first node at PATH in FILE, read back through our document layer.
std::string textAt(const fs::path& file, const char* path) {
  const exchange::Document doc = exchange::Document::load(file);
  std::unique_ptr<xmlXPathContext, decltype(&xmlXPathFreeContext)> context(xmlXPathNewContext(doc.raw()),
                                                                           xmlXPathFreeContext);
  std::unique_ptr<xmlXPathObject, decltype(&xmlXPathFreeObject)> found(
      xmlXPathEvalExpression(reinterpret_cast<const xmlChar*>(path), context.get()), xmlXPathFreeObject);
  if (!found || !found->nodesetval || found->nodesetval->nodeNr == 0) return "<no node>";
  xmlChar* content = xmlNodeGetContent(found->nodesetval->nodeTab[0]);
  std::string text = content ? reinterpret_cast<const char*>(content) : "";
  xmlFree(content);
  return text;
}

std::string runCommand(const std::string& command) {
  std::string output;
  FILE* pipe = ::popen(command.c_str(), "r");
  if (!pipe) return "<popen failed>";
  char buffer[4096];
  while (std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe)) output.append(buffer, n);
  const int status = ::pclose(pipe);
  if (status != 0) output += "<exit " + std::to_string(status) + ">";
  return output;
}

class ImportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directory(workspace());
    fs::create_directory(documents());
    writeSampleWorkspace(workspace());
    fs::copy_file(fs::path(MUDALINX_TESTDATA) / "horario.xml", chosen());
  }

  fs::path workspace() const { return scratch_.path() / "KTEMP"; }
  fs::path documents() const { return scratch_.path() / "datos"; }
  fs::path chosen() const { return documents() / "horario.xml"; }
  fs::path output() const { return documents() / "ResultadoVelkanhorario.xml"; }

  fs::path runImport() { return importTimetable(chosen(), workspace(), report_); }

  fixture::ScratchFolder scratch_;
  exchange::Report report_;
};

TEST(OutputPath, PrefixesTheFileNameInItsFolder) {
  EXPECT_EQ(outputPathFor("/datos/horario.xml"), fs::path("/datos/ResultadoVelkanhorario.xml"));
  EXPECT_EQ(outputPathFor("horario.xml"), fs::path("ResultadoVelkanhorario.xml"));
}

TEST_F(ImportTest, WritesTheWholeTimetableDocumentOverAnEarlierOutput) {
  writeFile(output(), "anterior");
  EXPECT_EQ(runImport(), output());

  const std::string written = readFile(output());
  EXPECT_EQ(withoutFecha(written), readFile(fs::path(MUDALINX_TESTDATA) / "ResultadoVelkanhorario.expected.xml"));
  EXPECT_TRUE(std::regex_match(fechaOf(written), std::regex(R"(\d\d/\d\d/\d{4} \d\d:\d\d:\d\d)"))) << fechaOf(written);
  EXPECT_EQ(fixture::fileNames(documents()), (std::vector<std::string>{"ResultadoVelkanhorario.xml", "horario.xml"}));
  EXPECT_EQ(runCommand("xmllint --noout '" + output().string() + "' 2>&1"), "");
}

TEST_F(ImportTest, ReportsWhatItWroteAndWhatItCouldNotMatch) {
  runImport();
  EXPECT_EQ(report_.rowsOf("PROFESORES"), 4u);
  EXPECT_EQ(report_.rowsOf("ACTIVIDADES"), 8u);

  struct Expected {
    std::string kind, section;
    std::size_t record;
  };
  const std::vector<Expected> expected{{"sin_tramo", "SOLUC", 5},
                                       {"sin_actividades", "PROFT", 3},
                                       {"sin_materia", "SOLUC", 8},
                                       {"sin_unidad", "SOLUC", 8},
                                       {"sin_tramo", "SOLUC", 11}};
  ASSERT_EQ(report_.warnings().size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    const exchange::Warning& warning = report_.warnings()[i];
    EXPECT_EQ(warning.kind, expected[i].kind) << i;
    EXPECT_EQ(warning.section, expected[i].section) << i;
    EXPECT_EQ(warning.record, expected[i].record) << i;
    EXPECT_FALSE(warning.text.empty()) << i;
  }
  EXPECT_NE(report_.warnings()[1].text.find("SINCL"), std::string::npos) << report_.warnings()[1].text;
}

// The timetabler names teachers by code alone: both rows of a repeated code get its lessons.
TEST_F(ImportTest, RepeatedTeacherCodeGivesBothTeachersTheLessonsAndAWarning) {
  writeTable(workspace(), fixture::proftLayout(),
             {{"ANA", "Ana Ruiz, Eva", "", "", "1001", ""}, {"ANA", "Ana Sanz, Pilar", "", "", "1005", ""}});
  runImport();
  const char* second = "//grupo_datos[@seq='HORARIO_REGULAR_PROFESOR_2']";
  EXPECT_EQ(textAt(output(), (std::string(second) + "/dato[@nombre_dato='X_EMPLEADO']").c_str()), "1005");
  EXPECT_EQ(
      textAt(output(), (std::string(second) + "/grupo_datos[@seq='ACTIVIDAD_3']/dato[@nombre_dato='X_TRAMO']").c_str()),
      "T3");
  ASSERT_FALSE(report_.warnings().empty());
  EXPECT_EQ(report_.warnings()[0].kind, "repetido");
  EXPECT_EQ(report_.warnings()[0].record, 2u);
  EXPECT_EQ(report_.rowsOf("ACTIVIDADES"), 6u);
}

// The solution comes from another program: lower-case file name, its own field order and
// widths, fields of its own, a deleted record.
TEST_F(ImportTest, ReadsASolutionWrittenByAnotherProgram) {
  fs::remove(workspace() / "SOLUC.DBF");
  const std::string script =
      "import dbf, sys\n"
      "t = dbf.Table(sys.argv[1], 'SESION N(3,0); PROF C(10); DIA N(2,0); HORA N(2,0); MARCO C(1); ASIG C(10); '\n"
      "              'CODGRUPO C(10); TAREA C(12); AULA C(10); FIJA L', dbf_type='db3', codepage='cp1252')\n"
      "t.open(dbf.READ_WRITE)\n"
      "t.append((1, 'ANA', 1, 1, '0', 'MAT', '1A', '', 'A101', False))\n"
      "t.append((2, 'ANA', 2, 1, '0', 'MAT', '1A', '', '', False))\n"
      "t.append((1, \"O'Neil\", 1, 2, '1', 'LEN', '1A', '', 'F\\xedsica1', True))\n"
      "t.append((3, 'ANA', 1, 3, '0', 'MAT', '2A', '', '', False))\n"
      "dbf.delete(t[1])\n"
      "t.close()\n";
  const fs::path scriptFile = scratch_.path() / "soluc.py";
  writeFile(scriptFile, script);
  ASSERT_EQ(
      runCommand("/usr/bin/python3 '" + scriptFile.string() + "' '" + (workspace() / "soluc.dbf").string() + "' 2>&1"),
      "");

  runImport();
  EXPECT_EQ(report_.rowsOf("ACTIVIDADES"), 3u);
  const std::string ana = "//grupo_datos[@seq='HORARIO_REGULAR_PROFESOR_1']";
  const std::string oneil = "//grupo_datos[@seq='HORARIO_REGULAR_PROFESOR_2']";
  const std::vector<std::pair<std::string, std::string>> expected{
      {ana + "/grupo_datos[@seq='ACTIVIDAD_1']/dato[@nombre_dato='X_TRAMO']", "T1"},
      {ana + "/grupo_datos[@seq='ACTIVIDAD_1']/dato[@nombre_dato='X_DEPENDENCIA']", "A101"},
      {ana + "/grupo_datos[@seq='ACTIVIDAD_2']/dato[@nombre_dato='X_TRAMO']", "T3"},
      {ana + "/grupo_datos[@seq='ACTIVIDAD_2']/dato[@nombre_dato='X_UNIDAD']", "U2A"},
      {oneil + "/grupo_datos[@seq='ACTIVIDAD_1']/dato[@nombre_dato='X_TRAMO']", "T2T"},
      {oneil + "/grupo_datos[@seq='ACTIVIDAD_1']/dato[@nombre_dato='X_DEPENDENCIA']", "F\xC3\xADsica1"},
      {ana + "/@registros", "2"},
      {oneil + "/@registros", "1"},
  };
  for (const auto& [path, text] : expected) EXPECT_EQ(textAt(output(), path.c_str()), text) << path;
}

TEST_F(ImportTest, ReleasesEveryTableWhenDone) {
  runImport();
  for (const char* name :
       {"SOLUC", "GRUPOST", "CURSOST", "PROFT", "AULAT", "ASIGNOMT", "DIASHORAST", "ASIGT", "PERIODOS"}) {
    EXPECT_NO_THROW(table::Table::open(workspace(), name, table::Access::Exclusive)) << name;
  }
}

TEST_F(ImportTest, EmptyPeriodTableGivesEmptyDates) {
  writeTable(workspace(), fixture::periodosLayout(), {});
  runImport();
  const std::string written = readFile(output());
  EXPECT_EQ(written.find("01/09/2009</dato>\n          <dato nombre_dato=\"F_FIN\""), std::string::npos);
  EXPECT_NE(written.find("<dato nombre_dato=\"F_INICIO\"/>\n          <dato nombre_dato=\"F_FIN\"/>"),
            std::string::npos);
  EXPECT_EQ(written.find("30/06/2010"), std::string::npos);
}

// A short school year is taken whole; the cut counts Windows-1252 characters.
TEST_F(ImportTest, SchoolYearIsTheTrimmedStartOfTheFirstSection) {
  struct Case {
    std::string firstSection, year;
  };
  const std::vector<Case> cases{
      {"<grupo_datos seq=\"ANNO_ACADEMICO\"><dato>09</dato></grupo_datos>", "09"},
      {"<grupo_datos seq=\"X\"><dato>  \xC3\x91u09/10</dato></grupo_datos>", "\xC3\x91u09"},
      {"<!--2011-2012--><grupo_datos seq=\"ANNO_ACADEMICO\"><dato>2009</dato></grupo_datos>", "2011"},
  };
  for (const Case& c : cases) {
    writeFile(chosen(), "<SERVICIO><BLOQUE_DATOS>" + c.firstSection + "</BLOQUE_DATOS></SERVICIO>");
    runImport();
    EXPECT_EQ(textAt(output(), "//grupo_datos[@seq='ANNO_ACADEMICO']/dato[@nombre_dato='C_ANNO']"), c.year)
        << c.firstSection;
  }
}

TEST_F(ImportTest, KeepsTheEncodingOfTheChosenFile) {
  writeFile(chosen(),
            "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n"
            "<SERVICIO><BLOQUE_DATOS><grupo_datos seq=\"ANNO_ACADEMICO\"><dato>\xD1u09/10</dato></grupo_datos>"
            "</BLOQUE_DATOS></SERVICIO>\n");
  runImport();
  const std::string written = readFile(output());
  EXPECT_EQ(written.rfind("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n", 0), 0u);
  EXPECT_NE(written.find(">\xD1u09<"), std::string::npos);
  EXPECT_NE(written.find(">" + kFisica + "<"), std::string::npos);
  EXPECT_EQ(written.find("\xC3"), std::string::npos) << "UTF-8 bytes in an ISO-8859-1 file";

  const char* room =
      "//grupo_datos[@seq='HORARIO_REGULAR_PROFESOR_2']/grupo_datos[@seq='ACTIVIDAD_2']"
      "/dato[@nombre_dato='X_DEPENDENCIA']";
  EXPECT_EQ(textAt(output(), room), "F\xC3\xADsica1");
  EXPECT_EQ(runCommand("xmllint --noout '" + output().string() + "' 2>&1"), "");
  EXPECT_EQ(runCommand("xmllint --xpath 'string(//dato[@nombre_dato=\"C_ANNO\"])' '" + output().string() + "'"),
            "\xC3\x91u09\n");
}

// Every stop leaves the folder as it was (an earlier output untouched, no temporary file)
// and releases the tables.
TEST_F(ImportTest, FailuresWriteNothing) {
  struct Case {
    const char* name;
    std::function<void(const fs::path& ws, const fs::path& chosen)> spoil;
    std::vector<std::string> message;  // parts of what() the user must see
  };
  const std::vector<Case> cases{
      {"sin PERIODOS",
       [](const fs::path& ws, const fs::path&) { fs::remove(ws / "PERIODOS.DBF"); },
       {"ATENCI\xC3\x93N - PERIODOS.DBF No encontrado - Importe de nuevo XML de SENDARO."}},
      {"sin ASIGT", [](const fs::path& ws, const fs::path&) { fs::remove(ws / "ASIGT.DBF"); }, {"ASIGT"}},
      {"HORA no entera",
       [](const fs::path& ws, const fs::path&) {
         writeTable(
             ws, fixture::solucLayout(true),
             {{"ANA", "1", "1", "0", "MAT", "1A", "", "", "1"}, {"ANA", "1", "x1", "0", "MAT", "1A", "", "", "1"}});
       },
       {"SOLUC", "registro 2", "HORA"}},
      {"hora de tramo mal escrita",
       [](const fs::path& ws, const fs::path&) {
         writeTable(ws, fixture::diashorastLayout(),
                    {{"12", "T2", "1", "", "2", "", "08:55", "09:50", "", "0", "J1"},
                     {"11", "T1", "1", "", "1", "", "ab:00", "08:55", "", "0", "J1"}});
       },
       {"registro 2 de DIASHORAST, campo HORADESDE", "ab:00"}},
      {"SOLUC sin TAREA",
       [](const fs::path& ws, const fs::path&) {
         table::TableDef def = fixture::solucLayout();
         def.fields.erase(def.fields.begin() + 6);
         writeTable(ws, def, {});
       },
       {"SOLUC", "no tiene el campo TAREA"}},
      {"no es XML", [](const fs::path&, const fs::path& chosen) { writeFile(chosen, "esto no es XML"); }, {"XML"}},
      {"BLOQUE_DATOS vac\xC3\xADo",
       [](const fs::path&, const fs::path& chosen) { writeFile(chosen, "<SERVICIO><BLOQUE_DATOS/></SERVICIO>"); },
       {"BLOQUE_DATOS"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    fixture::ScratchFolder scratch;
    const fs::path ws = scratch.path() / "KTEMP";
    const fs::path folder = scratch.path() / "datos";
    fs::create_directories(ws);
    fs::create_directories(folder);
    writeSampleWorkspace(ws);
    fs::copy_file(fs::path(MUDALINX_TESTDATA) / "horario.xml", folder / "horario.xml");
    writeFile(folder / "ResultadoVelkanhorario.xml", "anterior");
    c.spoil(ws, folder / "horario.xml");

    exchange::Report report;
    try {
      importTimetable(folder / "horario.xml", ws, report);
      ADD_FAILURE() << "no error";
    } catch (const std::exception& error) {
      const std::string what = error.what();
      EXPECT_FALSE(what.empty());
      for (const std::string& part : c.message) EXPECT_NE(what.find(part), std::string::npos) << what;
    }
    EXPECT_EQ(readFile(folder / "ResultadoVelkanhorario.xml"), "anterior");
    EXPECT_EQ(fixture::fileNames(folder), (std::vector<std::string>{"ResultadoVelkanhorario.xml", "horario.xml"}));
    EXPECT_TRUE(report.rows().empty());
    for (const char* name : {"SOLUC", "PROFT", "DIASHORAST"}) {
      EXPECT_NO_THROW(table::Table::open(ws, name, table::Access::Exclusive)) << name;
    }
  }
}

TEST_F(ImportTest, StopsWhileAnotherProcessHoldsATable) {
  {
    table::testing::HeldByAnotherProcess held(workspace(), "ASIGNOMT");
    EXPECT_THROW(runImport(), table::TableInUseError);
    EXPECT_FALSE(fs::exists(output()));
  }
  EXPECT_NO_THROW(runImport());
}

// A folder that cannot take the new file (read-only, or full after a few kilobytes):
// the save fails, the earlier output survives and no temporary file is left.
TEST_F(ImportTest, FailedSaveKeepsTheEarlierOutput) {
  struct Case {
    const char* name;
    const char* remountOptions;  // applied once the files are in place
  };
  const std::vector<Case> cases{{"solo lectura", "remount,ro"}, {"lleno", "remount,size=8k"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const fs::path mount = scratch_.path() / "montado";
    fs::create_directories(mount);
    if (std::system(("mount -t tmpfs -o size=1m tmpfs '" + mount.string() + "' 2>/dev/null").c_str()) != 0) {
      GTEST_SKIP() << "mount not permitted";
    }
    fs::copy_file(chosen(), mount / "horario.xml");
    writeFile(mount / "ResultadoVelkanhorario.xml", "anterior");
    const bool remounted =
        std::system(("mount -o " + std::string(c.remountOptions) + " '" + mount.string() + "' 2>/dev/null").c_str()) ==
        0;
    if (remounted) {
      try {
        importTimetable(mount / "horario.xml", workspace(), report_);
        ADD_FAILURE() << "no error";
      } catch (const std::runtime_error& error) {
        EXPECT_NE(std::string(error.what()).find("No se pudo guardar el archivo"), std::string::npos) << error.what();
      }
      EXPECT_EQ(readFile(mount / "ResultadoVelkanhorario.xml"), "anterior");
      EXPECT_EQ(fixture::fileNames(mount), (std::vector<std::string>{"ResultadoVelkanhorario.xml", "horario.xml"}));
    }
    std::system(("umount '" + mount.string() + "'").c_str());
    if (!remounted) GTEST_SKIP() << "remount not permitted";
  }
}

}  // namespace
}  // namespace mudalinx::importer
