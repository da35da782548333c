// mudalinx-cli end to end: the real binary on small files, its tables read back with
// readers we did not write (python3-dbfread, Perl XBase::Index, python3-dbf, xmllint).
#include <ostream>
#include <gtest/gtest.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <sstream>

#include "app/test_support.h"
#include "table/held_by_another_process.h"
#include "table/table.h"

namespace fs = std::filesystem;

namespace mudalinx {
namespace {

using table::testing::HeldByAnotherProcess;

const fs::path kBin = MUDALINX_BIN_DIR;
const fs::path kTestdata = MUDALINX_TESTDATA;

using testing::Outcome;
using testing::quoted;
using testing::runShell;

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> result;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) result.push_back(line);
  return result;
}

class CliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(workspace);
    fs::create_directories(program);
    testing::writeLevelTable(program, {{10, "ESO", "Educación Secundaria Obligatoria"}, {30, "FP", ""}});
    fs::copy_file(kTestdata / "centro.xml", sample);
  }

  Outcome cli(const std::string& arguments) {
    return runShell(quoted(kBin / "mudalinx-cli") + " " + arguments, scratch.path());
  }
  Outcome exportSample(const std::string& extra = "--frames M,T") {
    return cli("export " + quoted(sample) + " --workspace " + quoted(workspace) + " --program-dir " +
               quoted(program) + " " + extra);
  }
  // The sample with every FROM replaced by TO, saved beside it.
  fs::path variant(const std::string& from, const std::string& to) {
    std::string contents = testing::readFile(sample);
    for (std::size_t at = contents.find(from); at != std::string::npos; at = contents.find(from, at + to.size())) {
      contents.replace(at, from.size(), to);
    }
    const fs::path file = root / "variante.xml";
    testing::writeFile(file, contents);
    return file;
  }

  testing::TempFolder root;
  testing::TempFolder scratch;
  fs::path workspace = root / "KTEMP";
  fs::path program = root / "programa";
  fs::path sample = root / "centro.xml";
};

TEST_F(CliTest, ExportWritesTheNineTablesAsOtherReadersSeeThem) {
  const Outcome run = exportSample("--frames M,T");
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out.rfind("Proceso finalizado\n", 0), 0u) << run.out;

  const Outcome read = runShell("/usr/bin/python3 " + quoted(kTestdata / "read_tables.py") + " " + quoted(workspace) +
                                    " ASIGNOMT PROFT AULAT CURSOST GRUPOST ASIGT DIASHORAST DIASHORAST2 PERIODOS",
                                scratch.path());
  ASSERT_EQ(read.status, 0) << read.err;

  std::vector<std::string> expected = {
      "#ASIGNOMT:COD,CODLARGO,NOMBRE,MATERIA,CODTAREA,ESTAREA",
      "EF|Educación|Educación Física|||F",
      "Matemá|Matemá|Matemáticas|||F",
      "Lcyl|Lengua cas|Lengua castellana y literatura|||F",
      "Lcyl1|Lengua coo|Lengua cooficial y literatura|||F",
      "FORMACIONY|FORMACIONY|FORMACION Y ORIENTACION LABORAL|||F",
      "1052|Guardia|Guardia de recreo||1052|T",
      "#PROFT:ABREV,NOMBRE,DEPART,DNI,X_EMPLEADO,F_TOMAPOS",
      "ABC|Ana Bravo, Cruz|Lengua||E1|T1",
      "ABC1|Alberto Bueno, Castro|Matemáticas||E2|T2",
      "abc2|ana bella, campos|Música||E3|T3",
      " P|Luis , Pérez|Inglés||E4|T4",
      "#AULAT:ABREV,NOMBRE,EDIFICIO,MAXALUM,DEPCENTRO",
      "A01|Aula 1|||",
      "Gimnas|Gimnasio cubierto|||",
      "a011|Aula 1 bis|||",
      "#CURSOST:ABREV,TURNO,NIVEL,CURSO,CLAVE,ESTUD",
      "||ESO|1|10|Educación Secundaria Obligatoria",
      "||Niv|2|20|2º Bachillerato",
      "||FP|F|030|",
      "#GRUPOST:ABREV,TURNO,NIVEL,CURSO,GRUPO,DESCRIP,MARCO,CLAVE,CLAVECURSO",
      "1ESO A||ESO|1|A|Educación Secundaria Obligatoria|0|U1|10",
      "1ESO A1||ESO|1|A|Educación Secundaria Obligatoria|0|U2|10",
      "1º Bachi A||Niv|2|A|2º Bachillerato|0|U3|20",
      "FP B||FP|F|B| FP F B|0|U4|030",
      "Sin curso||||o|   o|0|U5|99",
      "#ASIGT:CASIG,CPROF,CGRUP,CAULA,TURNO,NIVEL,CURSO,GRUPO,HORAS,SESIONES,NCONEX,CLAVE,CLAVECURSO,CTAREA",
      "EF||1ESO A|||ESO|1|A|4.0|1111||501|10|1",
      "EF||1ESO A1|||ESO|1|A|4.0|1111||501|10|1",
      "Matemá||1ESO A|||ESO|1|A|4.0|1111||502|10|1",
      "Matemá||1ESO A1|||ESO|1|A|4.0|1111||502|10|1",
      "Lcyl||1º Bachi A|||Niv|2|A|4.0|1111||503|20|1",
      "Lcyl1||1º Bachi A|||Niv|2|A|4.0|1111||504|20|1",
      "Matemá||1ESO A|||ESO|1|A|4.0|1111||505|10|1",
      "Matemá||1ESO A1|||ESO|1|A|4.0|1111||505|10|1",
      "FORMACIONY||FP B|||FP|F|B|4.0|1111||506|030|1",
      "#DIASHORAST:DIHO,CODDIHO,DIA,TEXTODIA,HORA,TEXTOHOR,HORADESDE,HORAHASTA,MINUTOS,MARCO,MARCOXML",
  };
  // Frame T comes first in the list, so it is the first code; its first slot starts
  // later than M's, so T gets the frame digit 1.
  for (int day = 1; day <= 7; ++day) {
    const std::string d = std::to_string(day);
    expected.push_back(d + "1|101|" + d + "||1|1ª hora|08:00|08:55|55|0|M");
    expected.push_back(d + "1|201|" + d + "||1|Tarde 1|15:00|15:55|55|1|T");
    expected.push_back(d + "2|102|" + d + "||2|2ª hora|08:55|09:50|55|0|M");
  }
  expected.push_back(
      "#DIASHORAST2:DIHO,CODDIHO,DIA,TEXTODIA,HORA,TEXTOHOR,HORADESDE,HORAHASTA,MINUTOS,MARCO,MARCOXML,ORDEN");
  expected.push_back("#PERIODOS:CJORNADA,JORNADA,FECINI,FECFIN");
  expected.push_back("T|Tarde|01/09/2026|23/06/2027");
  expected.push_back("M|Mañana|01/09/2026|30/06/2027");
  EXPECT_EQ(lines(read.out), expected);
}

