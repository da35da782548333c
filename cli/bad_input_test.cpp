// Bad input, hostile files and failing disks against the real mudalinx-cli: every row
// says what goes in, what the user is told and what the workspace and the output look
// like afterwards. Nothing may be lost, nothing may crash, nothing secret may leak.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <functional>
#include <optional>
#include <sstream>

#include "app/jobs.h"
#include "app/test_support.h"
#include "app/workspace_backup.h"
#include "cli/cli_user_interface.h"
#include "exchange/text.h"
#include "table/file_handle.h"
#include "table/held_by_another_process.h"
#include "table/table.h"

namespace fs = std::filesystem;

namespace mudalinx {
namespace {

using table::testing::HeldByAnotherProcess;

const fs::path kBin = MUDALINX_BIN_DIR;
const fs::path kTestdata = MUDALINX_TESTDATA;
const std::string kFiller = "relleno";
const std::string kSecret = "SECRETO-7f3a9c-NO-DEBE-SALIR";

using testing::Outcome;
using testing::quoted;
using testing::runShell;

std::string replaced(std::string text, const std::string& from, const std::string& to) {
  for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
  return text;
}

// The files that differ between two snapshots (added, removed or changed), by name.
std::vector<std::string> changedFiles(const std::map<std::string, std::string>& before,
                                      const std::map<std::string, std::string>& after) {
  std::vector<std::string> changed;
  for (const auto& [name, contents] : before) {
    const auto now = after.find(name);
    if (now == after.end() || now->second != contents) changed.push_back(name);
  }
  for (const auto& [name, contents] : after) {
    if (before.count(name) == 0) changed.push_back(name);
  }
  return changed;
}

std::size_t occurrences(const std::string& text, const std::string& part) {
  std::size_t count = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size())) ++count;
  return count;
}

// A tmpfs mounted over a folder for the life of the object; nullopt-like when not permitted.
class TmpfsMount {
 public:
  TmpfsMount(const fs::path& folder, const std::string& options) : folder_(folder) {
    mounted_ = ::mount("tmpfs", folder.c_str(), "tmpfs", 0, options.c_str()) == 0;
  }
  TmpfsMount(const TmpfsMount&) = delete;
  TmpfsMount& operator=(const TmpfsMount&) = delete;
  ~TmpfsMount() {
    if (mounted_) ::umount2(folder_.c_str(), MNT_DETACH);
  }
  bool mounted() const { return mounted_; }
  bool remountReadOnly() { return ::mount("tmpfs", folder_.c_str(), "tmpfs", MS_REMOUNT | MS_RDONLY, nullptr) == 0; }

 private:
  fs::path folder_;
  bool mounted_ = false;
};

// Tables as dbfread reads them: table name -> its lines (field names, then one line per row).
std::map<std::string, std::vector<std::string>> tablesByName(const fs::path& workspace, const fs::path& scratch) {
  std::string names;
  for (const auto& entry : fs::directory_iterator(workspace)) {
    if (entry.path().extension() == ".DBF") names += " " + entry.path().stem().string();
  }
  std::map<std::string, std::vector<std::string>> tables;
  if (names.empty()) return tables;
  const Outcome read =
      runShell("/usr/bin/python3 " + quoted(kTestdata / "read_tables.py") + " " + quoted(workspace) + names, scratch);
  EXPECT_EQ(read.status, 0) << read.err;
  std::string current;
  std::istringstream in(read.out);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line[0] == '#') current = line.substr(1, line.find(':') - 1);
    tables[current].push_back(line);
  }
  return tables;
}

enum class Job { Export, Import };

// What the workspace looks like after the run.
enum class WorkspaceAfter {
  Untouched,    // every file byte-identical to before
  ValidTables,  // every table a valid dBASE file (read by dbfread), the earlier tables in a backup
  Written,      // the run finished: every table valid
};

// What the import's output looks like after the run.
enum class OutputAfter {
  EarlierUntouched,  // the output of an earlier run is still there, byte-identical
  Absent,            // no output file at all
  Written,
};

class BadInputTest;

struct BadInputCase {
  const char* title;
  Job job;
  // Prepares the input; may change the workspace, may skip the test.
  std::function<void(BadInputTest&)> prepare;
  int status;
  // The exact text on standard error; {xml} stands for the chosen file, {ws} for the workspace,
  // {out} for the import's output file, {prog} for the program folder.
  std::string message;
  WorkspaceAfter workspace;
  OutputAfter output;
  // Checks of its own once the run is over.
  std::function<void(BadInputTest&, const Outcome&)> check = nullptr;
};

// The jobs' user interface as a script; chooseFile can do something before it answers.
class ScriptedUi : public app::UserInterface {
 public:
  ScriptedUi(fs::path file, std::function<void()> beforeAnswer)
      : file_(std::move(file)), beforeAnswer_(std::move(beforeAnswer)) {}
  std::optional<fs::path> chooseFile() override {
    beforeAnswer_();
    return file_;
  }
  void showMessage(const std::string& text) override { messages += text + "\n"; }
  void setBusy(bool) override {}
  exporter::FrameMarking chooseFrames(const exchange::Document&) override {
    throw std::runtime_error("no frame dialog expected");
  }
  void showFinished(const exchange::Report&) override { messages += "Proceso finalizado\n"; }
  void disableJobs() override {}
  void closeWindow() override {}

  std::string messages;

 private:
  fs::path file_;
  std::function<void()> beforeAnswer_;
};

