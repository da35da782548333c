#include "app/jobs.h"

#include <ostream>
#include <gtest/gtest.h>

#include <deque>

#include "app/test_support.h"
#include "app/workspace_backup.h"
#include "exchange/document.h"
#include "table/table.h"

namespace fs = std::filesystem;

namespace mudalinx::app {
namespace {

// Plays the user's part from a script and writes down what the run asked for.
class ScriptedUserInterface : public UserInterface {
 public:
  std::deque<std::optional<fs::path>> files;           // answers of the open dialog
  std::deque<exporter::FrameMarking> frameClosings;  // closings of the frame dialog
  std::vector<std::string> events;

  std::optional<fs::path> chooseFile() override {
    events.push_back("chooseFile");
    if (files.empty()) return std::nullopt;
    auto answer = files.front();
    files.pop_front();
    return answer;
  }
  void showMessage(const std::string& text) override { events.push_back("message: " + text); }
  void setBusy(bool on) override { events.push_back(on ? "busy on" : "busy off"); }
  void documentLoaded(const exchange::Document&) override { events.push_back("documentLoaded"); }
  exporter::FrameMarking chooseFrames(const exchange::Document&) override {
    events.push_back("chooseFrames");
    if (frameClosings.empty()) throw std::logic_error("frame dialog shown more often than scripted");
    auto closing = frameClosings.front();
    frameClosings.pop_front();
    return closing;
  }
  void showFinished(const exchange::Report&) override { events.push_back("finished"); }
  void disableJobs() override { events.push_back("disableJobs"); }
  void closeWindow() override { events.push_back("closeWindow"); }
};

using Events = std::vector<std::string>;

const exporter::FrameMarking kMorningFrame{"M         ", true};

class JobsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(folders.workspace);
    fs::create_directories(folders.program);
    testing::writeLevelTable(folders.program, {{10, "ESO", "Educación Secundaria"}});
    fs::copy_file(fs::path(MUDALINX_TESTDATA) / "dos_marcos.xml", sample);
  }

  // The sample with TEXT put in place of FROM, saved beside it.
  fs::path variant(const std::string& from, const std::string& text) {
    std::string contents = testing::readFile(sample);
    for (std::size_t at = contents.find(from); at != std::string::npos; at = contents.find(from, at + text.size())) {
      contents.replace(at, from.size(), text);
    }
    const fs::path file = root / "variante.xml";
    testing::writeFile(file, contents);
    return file;
  }

  testing::TempFolder root;
  Folders folders{root / "KTEMP", root / "programa"};
  fs::path sample = root / "dos_marcos.xml";
  Session session;
  ScriptedUserInterface ui;
  exchange::Report report;
};

TEST_F(JobsTest, ExportRunsItsStepsInOrder) {
  session.embedded = true;
  ui.files = {sample};
  // A first closing without a frame is refused and the dialog comes back.
  ui.frameClosings = {{"", false}, kMorningFrame};

  EXPECT_EQ(runExport(session, ui, folders, report), JobResult::Finished);

  EXPECT_EQ(ui.events, (Events{"chooseFile", "documentLoaded", "busy on", "chooseFrames", "chooseFrames",
                               "busy off", "finished", "disableJobs", "closeWindow"}));
  EXPECT_EQ(session.outcome, 1);
  EXPECT_EQ(session.chosenFile, sample);
  table::Table slots = table::Table::open(folders.workspace, "DIASHORAST", table::Access::Shared);
  EXPECT_EQ(slots.recordCount(), 7u);  // the morning frame's one slot on every day
  EXPECT_TRUE(table::findFile(folders.workspace, "ASIGT.DBF").has_value());
}

TEST_F(JobsTest, StandaloneExportStaysOpen) {
  ui.files = {sample};
  ui.frameClosings = {kMorningFrame};
  EXPECT_EQ(runExport(session, ui, folders, report), JobResult::Finished);
  EXPECT_EQ(ui.events.back(), "disableJobs");
  EXPECT_EQ(session.outcome, 1);
}