TEST_F(CliTest, ProductionIndexOpensWithXBaseIndex) {
  ASSERT_EQ(exportSample().status, 0);
  const auto index = table::findFile(workspace, "DIASHORAST2.MDX");
  ASSERT_TRUE(index.has_value());
  const Outcome read = runShell("perl " + quoted(kTestdata / "read_index.pl") + " " + quoted(*index), scratch.path());
  ASSERT_EQ(read.status, 0) << read.err;
  EXPECT_EQ(read.out, "tabla=DIASHORAST2\ntag=ORDEN tipo=N longitud=12\n");
}

TEST_F(CliTest, DefaultFoldersComeFromTheEnvironmentAndTheProgram) {
  if (!table::findFile(kBin, "NIVELEX.DBF")) GTEST_SKIP() << "the level table is not built beside the program";
  const Outcome run = runShell("MUDALINX_KTEMP=" + quoted(workspace) + " " + quoted(kBin / "mudalinx-cli") +
                                   " export " + quoted(sample) + " --frames M",
                               scratch.path());
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(table::findFile(workspace, "PERIODOS.DBF").has_value());
}

TEST_F(CliTest, ReportIsJson) {
  const fs::path report = root / "informe.json";
  ASSERT_EQ(exportSample("--frames M,T --report " + quoted(report)).status, 0);
  const Outcome read = runShell("/usr/bin/python3 -c 'import json,sys; d=json.load(open(sys.argv[1])); "
                                "print(d[\"filas\"][\"ASIGNOMT\"], d[\"filas\"][\"PROFT\"], "
                                "d[\"filas\"][\"DIASHORAST\"], type(d[\"avisos\"]).__name__)' " +
                                    quoted(report),
                                scratch.path());
  ASSERT_EQ(read.status, 0) << read.err;
  EXPECT_EQ(read.out, "6 4 21 list\n");
}