class BadInputTest : public ::testing::TestWithParam<BadInputCase> {
 public:
  void SetUp() override {
    fs::create_directories(workspace);
    fs::create_directories(program);
    fs::create_directories(chosenFolder);
    testing::writeLevelTable(program, {{10, "ESO", "Educación Secundaria Obligatoria"}, {30, "FP", ""}});
    sample = testing::readFile(kTestdata / "centro.xml");
    testing::writeFile(secretFile, kSecret + "\n");
  }

  Outcome cli(const std::string& arguments) {
    return runShell(quoted(kBin / "mudalinx-cli") + " " + arguments, scratch.path());
  }
  Outcome exportFile(const fs::path& file) {
    return cli("export " + quoted(file) + " --workspace " + quoted(workspace) + " --program-dir " + quoted(program) +
               " --frames M,T --report " + quoted(report));
  }
  Outcome importFile(const fs::path& file) {
    return cli("import " + quoted(file) + " --workspace " + quoted(workspace) + " --report " + quoted(report));
  }

  // A good export of the sample, so that the workspace holds tables to lose.
  void exportTheSample() {
    const fs::path file = root / "previo.xml";
    testing::writeFile(file, sample);
    const Outcome run = exportFile(file);
    ASSERT_EQ(run.status, 0) << run.err;
  }
  // The exported sample and a solution: teacher ABC teaches three lessons.
  void solvedWorkspace(bool textHours = false, const std::string& thirdHour = "1") {
    exportTheSample();
    writeSolution(textHours, {{"ABC", "1", "1", "0", "EF", "1ESO A", "", "A01"},
                              {"ABC", "2", "2", "0", "Matemá", "1ESO A", "", ""},
                              {"ABC", "3", thirdHour, "0", "EF", "1ESO A1", "", ""}});
  }
  void writeSolution(bool textHours, const std::vector<std::vector<std::string>>& rows) {
    const table::FieldType hourType = textHours ? table::FieldType::Text : table::FieldType::Integer;
    table::TableDef def{"SOLUC",
                        {{"PROF", table::FieldType::Text, 10},
                         {"DIA", table::FieldType::Integer, 0},
                         {"HORA", hourType, 4},
                         {"MARCO", table::FieldType::Text, 1},
                         {"ASIG", table::FieldType::Text, 10},
                         {"CODGRUPO", table::FieldType::Text, 10},
                         {"TAREA", table::FieldType::Text, 10},
                         {"AULA", table::FieldType::Text, 10}},
                        {},
                        table::Format::DBase4};
    table::createTable(workspace, def);
    table::Table solution = table::Table::open(workspace, "SOLUC", table::Access::Exclusive);
    for (const auto& row : rows) {
      solution.append();
      for (std::size_t i = 0; i < row.size(); ++i) {
        const std::string& field = def.fields[i].name;
        if (def.fields[i].type == table::FieldType::Integer) {
          solution.setInteger(field, std::stoll(row[i]));
        } else {
          solution.setText(field, exchange::utf8ToWin1252(row[i]));
        }
      }
      solution.post();
    }
    solution.close();
  }
  fs::path solutionFile() const { return *table::findFile(workspace, "SOLUC.DBF"); }

  // The input file of the row, written under the chosen folder.
  void writeInput(const std::string& contents) { testing::writeFile(input, contents); }
  // The sample with FROM replaced by TO.
  void writeSampleWith(const std::string& from, const std::string& to) {
    ASSERT_NE(sample.find(from), std::string::npos) << from;
    writeInput(replaced(sample, from, to));
  }
  // An output of an earlier import, to be kept when this one fails.
  void earlierOutput() { testing::writeFile(output(), "<salida anterior/>\n"); }
  fs::path output() const { return input.parent_path() / ("ResultadoVelkan" + input.filename().string()); }

  // Every table of FOLDER as dbfread counts its records ("NAME count" lines).
  std::string tablesAsOthersReadThem(const fs::path& folder) {
    const Outcome read =
        runShell("/usr/bin/python3 " + quoted(kTestdata / "bad_input" / "check_tables.py") + " " + quoted(folder),
                 scratch.path());
    EXPECT_EQ(read.status, 0) << read.err;
    return read.out;
  }
  std::optional<fs::path> newestBackup() const {
    const fs::path backups = workspace / app::kBackupFolderName;
    if (!fs::exists(backups)) return std::nullopt;
    std::optional<fs::path> newest;
    for (const auto& entry : fs::directory_iterator(backups)) {
      if (!newest || entry.path().filename() > newest->filename()) newest = entry.path();
    }
    return newest;
  }

  testing::TempFolder root;
  testing::TempFolder scratch;
  fs::path workspace = root / "KTEMP";
  fs::path program = root / "programa";
  fs::path chosenFolder = root / "elegido";
  fs::path input = chosenFolder / "centro.xml";
  fs::path report = root / "informe.json";
  fs::path secretFile = root / "secreto.txt";
  std::string sample;
  // Set by a row that runs the job through the app with a scripted user interface.
  std::function<Outcome()> runInstead;
  // Kept alive for the run by rows that mount something.
  std::unique_ptr<TmpfsMount> mount;
  std::unique_ptr<HeldByAnotherProcess> holder;
};