TEST_F(JobsTest, SecondExportBacksUpTheFirstOne) {
  ui.files = {sample, sample};
  ui.frameClosings = {kMorningFrame, kMorningFrame};
  runExport(session, ui, folders, report);
  const auto first = testing::snapshot(folders.workspace);
  runExport(session, ui, folders, report);

  const fs::path backups = folders.workspace / kBackupFolderName;
  ASSERT_EQ(std::distance(fs::directory_iterator(backups), fs::directory_iterator()), 1);
  const fs::path backup = fs::directory_iterator(backups)->path();
  EXPECT_EQ(testing::snapshot(backup), first);
}

struct MissingFileCase {
  const char* title;
  bool embedded;
  bool cancelled;  // else the dialog returns a folder
};

// Test names then carry the case's title instead of a dump of its bytes.
void PrintTo(const MissingFileCase& c, std::ostream* out) { *out << c.title; }

class MissingFileTest : public JobsTest, public ::testing::WithParamInterface<MissingFileCase> {};

TEST_P(MissingFileTest, ReportsNoFile) {
  const MissingFileCase& c = GetParam();
  session.embedded = c.embedded;
  if (!c.cancelled) ui.files = {folders.workspace};
  const auto before = testing::snapshot(root.path());

  for (auto run : {&runExport, &runImport}) {
    ui.events.clear();
    EXPECT_EQ(run(session, ui, folders, report), JobResult::Stopped);
    Events expected{"chooseFile", "message: No existe archivo"};
    if (c.embedded) expected.push_back("closeWindow");
    EXPECT_EQ(ui.events, expected);
    EXPECT_EQ(session.outcome, c.embedded ? -1 : 0);
  }
  EXPECT_EQ(testing::snapshot(root.path()), before);
}

INSTANTIATE_TEST_SUITE_P(Cases, MissingFileTest,
                         ::testing::Values(MissingFileCase{"CancelledEmbedded", true, true},
                                           MissingFileCase{"CancelledStandalone", false, true},
                                           MissingFileCase{"FolderEmbedded", true, false},
                                           MissingFileCase{"FolderStandalone", false, false}),
                         [](const auto& info) { return std::string(info.param.title); });

TEST_F(JobsTest, MissingLevelTableKeepsWindowAndOutcome) {
  session.embedded = true;
  fs::remove(*table::findFile(folders.program, "NIVELEX.DBF"));
  ui.files = {sample, std::nullopt};

  EXPECT_EQ(runExport(session, ui, folders, report), JobResult::Stopped);
  // Cancelling the dialog the second time uses the file chosen the first time.
  EXPECT_EQ(runExport(session, ui, folders, report), JobResult::Stopped);

  const std::string message = "message: ATENCIÓN - NIVELEX.DBF No encontrado - Reinstale MUDALINX";
  EXPECT_EQ(ui.events, (Events{"chooseFile", message, "chooseFile", message}));
  EXPECT_EQ(session.outcome, 0);
  EXPECT_EQ(session.chosenFile, sample);
}

TEST_F(JobsTest, LevelTableFoundWhateverItsCase) {
  const fs::path level = *table::findFile(folders.program, "NIVELEX.DBF");
  fs::rename(level, folders.program / "nivelex.dbf");
  ui.files = {sample};
  ui.frameClosings = {kMorningFrame};
  EXPECT_EQ(runExport(session, ui, folders, report), JobResult::Finished);
}

TEST_F(JobsTest, BadXmlLeavesTheWorkspaceUntouched) {
  ui.files = {sample};
  ui.frameClosings = {kMorningFrame};
  runExport(session, ui, folders, report);
  const auto before = testing::snapshot(folders.workspace);

  for (const fs::path& bad : {variant("</BLOQUE_DATOS>", "</BLOQUE>"), variant("BLOQUE_DATOS", "OTRO_BLOQUE")}) {
    ui.events.clear();
    ui.files = {bad};
    EXPECT_THROW(runExport(session, ui, folders, report), exchange::XmlError);
    EXPECT_EQ(ui.events, Events{"chooseFile"});
    EXPECT_EQ(testing::snapshot(folders.workspace), before);
    EXPECT_EQ(session.outcome, 1);  // from the first run; a failed run does not change it
  }
}