TEST_F(CliTest, SingleFrameIgnoresFrames) {
  const fs::path single = variant("<grupo_datos><dato>T</dato><dato>Tarde</dato>", "<grupo_datos><dato>T</dato>");
  std::string contents = testing::readFile(single);
  for (const char* frame : {"T", "N"}) {
    const std::string record = std::string("<grupo_datos><dato>") + frame + "</dato>";
    const std::size_t at = contents.find(record, contents.find("JORNADAS_ESCOLARES"));
    contents.erase(at, contents.find("</grupo_datos>", at) + 14 - at);
  }
  testing::writeFile(single, contents);
  const Outcome run = cli("export " + quoted(single) + " --workspace " + quoted(workspace) + " --program-dir " +
                          quoted(program) + " --frames NADA");
  ASSERT_EQ(run.status, 0) << run.err;
  table::Table slots = table::Table::open(workspace, "DIASHORAST", table::Access::Shared);
  EXPECT_EQ(slots.recordCount(), 14u);  // the morning frame's two slots on seven days
}

struct FrameChoiceCase {
  const char* title;
  std::string option;
  std::string message;
};

// Test names then carry the case's title instead of a dump of its bytes.
void PrintTo(const FrameChoiceCase& c, std::ostream* out) { *out << c.title; }

const std::string kFrameList = "  T  Tarde\n  M  Mañana\n  N  Nocturno\n";

class FrameChoiceTest : public CliTest, public ::testing::WithParamInterface<FrameChoiceCase> {};

TEST_P(FrameChoiceTest, StopsBeforeTheWorkspaceChanges) {
  testing::writeSmallTable(workspace, "PROFT");
  const auto before = testing::snapshot(workspace);
  const Outcome run = exportSample(GetParam().option);
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, GetParam().message + "\n");
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(testing::snapshot(workspace), before);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FrameChoiceTest,
    ::testing::Values(
        FrameChoiceCase{"NoOption", "",
                        "El archivo tiene varios Marcos Horarios: elija 1 o 2 con --frames CODIGO[,CODIGO]\n" +
                            kFrameList},
        FrameChoiceCase{"NoCode", "--frames ''", "Debe al menos seleccionar 1 Marco Horario."},
        FrameChoiceCase{"ThreeCodes", "--frames M,T,N",
                        "Demasiados Marcos Horarios seleccionados.\r\nComo máximo puede seleccionar 2 Marcos Horarios"},
        FrameChoiceCase{"UnknownCode", "--frames M,X",
                        "Marco Horario desconocido: X\nMarcos Horarios del archivo:\n" + kFrameList},
        FrameChoiceCase{"CodesAreCaseSensitive", "--frames m",
                        "Marco Horario desconocido: m\nMarcos Horarios del archivo:\n" + kFrameList}),
    [](const auto& info) { return std::string(info.param.title); });

TEST_F(CliTest, StopsLeaveTheWorkspaceUntouched) {
  testing::writeSmallTable(workspace, "PROFT");
  const auto before = testing::snapshot(workspace);
  const fs::path emptyProgram = root / "vacia";
  fs::create_directories(emptyProgram);
  const fs::path badXml = variant("</BLOQUE_DATOS>", "</BLOQUE>");

  struct Case {
    const char* title;
    std::string arguments;
    std::string message;  // empty: any message
  };
  const std::string folders = " --workspace " + quoted(workspace) + " --frames M";
  const std::vector<Case> cases = {
      {"missing file", "export " + quoted(root / "no.xml") + folders + " --program-dir " + quoted(program),
       "No existe archivo\n"},
      {"missing level table", "export " + quoted(sample) + folders + " --program-dir " + quoted(emptyProgram),
       "ATENCIÓN - NIVELEX.DBF No encontrado - Reinstale MUDALINX\n"},
      {"bad xml", "export " + quoted(badXml) + folders + " --program-dir " + quoted(program), ""},
      {"import of a missing file", "import " + quoted(root / "no.xml") + " --workspace " + quoted(workspace),
       "No existe archivo\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.title);
    const Outcome run = cli(c.arguments);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    if (c.message.empty()) {
      EXPECT_FALSE(run.err.empty());
    } else {
      EXPECT_EQ(run.err, c.message);
    }
    EXPECT_EQ(testing::snapshot(workspace), before);
  }
}

TEST_F(CliTest, TableHeldByAnotherProcessStopsTheExport) {
  ASSERT_EQ(exportSample().status, 0);
  const auto before = testing::snapshot(workspace);
  {
    HeldByAnotherProcess held(workspace, "GRUPOST");
    const Outcome run = exportSample();
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("GRUPOST"), std::string::npos) << run.err;
  }
  EXPECT_EQ(testing::snapshot(workspace), before);
}