std::string withPaths(std::string text, const BadInputTest& test) {
  text = replaced(text, "{xml}", test.input.string());
  text = replaced(text, "{out}", test.output().string());
  text = replaced(text, "{prog}", test.program.string());
  return replaced(text, "{ws}", test.workspace.string());
}

TEST_P(BadInputTest, TellsTheUserAndLosesNothing) {
  const BadInputCase& row = GetParam();
  row.prepare(*this);
  if (IsSkipped() || HasFatalFailure()) return;

  const auto workspaceBefore =
      fs::is_directory(workspace) ? testing::snapshot(workspace) : std::map<std::string, std::string>{};
  const std::optional<std::string> outputBefore =
      fs::exists(output()) ? std::optional<std::string>(testing::readFile(output())) : std::nullopt;

  const Outcome run = runInstead ? runInstead() : row.job == Job::Export ? exportFile(input) : importFile(input);

  EXPECT_EQ(run.status, row.status) << run.err;
  EXPECT_EQ(run.err, withPaths(row.message, *this));
  if (row.status != 0) {
    EXPECT_EQ(run.out, "");
  }

  switch (row.workspace) {
    case WorkspaceAfter::Untouched:
      if (fs::is_directory(workspace)) {
        EXPECT_EQ(changedFiles(workspaceBefore, testing::snapshot(workspace)), std::vector<std::string>{});
      }
      break;
    case WorkspaceAfter::ValidTables: {
      tablesAsOthersReadThem(workspace);
      const auto backup = newestBackup();
      ASSERT_TRUE(backup.has_value()) << "the earlier workspace was not kept";
      for (const auto& [name, contents] : testing::snapshot(*backup)) {
        SCOPED_TRACE(name);
        ASSERT_EQ(workspaceBefore.count(name), 1u);
        EXPECT_TRUE(contents == workspaceBefore.at(name));
      }
      break;
    }
    case WorkspaceAfter::Written:
      EXPECT_NE(tablesAsOthersReadThem(workspace), "");
      break;
  }

  switch (row.output) {
    case OutputAfter::EarlierUntouched:
      ASSERT_TRUE(outputBefore.has_value());
      ASSERT_TRUE(fs::exists(output()));
      EXPECT_TRUE(testing::readFile(output()) == *outputBefore);
      break;
    case OutputAfter::Absent:
      EXPECT_FALSE(fs::exists(output()));
      break;
    case OutputAfter::Written:
      EXPECT_TRUE(fs::exists(output()));
      break;
  }
  // No temporary output left beside the chosen file.
  if (fs::exists(chosenFolder)) {
    for (const auto& entry : fs::directory_iterator(chosenFolder)) {
      const std::string name = entry.path().filename().string();
      EXPECT_TRUE(name == input.filename().string() || name == output().filename().string() || name == kFiller) << name;
    }
  }

  if (row.check) row.check(*this, run);
}

// Content of a file the input names must never come out anywhere.
void secretStaysHidden(BadInputTest& test, const Outcome& run) {
  EXPECT_EQ(run.out.find(kSecret), std::string::npos);
  EXPECT_EQ(run.err.find(kSecret), std::string::npos);
  for (const fs::path& folder : {test.workspace, test.chosenFolder}) {
    for (const auto& [name, contents] : testing::snapshot(folder)) {
      EXPECT_EQ(contents.find(kSecret), std::string::npos) << name;
    }
  }
  if (fs::exists(test.report)) {
    EXPECT_EQ(testing::readFile(test.report).find(kSecret), std::string::npos);
  }
}

// Each table holds the first rows of the same table before the run (the run read the same
// school data up to its failure): nothing posted before the failure is lost.
void tablesKeepTheFirstRows(BadInputTest& test, const Outcome&) {
  const auto backup = test.newestBackup();
  ASSERT_TRUE(backup.has_value());
  const auto earlier = tablesByName(*backup, test.scratch.path());
  const auto now = tablesByName(test.workspace, test.scratch.path());
  EXPECT_FALSE(now.empty());
  for (const auto& [name, lines] : now) {
    SCOPED_TRACE(name);
    ASSERT_EQ(earlier.count(name), 1u);
    ASSERT_LE(lines.size(), earlier.at(name).size());
    EXPECT_TRUE(std::equal(lines.begin(), lines.end(), earlier.at(name).begin()));
  }
}

const std::string kExternalEntity =
    "<?xml version=\"1.0\"?>\n<!DOCTYPE SERVICIO [<!ENTITY secreto SYSTEM \"file://{secret}\">]>\n";

std::string billionLaughs() {
  std::string text = "<?xml version=\"1.0\"?>\n<!DOCTYPE SERVICIO [\n<!ENTITY l0 \"ja\">\n";
  for (int level = 1; level <= 10; ++level) {
    text += "<!ENTITY l" + std::to_string(level) + " \"";
    for (int i = 0; i < 10; ++i) text += "&l" + std::to_string(level - 1) + ";";
    text += "\">\n";
  }
  return text +
         "]>\n<SERVICIO><BLOQUE_DATOS><grupo_datos seq=\"EMPLEADOS\"><grupo_datos><dato>&l10;</dato>"
         "</grupo_datos></grupo_datos></BLOQUE_DATOS></SERVICIO>\n";
}

void exportOf(BadInputTest& test, const std::string& contents) {
  test.exportTheSample();
  test.writeInput(contents);
}

void importOf(BadInputTest& test, const std::string& contents) {
  test.solvedWorkspace();
  test.earlierOutput();
  test.writeInput(contents);
}