TEST_F(JobsTest, HeldTableStopsBeforeAnythingMoves) {
  ui.files = {sample, sample};
  ui.frameClosings = {kMorningFrame};
  runExport(session, ui, folders, report);
  const auto before = testing::snapshot(folders.workspace);
  table::Table held = table::Table::open(folders.workspace, "GRUPOST", table::Access::Exclusive);
  ui.events.clear();

  EXPECT_THROW(runExport(session, ui, folders, report), table::TableInUseError);

  held.close();
  EXPECT_EQ(ui.events, (Events{"chooseFile", "documentLoaded"}));
  EXPECT_EQ(testing::snapshot(folders.workspace), before);
}

TEST_F(JobsTest, FailureInsideTheWorkTurnsBusyOffAndKeepsJobsEnabled) {
  session.embedded = true;
  ui.files = {variant("<dato>10</dato><dato>1º ESO</dato>", "<dato>x</dato><dato>1º ESO</dato>")};
  try {
    runExport(session, ui, folders, report);
    FAIL() << "no error";
  } catch (const std::exception& error) {
    EXPECT_EQ(std::string(error.what()), "'x' no es un valor entero válido");
  }
  EXPECT_EQ(ui.events, (Events{"chooseFile", "documentLoaded", "busy on", "busy off"}));
  EXPECT_EQ(session.outcome, 0);
}

TEST_F(JobsTest, ImportRunsItsStepsInOrder) {
  session.embedded = true;
  ui.files = {sample, std::nullopt};
  ui.frameClosings = {kMorningFrame};
  runExport(session, ui, folders, report);
  // The timetabler's solution: one lesson of the only teacher.
  table::createTable(folders.workspace, {"SOLUC",
                                         {{"PROF", table::FieldType::Text, 10},
                                          {"DIA", table::FieldType::Integer, 0},
                                          {"HORA", table::FieldType::Integer, 0},
                                          {"MARCO", table::FieldType::Text, 1},
                                          {"ASIG", table::FieldType::Text, 10},
                                          {"CODGRUPO", table::FieldType::Text, 10},
                                          {"TAREA", table::FieldType::Text, 12},
                                          {"AULA", table::FieldType::Text, 10}},
                                         {},
                                         table::Format::DBase4});
  {
    table::Table solution = table::Table::open(folders.workspace, "SOLUC", table::Access::Exclusive);
    solution.append();
    solution.setText("PROF", "ABC");
    solution.setInteger("DIA", 1);
    solution.setInteger("HORA", 1);
    solution.setText("MARCO", "0");
    solution.setText("ASIG", "EF");
    solution.setText("CODGRUPO", "1ESO A");
    solution.post();
    solution.close();
  }
  ui.events.clear();
  session.outcome = 0;

  // The cancelled dialog takes the file of the export.
  EXPECT_EQ(runImport(session, ui, folders, report), JobResult::Finished);

  EXPECT_EQ(ui.events, (Events{"chooseFile", "busy on", "busy off", "finished", "disableJobs", "closeWindow"}));
  EXPECT_EQ(session.outcome, 1);
  const std::string timetable = testing::readFile(root / "ResultadoVelkandos_marcos.xml");
  EXPECT_NE(timetable.find("HORARIO_REGULAR_PROFESOR_1"), std::string::npos);
  EXPECT_NE(timetable.find(">E1<"), std::string::npos);
}

TEST_F(JobsTest, ImportFailureTurnsBusyOff) {
  // An empty workspace: the import's tables are missing.
  ui.files = {sample};
  EXPECT_ANY_THROW(runImport(session, ui, folders, report));
  EXPECT_EQ(ui.events, (Events{"chooseFile", "busy on", "busy off"}));
  EXPECT_EQ(session.outcome, 0);
  EXPECT_FALSE(fs::exists(root / "ResultadoVelkandos_marcos.xml"));
}

}  // namespace
}  // namespace mudalinx::app