TEST_F(CliTest, DataErrorsEndTheRunWithTheirMessage) {
  const fs::path badKey = variant("<dato>20</dato><dato>2º Bachillerato</dato>", "<dato>x</dato><dato>2º Bachillerato</dato>");
  const Outcome keyRun = cli("export " + quoted(badKey) + " --workspace " + quoted(workspace) + " --program-dir " +
                             quoted(program) + " --frames M");
  EXPECT_EQ(keyRun.status, 1);
  EXPECT_EQ(keyRun.err, "'x' no es un valor entero válido\n");

  const fs::path missing = root / "sin_carpeta";
  const Outcome folderRun = cli("export " + quoted(sample) + " --workspace " + quoted(missing) + " --program-dir " +
                                quoted(program) + " --frames M");
  EXPECT_EQ(folderRun.status, 1);
  EXPECT_EQ(folderRun.err, "No existe la carpeta de trabajo \"" + missing.string() + "\"\n");
  EXPECT_FALSE(fs::exists(missing));
}

TEST_F(CliTest, WrongUsageExitsWithTwo) {
  for (const std::string arguments : {"", "exportar x.xml", "export", "import", "dump", "export a.xml --colores"}) {
    SCOPED_TRACE(arguments);
    const Outcome run = cli(arguments);
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("Uso incorrecto: "), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("  mudalinx-cli dump TABLA.DBF\n"), std::string::npos) << run.err;
  }
  EXPECT_EQ(cli("--help").status, 0);
}

TEST_F(CliTest, DumpPrintsCsvInUtf8) {
  const fs::path table = root / "ALUMNOS.DBF";
  const Outcome write =
      runShell("/usr/bin/python3 " + quoted(kTestdata / "write_table.py") + " " + quoted(table), scratch.path());
  ASSERT_EQ(write.status, 0) << write.err;

  const Outcome dump = cli("dump " + quoted(table));
  ASSERT_EQ(dump.status, 0) << dump.err;
  EXPECT_EQ(dump.out,
            "NOMBRE,NUM,ACTIVO\r\n"
            "Peña Ñandú,12,T\r\n"
            "Álvaro,,F\r\n"
            "\"Dice \"\"sí\"\", claro\",-3,\r\n");

  const Outcome missing = cli("dump " + quoted(root / "NO.DBF"));
  EXPECT_EQ(missing.status, 1);
  EXPECT_FALSE(missing.err.empty());
}

TEST_F(CliTest, DumpOfAnExportedTable) {
  ASSERT_EQ(exportSample().status, 0);
  const Outcome dump = cli("dump " + quoted(*table::findFile(workspace, "PERIODOS.DBF")));
  ASSERT_EQ(dump.status, 0) << dump.err;
  EXPECT_EQ(dump.out,
            "CJORNADA,JORNADA,FECINI,FECFIN\r\n"
            "T,Tarde,01/09/2026,23/06/2027\r\n"
            "M,Mañana,01/09/2026,30/06/2027\r\n");
}

TEST_F(CliTest, ImportAfterTheTimetablerWritesTheTimetable) {
  const fs::path timetabler = kBin / "mudalinx-horario-prueba";
  if (!fs::exists(timetabler)) GTEST_SKIP() << "the sample timetabler is not built";
  ASSERT_EQ(exportSample().status, 0);
  const Outcome solve = runShell(quoted(timetabler) + " " + quoted(workspace), scratch.path());
  ASSERT_EQ(solve.status, 0) << solve.err;

  const fs::path report = root / "importe.json";
  const Outcome run = cli("import " + quoted(sample) + " --workspace " + quoted(workspace) + " --report " + quoted(report));
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out.rfind("Proceso finalizado\n", 0), 0u);

  const fs::path output = root / "ResultadoVelkancentro.xml";
  const Outcome check = runShell(
      "xmllint --xpath 'count(/SERVICIO/BLOQUE_DATOS/grupo_datos[@seq=\"HORARIOS_REGULARES\"]/grupo_datos)' " +
          quoted(output) + " && xmllint --xpath 'string(//grupo_datos[@seq=\"HORARIO_REGULAR_PROFESOR_4\"]"
          "/dato[@nombre_dato=\"X_EMPLEADO\"])' " + quoted(output),
      scratch.path());
  ASSERT_EQ(check.status, 0) << check.err;
  EXPECT_EQ(check.out, "4\nE4\n");
  const Outcome json = runShell("/usr/bin/python3 -c 'import json,sys; json.load(open(sys.argv[1]))' " + quoted(report),
                                scratch.path());
  EXPECT_EQ(json.status, 0) << json.err;
}

}  // namespace
}  // namespace mudalinx