// An import of the sample over a solved workspace whose SOLUC is then changed by CHANGE.
void importWithSolution(BadInputTest& test, const std::function<void(const fs::path&)>& change) {
  importOf(test, test.sample);
  if (::testing::Test::HasFatalFailure()) return;
  change(test.solutionFile());
}

// dBASE header facts: record count at 4, header length at 8, record length at 10 (little-endian).
std::uint32_t headerNumber(const std::string& bytes, std::size_t at, std::size_t size) {
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < size; ++i) value |= std::uint32_t(static_cast<unsigned char>(bytes[at + i])) << (8 * i);
  return value;
}

void markDeleted(const fs::path& table, std::size_t record) {
  std::string bytes = testing::readFile(table);
  bytes.at(headerNumber(bytes, 8, 2) + record * headerNumber(bytes, 10, 2)) = '*';
  testing::writeFile(table, bytes);
}

void claimRecords(const fs::path& table, std::uint32_t count) {
  std::string bytes = testing::readFile(table);
  for (std::size_t i = 0; i < 4; ++i) bytes[4 + i] = static_cast<char>((count >> (8 * i)) & 0xFF);
  testing::writeFile(table, bytes);
}

void cutInTheSecondRecord(const fs::path& table) {
  const std::string bytes = testing::readFile(table);
  testing::writeFile(table, bytes.substr(0, headerNumber(bytes, 8, 2) + headerNumber(bytes, 10, 2) * 3 / 2));
}

// Overwrites FIELD of RECORD (0-based) with TEXT, padded with blanks, as another writer might leave it.
void overwriteField(const fs::path& table, std::size_t record, const std::string& field, const std::string& text) {
  std::string bytes = testing::readFile(table);
  std::size_t offset = 1;  // after the deletion flag
  for (std::size_t at = 32; bytes.at(at) != '\r'; at += 32) {
    const std::string name = bytes.substr(at, bytes.find('\0', at) - at);
    const std::size_t width = static_cast<unsigned char>(bytes.at(at + 16));
    if (name == field) {
      const std::size_t start = headerNumber(bytes, 8, 2) + record * headerNumber(bytes, 10, 2) + offset;
      bytes.replace(start, width, (text + std::string(width, ' ')).substr(0, width));
      testing::writeFile(table, bytes);
      return;
    }
    offset += width;
  }
  FAIL() << "no field " << field;
}

// Mounts a tmpfs of SIZE over FOLDER, or skips the test.
void mountSmallDisk(BadInputTest& test, const fs::path& folder, const std::string& size) {
  test.mount = std::make_unique<TmpfsMount>(folder, "size=" + size);
  if (!test.mount->mounted()) GTEST_SKIP() << "mount not permitted";
}

// Fills FOLDER's file system up to one page, so that a bigger file fails part-way.
void fillUp(const fs::path& folder) {
  const std::uintmax_t free = fs::space(folder).available;
  if (free > 4096) testing::writeFile(folder / kFiller, std::string(free - 4096, '#'));
}

// A school file with COUNT subjects, enough to fill a small disk.
std::string manySubjects(const std::string& sample, int count) {
  std::string rows;
  for (int i = 0; i < count; ++i) {
    rows += "<grupo_datos><dato>10</dato><dato>" + std::to_string(9000 + i) + "</dato><dato>Materia " +
            std::to_string(i) + std::string(60, 'z') + "</dato></grupo_datos>\n";
  }
  return replaced(sample, "<grupo_datos seq=\"MATERIAS\">", "<grupo_datos seq=\"MATERIAS\">\n" + rows);
}

void holdTable(BadInputTest& test, const std::string& name, table::Access access) {
  test.holder = std::make_unique<HeldByAnotherProcess>(test.workspace, name, access);
}
void holdLevelTable(BadInputTest& test) {
  test.holder = std::make_unique<HeldByAnotherProcess>(test.program, "NIVELEX", table::Access::Exclusive);
}

// The job run through the app with an open dialog that deletes the file it then returns.
void runWithTheFileDeletedByTheDialog(BadInputTest& test,
                                      app::JobResult (*job)(app::Session&, app::UserInterface&, const app::Folders&,
                                                            exchange::Report&)) {
  test.runInstead = [&test, job] {
    ScriptedUi ui(test.input, [&test] { fs::remove(test.input); });
    app::Session session;
    exchange::Report report;
    const app::JobResult result = job(session, ui, {test.workspace, test.program}, report);
    return Outcome{result == app::JobResult::Finished ? 0 : 1, "", ui.messages};
  };
}

