#include "app/workspace_backup.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "app/test_support.h"
#include "table/table.h"

namespace fs = std::filesystem;

namespace mudalinx::app {
namespace {

const std::vector<std::string> kTables = {"ASIGNOMT", "PROFT", "DIASHORAST2", "JORNADAS"};

std::vector<fs::path> backupFolders(const fs::path& workspace) {
  std::vector<fs::path> folders;
  const fs::path backups = workspace / kBackupFolderName;
  if (!fs::exists(backups)) return folders;
  for (const auto& entry : fs::directory_iterator(backups)) folders.push_back(entry.path());
  std::sort(folders.begin(), folders.end());
  return folders;
}

TEST(WorkspaceBackup, MovesTheReplacedFilesWhateverTheirCase) {
  testing::TempFolder workspace;
  testing::writeSmallTable(workspace.path(), "ASIGNOMT");
  testing::TempFolder elsewhere;
  testing::writeSmallTable(elsewhere.path(), "PROFT");
  // A Windows program may write the name in small letters.
  fs::copy_file(*table::findFile(elsewhere.path(), "PROFT.DBF"), workspace / "proft.dbf");
  testing::writeFile(workspace / "DiasHoraSt2.mdx", "index");
  testing::writeSmallTable(workspace.path(), "SOLUC");  // the timetabler's: not replaced by the export
  testing::writeFile(workspace / "notas.txt", "mías");
  const auto before = testing::snapshot(workspace.path());

  const auto folder = backUpWorkspace(workspace.path(), kTables);

  ASSERT_TRUE(folder.has_value());
  EXPECT_EQ(folder->parent_path(), workspace / kBackupFolderName);
  EXPECT_EQ(testing::snapshot(*folder),
            (std::map<std::string, std::string>{{"ASIGNOMT.DBF", before.at("ASIGNOMT.DBF")},
                                                {"proft.dbf", before.at("proft.dbf")},
                                                {"DiasHoraSt2.mdx", "index"}}));
  EXPECT_FALSE(fs::exists(workspace / "ASIGNOMT.DBF"));
  EXPECT_FALSE(fs::exists(workspace / "proft.dbf"));
  EXPECT_EQ(testing::readFile(workspace / "SOLUC.DBF"), before.at("SOLUC.DBF"));
  EXPECT_EQ(testing::readFile(workspace / "notas.txt"), "mías");
}

TEST(WorkspaceBackup, NothingToMoveMakesNoFolder) {
  testing::TempFolder workspace;
  testing::writeSmallTable(workspace.path(), "SOLUC");
  EXPECT_EQ(backUpWorkspace(workspace.path(), kTables), std::nullopt);
  EXPECT_FALSE(fs::exists(workspace / kBackupFolderName));
}

TEST(WorkspaceBackup, KeepsTheNewestFiveAndForeignFolders) {
  testing::TempFolder workspace;
  fs::create_directories(workspace / kBackupFolderName / "mis copias");
  std::vector<fs::path> made;
  for (int run = 1; run <= 7; ++run) {
    testing::writeSmallTable(workspace.path(), "PROFT");
    const auto folder = backUpWorkspace(workspace.path(), kTables);
    ASSERT_TRUE(folder.has_value());
    for (const fs::path& earlier : made) EXPECT_NE(*folder, earlier) << "two runs shared a folder";
    made.push_back(*folder);
  }
  std::vector<fs::path> expected(made.end() - 5, made.end());
  expected.push_back(workspace / kBackupFolderName / "mis copias");
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(backupFolders(workspace.path()), expected);
}

TEST(WorkspaceBackup, HeldTableStopsBeforeAnythingMoves) {
  testing::TempFolder workspace;
  testing::writeSmallTable(workspace.path(), "ASIGNOMT");
  testing::writeSmallTable(workspace.path(), "PROFT");
  const auto before = testing::snapshot(workspace.path());
  table::Table held = table::Table::open(workspace.path(), "PROFT", table::Access::Exclusive);

  EXPECT_THROW(backUpWorkspace(workspace.path(), kTables), table::TableInUseError);

  held.close();
  EXPECT_EQ(testing::snapshot(workspace.path()), before);
}

TEST(WorkspaceBackup, MissingWorkspaceIsNamed) {
  testing::TempFolder parent;
  const fs::path missing = parent / "KTEMP";
  try {
    backUpWorkspace(missing, kTables);
    FAIL() << "no error";
  } catch (const std::runtime_error& error) {
    EXPECT_EQ(std::string(error.what()), "No existe la carpeta de trabajo \"" + missing.string() + "\"");
  }
}

}  // namespace
}  // namespace mudalinx::app