const BadInputCase kCases[] = {
    {"NotXml", Job::Export, [](BadInputTest& t) { exportOf(t, "Esto no es un archivo XML.\n"); }, 1,
     "El archivo {xml} no es un XML válido (línea 1: el documento está vacío o no empieza por un elemento).\n",
     WorkspaceAfter::Untouched, OutputAfter::Absent},
    {"TruncatedXml", Job::Export, [](BadInputTest& t) { exportOf(t, t.sample.substr(0, t.sample.size() / 2)); }, 1,
     "El archivo {xml} no es un XML válido (línea 27: un elemento no está cerrado).\n", WorkspaceAfter::Untouched,
     OutputAfter::Absent},
    {"WrongRoot", Job::Export, [](BadInputTest& t) { exportOf(t, replaced(t.sample, "SERVICIO", "SERVICIOS")); }, 1,
     "El archivo {xml} no es un documento de intercambio de Sendaro (falta /SERVICIO/BLOQUE_DATOS).\n",
     WorkspaceAfter::Untouched, OutputAfter::Absent},
    {"EntityBomb", Job::Export, [](BadInputTest& t) { exportOf(t, billionLaughs()); }, 1,
     "El archivo {xml} no es un XML válido (línea 1: las entidades se expanden sin medida).\n",
     WorkspaceAfter::Untouched, OutputAfter::Absent},
    {"ExternalEntityOnExport", Job::Export,
     [](BadInputTest& t) {
       exportOf(t,
                replaced(kExternalEntity, "{secret}", t.secretFile.string()) +
                    replaced(t.sample.substr(t.sample.find("<SERVICIO")), "<dato>E1</dato>", "<dato>&secreto;</dato>"));
     },
     1,
     "El archivo {xml} declara entidades XML (<!ENTITY …>), que un documento de intercambio no usa; no se "
     "procesa.\n",
     WorkspaceAfter::Untouched, OutputAfter::Absent, secretStaysHidden},
    {"ExternalEntityInAnAttribute", Job::Import,
     [](BadInputTest& t) {
       importOf(t, replaced(kExternalEntity, "{secret}", t.secretFile.string()) +
                       replaced(t.sample.substr(t.sample.find("<SERVICIO")), "2026", "&secreto;"));
     },
     1, "El archivo {xml} no es un XML válido (línea 3: referencia a una entidad externa).\n",
     WorkspaceAfter::Untouched, OutputAfter::EarlierUntouched, secretStaysHidden},
    {"EntityOfAnUnreadDocumentType", Job::Import,
     [](BadInputTest& t) {
       testing::writeFile(t.root / "externo.dtd",
                          "<!ENTITY secreto SYSTEM \"file://" + t.secretFile.string() + "\">\n");
       importOf(t, "<?xml version=\"1.0\"?>\n<!DOCTYPE SERVICIO SYSTEM \"" + (t.root / "externo.dtd").string() +
                       "\">\n" +
                       replaced(t.sample.substr(t.sample.find("<SERVICIO")), "<dato nombre_dato=\"C_ANNO\">2026",
                                "<dato nombre_dato=\"C_ANNO\">&secreto;"));
     },
     1, "El archivo {xml} no es un XML válido (línea 6: entidad no declarada).\n", WorkspaceAfter::Untouched,
     OutputAfter::EarlierUntouched, secretStaysHidden},
    {"HugeValue", Job::Export,
     [](BadInputTest& t) {
       exportOf(t, replaced(t.sample, "<dato>Lengua</dato>", "<dato>" + std::string(20 << 20, 'L') + "</dato>"));
     },
     0, "", WorkspaceAfter::Written, OutputAfter::Absent,
     [](BadInputTest& t, const Outcome& run) {
       EXPECT_LT(run.out.size(), 10'000u);
       EXPECT_LT(fs::file_size(t.report), 10'000u);
       table::Table teachers = table::Table::open(t.workspace, "PROFT", table::Access::Shared);
       EXPECT_EQ(teachers.text("DEPART"), std::string(40, 'L'));
     }},
    {"HugeFrameNameInTheFrameList", Job::Export,
     [](BadInputTest& t) {
       exportOf(t, replaced(t.sample, "<dato>Tarde</dato>", "<dato>" + std::string(20 << 20, 'N') + "</dato>"));
       t.runInstead = [&t] {
         return t.cli("export " + quoted(t.input) + " --workspace " + quoted(t.workspace) + " --program-dir " +
                      quoted(t.program) + " --frames X");
       };
     },
     1,
     "Marco Horario desconocido: X\nMarcos Horarios del archivo:\n  T  " + std::string(80, 'N') +
         "…\n  M  Mañana\n  N  Nocturno\n\n",
     WorkspaceAfter::Untouched, OutputAfter::Absent},
    {"DeepNesting", Job::Export,
     [](BadInputTest& t) {
       std::string deep;
       for (int i = 0; i < 100000; ++i) deep += "<grupo_datos>";
       exportOf(t, replaced(t.sample, "<grupo_datos seq=\"MATERIAS\">", "<grupo_datos seq=\"MATERIAS\">" + deep));
     },
     1, "El archivo {xml} no es un XML válido (línea 7: los elementos se anidan a demasiada profundidad).\n",
     WorkspaceAfter::Untouched, OutputAfter::Absent},
    {"RecordWithOneDato", Job::Export,
     [](BadInputTest& t) {
       t.exportTheSample();
       t.writeSampleWith("<grupo_datos><dato>A01</dato><dato>Aula 1</dato></grupo_datos>",
                         "<grupo_datos><dato>A01</dato></grupo_datos>");
     },
     0, "", WorkspaceAfter::Written, OutputAfter::Absent,
     [](BadInputTest& t, const Outcome& run) {
       EXPECT_NE(run.out.find("DEPENDENCIAS, registro 1"), std::string::npos) << run.out;
       table::Table rooms = table::Table::open(t.workspace, "AULAT", table::Access::Shared);
       EXPECT_EQ(rooms.recordCount(), 2u);
     }},
    {"CourseKeyNotAnInteger", Job::Export,
     [](BadInputTest& t) {
       t.exportTheSample();
       t.writeSampleWith("<dato>20</dato><dato>2º Bachillerato</dato>", "<dato>x</dato><dato>2º Bachillerato</dato>");
     },
     1, "'x' no es un valor entero válido\n", WorkspaceAfter::ValidTables, OutputAfter::Absent, tablesKeepTheFirstRows},
    {"SlotMinutesNotAnInteger", Job::Export,
     [](BadInputTest& t) {
       t.exportTheSample();
       t.writeSampleWith("<dato>480</dato><dato>535</dato>", "<dato>8:00</dato><dato>535</dato>");
     },
     1, "'8:00' no es un valor entero válido\n", WorkspaceAfter::ValidTables, OutputAfter::Absent,
     tablesKeepTheFirstRows},
    {"SolutionHourNotANumber", Job::Import,
     [](BadInputTest& t) {
       t.solvedWorkspace(true, "x");
       t.earlierOutput();
       t.writeInput(t.sample);
     },
     1, "La tabla SOLUC, registro 3, campo HORA: «x» no es un número entero.\n", WorkspaceAfter::Untouched,
     OutputAfter::EarlierUntouched},
    {"SolutionWithDeletedRecords", Job::Import,
     [](BadInputTest& t) { importWithSolution(t, [](const fs::path& table) { markDeleted(table, 1); }); }, 0, "",
     WorkspaceAfter::Untouched, OutputAfter::Written,
     [](BadInputTest& t, const Outcome&) {
       const std::string written = testing::readFile(t.output());
       EXPECT_EQ(occurrences(written, "seq=\"ACTIVIDAD_"), 2u);
       EXPECT_NE(written.find("HORARIO_REGULAR_PROFESOR_1\" registros=\"2\""), std::string::npos);
       EXPECT_EQ(written.find("<dato nombre_dato=\"X_TRAMO\">102</dato>"), std::string::npos);
     }},
    {"SolutionNumberOverflowMark", Job::Import,
     [](BadInputTest& t) {
       importWithSolution(t, [](const fs::path& table) { overwriteField(table, 1, "DIA", "*****"); });
     },
     1, "La tabla SOLUC, registro 2, campo DIA: «*****» no es un número entero.\n", WorkspaceAfter::Untouched,
     OutputAfter::EarlierUntouched},
    {"SolutionNotADbaseFile", Job::Import,
     [](BadInputTest& t) {
       importWithSolution(t, [](const fs::path& table) {
         testing::writeFile(table, replaced(std::string(400, '#'), "####", "Hoja de cálculo, no una tabla. "));
       });
     },
     1, "El archivo {ws}/SOLUC.DBF está dañado: versión de archivo desconocida 0x48.\n", WorkspaceAfter::Untouched,
     OutputAfter::EarlierUntouched},
    {"SolutionEmptyFile", Job::Import,
     [](BadInputTest& t) { importWithSolution(t, [](const fs::path& table) { testing::writeFile(table, ""); }); }, 1,
     "El archivo {ws}/SOLUC.DBF está dañado: la cabecera está incompleta.\n", WorkspaceAfter::Untouched,
     OutputAfter::EarlierUntouched},
    {"LevelTableDamaged", Job::Export,
     [](BadInputTest& t) {
       exportOf(t, t.sample);
       cutInTheSecondRecord(t.program / "NIVELEX.DBF");
     },
     1,
     "El archivo {prog}/NIVELEX.DBF está dañado: la cabecera indica 2 registros y el archivo sólo "
     "contiene 1 registro completo.\n",
     WorkspaceAfter::ValidTables, OutputAfter::Absent, tablesKeepTheFirstRows},
    {"NoSchoolDays", Job::Export,
     [](BadInputTest& t) {
       t.exportTheSample();
       const std::size_t from = t.sample.find("<grupo_datos seq=\"JORNADAS_ESCOLARES\">");
       const std::size_t to = t.sample.find("<grupo_datos seq=\"TRAMOS_HORARIOS\">");
       t.writeInput(t.sample.substr(0, from) + "<grupo_datos seq=\"JORNADAS_ESCOLARES\"/>\n" + t.sample.substr(to));
     },
     1, "El archivo no tiene ningún Marco Horario (JORNADAS_ESCOLARES).\n", WorkspaceAfter::ValidTables,
     OutputAfter::Absent, tablesKeepTheFirstRows},
    {"SolutionWithControlCharacters", Job::Import,
     [](BadInputTest& t) {
       importWithSolution(t, [](const fs::path& table) {
         overwriteField(table, 0, "AULA",
                        std::string("A\x01\x00"
                                    "B",
                                    4));
       });
     },
     0, "", WorkspaceAfter::Untouched, OutputAfter::Written,
     [](BadInputTest& t, const Outcome& run) {
       EXPECT_NE(run.out.find("SOLUC, registro 1: Hay caracteres de control que XML no admite; se guardan como \"?\"."),
                 std::string::npos)
           << run.out;
       const Outcome room = runShell(
           "xmllint --xpath 'string(//grupo_datos[@seq=\"ACTIVIDAD_1\"]"
           "/dato[@nombre_dato=\"X_DEPENDENCIA\"])' " +
               quoted(t.output()),
           t.scratch.path());
       EXPECT_EQ(room.status, 0) << room.err;
       EXPECT_EQ(room.out, "A??B\n");
     }},
    {"SolutionTruncated", Job::Import, [](BadInputTest& t) { importWithSolution(t, cutInTheSecondRecord); }, 1,
     "El archivo {ws}/SOLUC.DBF está dañado: la cabecera indica 3 registros y el archivo sólo contiene 1 "
     "registro completo.\n",
     WorkspaceAfter::Untouched, OutputAfter::EarlierUntouched},
    {"SolutionHeaderClaimsMoreRecords", Job::Import,
     [](BadInputTest& t) { importWithSolution(t, [](const fs::path& table) { claimRecords(table, 10); }); }, 1,
     "El archivo {ws}/SOLUC.DBF está dañado: la cabecera indica 10 registros y el archivo sólo "
     "contiene 3 registros completos.\n",
     WorkspaceAfter::Untouched, OutputAfter::EarlierUntouched},
    {"SolutionHeldExclusively", Job::Import,
     [](BadInputTest& t) {
       importOf(t, t.sample);
       holdTable(t, "SOLUC", table::Access::Exclusive);
     },
     1, "La tabla SOLUC está en uso por otro programa ({ws}/SOLUC.DBF).\n", WorkspaceAfter::Untouched,
     OutputAfter::EarlierUntouched},
    {"TeachersHeldSharedDuringImport", Job::Import,
     [](BadInputTest& t) {
       importOf(t, t.sample);
       holdTable(t, "PROFT", table::Access::Shared);
     },
     1, "La tabla PROFT está en uso por otro programa ({ws}/PROFT.DBF).\n", WorkspaceAfter::Untouched,
     OutputAfter::EarlierUntouched},
    {"GroupsHeldSharedDuringExport", Job::Export,
     [](BadInputTest& t) {
       exportOf(t, t.sample);
       holdTable(t, "GRUPOST", table::Access::Shared);
     },
     1, "La tabla GRUPOST está en uso por otro programa ({ws}/GRUPOST.DBF).\n", WorkspaceAfter::Untouched,
     OutputAfter::Absent},
    {"SolutionHeldDuringExport", Job::Export,
     [](BadInputTest& t) {
       t.solvedWorkspace();
       t.writeInput(t.sample);
       holdTable(t, "SOLUC", table::Access::Exclusive);
     },
     0, "", WorkspaceAfter::Written, OutputAfter::Absent,
     [](BadInputTest& t, const Outcome&) { EXPECT_TRUE(fs::exists(t.solutionFile())); }},
    {"LevelTableHeldExclusively", Job::Export,
     [](BadInputTest& t) {
       exportOf(t, t.sample);
       holdLevelTable(t);
     },
     1, "La tabla NIVELEX está en uso por otro programa ({prog}/NIVELEX.DBF).\n", WorkspaceAfter::ValidTables,
     OutputAfter::Absent},
    {"WorkspaceMissingOnExport", Job::Export,
     [](BadInputTest& t) {
       fs::remove_all(t.workspace);
       t.writeInput(t.sample);
     },
     1, "No existe la carpeta de trabajo \"{ws}\"\n", WorkspaceAfter::Untouched, OutputAfter::Absent,
     [](BadInputTest& t, const Outcome&) { EXPECT_FALSE(fs::exists(t.workspace)); }},
    {"WorkspaceMissingOnImport", Job::Import,
     [](BadInputTest& t) {
       fs::remove_all(t.workspace);
       t.earlierOutput();
       t.writeInput(t.sample);
     },
     1, "No existe la carpeta de trabajo \"{ws}\"\n", WorkspaceAfter::Untouched, OutputAfter::EarlierUntouched,
     [](BadInputTest& t, const Outcome&) { EXPECT_FALSE(fs::exists(t.workspace)); }},
    {"WorkspaceIsAFile", Job::Export,
     [](BadInputTest& t) {
       fs::remove_all(t.workspace);
       testing::writeFile(t.workspace, "no soy una carpeta\n");
       t.writeInput(t.sample);
     },
     1, "No existe la carpeta de trabajo \"{ws}\"\n", WorkspaceAfter::Untouched, OutputAfter::Absent,
     [](BadInputTest& t, const Outcome&) { EXPECT_EQ(testing::readFile(t.workspace), "no soy una carpeta\n"); }},
    {"SolutionMissing", Job::Import,
     [](BadInputTest& t) { importWithSolution(t, [](const fs::path& table) { fs::remove(table); }); }, 1,
     "No se encuentra la tabla SOLUC ({ws}/SOLUC.DBF).\n", WorkspaceAfter::Untouched, OutputAfter::EarlierUntouched},
    {"WorkspaceReadOnly", Job::Export,
     [](BadInputTest& t) {
       mountSmallDisk(t, t.workspace, "1m");
       if (::testing::Test::IsSkipped()) return;
       exportOf(t, t.sample);
       if (!t.mount->remountReadOnly()) GTEST_SKIP() << "remount not permitted";
     },
     1, "No se puede crear la carpeta de copias \"{ws}/_mudalinx_copias\": el disco es de solo lectura\n",
     WorkspaceAfter::Untouched, OutputAfter::Absent},
    {"DiskFullWhileATableIsWritten", Job::Export,
     [](BadInputTest& t) {
       mountSmallDisk(t, t.workspace, "160k");
       if (::testing::Test::IsSkipped()) return;
       exportOf(t, manySubjects(t.sample, 3000));
     },
     1, "No se puede escribir el archivo ({ws}/ASIGNOMT.DBF): no queda espacio en el disco.\n",
     WorkspaceAfter::ValidTables, OutputAfter::Absent},
    {"DiskFullWhileTheOutputIsSaved", Job::Import,
     [](BadInputTest& t) {
       mountSmallDisk(t, t.chosenFolder, "64k");
       if (::testing::Test::IsSkipped()) return;
       importOf(t, t.sample);
       std::vector<std::vector<std::string>> lessons;  // an output of several pages
       for (int day = 1; day <= 7; ++day) {
         for (const char* hour : {"1", "2"})
           lessons.push_back({"ABC", std::to_string(day), hour, "0", "EF", "1ESO A", "", ""});
       }
       t.writeSolution(false, lessons);
       fillUp(t.chosenFolder);
     },
     1, "No se pudo guardar el archivo «{out}»: error de escritura (¿disco lleno?)\n", WorkspaceAfter::Untouched,
     OutputAfter::EarlierUntouched},
    {"OutputFolderReadOnly", Job::Import,
     [](BadInputTest& t) {
       mountSmallDisk(t, t.chosenFolder, "1m");
       if (::testing::Test::IsSkipped()) return;
       importOf(t, t.sample);
       if (!t.mount->remountReadOnly()) GTEST_SKIP() << "remount not permitted";
     },
     1, "No se pudo guardar el archivo «{out}»: el sistema de archivos es de solo lectura\n", WorkspaceAfter::Untouched,
     OutputAfter::EarlierUntouched},
    {"ChosenFileDeletedBeforeTheImportLoads", Job::Import,
     [](BadInputTest& t) {
       importOf(t, t.sample);
       runWithTheFileDeletedByTheDialog(t, app::runImport);
     },
     1, "No existe archivo\n", WorkspaceAfter::Untouched, OutputAfter::EarlierUntouched},
    {"ChosenFileDeletedBeforeTheExportLoads", Job::Export,
     [](BadInputTest& t) {
       exportOf(t, t.sample);
       runWithTheFileDeletedByTheDialog(t, app::runExport);
     },
     1, "No existe archivo\n", WorkspaceAfter::Untouched, OutputAfter::Absent},
};

void PrintTo(const BadInputCase& row, std::ostream* out) { *out << row.title; }

INSTANTIATE_TEST_SUITE_P(Rows, BadInputTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.title); });

// The export with the disk filling up after every amount of bytes in turn: whatever the point,
// the user gets one message, every table is valid and holds the first rows of a complete run,
// and the workspace before the run is intact in its backup.
TEST(WriteFault, ExportOntoADiskThatFillsUpLosesNothing) {
  testing::TempFolder root;
  testing::TempFolder scratch;
  const fs::path program = root / "programa";
  const fs::path file = root / "centro.xml";
  fs::create_directories(program);
  testing::writeLevelTable(program, {{10, "ESO", "Educación Secundaria Obligatoria"}, {30, "FP", ""}});
  fs::copy_file(kTestdata / "centro.xml", file);

  const auto exportInto = [&](const fs::path& workspace) {
    std::ostringstream out;
    std::ostringstream err;
    cli::CliUserInterface ui(file, std::vector<std::string>{"M", "T"}, out, err);
    app::Session session;
    exchange::Report report;
    app::runExport(session, ui, {workspace, program}, report);
  };
  const fs::path reference = root / "referencia";
  fs::create_directories(reference);
  exportInto(reference);
  const auto complete = tablesByName(reference, scratch.path());
  std::uintmax_t written = 0;
  for (const auto& entry : fs::directory_iterator(reference)) written += entry.file_size();

  constexpr int kSteps = 16;
  for (int step = 0; step <= kSteps; ++step) {
    const auto budget = static_cast<long long>(written * step / kSteps);
    SCOPED_TRACE("disk full after " + std::to_string(budget) + " bytes");
    const fs::path workspace = root / ("KTEMP" + std::to_string(step));
    fs::create_directories(workspace);
    exportInto(workspace);
    const auto before = testing::snapshot(workspace);

    table::detail::simulateDiskFullAfter(budget);
    ::testing::internal::CaptureStderr();
    std::string message;
    try {
      exportInto(workspace);
    } catch (const std::exception& error) {
      message = error.what();
    }
    table::detail::simulateDiskFullAfter(-1);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "") << "besides: " << message;
    if (step < kSteps) {
      EXPECT_NE(message.find("no queda espacio en el disco"), std::string::npos) << message;
    }

    const Outcome valid =
        runShell("/usr/bin/python3 " + quoted(kTestdata / "bad_input" / "check_tables.py") + " " + quoted(workspace),
                 scratch.path());
    EXPECT_EQ(valid.status, 0) << valid.err;
    for (const auto& [name, lines] : tablesByName(workspace, scratch.path())) {
      SCOPED_TRACE(name);
      ASSERT_EQ(complete.count(name), 1u);
      const std::vector<std::string>& all = complete.at(name);
      ASSERT_LE(lines.size(), all.size());
      EXPECT_TRUE(std::equal(lines.begin(), lines.end(), all.begin())) << "not the first rows of a complete run";
    }
    std::optional<fs::path> backup;
    for (const auto& entry : fs::directory_iterator(workspace / app::kBackupFolderName)) backup = entry.path();
    ASSERT_TRUE(backup.has_value());
    const auto kept = testing::snapshot(*backup);
    EXPECT_EQ(kept.size(), before.size());
    for (const auto& [name, contents] : kept)
      EXPECT_TRUE(before.count(name) == 1 && before.at(name) == contents) << name;
  }
}

}  // namespace
}  // namespace mudalinx
